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
  int writtenAt = 0;              // the item's place in the option line, smallest first; 0 for none
  char key = 0;                   // the menu's key, either case; 0 for none
  int shownAt = 0;                // the place on the menu, in --show and in the help; 0 for none
  texts::GeneralText label = {};  // the menu's row; none for a key without a row
  std::string_view name = {};     // the command line's name; none when --set cannot change it
  Flag Settings::*flag = nullptr;
  std::int32_t Settings::*number = nullptr;
  Str Settings::*text = nullptr;
  bool onlyWhenSet = false;        // the item only when the flag is on (a name: when there is one)
  texts::GeneralText prompt = {};  // what the menu asks for a value
  Range taken = {};                // the numbers the menu and --set take
  Range parsed = {};               // the numbers the parser keeps (the parser says what becomes of others)
  texts::MessageText values = texts::msgOnOrOff;    // the values as the help lists them
  texts::MessageText expected = texts::msgOnOrOff;  // what --set says it expected instead of a bad value
};

namespace setting_rows {
using enum Kind;
using namespace texts;
constexpr std::int32_t noLowerBound = std::numeric_limits<std::int32_t>::min();
// In the parser's order, where no keyword is a prefix of a later one. The columns: kind, keywords,
// letters, writtenAt, key, shownAt, label, name, the field, and what some kinds need besides.
inline constexpr Setting all[] = {
    {flag, {"!"}, "!", 10, 0, 0, {}, {}, &Settings::flagBang},
    {ignored, {"A"}},
    {screenMode, {"BILDSCHIRM", "B"}, "B", 20, 'b', 50, txtLblScreen, "display-mode", {}, {}, {}, false, {}, {}, {},
     msgHelpModes, msgExpectMode},
    {flag, {"CPU", "C"}, "C", 30, 'c', 80, txtLblCpuEmulator, "cpu-emulator", &Settings::cpuEmulator},
    {ignored, {"DIREKT_IDE", "D"}},
    {ignored, {"EMS"}},
    {ignored, {"EA"}},
    {name, {"FARBTABELLE", "F"}, "F", 40, 'f', 110, txtLblColourTable, "colour-table", {}, {},
     &Settings::colourTableName, true, txtAskColourTable, {}, {}, msgHelpFileName, msgExpectFileName},
    {flag, {"GTDATADLL", "G"}, "G", 50, 'g', 140, {}, "gtdata-dll", &Settings::gtDataDll},
    {flag, {"HEX", "H"}, "H", 60, 'h', 60, txtLblHex, "hex-numbers", &Settings::hexNumbers},
    {flag, {"ICO", "I"}, "ICO", 80, 'i', 100, txtLblIcons, "icons", &Settings::icons},
    {ignored, {"SIGNATUREN"}},
    {ignored, {"JOYSTICK", "J"}},
    {screenLines, {"ZEILEN", "LINES", "Z"}, "Z", 160, 'z', 130, txtLblLines, "screen-lines", {}, &Settings::screenLines,
     {}, false, txtAskScreenLines, {0, 60}, {25, 80}, msgHelpScreenLines, msgExpectScreenLines},
    {flag, {"LANGFORMAT", "L"}, "L", 70, 'l', 40, txtLblVerbose, "verbose-format", &Settings::verboseFormat},
    {memoryLimit, {"XMS", "MEMORY", "SPEICHER", "X"}, "X", 150, 'x', 120, txtLblMemoryLimit, "memory-limit", {},
     &Settings::memoryLimitKb, {}, false, txtAskRamLimit, {0, 2048000}, {noLowerBound, 2097151},
     msgHelpMemoryLimit, msgExpectMemoryLimit},
    {flag, {"MAUS", "MOUSE", "M"}, "M", 90, 'm', 70, txtLblMouse, "mouse", &Settings::mouse},
    {name, {"ENTPACKER", "UNPACKER", "N"}, "N", 100, 0, 0, {}, {}, {}, {}, &Settings::unpacker, true},
    {flag, {"PARTITION", "P"}, "P", 110, 'p', 20, txtLblPartitionTable, "partition-table", &Settings::partitionTable},
    {flag, {"RESOURCE", "R"}, "R", 120, 'r', 90, txtLblResources, "resource-table", &Settings::resourceTable, {}, {},
     true},
    {flag, {"UNTERVERZEICHNISSE", "SUBDIR", "U"}, "U", 140, 'u', 10, txtLblSubdirs, "subdirs", &Settings::subdirs},
    {flag, {"SEKTOREN", "SECTORS", "S"}, "S", 130, 's', 30, txtLblBootSectors, "boot-sectors", &Settings::bootSectors},
};
}  // namespace setting_rows

inline constexpr const auto& settingTable = setting_rows::all;

// The rows that have a place of this kind, in the order of those places. The places are
// numbered with gaps, so that a row can go between two others on its own.
template <int Setting::*place>
constexpr auto rowsInOrder() {
  constexpr auto count = std::size_t(std::ranges::count_if(setting_rows::all, [](auto& row) { return row.*place; }));
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
