// Finding a file the way the command interpreter finds a program.
#pragma once

#include <string_view>

#include "base/short_string.h"
#include "platform/platform.h"

namespace platform {

// A directory as the program joins names to it: with a backslash at its end.
inline void ensureBackslash(Str& directory) {
  if (directory.empty() || directory.back() != '\\') directory += '\\';
}

// The element of a ';'-separated list that starts at position i: up to the next ';', or
// the text between double quotes (which may hold ';') when it starts with one, to the
// closing quote or the end of the list. i moves past the element and its ';'.
Str nextPathElement(std::string_view list, std::size_t& i);

// Two entries of one place that both match a name searched for in another letter case.
struct Clash {
  Str place;  // the candidate whose name they match
  Str first, second;
};

// The full path of the first place where a file of this name exists (a folder of that name
// does not count): the current directory, then each element of the ';'-separated list (an
// element in double quotes may hold ';'). The file name is spelled as the file system
// stores it. Empty when there is none, and when the first place that lists the name lists
// it more than once in other letter cases: which of them a program would start cannot be
// told, and clash (when given) says where and which.
Str searchFile(const Machine& m, std::string_view name, std::string_view list, Clash* clash = nullptr);

}  // namespace platform
