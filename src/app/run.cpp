#include "app/run.h"

#include "console/console.h"
#include "launcher/launcher.h"
#include "app/menu.h"
#include "platform/platform.h"
#include "platform/search.h"
#include "texts/language.h"
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

void runProgram() {
  texts::loadAll();
  onOffTexts[0] = text(txtOff);
  onOffTexts[1] = text(txtOn);
  newScreen();
  reservedLine = text(txtReservedBatch);
  writeLine(text(txtTitle));
  writeLine("");

  Str zor = platform::searchFile("ZOR4.EXE", ".");
  if (zor.empty()) abortWithMessage(Str(text(txtAbortColon)) + "ZOR4.EXE" + text(txtNotInCurrentDir));
  zorDirectory = zor;
  zorDirectory.cutTail(8);
  if (zorDirectory[0] == 'A' || zorDirectory[0] == 'B') askAboutDrive(zorDirectory[0]);

  Str launcher = platform::searchFile("ZO.BAT", platform::environmentValue("PATH"));
  if (!launcher.empty()) {
    launcherDirectory = launcher;
    launcherDirectory.cutTail(6);
    readLauncher(launcherDirectory + "ZO" + ".BAT");
  } else {
    launcherDirectory = chooseLauncherDirectory();
  }

  runMenu();
  writeLauncher(launcherDirectory + "ZO" + ".BAT");
  closingScreen();
  platform::endRun(0);
}
