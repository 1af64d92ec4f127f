#include "app/command_line_set.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line_jobs.h"
#include "app/diff.h"
#include "base/number.h"
#include "launcher/location.h"
#include "platform/dos_path.h"
#include "platform/leftovers.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "settings/values.h"

using namespace texts;
using platform::nativeText;
using platform::pathForPeople;

namespace {

struct Change {
  const Setting* row;
  std::string value;  // in the OEM code page
  std::string pair;   // as a complaint names it
};

// Why the setting does not take the change's value, as a complaint says it.
std::string notTaken(const Change& change) {
  return change.pair + ": " + said(msgExpected) + nativeText(described(*change.row, change.row->expected));
}

// Takes the change into the settings; a value the setting does not take is a usage error.
void take(const Change& change, std::string_view zorDirectory, Settings& s) {
  if (!takeValue(*change.row, change.value, zorDirectory, s)) throw Stop{Stop::usage, notTaken(change)};
}

// The pairs of the command line: every bad one is told as it is found, and none is kept.
struct Pairs {
  std::vector<Change> changes;
  std::vector<std::string> bad;  // the complaints, a line each
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

// The setting and value of a pair (OEM text), checked as far as it can be without ZOR's
// directory (as if a name were absolute), in place of an earlier pair for the same
// setting: the last one counts, as it would applied in order, and a long --from costs no
// more memory.
void takePair(std::string_view pair, std::string_view where, Pairs& pairs) {
  std::size_t equals = pair.find('=');
  const Setting* row = equals == std::string_view::npos ? nullptr : settingNamed(pair.substr(0, equals));
  std::string shown = shownPair(where, nativeText(pair));
  if (!row) {
    bool noPair = equals == std::string_view::npos;
    pairs.bad.push_back(shown + (noPair ? ": " + said(msgExpected) + said(msgPairForm) : said(msgNoSuchSetting)));
    return;
  }
  Change change{row, std::string(pair.substr(equals + 1)), std::move(shown)};
  Settings scratch;
  if (!takeValue(*row, change.value, {}, scratch)) {
    pairs.bad.push_back(notTaken(change));
    return;
  }
  auto same = std::ranges::find(pairs.changes, row, &Change::row);
  if (same != pairs.changes.end()) *same = std::move(change);
  else pairs.changes.push_back(std::move(change));
}

// Without the blanks and tabs at either end.
std::string_view trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A line of --from as a pair: without the blanks at either end and around the "=".
std::string pairOnLine(std::string_view line) {
  line = trimmed(line);
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::string(line);
  return std::string(trimmed(line.substr(0, equals))) + '=' + std::string(trimmed(line.substr(equals + 1)));
}

// The file --from names, opened: a path in the machine's own form (or a DOS path), any
// file that can be read (a FIFO, /dev/stdin, a process substitution), or "-" for standard
// input.
platform::File fromFile(const platform::Machine& m, std::string_view file, const std::string& named) {
  std::string path = platform::dos::hasDrive(file) ? platform::nativePath(m, dosPathIn(m, file)) : nativeText(file);
  if (path.empty()) path = nativeText(file);  // on Windows a DOS path is the machine's own
  platform::File input;
  if (int error = platform::openNative(m, path, input))
    throw Stop{Stop::runtime, named + ": " + meaningOf(error), error};
  return input;
}

// The pairs of --from's file, a line at a time: memory for the longest line only, which
// may be 64 KB at most (a longer one is bad, and passed over). Blank lines and lines
// starting with # are skipped; blanks around the "=" and at either end do not count.
void takePairsFrom(const platform::Machine& m, std::string_view file, Pairs& pairs) {
  const std::string named = file == "-" ? said(msgStandardInput) : nativeText(file);
  platform::File input = fromFile(m, file, named);
  constexpr std::size_t longestLine = 65536;
  std::string line;
  bool tooLong = false;  // the rest of a line too long to take is passed over
  int number = 0;
  auto where = [&file, &number] { return nativeText(file) + ":" + std::string(decimal(number + 1).view()) + ": "; };
  auto takeLine = [&] {
    if (line.ends_with('\r')) line.pop_back();
    std::string pair = pairOnLine(line);
    if (!tooLong && !pair.empty() && pair[0] != '#') {
      std::string lacking;
      if (std::optional<std::string> oem = platform::oemTextOf(pair, &lacking)) takePair(*oem, where(), pairs);
      else pairs.bad.push_back(where() + filled(msgLacksCharacter, {lacking}));
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
        pairs.bad.push_back(where() + said(msgLineTooLong));
        tooLong = true;
        line.clear();
      }
      if (end < rest.size()) takeLine();
      rest.remove_prefix(std::min(rest.size(), end + 1));
    }
  }
  if (!line.empty() || tooLong) takeLine();
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
std::string writtenLines(const platform::Machine& m, const Target& t, const Saved& saved, const Launcher& before,
                         std::string_view zorDirectory) {
  std::string notes = savedNotes(saved);
  if (saved.backup == platform::BackupCopy::kept) notes += text(msgKeptAsBackup);
  std::string out = pathLine(m, text(msgWritten), t.fileName, notes);
  for (const Setting* row : shownOrder) {
    std::string value = scriptValue(*row, t.launcher.settings, zorDirectory);
    if (!row->name.empty() && value != scriptValue(*row, before.settings, zorDirectory))
      out += std::string(row->name) + '=' + nativeText(value) + '\n';
  }
  for (std::string_view line : linesNotWrittenBack(t.asRead.bytes, before, zorDirectory))
    out += said(msgNotKept) + nativeText(line) + '\n';
  return out;
}

void set(const platform::Machine& m, const Options& o, Outcome& result) {
  // Everything the arguments say is checked before anything else is looked at.
  // The files of --from in order, then the arguments' pairs: a later value wins.
  Pairs pairs;
  for (std::string_view file : o.from) takePairsFrom(m, file, pairs);
  for (std::string_view pair : o.operands) takePair(pair, {}, pairs);
  if (!pairs.bad.empty()) throw Stop{Stop::usage, {}, 0, std::move(pairs.bad)};  // each told on its own line
  Target t = readTarget(m, o, true);
  Str zorDirectory = zorDirectoryFor(m, o, true);
  const Launcher before = t.launcher;
  for (const Change& change : pairs.changes) {
    take(change, zorDirectory, t.launcher.settings);  // a name may be too long with ZOR's directory
    const Str* table = isName(*change.row) ? &(t.launcher.settings.*change.row->text) : nullptr;
    if (table && !table->empty() && !platform::findEntry(m, *table))
      result.notes.push_back(said(msgNoTableYet) + pathForPeople(m, platform::expandPath(m, *table)));
  }
  std::string content = formatLauncher(t.launcher, zorDirectory);
  if (o.diff) {
    std::string diff = unifiedDiff(platform::pathForScripts(m, t.fileName), t.asRead.bytes, content);
    result.code = diff.empty() ? 0 : 1;  // as diff answers
    result.out += diff;
    result.keepCrLf = true;
  } else if (o.dryRun) {
    result.out += dryRun(content);
  } else if (t.asRead.exists && t.asRead.bytes == content) {
    result.out += pathLine(m, text(msgUnchanged), t.fileName);
  } else {
    platform::tidyUpOnDeadlySignals();  // a signal during the save leaves nothing of it behind
    Saved saved = about(t.shown, [&] { return saveLauncher(m, t.fileName, t.launcher, zorDirectory, t.asRead); });
    result.out += writtenLines(m, t, saved, before, zorDirectory);
  }
}

}  // namespace

Outcome setJob(const platform::Machine& m, const Options& o) {
  Outcome result;
  try {
    set(m, o, result);
  } catch (Stop& stop) {  // the notes so far are told before the reason
    stop.notes.insert(stop.notes.begin(), result.notes.begin(), result.notes.end());
    throw;
  }
  return result;
}
