// convertNumber against a second reading of the same rules built on std::from_chars, and
// the round trip of every accepted value through its decimal and "$" hexadecimal forms.
#include <charconv>
#include <cstdint>
#include <string>

#include "base/number.h"
#include "support.h"

namespace {

// Leading blanks, one optional sign, "$" and hexadecimal digits or decimal digits, nothing
// else, within signed 32 bits.
bool reference(std::string_view text, std::int64_t& value) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string_view::npos) return false;
  text.remove_prefix(at);
  bool negative = false;
  if (text.starts_with('+') || text.starts_with('-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$')) {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  for (char c : text) {
    bool digit = (c >= '0' && c <= '9') || (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!digit) return false;
  }
  std::uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return false;  // too long for 64 bits
  if (magnitude > (negative ? 2147483648u : 2147483647u)) return false;
  value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

std::string hexForm(std::int32_t v) {
  std::int64_t wide = v;
  std::string out = wide < 0 ? "-$" : "$";
  char digits[16];
  auto end = std::to_chars(digits, digits + sizeof digits, wide < 0 ? -wide : wide, 16).ptr;
  return out + std::string(digits, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::bytes(data, size);
  std::int32_t value = 12345;
  bool ok = convertNumber(text, value);
  std::int64_t expected = 0;
  bool expectedOk = reference(text, expected);
  FUZZ_CHECK(ok == expectedOk);
  FUZZ_CHECK(value == (ok ? expected : 0));  // a failed conversion gives 0
  if (!ok) return 0;

  std::int32_t back = 0;
  FUZZ_CHECK(convertNumber(std::to_string(value), back) && back == value);
  FUZZ_CHECK(convertNumber(hexForm(value), back) && back == value);
  if (value != INT32_MIN) {  // blanks and a plus sign in front of the magnitude
    std::int32_t magnitude = value < 0 ? -value : value;
    FUZZ_CHECK(convertNumber("   +" + std::to_string(magnitude), back) && back == magnitude);
  }
  return 0;
}
