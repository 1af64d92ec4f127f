// A setting's values, by its kind and the table's ranges and letters: how a value is shown,
// written, stepped, taken from a prompt's answer or from --set, and described when it is
// not taken. The menu, the command line, its help and the option line all go through here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/short_string.h"
#include "settings/setting_table.h"
#include "texts/texts.h"

// As the menu shows it: "on " or "off" in the run's language, the mode's letter, the number
// or the name.
Str shownValue(const Setting& row, const Settings& s);
// What the menu shows on a row of its own below the setting's: the display mode's name;
// empty for the other settings.
std::string_view shownBelow(const Setting& row, const Settings& s);
// As the option line writes it after the item's letters.
std::string writtenValue(const Setting& row, const Settings& s);
// As --show prints it and --set takes it back, the same in every language. A name inside
// zorDirectory (when given) is relative to it, so that the value means the same on a
// machine where ZOR is elsewhere.
std::string scriptValue(const Setting& row, const Settings& s, std::string_view zorDirectory = {});

// Whether the menu's key changes the setting at once (a flag flips, the mode steps to the
// next one and from the last back to the first) instead of asking for a value.
bool isStepped(const Setting& row);
void step(const Setting& row, Settings& s);

// Whether the value is a file name: taken in the OEM code page, and its file looked for.
bool isName(const Setting& row);
// A number the menu's prompt took (within row.taken), as the setting keeps it: one of
// row.kept as it is, any other as row.otherwise.
void takeNumber(const Setting& row, std::int32_t number, Settings& s);
// A name as typed: one with a drive or a leading backslash as it is, any other one relative
// to ZOR's directory, an empty one empty. False, and the setting as it was, when the
// launcher could not hand the name on to ZOR whole.
bool takeName(const Setting& row, std::string_view answer, std::string_view zorDirectory, Settings& s);
// A value of --set, taken as the menu takes it but strictly: a number the menu would turn
// into another is not taken. False, and the setting as it was, when the setting does not
// take it.
bool takeValue(const Setting& row, std::string_view value, std::string_view zorDirectory, Settings& s);

// The message with the setting's numbers and letters in place of its marks: {lowest} and
// {highest} of row.taken, {otherwise}, and the setting's values listed as {all} ("C, E, A,
// F, H") or as {but-last} and {last} ("C, E, A, F" and "H").
std::string described(const Setting& row, texts::MessageText message);
