// parseOptionLine on any text: every field stays within its range, and the option line
// written for what was parsed, put behind the program path as the launcher carries it and
// read back, gives the same settings, names with blanks and quotes included.
#include <cstdint>

#include "launcher/launcher.h"
#include "settings/option_parser.h"
#include "settings/settings.h"
#include "support.h"

namespace {

bool isFlag(Flag f) { return f == 0 || f == 1; }

bool sameOnTheLine(const Settings& a, const Settings& b) {
  return a.subdirs == b.subdirs && a.partitionTable == b.partitionTable && a.bootSectors == b.bootSectors &&
         a.resourceTable == b.resourceTable && a.gtDataDll == b.gtDataDll && a.mouse == b.mouse &&
         a.flagBang == b.flagBang && a.verboseFormat == b.verboseFormat && a.icons == b.icons &&
         a.hexNumbers == b.hexNumbers && a.cpuEmulator == b.cpuEmulator && a.screenMode == b.screenMode &&
         a.colourTableName == b.colourTableName.view() && a.memoryLimitKb == b.memoryLimitKb &&
         a.unpacker == b.unpacker.view() && a.screenLines == b.screenLines;
}

// A name comes back from its item when it holds no double quote (the launcher cannot carry
// one), does not start with ':' or '=' (they belong to the switch), and a colour-table name
// does not complete the long keyword FARBTABELLE.
bool comesBack(const Str& name, bool colourTable) {
  if (name.empty()) return true;
  if (name.view().find('"') != std::string_view::npos) return false;
  if (name[0] == ':' || name[0] == '=') return false;
  return !(colourTable && upperCaseOem(name).starts_with("ARBTABELLE"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Settings s;
  parseOptionLine(fuzz::bytes(data, size), s);

  FUZZ_CHECK(isFlag(s.subdirs) && isFlag(s.partitionTable) && isFlag(s.bootSectors) && isFlag(s.resourceTable) &&
             isFlag(s.gtDataDll) && isFlag(s.mouse) && isFlag(s.flagBang) && isFlag(s.verboseFormat) &&
             isFlag(s.icons) && isFlag(s.hexNumbers) && isFlag(s.cpuEmulator));
  FUZZ_CHECK(s.screenMode >= 0 && s.screenMode <= 4);
  FUZZ_CHECK(s.screenLines == 0 || (s.screenLines >= 25 && s.screenLines <= 80));
  FUZZ_CHECK(s.memoryLimitKb <= 2097151);

  std::string line = formatOptionLine(s);
  FUZZ_CHECK(line.ends_with(" %1 %2 %3 %4 %5 %6 %7 %8 %9"));
  if (comesBack(s.colourTableName, true) && comesBack(s.unpacker, false)) {
    Settings back;
    parseOptionLine(extractOptionLine("C:\\ZOR\\ZOR4.EXE" + line), back);
    FUZZ_CHECK(sameOnTheLine(back, s));
    // The same line again changes nothing: every item sets its field, none flips it.
    parseOptionLine(line, back);
    FUZZ_CHECK(sameOnTheLine(back, s));
  }
  return 0;
}
