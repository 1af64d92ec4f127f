// Code page 437, the OEM code page of the program on POSIX: the byte of each cell and name
// on one side, Unicode (UTF-8 at the terminal and on disk) on the other.
#pragma once

#include <string>

namespace platform {

// The Unicode code point shown for each byte. Bytes 0-31 and 127 give their glyphs (a
// smiling face for 1, a house for 127), byte 0 a blank.
extern const char32_t cp437ToUnicode[256];

// The byte for a code point, -1 when code page 437 has none. Code points below 128 give
// themselves; the glyphs of the control bytes give those bytes.
int unicodeToCp437(char32_t c);

// Appends the UTF-8 bytes of a code point below U+10000, as every glyph of the code page is.
void appendUtf8(std::string& out, char32_t c);

}  // namespace platform
