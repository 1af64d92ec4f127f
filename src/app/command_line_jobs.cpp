#include "app/command_line_jobs.h"

#include <vector>

#include "app/check.h"
#include "base/ascii.h"
#include "launcher/location.h"
#include "platform/dos_path.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/search.h"
#include "settings/values.h"

using namespace texts;
using platform::nativeText;
using platform::pathForPeople;

namespace {

// The directory of the launcher: the one named, or where the search finds it.
Str launcherDirectory(const platform::Machine& m, const Options& o) {
  if (!o.launcherDirectory) {
    platform::Clash clash;
    Str found = findLauncherDirectory(m, &clash);
    if (found.empty()) {
      Str reason = clash.place.empty() ? Str(text(msgNoLauncher)) : clashMessage(m, clash);
      throw Stop{Stop::nothingToWorkOn, nativeText(reason)};
    }
    return found;
  }
  Str directory = dosPathIn(m, *o.launcherDirectory);
  if (directory.empty() || !platform::directoryExists(m, directory))
    throw Stop{Stop::nothingToWorkOn, said(msgNoSuchDirectory) + nativeText(*o.launcherDirectory)};
  platform::ensureBackslash(directory);
  if (directory.size() > longestLauncherDirectory)
    throw Stop{Stop::nothingToWorkOn, said(msgTooLongForLauncher) + nativeText(*o.launcherDirectory)};
  return directory;
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

}  // namespace

Str dosPathIn(const platform::Machine& m, std::string_view path) {
  return platform::dos::hasDrive(path) ? platform::expandPath(m, path) : platform::dosPathOf(m, nativeText(path));
}

const Setting* settingNamed(std::string_view key) {
  for (const Setting* row : shownOrder)
    if (!row->name.empty() && (ascii::sameIgnoringCase(key, row->name) || ascii::sameIgnoringCase(key, {&row->key, 1})))
      return row;
  return nullptr;
}

std::string pathLine(const platform::Machine& m, std::string_view label, const Str& dosPath, std::string_view notes) {
  return nativeText(label) + pathForPeople(m, dosPath) + nativeText(notes) + '\n';
}

namespace {

// The directory --zor names, as a DOS path; none without --zor.
std::optional<Str> zorDirectoryGiven(const platform::Machine& m, const Options& o) {
  if (!o.zorDirectory) return std::nullopt;
  return dosPathIn(m, *o.zorDirectory);
}

}  // namespace

Str zorDirectoryFor(const platform::Machine& m, const Options& o, bool required) {
  Str problem;
  std::optional<Str> given = zorDirectoryGiven(m, o);
  Str directory = findZorDirectory(m, problem, given, o.zorDirectory.value_or(""));
  if (directory.empty() && (required || given)) throw Stop{Stop::nothingToWorkOn, nativeText(problem)};
  return directory;
}

Target readTarget(const platform::Machine& m, const Options& o, bool summarize) {
  Target t{.fileName = launcherDirectory(m, o) + launcherName};
  t.exists = platform::findEntry(m, t.fileName);
  t.shown = pathForPeople(m, t.fileName);
  t.launcher.reservedLine = text(txtReservedBatch);
  // Summed up before the reading: a change in between shows.
  if (t.exists && summarize) t.asRead = about(t.shown, [&] { return platform::summarizeFile(m, t.fileName, 1 << 20); });
  if (t.exists) t.launcher = about(t.shown, [&] { return loadLauncher(m, t.fileName); });
  return t;
}

Outcome showJob(const platform::Machine& m, const Options& o) {
  // The names are checked before anything else is looked at.
  std::vector<const Setting*> asked;
  for (std::string_view name : o.operands) {
    asked.push_back(settingNamed(name));
    if (!asked.back()) throw Stop{Stop::usage, nativeText(name) + said(msgNoSuchSetting)};
  }
  Target t = readTarget(m, o, false);
  Str zorDirectory = zorDirectoryFor(m, o, false);  // a table in it is shown relative to it
  auto value = [&](const Setting& row) { return nativeText(scriptValue(row, t.launcher.settings, zorDirectory)); };
  Outcome result;
  for (const Setting* row : asked) result.out += value(*row) + '\n';
  if (!asked.empty()) return result;
  result.out += (t.exists ? "# launcher: " : "# launcher (not there yet): ") + t.shown + '\n';
  for (const Setting* row : shownOrder)
    if (!row->name.empty()) result.out += std::string(row->name) + '=' + value(*row) + '\n';
  return result;
}

Outcome listJob(const platform::Machine& m, const Options& o) {
  Target t = readTarget(m, o, false);
  Outcome result;
  result.out += pathLine(m, text(t.exists ? msgLauncher : msgLauncherNotThere), t.fileName);
  for (const Setting* row : shownOrder)
    if (!row->name.empty()) result.out += nativeText(settingLine(*row, t.launcher.settings));
  return result;
}

Outcome checkJob(const platform::Machine& m, const Options& o) {
  Str directory = o.launcherDirectory ? launcherDirectory(m, o) : Str();
  Outcome result;
  for (const Finding& finding : checkMachine(m, zorDirectoryGiven(m, o), o.zorDirectory.value_or(""), directory)) {
    std::string_view first = finding.words.empty() ? std::string_view() : finding.words[0];
    std::string_view second = finding.words.size() < 2 ? std::string_view() : finding.words[1];
    std::string line = texts::filled(said(finding.message), {first, second});  // the words are the machine's own
    result.out += finding.file + ": " + std::string(finding.key) + ": " + line + '\n';
    result.code = 1;
  }
  return result;
}
