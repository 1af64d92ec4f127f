#include "settings/settings.h"

#include <algorithm>

#include "base/number.h"

namespace {

void appendFlag(std::string& line, std::string_view item, Flag value) {
  line += item;
  line += flagChars[value ? 1 : 0];
}

void appendName(std::string& line, std::string_view item, const Str& name) {
  if (name.empty()) return;
  line += item;
  line += commandWord(name);
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
  if (s.resourceTable) appendFlag(line, " -R", s.resourceTable);  // off: as launchers always were
  appendFlag(line, " -S", s.bootSectors);
  appendFlag(line, " -U", s.subdirs);
  line += " -X";
  line += decimal(s.memoryLimitKb);
  line += " -Z";
  line += decimal(s.screenLines);
  line += " %1 %2 %3 %4 %5 %6 %7 %8 %9";
  return line;
}

std::string commandWord(std::string_view text) {
  std::string word;
  for (char c : text) {
    if (c == '%') word += '%';  // a batch file turns "%%" into "%", also between quotes
    word += c;
  }
  if (text.find_first_of(" \t&|<>^(),;=") == std::string_view::npos) return word;
  // Before a closing quote, 2n backslashes give n: the trailing ones must stay themselves.
  std::size_t trailing = word.size() - (word.find_last_not_of('\\') + 1);
  word.append(trailing, '\\');
  return '"' + word + '"';
}

bool fitsCommandWord(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c == '"' || static_cast<unsigned char>(c) < 32; });
}
