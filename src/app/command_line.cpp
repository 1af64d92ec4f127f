#include "app/command_line.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "base/number.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/search.h"
#include "settings/setting_table.h"
#include "settings/values.h"
#include "texts/language.h"
#include "texts/texts.h"

using namespace texts;

namespace {

// Lines of at most 80 characters, broken at blanks; each line after the first starts
// with indent blanks. A word in brackets stays on the line of the word before it.
std::string wrapped(std::string_view text, std::size_t indent) {
  auto breakable = [&text](std::size_t at) { return text[at] == ' ' && text[at - 1] != ' ' && text[at + 1] != '('; };
  std::string lines;
  for (std::size_t room = 80; text.size() > room; room = 80 - indent) {
    std::size_t cut = room;
    while (cut > 0 && !breakable(cut)) --cut;
    if (cut == 0) break;  // a word longer than a line
    lines.append(text.substr(0, cut)).append("\n").append(indent, ' ');
    text.remove_prefix(cut + 1);
  }
  return lines.append(text).append("\n");
}

// "f, x and z"
std::string listed(const std::vector<std::string_view>& words, std::string_view conjunction) {
  std::string list;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0 && i + 1 == words.size()) list.append(" ").append(conjunction).append(" ");
    else if (i > 0) list += ", ";
    list += words[i];
  }
  return list;
}

// The help: its texts, with the menu keys and the settings' names and values from the table.
std::string help() {
  std::vector<std::string_view> switched, asked;
  std::vector<const Setting*> values;  // the first setting to take each kind of values
  for (const Setting* row : shownOrder) {
    if (row->label) (isStepped(*row) ? switched : asked).push_back({&row->key, 1});
    auto sameValues = [row](const Setting* first) { return first->values == row->values; };
    if (!row->name.empty() && std::ranges::none_of(values, sameValues)) values.push_back(row);
  }
  std::string keys(text(msgHelpKeys));
  for (std::string_view key : switched) keys.append(" ").append(key);
  keys.append(" ").append(text(msgHelpKeysSwitch)).append(" ").append(listed(asked, text(msgAnd)));
  keys.append(" ").append(text(msgHelpKeysAsk));

  std::string set(text(msgHelpSet));  // the names of the settings that take the same values, then those
  std::string_view separator = " ";
  for (const Setting* first : values) {
    for (const Setting* row : shownOrder) {
      if (row->name.empty() || row->values != first->values) continue;
      set.append(separator).append(row->name);
      separator = ", ";
    }
    set.append(" (").append(described(*first, first->values)).append(")");
  }

  std::string help = "zorsetup " ZORSETUP_VERSION;
  for (MessageText part : {msgHelpTitle, msgHelpUsage, msgHelpUsageSet, msgHelpAbout, msgHelpAboutEnd})
    help.append(text(part));
  help.append(wrapped(keys, 0)).append("\n").append(text(msgHelpShow)).append(text(msgHelpList));
  help.append(wrapped(set, 20));
  for (MessageText part :
       {msgHelpOptions, msgHelpOptionsMore, msgHelpConventions, msgHelpEnvironment, msgHelpExitStatus})
    help.append(text(part));
  return help;
}

using platform::nativeText;
using platform::pathForPeople;

// A message in the machine's own form.
std::string said(MessageText message) { return nativeText(text(message)); }

// The text with each byte a terminal would act on (a control byte, DEL) as \xNN; line
// feeds stay where keepLineFeeds says so.
std::string printable(std::string_view text, bool keepLineFeeds) {
  std::string shown;
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if ((b >= 32 && b != 127) || (c == '\n' && keepLineFeeds)) {
      shown += c;
      continue;
    }
    const char* hex = "0123456789ABCDEF";
    shown += {'\\', 'x', hex[b >> 4], hex[b & 15]};
  }
  return shown;
}

// "zorsetup: " and the text, on one line of standard error.
void complain(std::string_view text) {
  platform::writeStream(platform::Stream::error, "zorsetup: " + printable(text, false) + '\n');
}

// A usage error: its reason, the line that points to the help, exit code 2.
int usage(std::string_view reason) {
  complain(reason);
  platform::writeStream(platform::Stream::error, said(msgTryHelp) + '\n');
  return 2;
}
struct UsageError {
  std::string reason;
};

// The message with each "%s" replaced by the next of the words.
std::string filled(MessageText message, std::initializer_list<std::string_view> words) {
  std::string out = said(message);
  std::size_t at = 0;
  for (std::string_view word : words) {
    at = out.find("%s", at);
    if (at == std::string::npos) break;
    out.replace(at, 2, word);
    at += word.size();
  }
  return out;
}

// What a runtime error's number means, as the line before "Runtime error N" says it.
std::string reason(int code) {
  static constexpr std::pair<int, MessageText> known[] = {
      {2, msgErrorNotFound},   {3, msgErrorPathNotFound}, {5, msgErrorAccessDenied}, {100, msgErrorReadPast},
      {101, msgErrorShortWrite}, {109, msgErrorBrokenPipe}, {112, msgErrorDiskFull}};
  for (auto [number, message] : known)
    if (number == code) return said(message);
  return said(msgErrorOther) + std::string(decimal(code).view());
}

// Runs step; a runtime error on the way is told first as "zorsetup: FILE: reason".
template <class Step>
auto about(std::string_view file, Step step) {
  try {
    return step();
  } catch (const platform::RunEnd& end) {
    complain(std::string(file) + ": " + reason(end.code));
    throw;
  }
}

const Setting* settingNamed(std::string_view key) {
  for (const Setting* row : shownOrder)
    if (!row->name.empty() && (ascii::sameIgnoringCase(key, row->name) || ascii::sameIgnoringCase(key, {&row->key, 1})))
      return row;
  return nullptr;
}

// "u  subdirectorys         on": the key, the label as the menu shows it, the value.
std::string settingLine(const Setting& row, const Settings& s) {
  std::string line = {row.key, ' ', ' '};
  if (row.label) {
    line += text(row.label);
  } else {
    line += row.name;
    line.resize(line.size() + 22 - row.name.size(), ' ');
  }
  line += shownValue(row, s);
  if (std::string_view below = shownBelow(row, s); !below.empty()) line.append("  ").append(below);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + '\n';
}

struct Options {
  enum Mode { none, help, version, show, list, set } mode = none;
  std::string_view modeWord;  // the option that chose the mode
  std::optional<std::string_view> launcherDirectory, zorDirectory, from;
  bool dryRun = false;
  std::vector<std::string_view> operands;  // pairs for --set, names for --show
};

// The long options; a value member for those that take one.
struct LongOption {
  std::string_view name;
  Options::Mode mode = Options::none;
  std::optional<std::string_view> Options::*value = nullptr;
};
constexpr LongOption longOptions[] = {
    {"--help", Options::help}, {"--version", Options::version}, {"--show", Options::show},
    {"--list", Options::list}, {"--set", Options::set},         {"--from", {}, &Options::from},
    {"--launcher", {}, &Options::launcherDirectory},            {"--zor", {}, &Options::zorDirectory},
    {"--dry-run"},
};

// The long option a word ("--sh") names: itself or the one it begins.
const LongOption& longOption(std::string_view word) {
  const LongOption* found = nullptr;
  int matches = 0;
  for (const LongOption& option : longOptions) {
    if (option.name == word) return option;
    if (word.size() > 2 && option.name.starts_with(word)) {
      found = &option;
      ++matches;
    }
  }
  if (matches == 0) throw UsageError{filled(msgUnknownOption, {word})};
  if (matches > 1) throw UsageError{filled(msgAmbiguous, {word})};
  return *found;
}

// The arguments as GNU's getopt_long reads them: options in any order, each long option
// by any unambiguous beginning, "--opt=value" or "--opt value", "--" before operands only.
Options parse(std::span<char* const> arguments) {
  Options o;
  bool onlyOperands = false;
  std::vector<std::string_view> given;  // the options that only go with some modes
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view word = arguments[i];
    std::string_view modeWord = word;
    Options::Mode mode = Options::help;
    if (onlyOperands || word == "-" || (!word.starts_with('-') && word != "/?")) {
      o.operands.push_back(word);
      continue;
    }
    if (word == "--") {
      onlyOperands = true;
      continue;
    }
    if (word.starts_with("--")) {
      std::size_t equals = word.find('=');
      const LongOption& option = longOption(word.substr(0, equals));
      if (option.value) {
        if (equals != std::string_view::npos) o.*option.value = word.substr(equals + 1);
        else if (i + 1 < arguments.size()) o.*option.value = arguments[++i];
        else throw UsageError{filled(msgNeedsValue, {option.name})};
      } else if (equals != std::string_view::npos) {
        throw UsageError{filled(msgTakesNoValue, {option.name})};
      }
      if (option.mode == Options::none) {
        given.push_back(option.name);
        continue;
      }
      mode = option.mode;
      modeWord = option.name;
    } else if (word != "-h" && word != "-?" && word != "/?") {
      throw UsageError{filled(msgUnknownOption, {word})};
    }
    if (o.mode != Options::none && o.mode != mode) throw UsageError{filled(msgNotTogether, {o.modeWord, modeWord})};
    o.mode = mode;
    o.modeWord = modeWord;
  }
  // What goes with what.
  bool onLauncher = o.mode == Options::show || o.mode == Options::list || o.mode == Options::set;
  for (std::string_view name : given) {
    o.dryRun = o.dryRun || name == "--dry-run";
    bool forSet = name != "--launcher";
    if (forSet ? o.mode != Options::set : !onLauncher)
      throw UsageError{filled(msgOnlyWith, {name, forSet ? "--set" : "--show, --list, --set"})};
  }
  bool operandsTaken = o.mode == Options::show || o.mode == Options::set;
  if (!o.operands.empty() && !operandsTaken) throw UsageError{filled(msgUnexpected, {o.operands[0]})};
  if (o.mode == Options::none) throw UsageError{filled(msgUnexpected, {arguments[0]})};
  if (o.mode == Options::set && o.operands.empty() && !o.from) throw UsageError{said(msgNoPairs)};
  return o;
}

// A directory named on the command line, in the machine's own form or as a DOS path
// ("Z:\ZOR") on either build, as an absolute DOS path.
Str dosPathIn(std::string_view path) {
  bool dosForm = path.size() >= 2 && ascii::isLetter(path[0]) && path[1] == ':';
  return dosForm ? platform::expandPath(platform::oemTextOf(path)) : platform::dosPathOf(path);
}

// The launcher's directory: the one named, or where the search finds the launcher.
std::optional<Str> launcherDirectory(const Options& o) {
  if (o.launcherDirectory) {
    Str directory = dosPathIn(*o.launcherDirectory);
    if (directory.empty() || !platform::directoryExists(directory)) {
      complain(said(msgNoSuchDirectory) + std::string(*o.launcherDirectory));
      return std::nullopt;
    }
    platform::ensureBackslash(directory);
    if (directory.size() > longestLauncherDirectory) {
      complain(said(msgTooLongForLauncher) + std::string(*o.launcherDirectory));
      return std::nullopt;
    }
    return directory;
  }
  Str found = findLauncherDirectory();
  if (found.empty()) complain(said(msgNoLauncher));
  return found.empty() ? std::nullopt : std::optional<Str>(found);
}

// The lines of a text as the launcher's reader takes them: each ends at LF, without its CR.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::string_view line = text.substr(0, text.find('\n'));
    text.remove_prefix(std::min(text.size(), line.size() + 1));
    lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
  }
  return lines;
}

// A pair, and where it came from ("FILE:LINE: " for a line of --from).
struct Pair {
  std::string_view text;
  std::string where;
};

// The pairs of the arguments, then those of --from's file or standard input; lines holds
// the file's text.
std::vector<Pair> pairsOf(const Options& o, std::string& lines) {
  std::vector<Pair> pairs;
  for (std::string_view pair : o.operands) pairs.push_back({pair, {}});
  if (!o.from) return pairs;
  std::string_view file = *o.from;
  if (file == "-") {
    if (int error = platform::readStandardInput(lines)) {
      complain(said(msgStandardInput) + ": " + reason(error));
      platform::runtimeError(error);
    }
  } else {
    about(file, [&] {
      platform::File input = platform::openRead(dosPathIn(file));
      char buffer[4096];
      while (std::size_t n = platform::readSome(input, buffer, sizeof buffer)) lines.append(buffer, n);
    });
  }
  int number = 0;
  for (std::string_view line : linesOf(lines)) {
    ++number;
    std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    pairs.push_back({line, std::string(file) + ":" + std::string(decimal(number).view()) + ": "});
  }
  return pairs;
}

struct Change {
  const Setting* row;
  std::string value;  // in the OEM code page
  std::string pair;   // as a complaint names it
};

// The setting and value of each pair, each checked as far as it can be without ZOR's
// directory; a bad one is a usage error.
std::vector<Change> checkedChanges(const std::vector<Pair>& pairs) {
  std::vector<Change> changes;
  for (const Pair& pair : pairs) {
    std::size_t equals = pair.text.find('=');
    const Setting* row = equals == std::string_view::npos ? nullptr : settingNamed(pair.text.substr(0, equals));
    if (!row) throw UsageError{pair.where + std::string(pair.text) + said(msgNoSuchSetting)};
    std::string_view value = pair.text.substr(equals + 1);
    Change change{row, isName(*row) ? platform::oemTextOf(value) : std::string(value),
                  pair.where + std::string(pair.text)};
    Settings scratch;
    if (!takeValue(*row, change.value, {}, scratch))
      throw UsageError{change.pair + ": " + said(msgExpected) + nativeText(described(*row, row->expected))};
    changes.push_back(change);
  }
  return changes;
}

// "launcher: Z:\ZOR\ZO.BAT (/zor/ZO.BAT)", in the machine's own form.
std::string pathLine(std::string_view label, const Str& dosPath, std::string_view notes = {}) {
  return nativeText(label) + pathForPeople(dosPath) + nativeText(notes) + '\n';
}

// Carries out --show, --list or --set; what goes to standard output is added to out.
int onLauncher(const Options& o, std::string& out) {
  // Everything the arguments say is checked before anything else is looked at.
  std::vector<const Setting*> asked;
  if (o.mode == Options::show) {
    for (std::string_view name : o.operands) {
      asked.push_back(settingNamed(name));
      if (!asked.back()) throw UsageError{std::string(name) + said(msgNoSuchSetting)};
    }
  }
  std::string lines;
  std::vector<Change> changes;
  if (o.mode == Options::set) changes = checkedChanges(pairsOf(o, lines));

  std::optional<Str> directory = launcherDirectory(o);
  if (!directory) return 1;
  Str fileName = *directory + launcherName;
  bool exists = platform::findEntry(fileName);
  Launcher launcher{Str(text(txtReservedBatch)), {}};
  std::string fileShown = pathForPeople(fileName);
  platform::FileSummary asRead;  // taken before the reading: a change in between shows
  if (exists && o.mode == Options::set)
    asRead = about(fileShown, [&] { return platform::summarizeFile(fileName, 1 << 20); });
  if (exists) launcher = about(fileShown, [&] { return loadLauncher(fileName); });

  if (o.mode == Options::list) {
    out += pathLine(text(exists ? msgLauncher : msgLauncherNotThere), fileName);
    for (const Setting* row : shownOrder)
      if (!row->name.empty()) out += nativeText(settingLine(*row, launcher.settings));
    return 0;
  }
  if (o.mode == Options::show) {
    for (const Setting* row : asked) out += nativeText(scriptValue(*row, launcher.settings)) + '\n';
    if (!asked.empty()) return 0;
    out += (exists ? "# launcher: " : "# launcher (not there yet): ") + pathForPeople(fileName) + '\n';
    for (const Setting* row : shownOrder)
      if (!row->name.empty())
        out += std::string(row->name) + '=' + nativeText(scriptValue(*row, launcher.settings)) + '\n';
    return 0;
  }

  Str problem;
  Str zorDirectory = findZorDirectory(problem, o.zorDirectory ? dosPathIn(*o.zorDirectory).view() : "");
  if (zorDirectory.empty()) {
    complain(nativeText(problem));
    return 1;
  }
  const Launcher before = launcher;
  for (const Change& change : changes) {
    const Setting& row = *change.row;
    if (!takeValue(row, change.value, zorDirectory, launcher.settings))  // a name too long with ZOR's directory
      throw UsageError{change.pair + ": " + said(msgExpected) + nativeText(described(row, row.expected))};
    if (!isName(row)) continue;
    const Str& table = launcher.settings.*row.text;
    if (!table.empty() && !platform::findEntry(table))
      complain(said(msgNoTableYet) + pathForPeople(platform::expandPath(table)));
  }

  std::string content = formatLauncher(launcher, zorDirectory);
  if (o.dryRun) {
    std::string shown;
    for (char c : content)
      if (c != '\r') shown += c;
    out += nativeText(shown) + '\n';
    return 0;
  }
  if (asRead.exists && asRead.bytes == content) {
    out += pathLine(text(msgUnchanged), fileName);
    return 0;
  }
  Saved saved = about(fileShown, [&] { return saveLauncher(fileName, launcher, zorDirectory, asRead); });
  std::string notes = savedNotes(saved);
  if (saved.backup == platform::BackupCopy::kept) notes += text(msgKeptAsBackup);
  out += pathLine(text(msgWritten), fileName, notes);
  for (const Setting* row : shownOrder) {
    std::string value = scriptValue(*row, launcher.settings);
    if (!row->name.empty() && value != scriptValue(*row, before.settings))
      out += std::string(row->name) + '=' + nativeText(value) + '\n';
  }
  // What of the old launcher the program does not write back: lines and switches of the
  // user's own, each line that holds some.
  std::string ownContent = formatLauncher(before, zorDirectory);
  std::vector<std::string_view> kept = linesOf(ownContent);
  for (std::string_view line : linesOf(asRead.bytes))
    if (std::ranges::find(kept, line) == kept.end()) out += said(msgNotKept) + nativeText(line) + '\n';
  return 0;
}

}  // namespace

int runCommandLine(std::span<char* const> arguments) {
  loadAll();
  std::string out;
  int code = 0;
  try {
    Options options = parse(arguments);
    switch (options.mode) {
      case Options::help: out = nativeText(help()); break;
      case Options::version: out = "zorsetup " ZORSETUP_VERSION "\n"; break;
      default: code = onLauncher(options, out);
    }
  } catch (const UsageError& error) {
    return usage(error.reason);
  }
  if (int error = platform::writeStream(platform::Stream::output, printable(out, true))) {
    complain(said(msgStandardOutput) + ": " + reason(error));
    platform::runtimeError(error);
  }
  return code;
}
