// Finding a file the way the command interpreter finds a program.
#pragma once

#include <string_view>

#include "base/short_string.h"

namespace platform {

// A directory as the program joins names to it: with a backslash at its end.
inline void ensureBackslash(Str& directory) {
  if (directory.empty() || directory.back() != '\\') directory += '\\';
}

// The element of a ';'-separated list that starts at position i: up to the next ';', or
// the text between double quotes (which may hold ';') when it starts with one, to the
// closing quote or the end of the list. i moves past the element and its ';'.
Str nextPathElement(std::string_view list, std::size_t& i);

// The full path of the first place where name exists: the current directory, then each
// element of the ';'-separated list (an element in double quotes may hold ';'). The file
// name is spelled as the file system stores it. Empty when there is none.
Str searchFile(std::string_view name, std::string_view list);

}  // namespace platform
