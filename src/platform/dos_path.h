// DOS paths as pure functions: making a path absolute against a current directory, and the
// DOS view of a POSIX file system (drive letters standing for folders, as Wine shows it).
// Nothing here touches the operating system, so every rule can be tried with made-up paths.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/short_string.h"

namespace platform::dos {

// The path made absolute against currentDir (for example "C:\ZOR", "C:\" or
// "\\SERVER\SHARE\DIR"), with "/" read as "\", runs of "\" made one, "." and ".." resolved
// and trailing dots and blanks dropped, as Windows does it. "X:" and "X:name" use
// currentDir when it is on drive X, else the root of X. The empty path gives currentDir
// itself (a trailing backslash only at a drive root). A path that cannot be expanded (no
// usable current directory, or a result longer than 255) comes back unchanged.
Str expandPath(std::string_view path, std::string_view currentDir);

// UTF-8 text in code page 437: control bytes stay as they are; a character without a
// byte of its own in the code page, and each byte that is not UTF-8, becomes "?".
std::string cp437Of(std::string_view utf8);

// Drive letters of the DOS view: targets[0] is the folder behind A:, "" when no drive.
// Targets are absolute POSIX paths without a trailing "/" (except "/" itself).
struct DriveMap {
  std::array<std::string, 26> targets;
};

// One entry of a dosdevices folder: its name ("c:") and where its link points.
struct DosDevice {
  std::string name;
  std::string target;
};

// The drives named by the entries "a:" to "z:" (other entries are ignored). A relative
// target counts from folder. When no drive stands for "/", Z: does.
DriveMap driveMapFromListing(std::string_view folder, std::span<const DosDevice> entries);

// The DOS form of a POSIX path: the drive whose folder is the longest prefix, then the rest
// with "/" as "\" and names in code page 437, with "?" standing in for each character it
// lacks and each byte that is not UTF-8. A relative path stays relative. Nothing when no
// drive holds the path.
std::optional<std::string> toDos(std::string_view posixPath, const DriveMap& map);

// Names match as Wine matches them, and stand-ins keep names outside code page 437
// reachable, the way short names do on Windows: a name (in the POSIX form toPosix gives)
// that is not there as it is spelled names the one entry of its folder that it stands for,
// and itself when none or several do. An entry stands for name when the two have the same
// DOS form in any letter case (a-z): each "?" of name matches "?" or one character code
// page 437 lacks.
bool standsFor(std::string_view name, std::string_view entry);

// The POSIX form of an absolute "X:\..." path or a relative one (names to UTF-8, "\" as
// "/"). Nothing for a drive that is not mapped, a drive-relative, rooted or network path:
// such a path names no file.
std::optional<std::string> toPosix(std::string_view dosPath, const DriveMap& map);

// A POSIX search path (":"-separated) in DOS form: each element through toDos, an element
// holding ";" in double quotes, joined with ";", cut to 255.
Str dosSearchPath(std::string_view posixList, const DriveMap& map);

}  // namespace platform::dos
