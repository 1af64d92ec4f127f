#include "app/check.h"

#include "base/ascii.h"
#include "colours/colour_table.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/search.h"

using namespace texts;
using platform::pathForScripts;

namespace {

// What the launcher file says: the ZOR it starts, the colour table it names, the lines a
// save would drop.
void checkLauncher(const platform::Machine& m, const Str& file, const Str& zorDirectory,
                   std::vector<Finding>& findings) {
  std::string shown = pathForScripts(m, file);
  platform::FileSummary content = platform::summarizeFile(m, file, 1 << 20);
  Launcher launcher = loadLauncher(m, file);
  Str zor = zorDirectory + zorProgramName;
  if (launcher.program.empty()) {
    findings.push_back({shown, "no-zor-call", msgCheckNoZorCall});
  } else {
    Str started = platform::expandPath(m, launcher.program);
    if (!platform::findEntry(m, started))
      findings.push_back({shown, "zor-missing", msgCheckZorMissing, {pathForScripts(m, started)}});
    else if (!zorDirectory.empty() && !ascii::sameIgnoringCase(started, zor))
      findings.push_back({shown, "zor-other", msgCheckZorOther, {pathForScripts(m, started), pathForScripts(m, zor)}});
  }
  if (const Str& name = launcher.settings.colourTableName; !name.empty()) {
    Str table = platform::expandPath(m, name);
    if (!platform::findEntry(m, table))
      findings.push_back({pathForScripts(m, table), "table-missing", msgCheckTableMissing, {shown}});
    else if (!mayHoldColourTable(m, table))
      findings.push_back({pathForScripts(m, table), "not-a-table", msgCheckNotATable, {shown}});
  }
  if (zorDirectory.empty()) return;  // what a save would write depends on it
  for (std::string_view line : linesNotWrittenBack(content.bytes, launcher, zorDirectory))
    findings.push_back({shown, "dropped-line", msgCheckDropped, {platform::nativeText(line)}});
}

}  // namespace

std::vector<Finding> checkMachine(const platform::Machine& m, const std::optional<Str>& zorDirectory,
                                  std::string_view asTyped, const Str& launcherDirectory) {
  std::vector<Finding> findings;
  Str problem;
  Str zor = findZorDirectory(m, problem, zorDirectory, asTyped);
  if (zor.empty()) {
    Str directory = zorDirectory ? *zorDirectory : platform::currentDirectory(m);
    platform::ensureBackslash(directory);
    findings.push_back({pathForScripts(m, directory + zorProgramName), "no-zor", msgCheckNoZor});
  }

  Str first = findLauncherDirectory(m);  // the one PATH finds first
  Str directory = launcherDirectory.empty() ? first : launcherDirectory;
  if (directory.empty()) {
    findings.push_back({std::string(launcherName), "no-launcher", msgNoLauncher});
    return findings;
  }
  Str file = directory + launcherName;
  if (!platform::findEntry(m, file)) {
    findings.push_back({pathForScripts(m, file), "no-launcher", msgCheckNoLauncher});
    return findings;
  }
  if (first.empty()) findings.push_back({pathForScripts(m, file), "not-on-path", msgCheckNotOnPath});
  else if (!ascii::sameIgnoringCase(first, directory))
    findings.push_back(
        {pathForScripts(m, first + launcherName), "shadows", msgCheckShadows, {pathForScripts(m, file)}});
  checkLauncher(m, file, zor, findings);
  return findings;
}
