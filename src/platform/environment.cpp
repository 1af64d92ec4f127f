#include "platform/environment.h"

#include "base/ascii.h"

namespace platform {

std::string_view findVariable(const char* const* environment, std::string_view name) {
  for (const char* const* entry = environment; entry && *entry; ++entry) {
    std::string_view text(*entry);
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    if (ascii::sameIgnoringCase(text.substr(0, equals), name)) return text.substr(equals + 1);
  }
  return "";  // not a null view: callers copy from it
}

}  // namespace platform
