// The choice-of-path dialog for a given search-path value (chooseLauncherDirectory passes
// the value of PATH), so that the list can be shown for any value.
#pragma once

#include <string_view>

#include "base/short_string.h"

Str chooseLauncherDirectoryFrom(std::string_view searchPath);
