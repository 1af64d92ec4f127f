// Code page 437, the OEM code page the program's bytes are in on POSIX.
#pragma once

namespace platform {

// The Unicode glyph of every byte.
extern const char32_t cp437ToUnicode[256];
// The byte whose glyph is c, or -1 when code page 437 has none.
int unicodeToCp437(char32_t c);

}  // namespace platform
