#include "launcher/text_reader.h"

namespace {

constexpr int endOfText = -1;

int nextByte(TextReader& r) {
  if (r.atEnd) return endOfText;
  if (r.position == r.filled) {
    r.filled = platform::readSome(r.file, r.buffer, sizeof r.buffer);
    r.position = 0;
    if (r.filled == 0) {
      r.atEnd = true;
      return endOfText;
    }
  }
  auto c = static_cast<unsigned char>(r.buffer[r.position++]);
  if (c == 0x1A) {
    r.atEnd = true;
    return endOfText;
  }
  return c;
}

// Calls keep(c) for each character of the line, CRs left out, up to the line's end.
template <typename Keep>
void eachCharacter(TextReader& r, Keep keep) {
  for (int c = nextByte(r); c != endOfText && c != '\n'; c = nextByte(r))
    if (c != '\r') keep(static_cast<char>(c));
}

}  // namespace

TextReader openText(const platform::Machine& m, std::string_view name) {
  TextReader r;
  r.file = platform::openRead(m, name);
  return r;
}

void readTextLine(TextReader& r, Str& line) {
  line.clear();
  eachCharacter(r, [&line](char c) { line += c; });  // += drops what does not fit
}

void readTextLine(TextReader& r, std::string& line, std::size_t limit) {
  line.clear();
  eachCharacter(r, [&line, limit](char c) {
    if (line.size() < limit) line += c;
  });
}

void closeText(TextReader& r) { r.file.close(); }
