#include "app/command_line.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/menu.h"
#include "app/run.h"
#include "base/ascii.h"
#include "base/number.h"
#include "launcher/launcher.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/search.h"
#include "texts/language.h"
#include "texts/messages.h"
#include "texts/texts.h"

using namespace texts;

namespace {

constexpr std::string_view helpEnglish =
    "zorsetup " ZORSETUP_VERSION " - set-up program for ZOR\n"
    "\n"
    "Usage: zorsetup                    the full-screen menu\n"
    "       zorsetup --show [--launcher DIR]\n"
    "       zorsetup --set KEY=VALUE... [--launcher DIR] [--dry-run]\n"
    "       zorsetup --help | --version\n"
    "\n"
    "Start it in the directory that holds ZOR4.EXE. It reads the launcher ZO.BAT\n"
    "found in the current directory or along PATH (or lets you choose a directory\n"
    "for a new one), shows its settings in a menu and writes it anew on save. It\n"
    "also edits colour tables.\n"
    "\n"
    "Menu keys, either case: u p s l b h m c r i switch or step a setting; f, x and z\n"
    "ask for the colour table, the memory limit and the screen lines; * edits a\n"
    "colour table; Esc leaves without writing; Enter writes ZO.BAT.\n"
    "\n"
    "  --show            print the launcher's path and every setting\n"
    "  --set KEY=VALUE   change settings and write the launcher. KEY is the menu\n"
    "                    letter or its name: subdirs, partition-table, boot-sectors,\n"
    "                    verbose-format, hex-numbers, mouse, cpu-emulator,\n"
    "                    resource-table, icons, gtdata-dll (on or off),\n"
    "                    display-mode (C, E, A, F or H), colour-table (a file name,\n"
    "                    relative to ZOR's directory), memory-limit (0 to 2048000),\n"
    "                    screen-lines (0, 25, 28, 43, 50 or 60)\n"
    "  --launcher DIR    the launcher in DIR instead of the one found\n"
    "  --dry-run         print the launcher --set would write; write nothing\n"
    "  -h, -?, --help    this text\n"
    "  --version         the version\n"
    "\n"
    "Environment: LC_ALL, LC_MESSAGES, LANG (de... gives German), PATH, WINEPREFIX\n"
    "(drive letters on Linux), ESCDELAY (milliseconds to wait after Esc, 50).\n"
    "Exit status: 0 done; 1 no launcher found; 2 usage error; N after\n"
    "\"Runtime error N\" (3 path not found, 5 access denied, 112 disk full).\n";

constexpr std::string_view helpGerman =
    "zorsetup " ZORSETUP_VERSION " - Einrichtungsprogramm zu ZOR\n"
    "\n"
    "Aufruf: zorsetup                   das Menue\n"
    "        zorsetup --show [--launcher VERZ]\n"
    "        zorsetup --set SCHLUESSEL=WERT... [--launcher VERZ] [--dry-run]\n"
    "        zorsetup --help | --version\n"
    "\n"
    "Im Verzeichnis von ZOR4.EXE starten. Das Programm liest die Startdatei ZO.BAT\n"
    "im aktuellen Verzeichnis oder im Suchpfad PATH (oder laesst ein Verzeichnis\n"
    "fuer eine neue waehlen), zeigt ihre Einstellungen in einem Menue und schreibt\n"
    "sie beim Speichern neu. Es bearbeitet auch Farbtabellen.\n"
    "\n"
    "Menuetasten, gross oder klein: u p s l b h m c r i schalten eine Einstellung;\n"
    "f, x und z fragen nach Farbtabelle, RAM-Obergrenze und Zeilenzahl; * bearbeitet\n"
    "eine Farbtabelle; Esc beendet ohne zu schreiben; Enter schreibt ZO.BAT.\n"
    "\n"
    "  --show            Pfad der Startdatei und alle Einstellungen ausgeben\n"
    "  --set S=W         Einstellungen aendern und die Startdatei schreiben. S ist\n"
    "                    der Menuebuchstabe oder sein Name: subdirs, partition-table,\n"
    "                    boot-sectors, verbose-format, hex-numbers, mouse,\n"
    "                    cpu-emulator, resource-table, icons, gtdata-dll (on, off),\n"
    "                    display-mode (C, E, A, F, H), colour-table (Dateiname,\n"
    "                    relativ zum Verzeichnis von ZOR), memory-limit (0 bis\n"
    "                    2048000), screen-lines (0, 25, 28, 43, 50, 60)\n"
    "  --launcher VERZ   die Startdatei in VERZ statt der gefundenen\n"
    "  --dry-run         die Startdatei zeigen, die --set schriebe; nichts schreiben\n"
    "  -h, -?, --help    dieser Text\n"
    "  --version         die Version\n"
    "\n"
    "Umgebung: LC_ALL, LC_MESSAGES, LANG (de... ergibt Deutsch), PATH, WINEPREFIX\n"
    "(Laufwerke unter Linux), ESCDELAY (Millisekunden Wartezeit nach Esc, 50).\n"
    "Rueckgabewert: 0 erledigt; 1 keine Startdatei gefunden; 2 Aufruffehler; N nach\n"
    "\"Runtime error N\" (3 Pfad fehlt, 5 Zugriff verweigert, 112 Datentraeger voll).\n";

bool german() { return languageCode() == "DE"; }

// A message of the command line's own, in the run's language.
std::string_view say(std::string_view english, std::string_view germanText) {
  return text(Message{english, germanText});
}

using platform::nativeText;

// Writes text in the machine's own form (nativeText) to standard output; a stream that will
// not take it ends the run with exit 1.
struct WriteFailed {};
void print(std::string_view text) {
  if (platform::writeStream(platform::Stream::output, text) != 0) throw WriteFailed{};
}
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

bool isSetting(const MenuItem& item) { return !item.name.empty(); }

const MenuItem* settingNamed(std::string_view key) {
  for (const MenuItem& item : menuItems)
    if (isSetting(item) && (ascii::sameIgnoringCase(key, item.name) || ascii::sameIgnoringCase(key, {&item.key, 1})))
      return &item;
  return nullptr;
}

// "u  subdirectorys         on": the key, the label as the menu shows it, the value.
std::string settingLine(const MenuItem& item, const Settings& s) {
  std::string line = {item.key, ' ', ' '};
  if (item.label != 0) {
    line += text(static_cast<GeneralText>(item.label));
  } else {
    line += item.name;
    line.resize(line.size() + 22 - item.name.size(), ' ');
  }
  line += menuValue(item, s);
  if (item.action == MenuAction::stepMode) {
    line += "  ";
    line += displayModeNameArray[s.screenMode];
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + '\n';
}

// Applies one value; an empty result, or what is allowed when the value is not.
std::string_view applyValue(const MenuItem& item, std::string_view value, Settings& s, const Str& zorDirectory) {
  std::int32_t number = 0;
  std::size_t mode = value.size() == 1 ? screenModeLetters.find(ascii::upper(value[0])) : std::string_view::npos;
  switch (item.action) {
    case MenuAction::flip:
      if (!ascii::sameIgnoringCase(value, "on") && !ascii::sameIgnoringCase(value, "off"))
        return say("on or off", "on oder off");
      s.*item.flag = ascii::sameIgnoringCase(value, "on") ? 1 : 0;
      return {};
    case MenuAction::stepMode:
      if (mode == std::string_view::npos)
        return say("one of the letters C, E, A, F, H", "einer der Buchstaben C, E, A, F, H");
      s.screenMode = static_cast<std::int8_t>(mode);
      return {};
    case MenuAction::askColourTable: {
      std::string name = colourTableAnswer(value, zorDirectory);
      static_assert(maxOptionName == 252, "the message below names the length");
      if (!fitsOptionLine(name))
        return say("a name without control characters or '\"' of at most 252 characters with ZOR's directory",
                   "ein Name ohne Steuerzeichen und '\"' von hoechstens 252 Zeichen mit dem Verzeichnis von ZOR");
      s.colourTableName = name;
      return {};
    }
    case MenuAction::askMemoryLimit:
      if (!convertNumber(value, number) || number < 0 || number > 2048000)
        return say("a whole number from 0 to 2048000 (or $ and hexadecimal digits)",
                   "eine ganze Zahl von 0 bis 2048000 (oder $ und Hexadezimalziffern)");
      s.memoryLimitKb = number;
      return {};
    case MenuAction::askScreenLines:
      if (!convertNumber(value, number) || number < 0 || number > 60)
        return say("0, 25, 28, 43, 50 or 60 (other numbers up to 60 give 25)",
                   "0, 25, 28, 43, 50 oder 60 (andere Zahlen bis 60 ergeben 25)");
      s.screenLines = screenLinesAnswer(number);
      return {};
    default:
      return {};
  }
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

// The launcher's directory: the one named, or where the search finds ZO.BAT.
std::optional<Str> launcherDirectory(const Options& o) {
  if (o.launcherDirectory) {
    Str directory = platform::dosPathOf(*o.launcherDirectory);
    if (directory.empty() || !platform::directoryExists(directory)) {
      complain(nativeText(say("no such directory: ", "kein solches Verzeichnis: ")) + std::string(*o.launcherDirectory));
      return std::nullopt;
    }
    platform::ensureBackslash(directory);
    if (directory.size() > 255 - 6) {
      complain(nativeText(say("too long for ZO.BAT behind it: ", "zu lang fuer ZO.BAT dahinter: ")) +
               std::string(*o.launcherDirectory));
      return std::nullopt;
    }
    return directory;
  }
  Str found = platform::searchFile("ZO.BAT", platform::environmentValue("PATH"));
  if (found.empty()) {
    complain(nativeText(say("no launcher ZO.BAT in the current directory or along PATH; name its directory with "
                            "--launcher DIR",
                            "keine Startdatei ZO.BAT im aktuellen Verzeichnis oder in PATH; ihr Verzeichnis mit "
                            "--launcher VERZ angeben")));
    return std::nullopt;
  }
  found.cutTail(6);
  return found;
}

// "launcher: Z:\ZOR\ZO.BAT (/zor/ZO.BAT)", in the machine's own form.
std::string pathLine(std::string_view label, const Str& dosPath, std::string_view notes = {}) {
  return nativeText(label) + pathForPeople(dosPath) + nativeText(notes) + '\n';
}

int showOrSet(const Options& o) {
  std::optional<Str> directory = launcherDirectory(o);
  if (!directory) return 1;
  Str fileName = *directory + "ZO.BAT";
  bool exists = platform::findEntry(fileName);
  Launcher launcher{Str(text(txtReservedBatch)), {}};
  platform::FileSummary asRead;
  if (exists && o.mode == Options::set) asRead = platform::summarizeFile(fileName);  // before the reading
  if (exists) launcher = loadLauncher(fileName);

  if (o.mode == Options::show) {
    print(pathLine(say(exists ? "launcher: " : "launcher (not there yet): ",
                       exists ? "Startdatei: " : "Startdatei (noch nicht da): "),
                   fileName));
    for (const MenuItem& item : menuItems)
      if (isSetting(item)) print(nativeText(settingLine(item, launcher.settings)));
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
    const MenuItem* item = equals == std::string_view::npos ? nullptr : settingNamed(pair.substr(0, equals));
    if (!item) {
      complain(oneLine(pair) + nativeText(say(": no such setting (see zorsetup --help)",
                                              ": keine solche Einstellung (siehe zorsetup --help)")));
      return 2;
    }
    std::string_view allowed = applyValue(*item, pair.substr(equals + 1), launcher.settings, zorDirectory);
    if (!allowed.empty()) {
      complain(oneLine(pair) + ": " + nativeText(say("expected ", "erwartet: ")) + nativeText(allowed));
      return 2;
    }
  }

  std::string content = formatLauncher(launcher, zorDirectory);
  if (o.dryRun) {
    std::string shown;
    for (char c : content)
      if (c != '\r') shown += c;
    print(nativeText(shown) + '\n');
    return 0;
  }
  Saved saved = saveLauncher(fileName, launcher, zorDirectory, asRead);
  print(pathLine(text(msgWritten), fileName, savedNotes(saved)));
  for (const MenuItem& item : menuItems) {
    if (isSetting(item) && settingLine(item, launcher.settings) != settingLine(item, before))
      print(nativeText(settingLine(item, launcher.settings)));
  }
  return 0;
}

}  // namespace

int runCommandLine(std::span<char* const> arguments) {
  std::optional<Options> options = parse(arguments);
  if (!options || options->mode == Options::none) {
    platform::writeStream(platform::Stream::error, german() ? helpGerman : helpEnglish);
    return 2;
  }
  try {
    switch (options->mode) {
      case Options::help: print(german() ? helpGerman : helpEnglish); return 0;
      case Options::version: print("zorsetup " ZORSETUP_VERSION "\n"); return 0;
      default: loadAll(); return showOrSet(*options);
    }
  } catch (const WriteFailed&) {
    complain(say("standard output would not take the text", "die Standardausgabe nahm den Text nicht an"));
    return 1;
  }
}
