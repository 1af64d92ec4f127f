#include "app/command_line_set.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line_jobs.h"
#include "base/number.h"
#include "launcher/location.h"
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

// A pair, and where it came from ("FILE:LINE: " for a line of --from).
struct Pair {
  std::string_view text;
  std::string where;
};

// The text of --from's file, or of standard input for "-".
std::string fromText(std::string_view file) {
  std::string text;
  if (file == "-") {
    if (int error = platform::readStandardInput(text))
      throw Stop{Stop::runtime, said(msgStandardInput) + ": " + meaningOf(error), error};
    return text;
  }
  about(file, [&] {
    platform::File input = platform::openRead(dosPathIn(file));
    char buffer[4096];
    while (std::size_t n = platform::readSome(input, buffer, sizeof buffer)) text.append(buffer, n);
  });
  return text;
}

// The pairs of the arguments, then those of --from (whose text lines holds): blank lines
// and comments skipped.
std::vector<Pair> pairsOf(const Options& o, std::string& lines) {
  std::vector<Pair> pairs;
  for (std::string_view pair : o.operands) pairs.push_back({pair, {}});
  if (!o.from) return pairs;
  lines = fromText(*o.from);
  int number = 0;
  for (std::string_view line : linesOf(lines)) {
    ++number;
    std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    pairs.push_back({line, std::string(*o.from) + ":" + std::string(decimal(number).view()) + ": "});
  }
  return pairs;
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

// The setting and value of each pair, each checked as far as it can be without ZOR's
// directory.
std::vector<Change> checkedChanges(const std::vector<Pair>& pairs) {
  std::vector<Change> changes;
  for (const Pair& pair : pairs) {
    std::size_t equals = pair.text.find('=');
    const Setting* row = equals == std::string_view::npos ? nullptr : settingNamed(pair.text.substr(0, equals));
    if (!row) throw Stop{Stop::usage, pair.where + std::string(pair.text) + said(msgNoSuchSetting)};
    std::string_view value = pair.text.substr(equals + 1);
    changes.push_back({row, isName(*row) ? platform::oemTextOf(value) : std::string(value),
                       pair.where + std::string(pair.text)});
    Settings scratch;
    take(changes.back(), {}, scratch);
  }
  return changes;
}

Str zorDirectoryFor(const Options& o) {
  Str problem;
  Str directory = findZorDirectory(problem, o.zorDirectory ? dosPathIn(*o.zorDirectory).view() : "");
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
  std::string lines;  // the text of --from, which the pairs point into
  std::vector<Change> changes = checkedChanges(pairsOf(o, lines));
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
