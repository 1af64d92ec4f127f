#include "app/run.h"

#include "app/menu.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/platform.h"
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
  zor.cutTail(8);
  return zor;
}

void runProgram() {
  texts::loadAll();
  RunState run;
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
  writeLauncher(run.launcherDirectory + "ZO" + ".BAT", run.launcher, run.zorDirectory);
  closingScreen();
  platform::endRun(0);
}
