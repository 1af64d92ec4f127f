// The choice-of-path dialog: where a new launcher goes.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/short_string.h"
#include "platform/platform.h"
#include "platform/search.h"

// The launcher's name, and how long a directory (with its backslash) may be for the
// launcher's path to fit in 255 characters.
inline constexpr std::string_view launcherName = "ZO.BAT";
inline constexpr std::size_t longestLauncherDirectory = 255 - launcherName.size();

// The directory of the launcher in the current directory or along PATH, with its
// backslash; empty when there is none, or when the first place that has one has it in more
// than one letter case (clash then says so).
Str findLauncherDirectory(const platform::Machine& m, platform::Clash* clash = nullptr);

// Lists the directories of PATH and the current one and asks for a number or a directory;
// the answer ends in a backslash.
Str chooseLauncherDirectory(const platform::Machine& m);
// The same for a given search-path value, so that the list can be shown for any value.
Str chooseLauncherDirectoryFrom(const platform::Machine& m, std::string_view searchPath);

// The directory of ZOR4.EXE, the current one or the absolute DOS directory given (without
// its backslash), with its backslash; empty, with the reason in problem, when ZOR4.EXE is
// not there, its path does not fit, a name of it has a character the OEM code page lacks
// or one Windows does not allow, or ZOR4.EXE is there in more than one letter case.
// asTyped is the directory as it was given, before the expansion dropped the dots and
// blanks at the ends of its names.
Str findZorDirectory(const platform::Machine& m, Str& problem, std::optional<Str> directory = std::nullopt,
                     std::string_view asTyped = {});
// "zo.bat and Zo.Bat in Z:\BIN\ both match ZO.BAT in any letter case!"
Str clashMessage(const platform::Machine& m, const platform::Clash& clash);
