// loadLauncherShowingName on any file: the reserved line and the settings are what a plain
// reading of the text rules gives (lines end at LF, CRs dropped, 0x1A ends the text, 255 characters of
// the reserved line, the whole command line, taken from a later line when only that one
// starts ZOR4.EXE, else from the first or second when one of them does, the reserved line
// then the program's own), and the console shows the reading row.
#include <cstdint>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "settings/option_parser.h"
#include "settings/settings.h"
#include "support.h"

namespace {

std::vector<std::string> textLines(std::string_view text) {
  text = text.substr(0, text.find('\x1a'));
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n')
      lines.emplace_back();
    else if (c != '\r')
      lines.back() += c;
  }
  return lines;
}

bool same(const Settings& a, const Settings& b) {
  return a.subdirs == b.subdirs && a.partitionTable == b.partitionTable && a.bootSectors == b.bootSectors &&
         a.resourceTable == b.resourceTable && a.gtDataDll == b.gtDataDll && a.mouse == b.mouse &&
         a.flagBang == b.flagBang && a.verboseFormat == b.verboseFormat && a.icons == b.icons &&
         a.hexNumbers == b.hexNumbers && a.cpuEmulator == b.cpuEmulator && a.screenMode == b.screenMode &&
         a.colourTableName == b.colourTableName.view() && a.memoryLimitKb == b.memoryLimitKb &&
         a.unpacker == b.unpacker.view() && a.screenLines == b.screenLines;
}

// The program a line starts, as a person reads it: after a REXX quote and an "@", the
// quoted path or the first word.
bool callsZor(std::string_view line) {
  if (line.starts_with('\'')) line.remove_prefix(1);
  if (line.starts_with('@')) line.remove_prefix(1);
  std::string_view program = line.substr(0, line.find_first_of(" \t"));
  if (line.starts_with('"')) program = line.substr(1, line.find('"', 1) - 1);
  return upperCaseOem(program).ends_with("ZOR4.EXE");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::workFolder();
  texts::loadAllFor("EN");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view content = fuzz::bytes(data, size);
  fuzz::writeFile("ZO.BAT", content);

  console::MemoryDevice device;
  console::start(device);
  Launcher launcher = loadLauncherShowingName(fuzz::machine(), "ZO.BAT");

  std::vector<std::string> lines = textLines(content);
  auto line = [&lines](std::size_t i) { return i < lines.size() ? lines[i] : std::string(); };
  std::size_t command = 2;
  Str reserved = std::string_view(line(1));
  if (reserved == "PARSE ARG PARA") {
    reserved = std::string_view(line(2));
    command = 3;
  }
  // The usual line, or a later one where that one does not start ZOR4.EXE and the later does,
  // or else the first or the second.
  for (std::size_t later = command; !callsZor(line(command)) && later < lines.size(); ++later)
    if (callsZor(line(later))) command = later;
  for (std::size_t earlier : {0, 1}) {
    if (callsZor(line(command)) || !callsZor(line(earlier))) continue;
    command = earlier;
    reserved = "REM * reserved line * please do not remove *";
  }
  FUZZ_CHECK(launcher.reservedLine == reserved.view());
  Settings expected;
  parseOptionLine(extractOptionLine(line(command)), expected);
  bool withinTheLimit = line(command).size() <= 8191;  // beyond it a cut word goes whole
  if (withinTheLimit) FUZZ_CHECK(same(launcher.settings, expected));
  FUZZ_CHECK(console::rowText(1).starts_with("reading ZO.BAT ..."));
  FUZZ_CHECK(console::cursorRow() == 2 && console::cursorColumn() == 1);
  FUZZ_CHECK(fuzz::readFile("ZO.BAT") == content);  // reading never writes
  console::finish();
  return 0;
}
