// The table of settings: a row for each switch of ZOR that the option line carries, and for
// each keyword of ZOR that the parser passes over. The option-line writer, the parser, the
// menu, the command line and its help all read their settings from here.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
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
  texts::Label label = {};        // the menu's row; none for a key without a row
  std::string_view name = {};     // the command line's name; none when --set cannot change it
  Flag Settings::*flag = nullptr;
  std::int32_t Settings::*number = nullptr;
  Str Settings::*text = nullptr;
  bool onlyWhenSet = false;        // the item only when the flag is on (a name: when there is one)
  texts::GeneralText prompt = {};  // what the menu asks for a value
  bool promptShowsValue = false;   // the prompt ends with the old value and ")"
  Range taken = {};                // the numbers the menu and --set take (a name: its length)
  Range parsed = {};               // the numbers the parser keeps (the parser says what becomes of others)
  std::span<const std::int32_t> kept = {};  // the numbers the menu keeps as they are; others become `otherwise`
  std::int32_t otherwise = 0;
  texts::MessageText values = texts::msgOnOrOff;    // the values as the help lists them
  texts::MessageText expected = texts::msgOnOrOff;  // what --set says it expected instead of a bad value
};

// A mode's letter for each display mode the menu names.
static_assert(screenModeLetters.size() == texts::displayModeCount);

// The screen lines the menu keeps as they are typed.
inline constexpr std::int32_t screenLineCounts[] = {0, 25, 28, 43, 50, 60};

// In the parser's order, where no keyword is a prefix of a later one.
inline constexpr Setting settingTable[] = {
    {.kind = Kind::flag, .keywords = {"!"}, .letters = "!", .writtenAt = 10, .flag = &Settings::flagBang},
    {.kind = Kind::ignored, .keywords = {"A"}},
    {.kind = Kind::screenMode, .keywords = {"BILDSCHIRM", "B"}, .letters = "B", .writtenAt = 20, .key = 'b',
     .shownAt = 50, .label = texts::txtLblScreen, .name = "display-mode", .values = texts::msgHelpModes,
     .expected = texts::msgExpectMode},
    {.kind = Kind::flag, .keywords = {"CPU", "C"}, .letters = "C", .writtenAt = 30, .key = 'c', .shownAt = 80,
     .label = texts::txtLblCpuEmulator, .name = "cpu-emulator", .flag = &Settings::cpuEmulator},
    {.kind = Kind::ignored, .keywords = {"DIREKT_IDE", "D"}},
    {.kind = Kind::ignored, .keywords = {"EMS"}},
    {.kind = Kind::ignored, .keywords = {"EA"}},
    {.kind = Kind::name, .keywords = {"FARBTABELLE", "F"}, .letters = "F", .writtenAt = 40, .key = 'f',
     .shownAt = 110, .label = texts::txtLblColourTable, .name = "colour-table", .text = &Settings::colourTableName,
     .onlyWhenSet = true, .prompt = texts::txtAskColourTable, .promptShowsValue = true,
     .taken = {0, maxOptionName}, .values = texts::msgHelpFileName, .expected = texts::msgExpectFileName},
    {.kind = Kind::flag, .keywords = {"GTDATADLL", "G"}, .letters = "G", .writtenAt = 50, .key = 'g', .shownAt = 140,
     .name = "gtdata-dll", .flag = &Settings::gtDataDll},
    {.kind = Kind::flag, .keywords = {"HEX", "H"}, .letters = "H", .writtenAt = 60, .key = 'h', .shownAt = 60,
     .label = texts::txtLblHex, .name = "hex-numbers", .flag = &Settings::hexNumbers},
    {.kind = Kind::flag, .keywords = {"ICO", "I"}, .letters = "ICO", .writtenAt = 80, .key = 'i', .shownAt = 100,
     .label = texts::txtLblIcons, .name = "icons", .flag = &Settings::icons},
    {.kind = Kind::ignored, .keywords = {"SIGNATUREN"}},
    {.kind = Kind::ignored, .keywords = {"JOYSTICK", "J"}},
    {.kind = Kind::screenLines, .keywords = {"ZEILEN", "LINES", "Z"}, .letters = "Z", .writtenAt = 160, .key = 'z',
     .shownAt = 130, .label = texts::txtLblLines, .name = "screen-lines", .number = &Settings::screenLines,
     .prompt = texts::txtAskScreenLines, .taken = {0, 60}, .parsed = {25, 80}, .kept = screenLineCounts,
     .otherwise = 25, .values = texts::msgHelpScreenLines, .expected = texts::msgExpectScreenLines},
    {.kind = Kind::flag, .keywords = {"LANGFORMAT", "L"}, .letters = "L", .writtenAt = 70, .key = 'l', .shownAt = 40,
     .label = texts::txtLblVerbose, .name = "verbose-format", .flag = &Settings::verboseFormat},
    {.kind = Kind::memoryLimit, .keywords = {"XMS", "MEMORY", "SPEICHER", "X"}, .letters = "X", .writtenAt = 150,
     .key = 'x', .shownAt = 120, .label = texts::txtLblMemoryLimit, .name = "memory-limit",
     .number = &Settings::memoryLimitKb, .prompt = texts::txtAskRamLimit, .promptShowsValue = true,
     .taken = {0, 2048000}, .parsed = {std::numeric_limits<std::int32_t>::min(), 2097151}, .values = texts::msgHelpMemoryLimit,
     .expected = texts::msgExpectMemoryLimit},
    {.kind = Kind::flag, .keywords = {"MAUS", "MOUSE", "M"}, .letters = "M", .writtenAt = 90, .key = 'm', .shownAt = 70,
     .label = texts::txtLblMouse, .name = "mouse", .flag = &Settings::mouse},
    {.kind = Kind::name, .keywords = {"ENTPACKER", "UNPACKER", "N"}, .letters = "N", .writtenAt = 100,
     .text = &Settings::unpacker, .onlyWhenSet = true},
    {.kind = Kind::flag, .keywords = {"PARTITION", "P"}, .letters = "P", .writtenAt = 110, .key = 'p', .shownAt = 20,
     .label = texts::txtLblPartitionTable, .name = "partition-table", .flag = &Settings::partitionTable},
    {.kind = Kind::flag, .keywords = {"RESOURCE", "R"}, .letters = "R", .writtenAt = 120, .key = 'r', .shownAt = 90,
     .label = texts::txtLblResources, .name = "resource-table", .flag = &Settings::resourceTable, .onlyWhenSet = true},
    {.kind = Kind::flag, .keywords = {"UNTERVERZEICHNISSE", "SUBDIR", "U"}, .letters = "U", .writtenAt = 140,
     .key = 'u', .shownAt = 10, .label = texts::txtLblSubdirs, .name = "subdirs", .flag = &Settings::subdirs},
    {.kind = Kind::flag, .keywords = {"SEKTOREN", "SECTORS", "S"}, .letters = "S", .writtenAt = 130, .key = 's',
     .shownAt = 30, .label = texts::txtLblBootSectors, .name = "boot-sectors", .flag = &Settings::bootSectors},
};

// The rows that have a place of this kind, in the order of those places. The places are
// numbered with gaps, so that a row can go between two others on its own.
template <int Setting::*place>
constexpr auto rowsInOrder() {
  constexpr auto count = std::size_t(std::ranges::count_if(settingTable, [](auto& row) { return row.*place; }));
  std::array<const Setting*, count> rows{};
  std::size_t n = 0;
  for (const Setting& row : settingTable)
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
