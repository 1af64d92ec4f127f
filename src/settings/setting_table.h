// The table of settings: a row for each switch of ZOR that the option line carries, and for
// each keyword of ZOR that the parser passes over. The option-line writer, the parser, the
// menu, the command line and its help all read their settings from here.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "settings/settings.h"
#include "texts/texts.h"

// What a setting holds, and so how it is shown, changed, written and read back.
enum class Kind : std::uint8_t {
  flag,         // on or off: "+" or "-" in the line; its menu key flips it
  screenMode,   // a letter of screenModeLetters; its menu key steps it
  name,         // a file name, in the line only when there is one
  memoryLimit,  // KB, asked for by the menu
  screenLines,  // lines, asked for by the menu; some counts stand for others
  ignored,      // a keyword of ZOR that sets nothing here
};

struct Range {
  std::int32_t lowest = 0, highest = 0;
};

struct Setting {
  Kind kind;
  std::array<std::string_view, 4> keywords;  // the parser's, in the order it tests them
  std::string_view letters = {};  // the option line's item: " -", the letters, the value
  int writtenAt = 0;             // the item's place in the option line, smallest first; 0 for none
  bool onlyWhenSet = false;      // the item only when the flag is on (a name: when there is one)
  Flag Settings::*flag = nullptr;
  std::int32_t Settings::*number = nullptr;
  Str Settings::*text = nullptr;
  char key = 0;                  // the menu's key, either case; 0 for none
  int shownAt = 0;               // the place on the menu, in --show and in the help; 0 for none
  texts::GeneralText label = {};  // the menu's row; none for a key without a row
  texts::GeneralText prompt = {};  // what the menu asks for a value
  std::string_view name = {};    // the command line's name; none when --set cannot change it
  Range taken = {};   // the numbers the menu and --set take
  Range parsed = {};  // the numbers the parser keeps (see the parser for what becomes of others)
  texts::MessageText values = texts::msgOnOrOff;    // the values as the help lists them
  texts::MessageText expected = texts::msgOnOrOff;  // what --set says it expected instead of a bad value
};

namespace setting_rows {
using enum Kind;
using namespace texts;
// In the parser's order, where no keyword is a prefix of a later one.
inline constexpr Setting all[] = {
    {.kind = flag, .keywords = {"!"}, .letters = "!", .writtenAt = 10, .flag = &Settings::flagBang},
    {.kind = ignored, .keywords = {"A"}},
    {.kind = screenMode, .keywords = {"BILDSCHIRM", "B"}, .letters = "B", .writtenAt = 20, .key = 'b', .shownAt = 50,
     .label = txtLblScreen, .name = "display-mode", .values = msgHelpModes, .expected = msgExpectMode},
    {.kind = flag, .keywords = {"CPU", "C"}, .letters = "C", .writtenAt = 30, .flag = &Settings::cpuEmulator, .key = 'c',
     .shownAt = 80, .label = txtLblCpuEmulator, .name = "cpu-emulator"},
    {.kind = ignored, .keywords = {"DIREKT_IDE", "D"}},
    {.kind = ignored, .keywords = {"EMS"}},
    {.kind = ignored, .keywords = {"EA"}},
    {.kind = name, .keywords = {"FARBTABELLE", "F"}, .letters = "F", .writtenAt = 40, .onlyWhenSet = true,
     .text = &Settings::colourTableName, .key = 'f', .shownAt = 110, .label = txtLblColourTable,
     .prompt = txtAskColourTable, .name = "colour-table", .values = msgHelpFileName, .expected = msgExpectFileName},
    {.kind = flag, .keywords = {"GTDATADLL", "G"}, .letters = "G", .writtenAt = 50, .flag = &Settings::gtDataDll, .key = 'g',
     .shownAt = 140, .name = "gtdata-dll"},
    {.kind = flag, .keywords = {"HEX", "H"}, .letters = "H", .writtenAt = 60, .flag = &Settings::hexNumbers, .key = 'h',
     .shownAt = 60, .label = txtLblHex, .name = "hex-numbers"},
    {.kind = flag, .keywords = {"ICO", "I"}, .letters = "ICO", .writtenAt = 80, .flag = &Settings::icons, .key = 'i',
     .shownAt = 100, .label = txtLblIcons, .name = "icons"},
    {.kind = ignored, .keywords = {"SIGNATUREN"}},
    {.kind = ignored, .keywords = {"JOYSTICK", "J"}},
    {.kind = screenLines, .keywords = {"ZEILEN", "LINES", "Z"}, .letters = "Z", .writtenAt = 160,
     .number = &Settings::screenLines, .key = 'z', .shownAt = 130, .label = txtLblLines, .prompt = txtAskScreenLines,
     .name = "screen-lines", .taken = {0, 60}, .parsed = {25, 80}, .values = msgHelpScreenLines,
     .expected = msgExpectScreenLines},
    {.kind = flag, .keywords = {"LANGFORMAT", "L"}, .letters = "L", .writtenAt = 70, .flag = &Settings::verboseFormat,
     .key = 'l', .shownAt = 40, .label = txtLblVerbose, .name = "verbose-format"},
    {.kind = memoryLimit, .keywords = {"XMS", "MEMORY", "SPEICHER", "X"}, .letters = "X", .writtenAt = 150,
     .number = &Settings::memoryLimitKb, .key = 'x', .shownAt = 120, .label = txtLblMemoryLimit,
     .prompt = txtAskRamLimit, .name = "memory-limit", .taken = {0, 2048000},
     .parsed = {std::numeric_limits<std::int32_t>::min(), 2097151}, .values = msgHelpMemoryLimit,
     .expected = msgExpectMemoryLimit},
    {.kind = flag, .keywords = {"MAUS", "MOUSE", "M"}, .letters = "M", .writtenAt = 90, .flag = &Settings::mouse, .key = 'm',
     .shownAt = 70, .label = txtLblMouse, .name = "mouse"},
    {.kind = name, .keywords = {"ENTPACKER", "UNPACKER", "N"}, .letters = "N", .writtenAt = 100, .onlyWhenSet = true,
     .text = &Settings::unpacker},
    {.kind = flag, .keywords = {"PARTITION", "P"}, .letters = "P", .writtenAt = 110, .flag = &Settings::partitionTable,
     .key = 'p', .shownAt = 20, .label = txtLblPartitionTable, .name = "partition-table"},
    {.kind = flag, .keywords = {"RESOURCE", "R"}, .letters = "R", .writtenAt = 120, .onlyWhenSet = true,
     .flag = &Settings::resourceTable, .key = 'r', .shownAt = 90, .label = txtLblResources, .name = "resource-table"},
    {.kind = flag, .keywords = {"UNTERVERZEICHNISSE", "SUBDIR", "U"}, .letters = "U", .writtenAt = 140,
     .flag = &Settings::subdirs, .key = 'u', .shownAt = 10, .label = txtLblSubdirs, .name = "subdirs"},
    {.kind = flag, .keywords = {"SEKTOREN", "SECTORS", "S"}, .letters = "S", .writtenAt = 130, .flag = &Settings::bootSectors,
     .key = 's', .shownAt = 30, .label = txtLblBootSectors, .name = "boot-sectors"},
};
}  // namespace setting_rows

inline constexpr const auto& settingTable = setting_rows::all;

// The rows that have a place of this kind, in the order of those places. The places are
// numbered with gaps, so that a row can go between two others on its own.
template <int Setting::*place>
constexpr auto rowsInOrder() {
  constexpr std::size_t count = std::ranges::count_if(setting_rows::all, [](const Setting& row) { return row.*place != 0; });
  std::array<const Setting*, count> rows{};
  std::size_t n = 0;
  for (const Setting& row : setting_rows::all)
    if (row.*place != 0) rows[n++] = &row;
  auto placeOf = [](const Setting* row) { return row->*place; };
  std::ranges::sort(rows, {}, placeOf);
  if (std::ranges::adjacent_find(rows, {}, placeOf) != rows.end()) throw "two rows in one place";
  return rows;
}

// The option line's items in writing order.
inline constexpr auto writingOrder = rowsInOrder<&Setting::writtenAt>();
// The settings as the menu, --show and the help list them.
inline constexpr auto shownOrder = rowsInOrder<&Setting::shownAt>();
