#include "app/command_line.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/check.h"
#include "app/diff.h"
#include "app/menu.h"
#include "app/run.h"
#include "base/ascii.h"
#include "base/number.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/leftovers.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/search.h"
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
  std::vector<MessageText> values;  // what the settings take, in the order of the first to take it
  for (const Setting* row : shownOrder) {
    bool switches = row->kind == Kind::flag || row->kind == Kind::screenMode;
    if (row->label) (switches ? switched : asked).push_back({&row->key, 1});
    if (!row->name.empty() && std::ranges::find(values, row->values) == values.end()) values.push_back(row->values);
  }
  std::string keys(text(msgHelpKeys));
  for (std::string_view key : switched) keys.append(" ").append(key);
  keys.append(" ").append(text(msgHelpKeysSwitch)).append(" ").append(listed(asked, text(msgAnd)));
  keys.append(" ").append(text(msgHelpKeysAsk));

  std::string set(text(msgHelpSet));  // the names of the settings that take the same values, then those
  std::string_view separator = " ";
  for (MessageText taken : values) {
    for (const Setting* row : shownOrder) {
      if (row->name.empty() || row->values != taken) continue;
      set.append(separator).append(row->name);
      separator = ", ";
    }
    set.append(" (").append(text(taken)).append(")");
  }

  std::string help = "zorsetup " ZORSETUP_VERSION;
  for (MessageText part :
       {msgHelpTitle, msgHelpUsage, msgHelpUsageSet, msgHelpUsageCheck, msgHelpAbout, msgHelpAboutEnd})
    help.append(text(part));
  help.append(wrapped(keys, 0)).append("\n").append(text(msgHelpShow)).append(text(msgHelpList));
  help.append(wrapped(set, 20));
  for (MessageText part : {msgHelpOptions, msgHelpOptionsMore, msgHelpDiff, msgHelpCheck, msgHelpConventions,
                           msgHelpEnvironment, msgHelpExitStatus})
    help.append(text(part));
  return help;
}

using platform::nativeText;

// A message in the machine's own form.
std::string said(MessageText message) { return nativeText(text(message)); }

// The text as platform::printable shows it, but with the CR of each CR LF kept: a diff
// shows the launcher's line ends as they are.
std::string printableKeepingCrLf(std::string_view text) {
  std::string shown;
  for (std::size_t at; (at = text.find("\r\n")) != std::string_view::npos; text.remove_prefix(at + 2))
    shown += platform::printable(text.substr(0, at), true) + "\r\n";
  return shown + platform::printable(text, true);
}

// "zorsetup: " and the text, on one line of standard error.
void complain(std::string_view text) {
  platform::writeStream(platform::Stream::error, "zorsetup: " + platform::printable(text, false) + '\n');
}

// A usage error: its reasons, a line each, the line that points to the help, exit code 2.
int usage(const std::vector<std::string>& reasons) {
  for (const std::string& reason : reasons) complain(reason);
  platform::writeStream(platform::Stream::error, said(msgTryHelp) + '\n');
  return 2;
}
struct UsageError {
  std::vector<std::string> reasons;
  UsageError(std::string reason) : reasons{std::move(reason)} {}  // NOLINT: one reason is the usual
  UsageError(std::vector<std::string> all) : reasons(std::move(all)) {}
};

// The message with each "%s" replaced by the next of the words (OEM text), in the machine's
// own form.
std::string filled(MessageText message, std::initializer_list<std::string_view> words) {
  return nativeText(texts::filled(text(message), words));
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
    std::string refused = refusalLine(end);
    complain(refused.empty() ? std::string(file) + ": " + reason(end.code) : refused);
    throw platform::RunEnd{end.code, platform::Refusal::none, {}};  // said once
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
  line += menuValue(row, s);
  if (row.kind == Kind::screenMode) {
    line += "  ";
    line += displayModeNameArray[s.screenMode];
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + '\n';
}

// The value as --show prints it and --set takes it, the same in every language. A table
// in ZOR's directory is named relative to it, so that the line means the same on a
// machine where ZOR is elsewhere.
std::string scriptValue(const Setting& row, const Settings& s, std::string_view zorDirectory) {
  if (row.kind == Kind::flag) return s.*row.flag ? "on" : "off";
  std::string value(menuValue(row, s).view());
  if (row.kind == Kind::name && !zorDirectory.empty() && value.size() > zorDirectory.size() &&
      ascii::sameIgnoringCase(std::string_view(value).substr(0, zorDirectory.size()), zorDirectory)) {
    std::string relative = value.substr(zorDirectory.size());
    if (colourTableAnswer(relative, zorDirectory) == std::string(zorDirectory) + relative) return relative;
  }
  return value;
}

// Applies one value (OEM text); an empty result, or what is allowed when the value is not.
// Without ZOR's directory a name is checked as it is, as if it were absolute.
std::string_view applyValue(const Setting& row, std::string_view value, Settings& s, const Str& zorDirectory) {
  std::int32_t number = 0;
  std::size_t mode = value.size() == 1 ? screenModeLetters.find(ascii::upper(value[0])) : std::string_view::npos;
  switch (row.kind) {
    case Kind::flag:
      if (!ascii::sameIgnoringCase(value, "on") && !ascii::sameIgnoringCase(value, "off")) return text(row.expected);
      s.*row.flag = ascii::sameIgnoringCase(value, "on") ? 1 : 0;
      break;
    case Kind::screenMode:
      if (mode == std::string_view::npos) return text(row.expected);
      s.screenMode = static_cast<std::int8_t>(mode);
      break;
    case Kind::name: {
      std::string name = colourTableAnswer(value, zorDirectory);
      static_assert(maxOptionName == 252, "the message of a name that does not fit names the length");
      if (!fitsOptionLine(name)) return text(row.expected);
      s.*row.text = name;
      break;
    }
    case Kind::memoryLimit:
    case Kind::screenLines:
      // Only what the menu would keep as typed: a count it turns into 25 is refused here.
      if (!convertNumber(value, number) || number < row.taken.lowest || number > row.taken.highest ||
          (row.kind == Kind::screenLines && screenLinesAnswer(number) != number))
        return text(row.expected);
      s.*row.number = number;
      break;
    case Kind::ignored: break;
  }
  return {};
}

struct Options {
  enum Mode { none, help, version, show, list, set, check } mode = none;
  std::string_view modeWord;  // the option that chose the mode
  std::optional<std::string_view> launcherDirectory, zorDirectory;
  std::vector<std::string_view> from;  // the files of pairs, in the order given
  bool dryRun = false, diff = false;
  std::vector<std::string_view> operands;  // pairs for --set, names for --show
};

// The long options; a value member for those that take one (a list for one that may be
// given again).
struct LongOption {
  std::string_view name;
  Options::Mode mode = Options::none;
  std::optional<std::string_view> Options::*value = nullptr;
  std::vector<std::string_view> Options::*values = nullptr;
};
constexpr LongOption longOptions[] = {
    {"--help", Options::help}, {"--version", Options::version}, {"--show", Options::show},
    {"--list", Options::list}, {"--set", Options::set},         {"--check", Options::check},
    {"--from", {}, {}, &Options::from},                         {"--launcher", {}, &Options::launcherDirectory},
    {"--zor", {}, &Options::zorDirectory},                      {"--dry-run"},
    {"--diff"},
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
Options parse(std::span<const std::string> arguments) {
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
      if (option.value || option.values) {
        std::string_view value;
        if (equals != std::string_view::npos) value = word.substr(equals + 1);
        else if (i + 1 < arguments.size()) value = arguments[++i];
        else throw UsageError{filled(msgNeedsValue, {option.name})};
        if (option.value) o.*option.value = value;
        else (o.*option.values).push_back(value);
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
  // What goes with what: --launcher with each mode on the launcher, --zor with those that
  // need ZOR's directory, the others with --set.
  bool onLauncher = o.mode == Options::show || o.mode == Options::list || o.mode == Options::set ||
                    o.mode == Options::check;
  for (std::string_view name : given) {
    o.dryRun = o.dryRun || name == "--dry-run";
    o.diff = o.diff || name == "--diff";
    if (name == "--launcher" && !onLauncher)
      throw UsageError{filled(msgOnlyWith, {name, "--show, --list, --set, --check"})};
    if (name == "--zor" && (!onLauncher || o.mode == Options::list))
      throw UsageError{filled(msgOnlyWith, {name, "--show, --set, --check"})};
    if (name != "--launcher" && name != "--zor" && o.mode != Options::set)
      throw UsageError{filled(msgOnlyWith, {name, "--set"})};
  }
  if (o.dryRun && o.diff) throw UsageError{filled(msgNotTogether, {"--dry-run", "--diff"})};
  bool operandsTaken = o.mode == Options::show || o.mode == Options::set;
  if (!o.operands.empty() && !operandsTaken) throw UsageError{filled(msgUnexpected, {o.operands[0]})};
  if (o.mode == Options::none) throw UsageError{filled(msgUnexpected, {arguments[0]})};
  if (o.mode == Options::set && o.operands.empty() && o.from.empty()) throw UsageError{said(msgNoPairs)};
  return o;
}

// A directory named on the command line, in the machine's own form or as a DOS path
// ("Z:\ZOR") on either build, as an absolute DOS path.
Str dosPathIn(std::string_view path) {
  bool dosForm = path.size() >= 2 && ascii::isLetter(path[0]) && path[1] == ':';
  return dosForm ? platform::expandPath(path) : platform::dosPathOf(nativeText(path));
}

// ZOR's directory as --zor names it, if it does.
std::optional<Str> zorGiven(const Options& o) {
  return o.zorDirectory ? std::optional<Str>(dosPathIn(*o.zorDirectory)) : std::nullopt;
}

// The launcher's directory: the one named, or where the search finds the launcher.
std::optional<Str> launcherDirectory(const Options& o) {
  if (o.launcherDirectory) {
    Str directory = dosPathIn(*o.launcherDirectory);
    if (directory.empty() || !platform::directoryExists(directory)) {
      complain(said(msgNoSuchDirectory) + nativeText(*o.launcherDirectory));
      return std::nullopt;
    }
    platform::ensureBackslash(directory);
    if (directory.size() > longestLauncherDirectory) {
      complain(said(msgTooLongForLauncher) + nativeText(*o.launcherDirectory));
      return std::nullopt;
    }
    return directory;
  }
  platform::Clash clash;
  Str found = findLauncherDirectory(&clash);
  if (found.empty()) complain(nativeText(clash.place.empty() ? Str(text(msgNoLauncher)) : clashMessage(clash)));
  return found.empty() ? std::nullopt : std::optional<Str>(found);
}

// Without the blanks and tabs at either end.
std::string_view trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct Change {
  const Setting* row;
  std::string value;  // in the OEM code page
  std::string pair;   // as a complaint names it
};

// A pair as a complaint shows it: where it came from ("FILE:LINE: " for a line of --from),
// and no more than its first 80 characters.
std::string shownPair(std::string_view where, std::string_view pair) {
  constexpr std::size_t shown = 80;
  if (pair.size() <= shown) return std::string(where) + std::string(pair);
  std::size_t cut = shown;
  while (cut > 0 && (static_cast<unsigned char>(pair[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  return std::string(where) + std::string(pair.substr(0, cut)) + "...";
}

// The setting and value of a pair, checked as far as it can be without ZOR's directory,
// in place of an earlier pair for the same setting: the last one counts, as it would
// applied in order, and a long --from costs no more memory. The pair is OEM text. A bad
// one is told at once and counted in bad: every bad pair is named, and none is kept.
void takePair(std::string_view pair, std::string_view where, std::vector<Change>& changes, int& bad) {
  std::size_t equals = pair.find('=');
  const Setting* row = equals == std::string_view::npos ? nullptr : settingNamed(pair.substr(0, equals));
  std::string named = shownPair(where, nativeText(pair));
  if (!row) {
    complain(named + (equals == std::string_view::npos ? ": " + said(msgExpected) + said(msgPairForm)
                                                       : said(msgNoSuchSetting)));
    ++bad;
    return;
  }
  Change change{row, std::string(pair.substr(equals + 1)), named};
  Settings scratch;
  std::string_view allowed = applyValue(*row, change.value, scratch, {});
  if (!allowed.empty()) {
    complain(change.pair + ": " + said(msgExpected) + nativeText(allowed));
    ++bad;
    return;
  }
  auto same = std::ranges::find(changes, row, &Change::row);
  if (same != changes.end()) *same = std::move(change);
  else changes.push_back(std::move(change));
}

// The file --from names, opened: a path in the machine's own form (or a DOS path), any
// file that can be read (a FIFO, /dev/stdin, a process substitution), or "-" for standard
// input.
platform::File fromFile(std::string_view file, const std::string& named) {
  bool dosForm = file.size() >= 2 && ascii::isLetter(file[0]) && file[1] == ':';
  std::string path = dosForm ? platform::nativePath(dosPathIn(file)) : nativeText(file);
  if (path.empty()) path = nativeText(file);  // on Windows a DOS path is the machine's own
  platform::File input;
  if (int error = platform::openNative(path, input)) {
    complain(named + ": " + reason(error));
    platform::runtimeError(error);
  }
  return input;
}

// A line of --from as a pair: without the blanks at either end and around the "=".
std::string pairOnLine(std::string_view line) {
  line = trimmed(line);
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::string(line);
  return std::string(trimmed(line.substr(0, equals))) + '=' + std::string(trimmed(line.substr(equals + 1)));
}

// The pairs of --from's file, a line at a time: memory for the longest line only, which
// may be 64 KB at most. Blank lines and lines starting with # are skipped; blanks around
// the "=" and at either end of a line do not count.
void takePairsFrom(std::string_view file, std::vector<Change>& changes, int& bad) {
  const std::string named = file == "-" ? said(msgStandardInput) : nativeText(file);
  platform::File input = fromFile(file, named);
  constexpr std::size_t longestLine = 65536;
  std::string line;
  bool tooLong = false;  // the rest of a line too long to take is passed over
  int number = 0;
  auto where = [&file, &number] { return nativeText(file) + ":" + std::string(decimal(number + 1).view()) + ": "; };
  auto take = [&] {
    if (line.ends_with('\r')) line.pop_back();
    std::string pair = pairOnLine(line);
    if (!tooLong && !pair.empty() && pair[0] != '#') {
      std::string lacking;
      if (std::optional<std::string> oem = platform::oemTextOf(pair, &lacking)) {
        takePair(*oem, where(), changes, bad);
      } else {
        complain(where() + filled(msgLacksCharacter, {lacking}));
        ++bad;
      }
    }
    line.clear();
    tooLong = false;
    ++number;
  };
  char buffer[4096];
  while (std::size_t n = about(named, [&] { return platform::readSome(input, buffer, sizeof buffer); })) {
    for (std::string_view rest(buffer, n); !rest.empty();) {
      std::size_t end = std::min(rest.find('\n'), rest.size());
      if (!tooLong) line.append(rest.substr(0, end));
      if (!tooLong && line.size() > longestLine) {
        complain(where() + said(msgLineTooLong));
        ++bad;
        tooLong = true;
        line.clear();
      }
      if (end < rest.size()) take();
      rest.remove_prefix(std::min(rest.size(), end + 1));
    }
  }
  if (!line.empty()) take();
}

// "launcher: Z:\ZOR\ZO.BAT (/zor/ZO.BAT)", in the machine's own form.
std::string pathLine(std::string_view label, const Str& dosPath, std::string_view notes = {}) {
  return nativeText(label) + pathForPeople(dosPath) + nativeText(notes) + '\n';
}

// Carries out --check: a line "FILE: KEY: finding" each; 1 when there are any.
int check(const Options& o, std::string& out) {
  Str directory;
  if (o.launcherDirectory) {
    std::optional<Str> given = launcherDirectory(o);
    if (!given) return 2;
    directory = *given;
  }
  std::vector<Finding> findings = checkMachine(zorGiven(o), o.zorDirectory.value_or(""), directory);
  for (const Finding& finding : findings) {
    std::string_view first = finding.words.empty() ? std::string_view() : finding.words[0];
    std::string_view second = finding.words.size() < 2 ? std::string_view() : finding.words[1];
    std::string line = texts::filled(said(finding.message), {first, second});  // the words are the machine's own
    out += finding.file + ": " + std::string(finding.key) + ": " + line + '\n';
  }
  return findings.empty() ? 0 : 1;
}

// Carries out --show, --list or --set; what goes to standard output is added to out.
int onLauncher(const Options& o, std::string& out) {
  // Everything the arguments say is checked before anything else is looked at.
  std::vector<const Setting*> asked;
  if (o.mode == Options::show) {
    for (std::string_view name : o.operands) {
      asked.push_back(settingNamed(name));
      if (!asked.back()) throw UsageError{nativeText(name) + said(msgNoSuchSetting)};
    }
  }
  std::vector<Change> changes;
  if (o.mode == Options::set) {
    int bad = 0;
    for (std::string_view file : o.from) takePairsFrom(file, changes, bad);
    for (std::string_view pair : o.operands) takePair(pair, {}, changes, bad);
    if (bad > 0) throw UsageError{std::vector<std::string>{}};  // each was told as it was found
  }

  int trouble = o.diff ? 2 : 1;  // --diff answers 1 for a change, as diff does
  std::optional<Str> directory = launcherDirectory(o);
  if (!directory) return trouble;
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
  Str problem;
  Str zorDirectory = findZorDirectory(problem, zorGiven(o), o.zorDirectory.value_or(""));
  if (zorDirectory.empty() && (o.mode == Options::set || o.zorDirectory)) {
    complain(nativeText(problem));
    return trouble;
  }
  if (o.mode == Options::show) {
    for (const Setting* row : asked) out += nativeText(scriptValue(*row, launcher.settings, zorDirectory)) + '\n';
    if (!asked.empty()) return 0;
    out += (exists ? "# launcher: " : "# launcher (not there yet): ") + pathForPeople(fileName) + '\n';
    for (const Setting* row : shownOrder)
      if (!row->name.empty())
        out += std::string(row->name) + '=' + nativeText(scriptValue(*row, launcher.settings, zorDirectory)) + '\n';
    return 0;
  }

  const Launcher before = launcher;
  for (const Change& change : changes) {
    std::string_view allowed = applyValue(*change.row, change.value, launcher.settings, zorDirectory);
    if (!allowed.empty())  // a name too long with ZOR's directory in front
      throw UsageError{change.pair + ": " + said(msgExpected) + nativeText(allowed)};
    const Str& table = launcher.settings.*change.row->text;
    if (change.row->kind == Kind::name && !table.empty() && !platform::findEntry(table))
      complain(said(msgNoTableYet) + pathForPeople(platform::expandPath(table)));
  }

  std::string content = formatLauncher(launcher, zorDirectory);
  if (o.diff) {
    std::string diff = unifiedDiff(pathForScripts(fileName), asRead.bytes, content);
    out += diff;
    return diff.empty() ? 0 : 1;
  }
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
  platform::tidyUpOnDeadlySignals();  // a signal during the save leaves nothing of it behind
  Saved saved = about(fileShown, [&] { return saveLauncher(fileName, launcher, zorDirectory, asRead); });
  std::string notes = savedNotes(saved);
  if (saved.backup == Backup::kept) notes += text(msgKeptAsBackup);
  out += pathLine(text(msgWritten), fileName, notes);
  for (const Setting* row : shownOrder) {
    std::string value = scriptValue(*row, launcher.settings, zorDirectory);
    if (!row->name.empty() && value != scriptValue(*row, before.settings, zorDirectory))
      out += std::string(row->name) + '=' + nativeText(value) + '\n';
  }
  for (std::string_view line : linesNotWrittenBack(asRead.bytes, before, zorDirectory))
    out += said(msgNotKept) + nativeText(line) + '\n';
  return 0;
}

}  // namespace

int runCommandLine(const platform::Arguments& arguments) {
  loadAll();
  std::string out;
  int code = 0;
  bool keepCrLf = false;  // a diff shows the launcher's line ends as they are
  try {
    // No word is taken with a letter it does not have.
    if (!arguments.unfitWord.empty())
      throw UsageError{arguments.unfitWord + ": " + filled(msgLacksCharacter, {arguments.unfitCharacter})};
    Options options = parse(arguments.words);
    keepCrLf = options.diff;
    switch (options.mode) {
      case Options::help: out = nativeText(help()); break;
      case Options::version: out = "zorsetup " ZORSETUP_VERSION "\n"; break;
      case Options::check: code = check(options, out); break;
      default: code = onLauncher(options, out);
    }
  } catch (const UsageError& error) {
    return usage(error.reasons);
  }
  std::string shown = keepCrLf ? printableKeepingCrLf(out) : platform::printable(out, true);
  if (int error = platform::writeStream(platform::Stream::output, shown)) {
    complain(said(msgStandardOutput) + ": " + reason(error));
    platform::runtimeError(error);
  }
  return code;
}
