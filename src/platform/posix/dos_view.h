// The DOS view of this machine's file system: drives from the Wine prefix, the current
// directory and DOS names turned into the files they name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/short_string.h"
#include "platform/dos_path.h"

namespace platform::posix {

// The drives, from the dosdevices folder of $WINEPREFIX (or ~/.wine): read at the first
// use, and again only when that folder is another one or has changed.
const dos::DriveMap& driveMap();

// The file a DOS path names, the path first made absolute against the current directory
// and its names resolved as resolveNames does; nothing when it names none (a drive that is
// not mapped).
std::optional<std::string> posixPathOf(std::string_view dosPath);

// The path with each name that is not there as it is spelled taken as the one entry of its
// folder that it stands for: in another letter case, or through stand-ins ("?"), as
// dos::standsFor says; a name that stands for no entry or for several stays as it is.
std::string resolveNames(const std::string& path);

// The working directory; nothing when the system cannot give it.
std::optional<std::string> workingDirectory();
// The DOS form of an absolute path; empty when no drive holds it or it does not fit a Str.
Str dosFormOf(const std::string& path);

}  // namespace platform::posix
