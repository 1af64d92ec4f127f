// The pieces of language selection that do not touch the environment, so that they can be
// driven with any LANG value.
#pragma once

#include <string_view>

#include "base/short_string.h"

namespace texts {

// The language code for a value of LANG: its first two characters, a-z upper-cased; "EN"
// when the value is empty.
ShortString<2> languageCodeOf(std::string_view langValue);

// Loads the four tables for this language code, in the order General, Editor, Category,
// DisplayMode, and fills the display-mode name array.
void loadAllFor(std::string_view code);

}  // namespace texts
