#include "launcher/launcher.h"
#include "platform/platform.h"
#include "prompts/prompts.h"
#include "texts/texts.h"

std::string formatLauncher(const Launcher& launcher, std::string_view zorDirectory) {
  std::string content = "@ECHO OFF\r\n";
  content += launcher.reservedLine;
  content += "\r\n";
  // Quoted and escaped only where the command interpreter needs it: a plain path stays as
  // launchers always had it.
  content += commandWord(std::string(zorDirectory) + "ZOR4.EXE");
  content += formatOptionLine(launcher.settings);  // the last line has no line end
  return content;
}

Backup saveLauncherShowingName(std::string_view fileName, const Launcher& launcher, std::string_view zorDirectory) {
  showFileRow(texts::text(texts::txtWriting), fileName);
  return saveLauncher(fileName, launcher, zorDirectory);
}

Backup saveLauncher(std::string_view fileName, const Launcher& launcher, std::string_view zorDirectory) {
  // A launcher edited by hand may hold lines or switches this program does not know: when
  // the content changes, the old one stays beside the new one as ZO.BAK.
  return platform::replaceFile(fileName, formatLauncher(launcher, zorDirectory), "ZO.BAK");
}
