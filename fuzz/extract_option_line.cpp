// extractOptionLine on any command line: what it gives is a piece of the line that never
// holds the REXX tail " 'PARA" outside double quotes, and whatever stands behind a program
// path, bare, quoted or in a REXX command, comes back as it was.
#include <cstdint>
#include <string>

#include "launcher/launcher.h"
#include "support.h"

namespace {

// Where " 'PARA" first stands outside double quotes (a quoted name may hold it), or npos.
std::size_t rexxTail(std::string_view text) {
  std::size_t quotes = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (quotes % 2 == 0 && text.substr(i, 6) == " 'PARA") return i;
    quotes += text[i] == '"';
  }
  return std::string_view::npos;
}

std::string beforeRexxTail(std::string_view text) { return std::string(text.substr(0, rexxTail(text))); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::bytes(data, size);
  std::string options = extractOptionLine(text);

  FUZZ_CHECK(rexxTail(options) == std::string::npos);
  FUZZ_CHECK(options.size() <= text.size());
  // A front part was taken away and a tail cut off: the rest is a piece of some suffix.
  bool found = false;
  for (std::size_t k = 0; k <= text.size() && !found; ++k) found = text.substr(k).starts_with(options);
  FUZZ_CHECK(found);
  bool plain = text.find_first_of(" \t") == std::string_view::npos &&  // a tab parts words too
               !(text.starts_with('\'') || text.starts_with('@') || text.starts_with('"'));
  if (plain) FUZZ_CHECK(options == text);

  // The writer's forms of the command line: the option line is what follows the path.
  std::string expected = beforeRexxTail(text);
  FUZZ_CHECK(extractOptionLine("C:\\ZOR\\ZOR4.EXE " + std::string(text)) == expected);
  FUZZ_CHECK(extractOptionLine("@\"C:\\PROGRAM FILES\\ZOR\\ZOR4.EXE\" " + std::string(text)) == expected);
  std::string rexx = std::string(text) + " 'PARA";  // an open quote in text takes the tail in
  FUZZ_CHECK(extractOptionLine("'@ZOR4.EXE " + rexx) == beforeRexxTail(rexx));
  return 0;
}
