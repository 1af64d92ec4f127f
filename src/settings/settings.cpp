#include "settings/settings.h"

#include <limits>

Settings settings;

namespace {

void appendFlag(std::string& line, std::string_view item, Flag value) {
  line += item;
  line += flagChars[value ? 1 : 0];
}

// " -F" or " -N" with the name is one short string, so a long name loses its tail here.
void appendName(std::string& line, std::string_view item, const Str& name) {
  if (name.empty()) return;
  Str whole = item;
  whole += name;
  line += whole.view();
}

}  // namespace

std::string formatOptionLine(const Settings& s) {
  std::string line;
  appendFlag(line, " -!", s.flagBang);
  line += " -B";
  line += screenModeLetters[static_cast<std::size_t>(s.screenMode)];
  appendFlag(line, " -C", s.cpuEmulator);
  appendName(line, " -F", s.colourTableName);
  appendFlag(line, " -G", s.gtDataDll);
  appendFlag(line, " -H", s.hexNumbers);
  appendFlag(line, " -L", s.verboseFormat);
  appendFlag(line, " -ICO", s.icons);
  appendFlag(line, " -M", s.mouse);
  appendName(line, " -N", s.unpacker);
  appendFlag(line, " -P", s.partitionTable);
  appendFlag(line, " -S", s.bootSectors);
  appendFlag(line, " -U", s.subdirs);
  line += " -X" + std::to_string(s.memoryLimitKb);
  line += " -Z" + std::to_string(s.screenLines);
  line += " %1 %2 %3 %4 %5 %6 %7 %8 %9";
  return line;
}

bool convertNumber(std::string_view text, std::int32_t& value) {
  value = 0;  // what a failed conversion leaves
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int base = 10;
  if (at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  }
  if (at == text.size()) return false;

  // Accumulate the magnitude in 64 bits and stop as soon as it leaves the 32-bit range.
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
  std::int64_t magnitude = 0;
  for (; at < text.size(); ++at) {
    char c = text[at];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return false;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}
