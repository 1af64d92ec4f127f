#include "app/menu.h"

#include "base/number.h"
#include "colours/editor.h"
#include "console/console.h"
#include "prompts/prompts.h"

using namespace texts;

namespace {

using enum MenuAction;

constexpr MenuItem items[] = {
    {'u', "", txtLblSubdirs, flip, &Settings::subdirs},
    {'p', "", txtLblPartitionTable, flip, &Settings::partitionTable},
    {'s', "", txtLblBootSectors, flip, &Settings::bootSectors},
    {'l', "", txtLblVerbose, flip, &Settings::verboseFormat},
    {'b', "", txtLblScreen, stepMode},
    {'h', "", txtLblHex, flip, &Settings::hexNumbers},
    {'m', "", txtLblMouse, flip, &Settings::mouse},
    {'c', "", txtLblCpuEmulator, flip, &Settings::cpuEmulator},
    {'r', "", txtLblResources, flip, &Settings::resourceTable},
    {'i', "", txtLblIcons, flip, &Settings::icons},
    {'f', "", txtLblColourTable, askColourTable},
    {'x', "", txtLblMemoryLimit, askMemoryLimit},
    {'z', "", txtLblLines, askScreenLines},
    {'*', "", txtCreateColourTable, editColours},
    {27, "[Esc]", txtExitNoSave, giveUp},
    {13, "[<\xC4\xD9]", txtSaveExit, save},  // a return arrow in the OEM code page
    {'g', "", 0, flip, &Settings::gtDataDll},  // ZOR's switch without a row
};

void endLine() { console::writeText("\r\n"); }

// "                     [u]  .. ", or "                    [Esc] .. ": every label starts in
// column 30, every value in column 52.
void leadIn(const MenuItem& item) {
  if (item.sign.empty()) {
    char text[] = "                     [ ]  .. ";
    text[22] = item.key;
    console::writeText(text);
  } else {
    console::writeText("                    ");
    console::writeText(item.sign);
    console::writeText(" .. ");
  }
}

void writeValue(const MenuItem& item, const Settings& s) {
  switch (item.action) {
    case flip: console::writeText(text(s.*item.flag ? txtOn : txtOff)); break;
    case stepMode: console::writeText(screenModeLetters.substr(static_cast<std::size_t>(s.screenMode), 1)); break;
    case askColourTable: console::writeText(s.colourTableName); break;
    case askMemoryLimit: console::writeText(decimal(s.memoryLimitKb)); break;
    case askScreenLines: console::writeText(decimal(s.screenLines)); break;
    default: break;
  }
}

void drawMenu(const Settings& s) {
  newScreen();
  endLine();
  console::writeText("                       ");
  console::writeText(text(txtTitle));
  endLine();
  endLine();
  endLine();
  for (const MenuItem& item : items) {
    if (item.label == 0) continue;
    leadIn(item);
    console::writeText(text(static_cast<GeneralText>(item.label)));
    writeValue(item, s);
    endLine();
    if (item.action == stepMode) {  // the name of the display mode, on a row of its own
      console::writeText("                             ");
      console::writeText(displayModeNameArray[s.screenMode]);
      endLine();
    }
  }
  endLine();
  console::writeText("                      ");
}

// An answer naming a drive or the root is kept as typed; any other one is taken
// relative to the directory of ZOR4.EXE.
bool isAbsolute(const Str& path) {
  char c = path.empty() ? 0 : static_cast<char>(path[0] & ~0x20);
  return (path.size() >= 2 && c >= 'A' && c <= 'Z' && path[1] == ':') || (!path.empty() && path[0] == '\\');
}

void askColourTableName(RunState& run) {
  Str& name = run.launcher.settings.colourTableName;
  endLine();
  console::writeText(text(txtAskColourTable));
  console::writeText(name);
  console::writeText(")\r\n   ");
  Str answer;
  console::readLine(answer);
  name = answer.empty() || isAbsolute(answer) ? answer : run.zorDirectory + answer;
}

void askMemoryLimitKb(Settings& s) {
  endLine();
  console::writeText(text(txtAskRamLimit));
  console::writeText(decimal(s.memoryLimitKb));
  console::writeText(")\r\n   ");
  readNumber(s.memoryLimitKb, 0, 2048000);
}

void askScreenLineCount(Settings& s) {
  endLine();
  console::writeText(text(txtAskScreenLines));
  console::writeText("\r\n   ");
  readNumber(s.screenLines, 0, 60);
  switch (s.screenLines) {
    case 0: case 25: case 28: case 43: case 50: case 60: break;
    default: s.screenLines = 25;
  }
}

const MenuItem* itemOf(std::uint8_t key) {
  for (const MenuItem& item : items) {
    char upper = item.key >= 'a' && item.key <= 'z' ? static_cast<char>(item.key - 32) : item.key;
    if (static_cast<std::uint8_t>(upper) == key) return &item;
  }
  return nullptr;
}

}  // namespace

const std::span<const MenuItem> menuItems = items;

void runMenu(RunState& run) {
  Settings& s = run.launcher.settings;
  for (;;) {
    drawMenu(s);
    std::uint8_t key;
    do key = readKeyUpper();
    while (key == 0);
    const MenuItem* item = itemOf(key);
    if (!item) continue;
    switch (item->action) {
      case flip: toggleFlag(s.*item->flag); break;
      case stepMode: s.screenMode = s.screenMode == 4 ? 0 : static_cast<std::int8_t>(s.screenMode + 1); break;
      case askColourTable: askColourTableName(run); break;
      case askMemoryLimit: askMemoryLimitKb(s); break;
      case askScreenLines: askScreenLineCount(s); break;
      case editColours: editColourTable(s.colourTableName, run.colourTable); break;
      case giveUp:
        console::textAttribute = 15;
        console::clearScreen();
        abortWithMessage(text(txtAborted));
      case save: return;
    }
  }
}
