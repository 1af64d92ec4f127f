// --check: what stands in the way of ZOR starting as set up on this machine, a finding
// at a time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/short_string.h"
#include "platform/platform.h"
#include "texts/texts.h"

// Paths and lines in the machine's own form (pathForScripts, platform::nativeText).
struct Finding {
  std::string file;                     // the file it is about
  std::string_view key;                 // a short name, the same in every language ("no-zor")
  texts::MessageText message;           // what is wrong; each "%s" is the next of the words
  std::vector<std::string> words = {};  // the paths and lines it names
};

// The findings about ZOR4.EXE in zorDirectory (as findZorDirectory takes it: none for the
// current one, asTyped as --zor named it) and the launcher in launcherDirectory (with its
// backslash), or when that is empty the one found in the current directory or along PATH.
std::vector<Finding> checkMachine(const platform::Machine& m, const std::optional<Str>& zorDirectory,
                                  std::string_view asTyped, const Str& launcherDirectory);
