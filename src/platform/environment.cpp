#include "platform/environment.h"

namespace platform {

namespace {
char foldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }
}  // namespace

bool sameVariableName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  return true;
}

std::string_view findVariable(const char* const* environment, std::string_view name) {
  for (const char* const* entry = environment; entry && *entry; ++entry) {
    std::string_view text(*entry);
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    if (sameVariableName(text.substr(0, equals), name)) return text.substr(equals + 1);
  }
  return "";  // not a null view: callers copy from it
}

}  // namespace platform
