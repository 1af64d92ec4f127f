// The command line's help: its texts, with the menu keys and the settings' names and
// values from the table of settings.
#pragma once

#include <string>

// The help in OEM text, its lines at most 80 characters long.
std::string helpText();
