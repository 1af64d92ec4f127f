// The command line's jobs on a launcher, and what they share: the launcher the options
// name, read once, and the settings by the names the command line gives them.
#pragma once

#include <string>
#include <string_view>

#include "app/command_line_options.h"
#include "app/command_line_result.h"
#include "launcher/launcher.h"
#include "settings/setting_table.h"

// --show: every setting as NAME=VALUE, or the values of the settings named.
Outcome showJob(const platform::Machine& m, const Options& o);
// --list: the launcher's path and the settings as the menu shows them.
Outcome listJob(const platform::Machine& m, const Options& o);
// --check: a line "FILE: KEY: finding" each; code 1 when there are any.
Outcome checkJob(const platform::Machine& m, const Options& o);

// The launcher a job works on: the one in the directory named, or the one the search
// finds; what it held when it was read (asRead, when asked for) and what it holds.
struct Target {
  Str fileName;
  bool exists = false;
  std::string shown = {};  // the file's name for people (platform::pathForPeople)
  platform::FileSummary asRead = {};
  Launcher launcher = {};
};
// Stops (Stop::nothingToWorkOn) when the directory named is not there or too long, or the
// search finds no launcher; a failed read stops as its runtime error.
Target readTarget(const platform::Machine& m, const Options& o, bool summarize);

// ZOR's directory: the one --zor names, or the current one. Stops (Stop::nothingToWorkOn)
// with the reason when it holds no ZOR4.EXE, or, unless required, gives "" for the current
// one.
Str zorDirectoryFor(const platform::Machine& m, const Options& o, bool required);
// A directory named on the command line (OEM text), in the machine's own form or as a DOS
// path ("Z:\ZOR") on either build, as an absolute DOS path.
Str dosPathIn(const platform::Machine& m, std::string_view path);
// The setting of a name or a menu letter, in either case; nullptr for none.
const Setting* settingNamed(std::string_view key);
// "launcher: Z:\ZOR\ZO.BAT (/zor/ZO.BAT)", in the machine's own form.
std::string pathLine(const platform::Machine& m, std::string_view label, const Str& dosPath,
                     std::string_view notes = {});
