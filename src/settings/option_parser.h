// Reading an option line back into the settings record.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings.h"

// Applies an option line (the text after the program path) to the settings. It understands
// every item formatOptionLine writes and ZOR's long keywords; whatever it does not
// understand is skipped.
void parseOptionLine(std::string_view line, Settings& s);

// A word of a command line as the program it starts receives it, up to the next blank or tab
// outside double quotes: "%%" gives "%", the quotes are removed, and before a quote 2n
// backslashes give n (2n+1 give n and a quote that stays). The word and the blank after it
// leave the line.
std::string takeOptionWord(std::string_view& line);

// An upper-case copy: a-z and the OEM umlauts (0x84, 0x94, 0x81) become capitals, every
// other byte stays as it is.
std::string upperCaseOem(std::string_view text);
