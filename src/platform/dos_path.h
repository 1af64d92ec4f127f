// DOS paths as pure functions: making a path absolute against a current directory, and the
// DOS view of a POSIX file system (drive letters standing for folders, as Wine shows it).
// Nothing here touches the operating system, so every rule can be tried with made-up paths.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "base/short_string.h"

namespace platform::dos {

// Whether the path starts with a drive: a letter and ':' ("C:", "c:\ZOR").
inline bool hasDrive(std::string_view p) { return p.size() >= 2 && ascii::isLetter(p[0]) && p[1] == ':'; }

// The path made absolute against currentDir (for example "C:\ZOR", "C:\" or
// "\\SERVER\SHARE\DIR"), with "/" read as "\", runs of "\" made one, "." and ".." resolved
// and trailing dots and blanks dropped, as Windows does it. "X:" and "X:name" use
// currentDir when it is on drive X, else the root of X. The empty path gives currentDir
// itself (a trailing backslash only at a drive root). A path that cannot be expanded (no
// usable current directory, or a result longer than 255) comes back unchanged.
Str expandPath(std::string_view path, std::string_view currentDir);

// UTF-8 text in code page 437, control bytes as they are. Nothing when a character has no
// byte of its own in the code page or a byte is no UTF-8: lacking (when given) then names
// the first such: as characterName has it, a byte that is no UTF-8 as "0xFF".
std::optional<std::string> cp437Of(std::string_view utf8, std::string* lacking = nullptr);
// A character for people: "U+20AC".
std::string characterName(char32_t codePoint);
// A byte for people: "0xFF".
std::string byteName(unsigned char byte);

// What in a DOS path no Windows name may hold: the first name of it (after the drive) that
// holds one of \"*:<>?| or a control character, or that ends in a dot or a blank. Nothing
// when every name is one Windows can have ("." and ".." included).
struct UnnamableName {
  std::string name;  // the name as the path has it
  char character;    // the character it may not hold, or the dot or blank it ends in
  bool atTheEnd;     // a dot or a blank at its end
};
std::optional<UnnamableName> unnamableOnWindows(std::string_view dosPath);

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
// with "/" as "\" and names in code page 437. A relative path stays relative. Nothing when
// no drive holds the path, or when a name holds a character code page 437 lacks (lacking
// then names it, as cp437Of does): no name is ever given with a letter it does not have.
std::optional<std::string> toDos(std::string_view posixPath, const DriveMap& map, std::string* lacking = nullptr);

// Whether a listed entry is the name (both UTF-8) in any letter case, as Wine compares
// names: the letters of code page 437 ("\xC3\xA4" and "\xC3\x84") as well as a-z. Any
// other character, and every byte that is no UTF-8, only matches itself.
bool sameInAnyCase(std::string_view name, std::string_view entry);

// The POSIX form of an absolute "X:\..." path or a relative one (names to UTF-8, "\" as
// "/"). Nothing for a drive that is not mapped, a drive-relative, rooted or network path:
// such a path names no file.
std::optional<std::string> toPosix(std::string_view dosPath, const DriveMap& map);

// A POSIX search path (":"-separated) in DOS form: each element through toDos (one that has
// no DOS form left out), an element holding ";" in double quotes, joined with ";", cut to
// 255.
Str dosSearchPath(std::string_view posixList, const DriveMap& map);

}  // namespace platform::dos
