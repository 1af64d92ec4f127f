// Names between the OEM code page, in which the program holds them, and the wide form of the
// Win32 functions that give them as the system has them (the command line, the environment,
// directory listings), so that no character is turned into another on the way.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring wideOf(std::string_view oemText);
// Nothing when a character has no byte of its own in the OEM code page (no best fit, no
// "?"): lacking (when given) then names the first such, as dos::characterName does.
std::optional<std::string> oemOf(std::wstring_view wide, std::string* lacking = nullptr);
// For people only: every character the OEM code page lacks as "?".
std::string oemShown(std::wstring_view wide);

}  // namespace platform::win32
