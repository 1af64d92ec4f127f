// The command line's arguments read as GNU's getopt_long reads them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Options {
  enum Mode { none, help, version, show, list, set, check } mode = none;
  std::string_view modeWord;  // the option that chose the mode
  std::optional<std::string_view> launcherDirectory, zorDirectory;
  std::vector<std::string_view> from;  // the files of pairs, in the order given
  bool dryRun = false, diff = false;
  std::vector<std::string_view> operands;  // pairs for --set, names for --show
};

// Options in any order, each long option by any unambiguous beginning, "--opt=value" or
// "--opt value", "--" before operands only. A usage error stops (Stop::usage).
Options parseOptions(std::span<const std::string> arguments);
