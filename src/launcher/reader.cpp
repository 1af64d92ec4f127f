#include <algorithm>

#include "launcher/launcher.h"
#include "launcher/text_reader.h"
#include "prompts/prompts.h"
#include "settings/option_parser.h"
#include "texts/texts.h"

namespace {

// Line 2 of a REXX launcher; its reserved line then follows on line 3.
constexpr std::string_view rexxMarker = "PARSE ARG PARA";
// The longest command line Windows runs; what a launcher has beyond it is never run.
constexpr std::size_t commandLineLimit = 8191;

void dropFront(std::string_view& text, std::size_t n) { text.remove_prefix(std::min(n, text.size())); }

}  // namespace

std::string extractOptionLine(std::string_view text) {
  if (text.starts_with('\'')) dropFront(text, 1);  // a REXX command in single quotes
  if (text.starts_with('@')) dropFront(text, 1);
  if (text.starts_with('"')) {  // a quoted program path
    dropFront(text, 1);
    if (auto quote = text.find('"'); quote != std::string_view::npos) dropFront(text, quote + 1);
  }
  if (auto blank = text.find(' '); blank != std::string_view::npos) dropFront(text, blank + 1);
  if (auto para = text.find(" 'PARA"); para != std::string_view::npos) text = text.substr(0, para);
  return std::string(text);
}

Launcher loadLauncher(std::string_view fileName) {
  TextReader reader = openText(fileName);
  Launcher launcher;
  Str skipped;
  readTextLine(reader, skipped);
  readTextLine(reader, launcher.reservedLine);
  if (launcher.reservedLine == rexxMarker) readTextLine(reader, launcher.reservedLine);
  // The command line as far as it can count: switches at the end of a long line must not
  // be lost, and a huge one must not cost its size in memory.
  std::string commandLine;
  readTextLine(reader, commandLine, commandLineLimit);
  closeText(reader);
  parseOptionLine(extractOptionLine(commandLine), launcher.settings);
  return launcher;
}

Launcher loadLauncherShowingName(std::string_view fileName) {
  showFileRow(texts::text(texts::txtReading), fileName);
  return loadLauncher(fileName);
}
