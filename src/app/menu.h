// The main settings menu: the table of settings and the menu's own keys, read by the
// drawing and by the dispatch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/run.h"
#include "settings/setting_table.h"
#include "texts/texts.h"

// A setting's value as its row shows it.
Str menuValue(const Setting& row, const Settings& s);
// The colour-table name for an answer: a name with a drive or a leading backslash as
// typed, any other one relative to the directory of ZOR4.EXE, an empty one empty. Whole:
// whether it fits the launcher is for fitsOptionLine to say.
std::string colourTableAnswer(std::string_view answer, std::string_view zorDirectory);
// The screen lines for an accepted number 0..60: 0, 25, 28, 43, 50 and 60 stay, the
// others become 25.
std::int32_t screenLinesAnswer(std::int32_t lines);

// Shows the settings and changes them key by key until Enter (true: the launcher is to be
// written) or Esc (false, after the abort message).
bool runMenu(RunState& run);
