// Reads an option line back into the settings record. Whatever it does not understand it
// skips without a word: a launcher edited by hand must never stop the program.

#include "settings/option_parser.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "settings/settings.h"

std::string upperCaseOem(std::string_view text) {
  std::string copy(text);
  for (char& c : copy) {
    switch (static_cast<unsigned char>(c)) {
      case 0x84: c = static_cast<char>(0x8E); break;  // ä -> Ä
      case 0x94: c = static_cast<char>(0x99); break;  // ö -> Ö
      case 0x81: c = static_cast<char>(0x9A); break;  // ü -> Ü
      default:
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return copy;
}

namespace {

// The option word being parsed: a view into the line, without its option character, in the
// case in which it was written. Keywords are taken off its front; the rest is the value.
std::string_view optionWord;

// Takes the keyword and any ':' and '=' after it off optionWord when optionWord starts with
// it (letters compared as capitals).
bool matchKeyword(std::string_view keyword) {
  if (!upperCaseOem(optionWord).starts_with(keyword)) return false;
  optionWord.remove_prefix(keyword.size());
  while (!optionWord.empty() && (optionWord.front() == ':' || optionWord.front() == '=')) {
    optionWord.remove_prefix(1);
  }
  return true;
}

// No value flips the field; "-" and "+" turn it off and on; anything else leaves it.
void applyFlag(Flag& field) {
  if (optionWord.empty()) field = field ? 0 : 1;
  else if (optionWord.front() == '-') field = 0;
  else if (optionWord.front() == '+') field = 1;
}

void applyScreenMode(Settings& s) {
  for (std::size_t mode = 0; mode < screenModeLetters.size(); ++mode) {
    if (matchKeyword(screenModeLetters.substr(mode, 1))) {
      s.screenMode = static_cast<std::int8_t>(mode);
      return;
    }
  }
}

void applyScreenLines(Settings& s) {
  std::string_view value = optionWord;
  if (value.empty() || value.size() > 2) value = "0";
  std::int32_t lines;
  if (!convertNumber(value, lines) || (lines < 25 && lines != 0) || lines > 80) lines = 0;
  s.screenLines = lines;
}

void applyMemoryLimit(Settings& s) {
  std::int32_t limit;
  if (!convertNumber(optionWord, limit)) limit = 0;
  s.memoryLimitKb = std::min<std::int32_t>(limit, 2097151);
}

bool matchAny(std::initializer_list<std::string_view> keywords) {
  for (std::string_view keyword : keywords) {
    if (matchKeyword(keyword)) return true;
  }
  return false;
}

// One option word through the keyword table; the first row with a matching keyword acts.
// In this order no keyword is a prefix of a later one.
void parseOption(std::string_view word, Settings& s) {
  optionWord = word;
  if (matchAny({"!"})) applyFlag(s.flagBang);
  else if (matchAny({"A"})) {}
  else if (matchAny({"BILDSCHIRM", "B"})) applyScreenMode(s);
  else if (matchAny({"CPU", "C"})) applyFlag(s.cpuEmulator);
  else if (matchAny({"DIREKT_IDE", "D"})) {}
  else if (matchAny({"EMS"})) {}
  else if (matchAny({"EA"})) {}
  else if (matchAny({"FARBTABELLE", "F"})) s.colourTableName = optionWord;
  else if (matchAny({"GTDATADLL", "G"})) applyFlag(s.gtDataDll);
  else if (matchAny({"HEX", "H"})) applyFlag(s.hexNumbers);
  else if (matchAny({"ICO", "I"})) applyFlag(s.icons);
  else if (matchAny({"SIGNATUREN"})) {}
  else if (matchAny({"JOYSTICK", "J"})) {}
  else if (matchAny({"ZEILEN", "LINES", "Z"})) applyScreenLines(s);
  else if (matchAny({"LANGFORMAT", "L"})) applyFlag(s.verboseFormat);
  else if (matchAny({"XMS", "MEMORY", "SPEICHER", "X"})) applyMemoryLimit(s);
  else if (matchAny({"MAUS", "MOUSE", "M"})) applyFlag(s.mouse);
  else if (matchAny({"ENTPACKER", "UNPACKER", "N"})) s.unpacker = optionWord;
  else if (matchAny({"PARTITION", "P"})) applyFlag(s.partitionTable);
  else if (matchAny({"RESOURCE", "R"})) applyFlag(s.resourceTable);
  else if (matchAny({"UNTERVERZEICHNISSE", "SUBDIR", "U"})) applyFlag(s.subdirs);
  else if (matchAny({"SEKTOREN", "SECTORS", "S"})) applyFlag(s.bootSectors);
}

// The word at the front of the line, up to the next blank; the word and that blank leave
// the line.
std::string_view takeWord(std::string_view& line) {
  std::size_t end = line.find(' ');
  std::string_view word = line.substr(0, end);
  line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
  return word;
}

}  // namespace

void parseOptionLine(std::string_view line, Settings& s) {
  while (true) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return;
    line.remove_prefix(start);

    bool plain = false;
    if (line.front() == '@') {
      line.remove_prefix(1);
      plain = true;
      if (line.empty()) return;
    }

    char first = line.front();
    if (first == '"' || first == '\'') {
      // Quoted text is dropped unseen, up to its closing quote or the end of the line.
      std::size_t close = line.find(first, 1);
      line.remove_prefix(close == std::string_view::npos ? line.size() : close + 1);
    } else if (!plain && (first == '-' || first == '/')) {
      line.remove_prefix(1);
      parseOption(takeWord(line), s);
    } else {
      takeWord(line);  // a plain word, such as %1
    }
  }
}
