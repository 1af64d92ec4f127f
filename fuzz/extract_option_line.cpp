// extractOptionLine on any command line: what it gives is a piece of the line that never
// holds the REXX tail " 'PARA", and whatever stands behind a program path, bare, quoted or
// in a REXX command, comes back as it was.
#include <cstdint>
#include <string>

#include "launcher/launcher.h"
#include "support.h"

namespace {

std::string beforeRexxTail(std::string_view text) { return std::string(text.substr(0, text.find(" 'PARA"))); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::bytes(data, size);
  std::string options = extractOptionLine(text);

  FUZZ_CHECK(options.find(" 'PARA") == std::string::npos);
  FUZZ_CHECK(options.size() <= text.size());
  // A front part was taken away and a tail cut off: the rest is a piece of some suffix.
  bool found = false;
  for (std::size_t k = 0; k <= text.size() && !found; ++k) found = text.substr(k).starts_with(options);
  FUZZ_CHECK(found);
  bool plain = text.find(' ') == std::string_view::npos &&
               !(text.starts_with('\'') || text.starts_with('@') || text.starts_with('"'));
  if (plain) FUZZ_CHECK(options == text);

  // The writer's forms of the command line: the option line is what follows the path.
  std::string expected = beforeRexxTail(text);
  FUZZ_CHECK(extractOptionLine("C:\\ZOR\\ZOR4.EXE " + std::string(text)) == expected);
  FUZZ_CHECK(extractOptionLine("@\"C:\\PROGRAM FILES\\ZOR\\ZOR4.EXE\" " + std::string(text)) == expected);
  FUZZ_CHECK(extractOptionLine("'@ZOR4.EXE " + std::string(text) + " 'PARA") == expected);
  return 0;
}
