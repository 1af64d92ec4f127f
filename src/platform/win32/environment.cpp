#include "platform/platform.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

}  // namespace

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
    if (sameName(text.substr(0, equals), name)) {
      value = text.substr(equals + 1);
      break;
    }
  }
  FreeEnvironmentStringsA(block);
  return value;
}

}  // namespace platform
