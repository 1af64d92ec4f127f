#include "app/run.h"

#include "app/menu.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/platform.h"
#include "platform/native.h"
#include "platform/search.h"
#include "prompts/prompts.h"
#include "texts/language.h"
#include "texts/messages.h"
#include "texts/texts.h"

using namespace texts;

namespace {

void writeLine(std::string_view text) {
  console::writeText(text);
  console::writeText("\r\n");
}

// ZOR started from a floppy: make sure the user means it.
void askAboutDrive(char drive) {
  console::writeText(text(txtNotCopyProgram));
  console::writeText(std::string_view(&drive, 1));
  writeLine(text(txtStartDriveQ));
  console::writeText(text(txtYesNo));
  for (;;) {
    std::uint8_t key = readKeyUpper();
    if (key == 'N') abortWithMessage(text(txtCopyToHardDisk));
    if (key == 'J' || key == 'Y') return;
  }
}

void closingScreen() {
  console::textAttribute = 15;
  console::clearScreen();
  writeLine(text(txtSuccess));
  writeLine("");
  console::writeText(text(txtHelpHint));
  writeLine("ZO -?\"");
  console::writeText(text(txtStartHint));
  writeLine("ZO\"");
}

}  // namespace

Str findZorDirectory(Str& problem) {
  Str zor = platform::searchFile("ZOR4.EXE", ".");
  if (zor.empty()) {
    problem = Str(text(txtAbortColon)) + "ZOR4.EXE" + text(txtNotInCurrentDir);
    return {};
  }
  // Cut to 255 characters, the path would name ZOR4.EXE in no directory at all.
  Str here = platform::currentDirectory();
  if (here.empty() || here.size() > 255 - 9) {
    problem = text(msgZorPathTooLong);
    return {};
  }
  // A path the launcher cannot name (possible on POSIX) would make it run something else.
  if (!fitsCommandWord(here)) {
    problem = text(msgZorPathUnusable);
    return {};
  }
  zor.cutTail(8);
  return zor;
}

void runProgram(RunState& run) {
  texts::loadAll();
  newScreen();
  run.launcher.reservedLine = text(txtReservedBatch);
  writeLine(text(txtTitle));
  writeLine("");

  Str problem;
  run.zorDirectory = findZorDirectory(problem);
  if (run.zorDirectory.empty()) abortWithMessage(problem);
  if (run.zorDirectory[0] == 'A' || run.zorDirectory[0] == 'B') askAboutDrive(run.zorDirectory[0]);

  Str launcher = platform::searchFile("ZO.BAT", platform::environmentValue("PATH"));
  if (!launcher.empty()) {
    run.launcherDirectory = launcher;
    run.launcherDirectory.cutTail(6);
    run.launcher = readLauncher(run.launcherDirectory + "ZO" + ".BAT");
  } else {
    run.launcherDirectory = chooseLauncherDirectory();
  }

  runMenu(run);
  run.backup = writeLauncher(run.launcherDirectory + "ZO" + ".BAT", run.launcher, run.zorDirectory);
  run.outcome = RunState::Outcome::saved;
  closingScreen();
  platform::endRun(0);
}

std::string pathForPeople(const Str& dosPath) {
  std::string text(dosPath.view());
  std::string native = platform::nativePath(dosPath);
  if (!native.empty()) text += " (" + native + ")";
  return text;
}

void reportWritten(const RunState& run) {
  if (run.outcome == RunState::Outcome::unfinished) return;
  std::string line;
  std::string_view separator = text(msgWritten);
  if (run.outcome == RunState::Outcome::saved) {
    line += separator;
    line += pathForPeople(platform::expandPath(run.launcherDirectory + "ZO.BAT"));
    if (run.backup == Backup::failed) line += text(msgBackupFailed);
    separator = ", ";
  } else {
    line += text(run.tablesSaved.empty() ? msgNothingWritten : msgLauncherNotWritten);
  }
  for (const Str& table : run.tablesSaved) {
    line += separator;
    line += pathForPeople(platform::expandPath(table));
    separator = ", ";
  }
  line += '\n';
  if (int error = platform::writeStream(platform::Stream::output, line)) platform::runtimeError(error);
}
