// The DOS view of this machine's file system: drives from the Wine prefix, the current
// directory and DOS names turned into the files they name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/short_string.h"
#include "platform/dos_path.h"
#include "platform/platform.h"

namespace platform::posix {

// The drives, from the dosdevices folder of $WINEPREFIX (or ~/.wine) as it is now.
dos::DriveMap readDriveMap();

// Two entries of one folder that both match a name in another letter case.
struct Ambiguity {
  std::string first, second;  // their names, as the folder lists them
};

// The file a DOS path names, the path first made absolute against the current directory
// and its names resolved as resolveNames does; nothing when it names none (a drive that is
// not mapped).
std::optional<std::string> posixPathOf(const Machine& m, std::string_view dosPath, Ambiguity* ambiguity = nullptr);

// The path with each name that is not there as it is spelled taken as the one entry of its
// folder that matches it in any letter case (dos::sameInAnyCase); a name that matches no
// entry stays as it is, and so does one that matches several (ambiguity, when given, then
// names two of them).
std::string resolveNames(const std::string& path, Ambiguity* ambiguity = nullptr);

// The working directory; nothing when the system cannot give it.
std::optional<std::string> workingDirectory();
// The DOS form of an absolute path; empty when no drive holds it, a name holds a character
// code page 437 lacks (lacking, when given, then names it) or it does not fit a Str.
Str dosFormOf(const dos::DriveMap& drives, const std::string& path, std::string* lacking = nullptr);

}  // namespace platform::posix
