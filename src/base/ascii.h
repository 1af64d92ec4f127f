// Letters and digits of ASCII only: names, drive letters, language codes and keys are
// compared and upper-cased this way whatever the locale, and OEM bytes above 127 stay
// as they are.
#pragma once

#include <string_view>

namespace ascii {

constexpr bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool isLower(char c) { return c >= 'a' && c <= 'z'; }
constexpr bool isLetter(char c) { return isUpper(c) || isLower(c); }

constexpr char upper(char c) { return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char lower(char c) { return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// True when a and b differ at most in the case of the letters a-z.
constexpr bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

}  // namespace ascii
