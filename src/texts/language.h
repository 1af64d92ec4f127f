// Choosing the language: from a value of LANG, or from the environment.
#pragma once

#include <string_view>

#include "base/short_string.h"
#include "texts/texts.h"

namespace texts {

// The language code for a value of LANG: its first two characters, a-z upper-cased; "EN"
// when the value is empty.
ShortString<2> languageCodeOf(std::string_view langValue);

// The language code from LANG ("EN" when LANG is empty or absent).
ShortString<2> languageCode();

// Chooses the language from LANG and loads all the tables (loadAllFor).
void loadAll();

}  // namespace texts
