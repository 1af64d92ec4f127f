// Reading a text file line by line the way the launcher is read: a line ends at LF, every
// CR is dropped, the byte 0x1A ends the text, and reading past the end gives empty lines.
#pragma once

#include <cstddef>
#include <string>

#include "base/short_string.h"
#include "platform/platform.h"

struct TextReader {
  platform::File file;
  std::size_t position = 0;
  std::size_t filled = 0;
  bool atEnd = false;  // end of file or 0x1A seen: every later line is empty
  char buffer[4096];
};

// Reads the file; a failure stops the run.
TextReader openText(const platform::Machine& m, std::string_view name);
// Takes the first 255 characters of the next line and skips the rest of it.
void readTextLine(TextReader& reader, Str& line);
// Takes the first limit characters of the next line and skips the rest of it.
void readTextLine(TextReader& reader, std::string& line, std::size_t limit);
void closeText(TextReader& reader);
