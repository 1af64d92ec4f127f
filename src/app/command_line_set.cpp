#include "app/command_line_set.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line_jobs.h"
#include "base/ascii.h"
#include "base/number.h"
#include "launcher/location.h"
#include "platform/leftovers.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "settings/values.h"

using namespace texts;
using platform::nativeText;
using platform::pathForPeople;

namespace {

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

struct Change {
  const Setting* row;
  std::string value;  // in the OEM code page
  std::string pair;   // as a complaint names it
};

// Takes the change into the settings; a value the setting does not take is a usage error.
// Without ZOR's directory a name is checked as it is, as if it were absolute.
void take(const Change& change, std::string_view zorDirectory, Settings& s) {
  const Setting& row = *change.row;
  if (!takeValue(row, change.value, zorDirectory, s))
    throw Stop{Stop::usage, change.pair + ": " + said(msgExpected) + nativeText(described(row, row.expected))};
}

// A pair as a complaint shows it: where it came from ("FILE:LINE: " for a line of --from),
// and no more than its first 80 characters.
std::string shownPair(std::string_view where, std::string_view pair) {
  constexpr std::size_t shown = 80;
  if (pair.size() <= shown) return std::string(where) + std::string(pair);
  std::size_t cut = shown;
  while (cut > 0 && (static_cast<unsigned char>(pair[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  return std::string(where) + std::string(pair.substr(0, cut)) + "...";
}

// The setting and value of a pair (OEM text), checked as far as it can be without ZOR's
// directory, in place of an earlier pair for the same setting: the last one counts, as it
// would applied in order, and a long --from costs no more memory.
void takePair(std::string_view pair, std::string_view where, std::vector<Change>& changes) {
  std::size_t equals = pair.find('=');
  const Setting* row = equals == std::string_view::npos ? nullptr : settingNamed(pair.substr(0, equals));
  if (!row) throw Stop{Stop::usage, shownPair(where, nativeText(pair)) + said(msgNoSuchSetting)};
  Change change{row, std::string(pair.substr(equals + 1)), shownPair(where, nativeText(pair))};
  Settings scratch;
  take(change, {}, scratch);
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
  if (int error = platform::openNative(path, input)) throw Stop{Stop::runtime, named + ": " + meaningOf(error), error};
  return input;
}

// The pairs of --from's file, a line at a time: memory for the longest line only, which
// may be 64 KB at most. Blank lines and lines starting with # are skipped.
void takePairsFrom(std::string_view file, std::vector<Change>& changes) {
  const std::string named = file == "-" ? said(msgStandardInput) : nativeText(file);
  platform::File input = fromFile(file, named);
  constexpr std::size_t longestLine = 65536;
  std::string line;
  int number = 0;
  auto where = [&file, &number] { return nativeText(file) + ":" + std::string(decimal(number + 1).view()) + ": "; };
  auto takeLine = [&] {
    if (line.ends_with('\r')) line.pop_back();
    std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] != '#') {
      std::string lacking;
      std::optional<std::string> pair = platform::oemTextOf(line, &lacking);
      if (!pair) throw Stop{Stop::usage, where() + filled(msgLacksCharacter, {lacking})};
      takePair(*pair, where(), changes);
    }
    line.clear();
    ++number;
  };
  char buffer[4096];
  while (std::size_t n = about(named, [&] { return platform::readSome(input, buffer, sizeof buffer); })) {
    for (std::string_view rest(buffer, n); !rest.empty();) {
      std::size_t end = std::min(rest.find('\n'), rest.size());
      line.append(rest.substr(0, end));
      if (line.size() > longestLine) throw Stop{Stop::usage, where() + said(msgLineTooLong)};
      if (end < rest.size()) takeLine();
      rest.remove_prefix(std::min(rest.size(), end + 1));
    }
  }
  if (!line.empty()) takeLine();
}

Str zorDirectoryFor(const Options& o) {
  Str problem;
  std::optional<Str> given;
  if (o.zorDirectory) given = dosPathIn(*o.zorDirectory);
  Str directory = findZorDirectory(problem, given, o.zorDirectory.value_or(""));
  if (directory.empty()) throw Stop{Stop::nothingToWorkOn, nativeText(problem)};
  return directory;
}

// The launcher as --dry-run shows it: its lines without CR.
std::string dryRun(std::string_view content) {
  std::string shown;
  for (char c : content)
    if (c != '\r') shown += c;
  return nativeText(shown) + '\n';
}

// After the save: the line naming the launcher, the settings that changed, and what of the
// old launcher the program does not write back (lines and switches of the user's own),
// each line that holds some.
std::string writtenLines(const Target& t, const Saved& saved, const Launcher& before, std::string_view zorDirectory) {
  std::string notes = savedNotes(saved);
  if (saved.backup == platform::BackupCopy::kept) notes += text(msgKeptAsBackup);
  std::string out = pathLine(text(msgWritten), t.fileName, notes);
  for (const Setting* row : shownOrder) {
    std::string value = scriptValue(*row, t.launcher.settings);
    if (!row->name.empty() && value != scriptValue(*row, before.settings))
      out += std::string(row->name) + '=' + nativeText(value) + '\n';
  }
  std::string ownContent = formatLauncher(before, zorDirectory);
  std::vector<std::string_view> kept = linesOf(ownContent);
  for (std::string_view line : linesOf(t.asRead.bytes))
    if (std::ranges::find(kept, line) == kept.end()) out += said(msgNotKept) + nativeText(line) + '\n';
  return out;
}

void set(const Options& o, Outcome& result) {
  // Everything the arguments say is checked before anything else is looked at.
  std::vector<Change> changes;
  for (std::string_view pair : o.operands) takePair(pair, {}, changes);
  if (o.from) takePairsFrom(*o.from, changes);
  Target t = readTarget(o, true);
  Str zorDirectory = zorDirectoryFor(o);
  const Launcher before = t.launcher;
  for (const Change& change : changes) {
    take(change, zorDirectory, t.launcher.settings);  // a name may be too long with ZOR's directory
    const Str* table = isName(*change.row) ? &(t.launcher.settings.*change.row->text) : nullptr;
    if (table && !table->empty() && !platform::findEntry(*table))
      result.notes.push_back(said(msgNoTableYet) + pathForPeople(platform::expandPath(*table)));
  }
  std::string content = formatLauncher(t.launcher, zorDirectory);
  if (o.dryRun) {
    result.out += dryRun(content);
  } else if (t.asRead.exists && t.asRead.bytes == content) {
    result.out += pathLine(text(msgUnchanged), t.fileName);
  } else {
    platform::tidyUpOnDeadlySignals();  // a signal during the save leaves nothing of it behind
    Saved saved = about(t.shown, [&] { return saveLauncher(t.fileName, t.launcher, zorDirectory, t.asRead); });
    result.out += writtenLines(t, saved, before, zorDirectory);
  }
}

}  // namespace

Outcome setJob(const Options& o) {
  Outcome result;
  try {
    set(o, result);
  } catch (Stop& stop) {  // the notes so far are told before the reason
    stop.notes = std::move(result.notes);
    throw;
  }
  return result;
}
