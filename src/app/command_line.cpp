#include "app/command_line.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/menu.h"
#include "app/run.h"
#include "base/ascii.h"
#include "base/number.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
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

// The help: its texts, with the menu keys and the settings' names and values from the table.
std::string help() {
  std::string switched, asked;  // the keys that switch or step a setting, those that ask for one
  std::vector<MessageText> values;  // what the settings take, in the order of the first to take it
  for (const Setting* row : shownOrder) {
    if (row->label) (row->kind == Kind::flag || row->kind == Kind::screenMode ? switched : asked) += row->key;
    if (!row->name.empty() && std::ranges::find(values, row->values) == values.end()) values.push_back(row->values);
  }
  std::string keys(text(msgHelpKeys));
  for (char key : switched) keys.append(" ").push_back(key);
  keys.append(" ").append(text(msgHelpKeysSwitch));
  for (std::size_t i = 0; i < asked.size(); ++i) {  // "f, x and z"
    if (i > 0 && i + 1 == asked.size()) keys.append(" ").append(text(msgAnd));
    keys.append(i > 0 && i + 1 < asked.size() ? ", " : " ") += asked[i];
  }
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
  help.append(text(msgHelpTitle)).append(text(msgHelpUsage)).append(text(msgHelpAbout)).append(text(msgHelpAboutEnd));
  help.append(wrapped(keys, 0)).append("\n").append(text(msgHelpShow)).append(wrapped(set, 20));
  return help.append(text(msgHelpOptions)).append(text(msgHelpEnvironment)).append(text(msgHelpExitStatus));
}

using platform::nativeText;

void complain(std::string_view text) {
  std::string line = "zorsetup: ";
  line += text;
  line += '\n';
  platform::writeStream(platform::Stream::error, line);
}

// A pair as a complaint shows it: a control character as \xNN, so the reason stays one line.
std::string oneLine(std::string_view text) {
  std::string shown;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 32) {
      shown += c;
      continue;
    }
    const char* hex = "0123456789ABCDEF";
    shown += {'\\', 'x', hex[(c >> 4) & 15], hex[c & 15]};
  }
  return shown;
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

// Applies one value; an empty result, or what is allowed when the value is not.
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
      if (!convertNumber(value, number) || number < row.taken.lowest || number > row.taken.highest)
        return text(row.expected);
      s.*row.number = row.kind == Kind::screenLines ? screenLinesAnswer(number) : number;
      break;
    case Kind::ignored: break;
  }
  return {};
}

struct Options {
  enum Mode { none, help, version, show, set } mode = none;
  std::optional<std::string_view> launcherDirectory;
  bool dryRun = false;
  std::vector<std::string_view> pairs;
};

// The arguments, or nothing when they make no sense together.
std::optional<Options> parse(std::span<char* const> arguments) {
  Options o;
  auto setMode = [&o](Options::Mode m) {
    bool fine = o.mode == Options::none;
    o.mode = m;
    return fine;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view a = arguments[i];
    bool fine = true;
    if (a == "--help" || a == "-h" || a == "-?" || a == "/?") fine = setMode(Options::help);
    else if (a == "--version") fine = setMode(Options::version);
    else if (a == "--show") fine = setMode(Options::show);
    else if (a == "--set") fine = setMode(Options::set);
    else if (a == "--dry-run") o.dryRun = true;
    else if (a == "--launcher" && i + 1 < arguments.size() && !o.launcherDirectory) o.launcherDirectory = arguments[++i];
    else if (o.mode == Options::set && !a.starts_with("--")) o.pairs.push_back(a);
    else fine = false;
    if (!fine) return std::nullopt;
  }
  bool launcherMode = o.mode == Options::show || o.mode == Options::set;
  if ((o.launcherDirectory && !launcherMode) || (o.dryRun && o.mode != Options::set) ||
      (o.mode == Options::set && o.pairs.empty()))
    return std::nullopt;
  return o;
}

// The launcher's directory: the one named, or where the search finds the launcher.
std::optional<Str> launcherDirectory(const Options& o) {
  if (o.launcherDirectory) {
    Str directory = platform::dosPathOf(*o.launcherDirectory);
    if (directory.empty() || !platform::directoryExists(directory)) {
      complain(nativeText(text(msgNoSuchDirectory)) + std::string(*o.launcherDirectory));
      return std::nullopt;
    }
    platform::ensureBackslash(directory);
    if (directory.size() > longestLauncherDirectory) {
      complain(nativeText(text(msgTooLongForLauncher)) + std::string(*o.launcherDirectory));
      return std::nullopt;
    }
    return directory;
  }
  Str found = findLauncherDirectory();
  if (found.empty()) complain(nativeText(text(msgNoLauncher)));
  return found.empty() ? std::nullopt : std::optional<Str>(found);
}

// "launcher: Z:\ZOR\ZO.BAT (/zor/ZO.BAT)", in the machine's own form.
std::string pathLine(std::string_view label, const Str& dosPath, std::string_view notes = {}) {
  return nativeText(label) + pathForPeople(dosPath) + nativeText(notes) + '\n';
}

// Carries out --show or --set; what goes to standard output is added to out.
int showOrSet(const Options& o, std::string& out) {
  std::optional<Str> directory = launcherDirectory(o);
  if (!directory) return 1;
  Str fileName = *directory + launcherName;
  bool exists = platform::findEntry(fileName);
  Launcher launcher{Str(text(txtReservedBatch)), {}};
  platform::FileSummary asRead;
  if (exists && o.mode == Options::set) asRead = platform::summarizeFile(fileName);  // before the reading
  if (exists) launcher = loadLauncher(fileName);

  if (o.mode == Options::show) {
    out += pathLine(text(exists ? msgLauncher : msgLauncherNotThere), fileName);
    for (const Setting* row : shownOrder)
      if (!row->name.empty()) out += nativeText(settingLine(*row, launcher.settings));
    return 0;
  }

  Str problem;
  Str zorDirectory = findZorDirectory(problem);
  if (zorDirectory.empty()) {
    complain(nativeText(problem));
    return 1;
  }

  // Every pair is checked before anything is written.
  const Settings before = launcher.settings;
  for (std::string_view pair : o.pairs) {
    std::size_t equals = pair.find('=');
    const Setting* row = equals == std::string_view::npos ? nullptr : settingNamed(pair.substr(0, equals));
    if (!row) {
      complain(oneLine(pair) + nativeText(text(msgNoSuchSetting)));
      return 2;
    }
    std::string_view allowed = applyValue(*row, pair.substr(equals + 1), launcher.settings, zorDirectory);
    if (!allowed.empty()) {
      complain(oneLine(pair) + ": " + nativeText(text(msgExpected)) + nativeText(allowed));
      return 2;
    }
  }

  std::string content = formatLauncher(launcher, zorDirectory);
  if (o.dryRun) {
    std::string shown;
    for (char c : content)
      if (c != '\r') shown += c;
    out += nativeText(shown) + '\n';
    return 0;
  }
  Saved saved = saveLauncher(fileName, launcher, zorDirectory, asRead);
  out += pathLine(text(msgWritten), fileName, savedNotes(saved));
  for (const Setting* row : shownOrder) {
    if (!row->name.empty() && settingLine(*row, launcher.settings) != settingLine(*row, before))
      out += nativeText(settingLine(*row, launcher.settings));
  }
  return 0;
}

}  // namespace

int runCommandLine(std::span<char* const> arguments) {
  loadAll();
  std::optional<Options> options = parse(arguments);
  if (!options || options->mode == Options::none) {
    platform::writeStream(platform::Stream::error, nativeText(help()));
    return 2;
  }
  std::string out;
  int code = 0;
  switch (options->mode) {
    case Options::help: out = nativeText(help()); break;
    case Options::version: out = "zorsetup " ZORSETUP_VERSION "\n"; break;
    default: code = showOrSet(*options, out);
  }
  if (!out.empty() && platform::writeStream(platform::Stream::output, out) != 0) {
    complain(nativeText(text(msgOutputFailed)));
    return 1;
  }
  return code;
}
