// --diff: the change a --set would make to the launcher, as a unified diff.
#pragma once

#include <string>
#include <string_view>

// The unified diff from before to after (whole texts): "--- NAME" and "+++ NAME", then each
// stretch of change with up to three unchanged lines around it. The lines keep their own
// line ends (CR LF in a launcher); a last line without one is followed by the line
// "\ No newline at end of file", as diff and patch have it. Empty when the texts are the same.
std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after);
