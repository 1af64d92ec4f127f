// The main settings menu: one table of keys, read by the drawing and by the dispatch.
#pragma once

#include <span>
#include <string_view>

#include "app/run.h"
#include "settings/settings.h"
#include "texts/texts.h"

enum class MenuAction { flip, stepMode, askColourTable, askMemoryLimit, askScreenLines, editColours, giveUp, save };

struct MenuItem {
  char key;                 // the letter as shown in brackets (either case works), or Esc, Enter
  std::string_view sign;    // the five-character sign of a key that has no letter, else ""
  int label;                // the row's text (a GeneralText), 0 for a key without a row
  MenuAction action;
  Flag Settings::*flag = nullptr;  // what flip changes
};

// The rows from top to bottom; a key without a row may stand anywhere.
extern const std::span<const MenuItem> menuItems;

// Shows the settings and changes them key by key; returns after Enter. Esc ends the run.
void runMenu(RunState& run);
