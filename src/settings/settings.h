// The options of ZOR that the program manages, and the option line that carries them on
// the launcher's command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/number.h"
#include "base/short_string.h"

// A bool setting is one byte holding 0 (off) or 1 (on).
using Flag = std::uint8_t;

struct Settings {
  Flag subdirs = 1;
  Flag partitionTable = 0;
  Flag bootSectors = 0;
  Flag resourceTable = 0;
  Flag gtDataDll = 1;
  Flag mouse = 1;
  Flag flagBang = 0;
  Flag verboseFormat = 1;
  Flag icons = 1;
  Flag hexNumbers = 1;
  Flag cpuEmulator = 1;
  std::int8_t screenMode = 0;  // 0..4, see screenModeLetters
  Str colourTableName;
  std::int32_t memoryLimitKb = 3000;
  Str unpacker;
  std::int32_t screenLines = 0;
};

inline constexpr char flagChars[2] = {'-', '+'};
inline constexpr std::string_view screenModeLetters = "CEAFH";

// The option line for these settings, item by item in writing order, each item with its
// own leading blank, ending with " %1 %2 ... %9". Names are written as commandWord has them.
std::string formatOptionLine(const Settings& s);

// Text as a batch file must hold it for the command interpreter to hand it on to a program
// as one argument, as it is: every "%" doubled, and in double quotes when it holds a blank,
// a tab or one of &|<>^(),;= (a backslash at its end doubled before the closing quote).
// Any other text comes back unchanged.
std::string commandWord(std::string_view text);

// Text that commandWord can hand on whole: no control character and no double quote.
bool fitsCommandWord(std::string_view text);
// The longest name " -F" or " -N" can carry in one short string.
inline constexpr std::int32_t maxOptionName = 255 - 3;

// Off becomes on, on becomes off.
inline void toggleFlag(Flag& flag) { flag = flag == 0 ? 1 : 0; }
