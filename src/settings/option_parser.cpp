// Reads an option line back into the settings record. Whatever it does not understand it
// skips without a word: a launcher edited by hand must never stop the program.

#include "settings/option_parser.h"

#include <algorithm>
#include <cstdint>

#include "base/ascii.h"
#include "base/number.h"
#include "settings/setting_table.h"

std::string upperCaseOem(std::string_view text) {
  std::string copy(text);
  for (char& c : copy) {
    switch (static_cast<unsigned char>(c)) {
      case 0x84: c = static_cast<char>(0x8E); break;  // ä -> Ä
      case 0x94: c = static_cast<char>(0x99); break;  // ö -> Ö
      case 0x81: c = static_cast<char>(0x9A); break;  // ü -> Ü
      default:
        c = ascii::upper(c);
    }
  }
  return copy;
}

namespace {

// The option word being parsed: a view into the line, without its option character, in the
// case in which it was written. Keywords are taken off its front; the rest is the value.
struct OptionWord {
  std::string_view rest;

  // Takes the keyword and any ':' and '=' after it off the front when the word starts
  // with it (letters compared as capitals).
  bool match(std::string_view keyword) {
    if (!upperCaseOem(rest).starts_with(keyword)) return false;
    rest.remove_prefix(keyword.size());
    while (!rest.empty() && (rest.front() == ':' || rest.front() == '=')) rest.remove_prefix(1);
    return true;
  }

  // No value flips the field; "-" and "+" turn it off and on; anything else leaves it.
  void applyFlag(Flag& field) const {
    if (rest.empty()) toggleFlag(field);
    else if (rest.front() == '-') field = 0;
    else if (rest.front() == '+') field = 1;
  }

  void applyScreenMode(Settings& s) {
    for (std::size_t mode = 0; mode < screenModeLetters.size(); ++mode) {
      if (match(screenModeLetters.substr(mode, 1))) {
        s.screenMode = static_cast<std::int8_t>(mode);
        return;
      }
    }
  }

  // Two digits at most; a count out of range (0 stands apart) becomes 0.
  void applyScreenLines(std::int32_t& field, Range range) const {
    std::string_view value = rest;
    if (value.empty() || value.size() > 2) value = "0";
    std::int32_t lines;
    if (!convertNumber(value, lines) || (lines < range.lowest && lines != 0) || lines > range.highest) lines = 0;
    field = lines;
  }

  // Anything that is no number is 0; a number out of range is cut to it.
  void applyMemoryLimit(std::int32_t& field, Range range) const {
    std::int32_t limit;
    if (!convertNumber(rest, limit)) limit = 0;
    field = std::clamp(limit, range.lowest, range.highest);
  }
};

// One option word through the table's keywords; the first that matches acts.
void parseOption(std::string_view text, Settings& s) {
  OptionWord w{text};
  for (const Setting& row : settingTable) {
    for (std::string_view keyword : row.keywords) {
      if (keyword.empty() || !w.match(keyword)) continue;
      switch (row.kind) {
        case Kind::flag: w.applyFlag(s.*row.flag); break;
        case Kind::screenMode: w.applyScreenMode(s); break;
        case Kind::name: s.*row.text = w.rest; break;
        case Kind::memoryLimit: w.applyMemoryLimit(s.*row.number, row.parsed); break;
        case Kind::screenLines: w.applyScreenLines(s.*row.number, row.parsed); break;
        case Kind::ignored: break;
      }
      return;
    }
  }
}

// The word at the front of the line, up to the next blank or tab; the word and that blank
// leave the line.
std::string_view takeWord(std::string_view& line) {
  std::size_t end = line.find_first_of(" \t");
  std::string_view word = line.substr(0, end);
  line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
  return word;
}

}  // namespace

std::string takeOptionWord(std::string_view& line) {
  std::string word;
  bool quoted = false;
  std::size_t i = 0;
  for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
    if (line.substr(i).starts_with("%%")) {
      word += '%';
      ++i;
    } else if (line[i] == '\\') {
      std::size_t end = std::min(line.find_first_not_of('\\', i), line.size());
      std::size_t n = end - i;
      bool beforeQuote = end < line.size() && line[end] == '"';
      word.append(beforeQuote ? n / 2 : n, '\\');
      i = end - 1;
      if (beforeQuote && n % 2 == 1) {  // an escaped quote belongs to the word
        word += '"';
        ++i;
      }
    } else if (line[i] == '"') {
      quoted = !quoted;
    } else {
      word += line[i];
    }
  }
  line.remove_prefix(i < line.size() ? i + 1 : i);
  return word;
}

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
      parseOption(takeOptionWord(line), s);
    } else {
      takeWord(line);  // a plain word, such as %1
    }
  }
}
