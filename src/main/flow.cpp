#include "main/flow.h"

#include "console/console.h"
#include "launcher/launcher.h"
#include "main/menu.h"
#include "platform/platform.h"
#include "texts/texts.h"

using namespace texts;

Str zorDirectory;
Str launcherDirectory;
Str reservedLine;
std::string_view onOffTexts[2];

void newScreen() {
  console::textAttribute = 30;
  console::clearScreen();
}

std::uint8_t readKeyUpper() {
  std::uint8_t key = console::readKey();
  return key >= 'a' && key <= 'z' ? static_cast<std::uint8_t>(key - 32) : key;
}

void abortWithMessage(std::string_view text) {
  console::textAttribute = 12;
  console::writeText("\r");
  console::writeText(text);
  console::clearToEndOfLine();
  console::textAttribute = 30;
  console::writeText("\r\n");
  readKeyUpper();  // blocks until a key is waiting, then takes it
  platform::exitProcess(0);
}

void readNumber(std::int32_t& value, std::int32_t lo, std::int32_t hi) {
  Str line;
  for (;;) {
    console::readLine(line);
    if (convertNumber(line, value) && value >= lo && value <= hi) return;
  }
}

void toggleFlag(Flag& flag) { flag = flag == 0 ? 1 : 0; }

void cutTail(Str& text, std::size_t n) { text.cutTail(n); }

namespace {

// The hit made absolute, its file name spelled as the file system stores it. The name
// starts after the last backslash; a colon counts only as a drive's ("D:ZO.BAT" when the
// path could not be expanded): on POSIX a name itself may hold one.
Str foundAt(const Str& candidate, const Str& storedName) {
  Str path = platform::expandPath(candidate);
  std::size_t backslash = path.view().find_last_of('\\');
  std::size_t nameStart = backslash != std::string_view::npos ? backslash + 1
                          : path.size() >= 2 && path[1] == ':' ? 2
                                                                 : 0;
  path.cutTail(path.size() - nameStart);
  return path + storedName;
}

}  // namespace

Str searchFile(std::string_view name, std::string_view list) {
  Str stored;
  Str candidate = name;
  if (platform::findEntry(candidate, &stored)) return foundAt(candidate, stored);
  std::size_t i = 0;
  for (;;) {
    while (i < list.size() && list[i] == ';') ++i;
    if (i == list.size()) return Str();
    std::string_view element;
    if (list[i] == '"') {
      std::size_t close = list.find('"', i + 1);
      if (close == std::string_view::npos) close = list.size();
      element = list.substr(i + 1, close - i - 1);
      i = close < list.size() ? close + 1 : close;
    } else {
      std::size_t end = std::min(list.find(';', i), list.size());
      element = list.substr(i, end - i);
      i = end;
    }
    candidate = element;
    if (!(element.ends_with(':') || element.ends_with('\\'))) candidate += '\\';
    candidate += name;
    if (platform::findEntry(candidate, &stored)) return foundAt(candidate, stored);
  }
}

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

  Str zor = searchFile("ZOR4.EXE", ".");
  if (zor.empty()) abortWithMessage(Str(text(txtAbortColon)) + "ZOR4.EXE" + text(txtNotInCurrentDir));
  zorDirectory = zor;
  cutTail(zorDirectory, 8);
  if (zorDirectory[0] == 'A' || zorDirectory[0] == 'B') askAboutDrive(zorDirectory[0]);

  Str launcher = searchFile("ZO.BAT", platform::environmentValue("PATH"));
  if (!launcher.empty()) {
    launcherDirectory = launcher;
    cutTail(launcherDirectory, 6);
    readLauncher(launcherDirectory + "ZO" + ".BAT");
  } else {
    launcherDirectory = chooseLauncherDirectory();
  }

  runMenu();
  writeLauncher(launcherDirectory + "ZO" + ".BAT");
  closingScreen();
  platform::exitProcess(0);
}
