#include "app/menu.h"

#include "base/ascii.h"
#include "base/number.h"
#include "colours/editor.h"
#include "console/console.h"
#include "prompts/prompts.h"

using namespace texts;

namespace {

using enum MenuAction;

constexpr MenuItem items[] = {
    {'u', "subdirs", "", txtLblSubdirs, flip, &Settings::subdirs},
    {'p', "partition-table", "", txtLblPartitionTable, flip, &Settings::partitionTable},
    {'s', "boot-sectors", "", txtLblBootSectors, flip, &Settings::bootSectors},
    {'l', "verbose-format", "", txtLblVerbose, flip, &Settings::verboseFormat},
    {'b', "display-mode", "", txtLblScreen, stepMode},
    {'h', "hex-numbers", "", txtLblHex, flip, &Settings::hexNumbers},
    {'m', "mouse", "", txtLblMouse, flip, &Settings::mouse},
    {'c', "cpu-emulator", "", txtLblCpuEmulator, flip, &Settings::cpuEmulator},
    {'r', "resource-table", "", txtLblResources, flip, &Settings::resourceTable},
    {'i', "icons", "", txtLblIcons, flip, &Settings::icons},
    {'f', "colour-table", "", txtLblColourTable, askColourTable},
    {'x', "memory-limit", "", txtLblMemoryLimit, askMemoryLimit},
    {'z', "screen-lines", "", txtLblLines, askScreenLines},
    {'*', "", "", txtCreateColourTable, editColours},
    {27, "", "[Esc]", txtExitNoSave, giveUp},
    {13, "", "[<\xC4\xD9]", txtSaveExit, save},  // a return arrow in the OEM code page
    {'g', "gtdata-dll", "", 0, flip, &Settings::gtDataDll},  // ZOR's switch without a row
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
    console::writeText(menuValue(item, s));
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

void askColourTableName(RunState& run) {
  Str& name = run.launcher.settings.colourTableName;
  endLine();
  console::writeText(text(txtAskColourTable));
  console::writeText(name);
  console::writeText(")\r\n   ");
  // A name the launcher could not hand on to ZOR whole is refused: the prompt waits again.
  Str answer;
  std::string full;
  readAnswer(answer, [&full, &run](Str& typed) {
    full = colourTableAnswer(typed, run.zorDirectory);
    return fitsOptionLine(full);
  });
  name = full;
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
  s.screenLines = screenLinesAnswer(s.screenLines);
}

const MenuItem* itemOf(std::uint8_t key) {
  for (const MenuItem& item : items) {
    if (static_cast<std::uint8_t>(ascii::upper(item.key)) == key) return &item;
  }
  return nullptr;
}

}  // namespace

const std::span<const MenuItem> menuItems = items;

Str menuValue(const MenuItem& item, const Settings& s) {
  switch (item.action) {
    case flip: return text(s.*item.flag ? txtOn : txtOff);
    case stepMode: return screenModeLetters.substr(static_cast<std::size_t>(s.screenMode), 1);
    case askColourTable: return s.colourTableName;
    case askMemoryLimit: return decimal(s.memoryLimitKb).view();
    case askScreenLines: return decimal(s.screenLines).view();
    default: return {};
  }
}

std::string colourTableAnswer(std::string_view answer, std::string_view zorDirectory) {
  bool absolute = (answer.size() >= 2 && ascii::isLetter(answer[0]) && answer[1] == ':') ||
                  (!answer.empty() && answer[0] == '\\');
  return answer.empty() || absolute ? std::string(answer) : std::string(zorDirectory) + std::string(answer);
}

std::int32_t screenLinesAnswer(std::int32_t lines) {
  switch (lines) {
    case 0: case 25: case 28: case 43: case 50: case 60: return lines;
    default: return 25;
  }
}

void runMenu(RunState& run) {
  Settings& s = run.launcher.settings;
  for (;;) {
    drawMenu(s);
    std::uint8_t key = readKeyUpper();
    if (key == 0) {
      console::readKey();  // a cursor, function or Alt key: its scan code is no letter here
      continue;
    }
    const MenuItem* item = itemOf(key);
    if (!item) continue;
    switch (item->action) {
      case flip: toggleFlag(s.*item->flag); break;
      case stepMode: s.screenMode = s.screenMode == 4 ? 0 : static_cast<std::int8_t>(s.screenMode + 1); break;
      case askColourTable: askColourTableName(run); break;
      case askMemoryLimit: askMemoryLimitKb(s); break;
      case askScreenLines: askScreenLineCount(s); break;
      case editColours:
        if (editColourTable(s.colourTableName, run.colourTable)) run.tablesSaved.push_back(s.colourTableName);
        break;
      case giveUp:
        run.outcome = RunState::Outcome::gaveUp;
        console::textAttribute = 15;
        console::clearScreen();
        abortWithMessage(text(txtAborted));
      case save: return;
    }
  }
}
