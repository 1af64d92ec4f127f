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
void checkLauncher(const Str& file, const Str& zorDirectory, std::vector<Finding>& findings) {
  std::string shown = pathForScripts(file);
  platform::FileSummary content = platform::summarizeFile(file, 1 << 20);
  Launcher launcher = loadLauncher(file);
  Str zor = zorDirectory + zorProgramName;
  if (launcher.program.empty()) {
    findings.push_back({shown, "no-zor-call", msgCheckNoZorCall});
  } else {
    Str started = platform::expandPath(launcher.program);
    if (!platform::findEntry(started))
      findings.push_back({shown, "zor-missing", msgCheckZorMissing, {pathForScripts(started)}});
    else if (!zorDirectory.empty() && !ascii::sameIgnoringCase(started, zor))
      findings.push_back({shown, "zor-other", msgCheckZorOther, {pathForScripts(started), pathForScripts(zor)}});
  }
  if (const Str& name = launcher.settings.colourTableName; !name.empty()) {
    Str table = platform::expandPath(name);
    if (!platform::findEntry(table))
      findings.push_back({pathForScripts(table), "table-missing", msgCheckTableMissing, {shown}});
    else if (!mayHoldColourTable(table))
      findings.push_back({pathForScripts(table), "not-a-table", msgCheckNotATable, {shown}});
  }
  if (zorDirectory.empty()) return;  // what a save would write depends on it
  for (std::string_view line : linesNotWrittenBack(content.bytes, launcher, zorDirectory))
    findings.push_back({shown, "dropped-line", msgCheckDropped, {platform::nativeText(line)}});
}

}  // namespace

std::vector<Finding> checkMachine(const std::optional<Str>& zorDirectory, std::string_view asTyped,
                                  const Str& launcherDirectory) {
  std::vector<Finding> findings;
  Str problem;
  Str zor = findZorDirectory(problem, zorDirectory, asTyped);
  if (zor.empty()) {
    Str directory = zorDirectory ? *zorDirectory : platform::currentDirectory();
    platform::ensureBackslash(directory);
    findings.push_back({pathForScripts(directory + zorProgramName), "no-zor", msgCheckNoZor});
  }

  Str first = findLauncherDirectory();  // the one PATH finds first
  Str directory = launcherDirectory.empty() ? first : launcherDirectory;
  if (directory.empty()) {
    findings.push_back({std::string(launcherName), "no-launcher", msgNoLauncher});
    return findings;
  }
  Str file = directory + launcherName;
  if (!platform::findEntry(file)) {
    findings.push_back({pathForScripts(file), "no-launcher", msgCheckNoLauncher});
    return findings;
  }
  if (first.empty()) findings.push_back({pathForScripts(file), "not-on-path", msgCheckNotOnPath});
  else if (!ascii::sameIgnoringCase(first, directory))
    findings.push_back({pathForScripts(first + launcherName), "shadows", msgCheckShadows, {pathForScripts(file)}});
  checkLauncher(file, zor, findings);
  return findings;
}
