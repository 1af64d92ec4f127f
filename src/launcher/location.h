// The choice-of-path dialog: where a new launcher goes.
#pragma once

#include <string_view>

#include "base/short_string.h"

// Lists the directories of PATH and the current one and asks for a number or a directory;
// the answer ends in a backslash.
Str chooseLauncherDirectory();
// The same for a given search-path value, so that the list can be shown for any value.
Str chooseLauncherDirectoryFrom(std::string_view searchPath);
