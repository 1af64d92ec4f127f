#include "base/number.h"

#include <charconv>

bool convertNumber(std::string_view text, std::int32_t& value) {
  value = 0;  // what a failed conversion leaves
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int base = 10;
  if (at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  }
  if (at == text.size()) return false;

  // Accumulate the magnitude in 64 bits and stop as soon as it leaves the 32-bit range.
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
  std::int64_t magnitude = 0;
  for (; at < text.size(); ++at) {
    char c = text[at];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return false;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

ShortString<11> decimal(std::int32_t value) {
  char digits[11];
  char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string_view(digits, static_cast<std::size_t>(end - digits));
}
