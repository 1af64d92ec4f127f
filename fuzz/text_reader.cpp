// The text-line reader on any file, read line by line with both kinds of line in an order
// the input chooses: every line is what a plain split of the text gives (LF ends a line, CR
// is dropped, 0x1A ends the text, past the end lines are empty), a short string holding its
// first 255 characters.
#include <cstdint>
#include <string>
#include <vector>

#include "launcher/text_reader.h"
#include "support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::workFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes pick, line by line, a short string (bit set) or a long line.
  unsigned pattern = data[0] | data[1] << 8;
  std::string_view text = fuzz::bytes(data + 2, size - 2);
  fuzz::writeFile("TEXT.TXT", text);

  std::string_view body = text.substr(0, text.find('\x1a'));
  std::vector<std::string> lines(1);
  for (char c : body) {
    if (c == '\n')
      lines.emplace_back();
    else if (c != '\r')
      lines.back() += c;
  }

  TextReader reader = openText(fuzz::machine(), "TEXT.TXT");
  for (std::size_t i = 0; i < lines.size() + 3; ++i) {
    std::string expected = i < lines.size() ? lines[i] : std::string();
    if (pattern >> (i % 16) & 1) {
      Str line = "not read";
      readTextLine(reader, line);
      FUZZ_CHECK(line == std::string_view(expected).substr(0, 255));
    } else {
      // A limit that the first byte picks, below and above the lengths of the lines.
      std::size_t limit = 1 + data[0] * 17u;
      std::string line = "not read";
      readTextLine(reader, line, limit);
      FUZZ_CHECK(line == std::string_view(expected).substr(0, limit));
    }
  }
  closeText(reader);
  return 0;
}
