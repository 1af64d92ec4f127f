// The main settings menu: one table of keys, read by the drawing and by the dispatch.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/run.h"
#include "settings/settings.h"
#include "texts/texts.h"

enum class MenuAction { flip, stepMode, askColourTable, askMemoryLimit, askScreenLines, editColours, giveUp, save };

struct MenuItem {
  char key;                 // the letter as shown in brackets (either case works), or Esc, Enter
  std::string_view name;    // a setting's name on the command line, "" for other keys
  std::string_view sign;    // the five-character sign of a key that has no letter, else ""
  int label;                // the row's text (a GeneralText), 0 for a key without a row
  MenuAction action;
  Flag Settings::*flag = nullptr;  // what flip changes
};

// The rows from top to bottom; a key without a row may stand anywhere.
extern const std::span<const MenuItem> menuItems;

// A setting's value as its row shows it ("" for a key that is no setting).
Str menuValue(const MenuItem& item, const Settings& s);
// The colour-table name for an answer: a name with a drive or a leading backslash as
// typed, any other one relative to the directory of ZOR4.EXE, an empty one empty. Whole:
// whether it fits the launcher is for fitsOptionLine to say.
std::string colourTableAnswer(std::string_view answer, std::string_view zorDirectory);
// The screen lines for an accepted number 0..60: 0, 25, 28, 43, 50 and 60 stay, the
// others become 25.
std::int32_t screenLinesAnswer(std::int32_t lines);

// Shows the settings and changes them key by key; returns after Enter. Esc ends the run.
void runMenu(RunState& run);
