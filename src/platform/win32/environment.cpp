#include "base/ascii.h"
#include "platform/environment.h"
#include "platform/platform.h"
#include "platform/win32/windows.h"

namespace platform {

Str environmentValue(std::string_view name) {
  Str value;
  char* block = GetEnvironmentStringsA();
  if (!block) return value;
  // NAME=VALUE entries, each ended by a zero, the block by an empty entry. An entry may
  // begin with "=" (the current directory of a drive): its name runs to the second "=".
  for (const char* entry = block; *entry; entry += std::string_view(entry).size() + 1) {
    std::string_view text(entry);
    std::size_t equals = text.find('=', 1);
    if (equals == std::string_view::npos) continue;
    if (ascii::sameIgnoringCase(text.substr(0, equals), name)) {
      value = text.substr(equals + 1);
      break;
    }
  }
  FreeEnvironmentStringsA(block);
  return value;
}

}  // namespace platform
