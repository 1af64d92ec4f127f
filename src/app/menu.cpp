#include "app/menu.h"

#include <cstdio>

#include "colours/colour_table.h"
#include "console/console.h"
#include "app/run.h"
#include "settings/settings.h"
#include "texts/texts.h"

using namespace texts;

namespace {

std::uint8_t menuKey;

void writeNumber(std::int32_t value) {
  char digits[12];
  int n = std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
  console::writeText(std::string_view(digits, static_cast<std::size_t>(n)));
}

void endLine() { console::writeText("\r\n"); }

// "                     [u]  .. " and the label: every value then starts in column 52.
void keyRow(char key, GeneralText label) {
  char leadIn[] = "                     [ ]  .. ";
  leadIn[22] = key;
  console::writeText(leadIn);
  console::writeText(text(label));
}

void flagRow(char key, GeneralText label, Flag value) {
  keyRow(key, label);
  console::writeText(onOffTexts[value]);
  endLine();
}

void drawMenu() {
  newScreen();
  endLine();
  console::writeText("                       ");
  console::writeText(text(txtTitle));
  endLine();
  endLine();
  endLine();
  flagRow('u', txtLblSubdirs, settings.subdirs);
  flagRow('p', txtLblPartitionTable, settings.partitionTable);
  flagRow('s', txtLblBootSectors, settings.bootSectors);
  flagRow('l', txtLblVerbose, settings.verboseFormat);
  keyRow('b', txtLblScreen);
  console::writeText(screenModeLetters.substr(static_cast<std::size_t>(settings.screenMode), 1));
  endLine();
  console::writeText("                             ");
  console::writeText(displayModeNameArray[settings.screenMode]);
  endLine();
  flagRow('h', txtLblHex, settings.hexNumbers);
  flagRow('m', txtLblMouse, settings.mouse);
  flagRow('c', txtLblCpuEmulator, settings.cpuEmulator);
  flagRow('r', txtLblResources, settings.resourceTable);
  flagRow('i', txtLblIcons, settings.icons);
  keyRow('f', txtLblColourTable);
  console::writeText(settings.colourTableName);
  endLine();
  keyRow('x', txtLblMemoryLimit);
  writeNumber(settings.memoryLimitKb);
  endLine();
  keyRow('z', txtLblLines);
  writeNumber(settings.screenLines);
  endLine();
  keyRow('*', txtCreateColourTable);
  endLine();
  console::writeText("                    [Esc] .. ");
  console::writeText(text(txtExitNoSave));
  endLine();
  console::writeText("                    [<\xC4\xD9] .. ");
  console::writeText(text(txtSaveExit));
  endLine();
  endLine();
  console::writeText("                      ");
}

// An answer naming a drive or the root is kept as typed; any other one is taken
// relative to the directory of ZOR4.EXE.
bool isAbsolute(const Str& path) {
  char c = path.empty() ? 0 : static_cast<char>(path[0] & ~0x20);
  return (path.size() >= 2 && c >= 'A' && c <= 'Z' && path[1] == ':') || (!path.empty() && path[0] == '\\');
}

void askColourTable() {
  endLine();
  console::writeText(text(txtAskColourTable));
  console::writeText(settings.colourTableName);
  console::writeText(")\r\n   ");
  Str answer;
  console::readLine(answer);
  settings.colourTableName = answer.empty() || isAbsolute(answer) ? answer : zorDirectory + answer;
}

void askMemoryLimit() {
  endLine();
  console::writeText(text(txtAskRamLimit));
  writeNumber(settings.memoryLimitKb);
  console::writeText(")\r\n   ");
  readNumber(settings.memoryLimitKb, 0, 2048000);
}

void askScreenLines() {
  endLine();
  console::writeText(text(txtAskScreenLines));
  console::writeText("\r\n   ");
  readNumber(settings.screenLines, 0, 60);
  switch (settings.screenLines) {
    case 0: case 25: case 28: case 43: case 50: case 60: break;
    default: settings.screenLines = 25;
  }
}

}  // namespace

void runMenu() {
  for (;;) {
    drawMenu();
    do menuKey = readKeyUpper();
    while (menuKey == 0);
    switch (menuKey) {
      case 'B': settings.screenMode = settings.screenMode == 4 ? 0 : static_cast<std::int8_t>(settings.screenMode + 1); break;
      case 'C': toggleFlag(settings.cpuEmulator); break;
      case 'F': askColourTable(); break;
      case 'G': toggleFlag(settings.gtDataDll); break;
      case 'H': toggleFlag(settings.hexNumbers); break;
      case 'I': toggleFlag(settings.icons); break;
      case 'L': toggleFlag(settings.verboseFormat); break;
      case 'M': toggleFlag(settings.mouse); break;
      case 'P': toggleFlag(settings.partitionTable); break;
      case 'R': toggleFlag(settings.resourceTable); break;
      case 'S': toggleFlag(settings.bootSectors); break;
      case 'U': toggleFlag(settings.subdirs); break;
      case 'X': askMemoryLimit(); break;
      case 'Z': askScreenLines(); break;
      case '*': editColourTable(settings.colourTableName); break;
      case 27:
        console::textAttribute = 15;
        console::clearScreen();
        abortWithMessage(text(txtAborted));
      case 13: return;
      default: break;
    }
  }
}
