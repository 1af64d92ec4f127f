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

// What stands before the program of a command line: the quote of a REXX command, then "@".
std::string_view withoutCallPrefix(std::string_view text) {
  if (text.starts_with('\'')) dropFront(text, 1);
  if (text.starts_with('@')) dropFront(text, 1);
  return text;
}

// Where needle first stands outside double quotes, or npos: a quoted name may hold anything.
std::size_t findUnquoted(std::string_view text, std::string_view needle) {
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!quoted && text.substr(i).starts_with(needle)) return i;
    if (text[i] == '"') quoted = !quoted;
  }
  return std::string_view::npos;
}

// Whether the line starts ZOR4.EXE: its program, the quoted path or the first word.
bool callsZor(std::string_view line) {
  std::string_view text = withoutCallPrefix(line);
  std::string_view program =
      text.starts_with('"') ? text.substr(1, text.find('"', 1) - 1) : text.substr(0, text.find_first_of(" \t"));
  return upperCaseOem(program).ends_with(zorProgramName);
}

// The next line, as far as a command line can count and one more character.
std::string readLine(TextReader& reader) {
  std::string line;
  readTextLine(reader, line, commandLineLimit + 1);
  return line;
}

// A line as far as a command line can count. A word that the limit cuts is not run as it
// stands: it goes whole.
std::string asCommandLine(std::string line) {
  if (line.size() <= commandLineLimit) return line;
  std::size_t lastBlank = 0;  // outside double quotes, where the command interpreter ends a word
  bool quoted = false;
  for (std::size_t i = 0; i < commandLineLimit; ++i) {
    if (line[i] == '"') quoted = !quoted;
    else if ((line[i] == ' ' || line[i] == '\t') && !quoted) lastBlank = i;
  }
  bool wordEndsAtTheLimit = (line[commandLineLimit] == ' ' || line[commandLineLimit] == '\t') && !quoted;
  line.resize(wordEndsAtTheLimit ? commandLineLimit : lastBlank);
  return line;
}

}  // namespace

std::string extractOptionLine(std::string_view commandLine) {
  std::string_view text = withoutCallPrefix(commandLine);
  if (text.starts_with('"')) {  // a quoted program path
    dropFront(text, 1);
    if (auto quote = text.find('"'); quote != std::string_view::npos) dropFront(text, quote + 1);
  }
  if (auto blank = text.find_first_of(" \t"); blank != std::string_view::npos) dropFront(text, blank + 1);
  if (auto para = findUnquoted(text, " 'PARA"); para != std::string_view::npos) text = text.substr(0, para);
  return std::string(text);
}

Launcher loadLauncher(const platform::Machine& m, std::string_view fileName) {
  TextReader reader = openText(m, fileName);
  Launcher launcher;
  // The first lines are kept whole: a launcher written by hand may call ZOR on either.
  std::string first = asCommandLine(readLine(reader));
  std::string second = readLine(reader);
  launcher.reservedLine = second;
  bool rexx = launcher.reservedLine == rexxMarker;
  if (rexx) readTextLine(reader, launcher.reservedLine);
  // The whole command line as far as it can count: switches at the end of a long line must
  // not be lost, and a huge one must not cost its size in memory. A line set in front of the
  // call by hand (a SET, say) leaves the call on a later line.
  std::string commandLine = asCommandLine(readLine(reader));
  while (!callsZor(commandLine) && !reader.atEnd) {
    std::string later = asCommandLine(readLine(reader));
    if (callsZor(later)) commandLine = std::move(later);
  }
  closeText(reader);
  // No later line calls ZOR: a launcher of one or two lines. The line that calls it is no
  // reserved line, or ZOR would be started twice by the launcher written back.
  second = asCommandLine(std::move(second));
  if (!callsZor(commandLine) && (callsZor(first) || callsZor(second))) {
    commandLine = callsZor(first) ? first : second;
    launcher.reservedLine = texts::text(texts::txtReservedBatch);
  }
  if (std::string_view call = withoutCallPrefix(commandLine); callsZor(commandLine))
    launcher.program = takeOptionWord(call);
  parseOptionLine(extractOptionLine(commandLine), launcher.settings);
  return launcher;
}

Launcher loadLauncherShowingName(const platform::Machine& m, std::string_view fileName) {
  showFileRow(texts::text(texts::txtReading), fileName);
  return loadLauncher(m, fileName);
}
