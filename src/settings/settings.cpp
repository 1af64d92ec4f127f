#include "settings/settings.h"

#include "base/number.h"

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
  line += " -X";
  line += decimal(s.memoryLimitKb);
  line += " -Z";
  line += decimal(s.screenLines);
  line += " %1 %2 %3 %4 %5 %6 %7 %8 %9";
  return line;
}
