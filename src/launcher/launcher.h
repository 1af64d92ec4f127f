// The launcher ZO.BAT as a value: its reserved line and the settings its command line
// carries. Parsing and formatting are pure; reading and writing the file are thin steps
// around them; the two whose names say so first show on the screen which file they work on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/short_string.h"
#include "platform/platform.h"
#include "settings/settings.h"

// ZOR's program, which the launcher starts by its full path.
inline constexpr std::string_view zorProgramName = "ZOR4.EXE";

struct Launcher {
  Str reservedLine;   // the launcher's second line (the third of a REXX launcher)
  Settings settings;  // the switches of its command line over the defaults
  std::string program = {};  // the ZOR4.EXE its command line starts, as the command interpreter takes the name
};

// The three lines: "@ECHO OFF", the reserved line, then ZOR4.EXE in zorDirectory (as
// commandWord writes it) with the option line. The last line has no line end.
std::string formatLauncher(const Launcher& launcher, std::string_view zorDirectory);
// The option part of a launcher's command line.
std::string extractOptionLine(std::string_view commandLine);

// Reads a launcher file, batch or REXX form. A line ends at LF, a CR is dropped, 0x1A ends
// the text, the reserved line keeps 255 characters; the command line counts whole. The
// colour-table name is empty unless the command line names one. A failure stops the run.
Launcher loadLauncher(const platform::Machine& m, std::string_view fileName);
// Shows "reading <name> ..." on its own row, then loads the file.
Launcher loadLauncherShowingName(const platform::Machine& m, std::string_view fileName);
// What a save did with the launcher it replaced: the platform's answer about ZO.BAK, and
// whether the file had changed since it was read.
struct Saved {
  platform::BackupCopy backup = platform::BackupCopy::notNeeded;
  bool changedSinceRead = false;  // the file was not what the run had read (or not there)
};

// The lines of a text as the launcher's reader takes them: each ends at LF, without its CR.
std::vector<std::string_view> linesOf(std::string_view text);
// The lines of a launcher's content that writing it anew would not write back: lines and
// switches of the user's own, each line that holds some (as views into content, without
// their line ends).
std::vector<std::string_view> linesNotWrittenBack(std::string_view content, const Launcher& launcher,
                                                  std::string_view zorDirectory);

// Whether content is a launcher this program writes for ZOR in zorDirectory, byte for byte,
// from the settings its command line carries: writing it again would lose nothing.
bool isOwnLauncher(std::string_view content, std::string_view zorDirectory);
// Replaces the file with the launcher's bytes (a failure stops the run and leaves the old
// file). asRead is what the file held when the run read it (platform::summarizeFile, taken
// before reading it). The file's old content becomes ZO.BAK beside it when it holds
// something of the user's own, or changed since it was read; ZO.BAK stays as it is
// otherwise, and when the save fails. When such a launcher cannot be kept as ZO.BAK, the
// save stops and leaves it.
Saved saveLauncher(const platform::Machine& m, std::string_view fileName, const Launcher& launcher,
                   std::string_view zorDirectory, const platform::FileSummary& asRead);
// What the line naming a saved launcher adds about its old content (OEM text): that it
// had changed since it was read.
std::string savedNotes(const Saved& saved);
// Shows "writing <name> ..." on its own row, then saves as saveLauncher does.
Saved saveLauncherShowingName(const platform::Machine& m, std::string_view fileName, const Launcher& launcher,
                              std::string_view zorDirectory, const platform::FileSummary& asRead);
