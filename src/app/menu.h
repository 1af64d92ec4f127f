// The main settings menu: the table of settings and the menu's own keys, read by the
// drawing and by the dispatch; the settings' values are the values module's.
#pragma once

#include "app/run.h"

// Shows the settings and changes them key by key until Enter (true: the launcher is to be
// written) or Esc (false, after the abort message).
bool runMenu(RunState& run);
