// The colour-table editor: every category is shown in its own colours, and one key steps
// its foreground (a to o) or its background (A to O) to the next colour.
#pragma once

#include "base/short_string.h"
#include "colours/colour_table.h"

// Asks for the file and edits table, the run's working table, which keeps what it holds
// between calls. name is the caller's colour-table name, changed in place: the full path
// of a name typed, else "TEST" when it was empty. True when the table was saved.
bool editColourTable(const platform::Machine& m, Str& name, ColourTable& table);
