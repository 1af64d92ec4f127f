#include "launcher/launcher.h"

#include <algorithm>

#include "platform/platform.h"
#include "prompts/prompts.h"
#include "settings/option_parser.h"
#include "texts/texts.h"

std::string formatLauncher(const Launcher& launcher, std::string_view zorDirectory) {
  std::string content = "@ECHO OFF\r\n";
  content += launcher.reservedLine;
  content += "\r\n";
  // Quoted and escaped only where the command interpreter needs it: a plain path stays as
  // launchers always had it.
  content += commandWord(std::string(zorDirectory) + std::string(zorProgramName));
  content += formatOptionLine(launcher.settings);  // the last line has no line end
  return content;
}

Saved saveLauncherShowingName(const platform::Machine& m, std::string_view fileName, const Launcher& launcher,
                              std::string_view zorDirectory, const platform::FileSummary& asRead) {
  showFileRow(texts::text(texts::txtWriting), fileName);
  return saveLauncher(m, fileName, launcher, zorDirectory, asRead);
}

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::string_view line = text.substr(0, text.find('\n'));
    text.remove_prefix(std::min(text.size(), line.size() + 1));
    lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
  }
  return lines;
}

std::vector<std::string_view> linesNotWrittenBack(std::string_view content, const Launcher& launcher,
                                                  std::string_view zorDirectory) {
  std::string written = formatLauncher(launcher, zorDirectory);
  std::vector<std::string_view> kept = linesOf(written), dropped;
  for (std::string_view line : linesOf(content))
    if (std::ranges::find(kept, line) == kept.end()) dropped.push_back(line);
  return dropped;
}

bool isOwnLauncher(std::string_view content, std::string_view zorDirectory) {
  constexpr std::string_view firstLine = "@ECHO OFF\r\n";
  if (!content.starts_with(firstLine)) return false;
  std::string_view rest = content.substr(firstLine.size());
  std::size_t lineEnd = rest.find("\r\n");
  if (lineEnd == std::string_view::npos) return false;
  Launcher launcher{Str(rest.substr(0, lineEnd)), {}};
  parseOptionLine(extractOptionLine(rest.substr(lineEnd + 2)), launcher.settings);
  return formatLauncher(launcher, zorDirectory) == content;
}

Saved saveLauncher(const platform::Machine& m, std::string_view fileName, const Launcher& launcher,
                   std::string_view zorDirectory, const platform::FileSummary& asRead) {
  std::string content = formatLauncher(launcher, zorDirectory);
  Saved saved;
  platform::ReplaceRules rules;
  rules.backupName = "ZO.BAK";
  rules.keepUpTo = 64 * 1024;  // room for any launcher this program writes: a longer one is none of its own
  // ZO.BAK holds the last launcher with something of the user's own (lines, switches,
  // spelling, another ZOR directory): one the program wrote here and would write again is
  // no reason to replace it. A launcher changed behind the run's back always goes there.
  rules.judge = [&](const platform::FileSummary& now) {
    saved.changedSinceRead = !now.sameContent(asRead);
    bool keep = now.exists && now.bytes != content && (saved.changedSinceRead || !isOwnLauncher(now.bytes, zorDirectory));
    return keep ? platform::Verdict::replaceKeepingOld : platform::Verdict::replace;
  };
  saved.backup = platform::replaceFile(m, fileName, content, rules);
  return saved;
}

std::string savedNotes(const Saved& saved) {
  std::string notes;
  if (saved.changedSinceRead) notes += texts::text(texts::msgChangedSinceRead);
  return notes;
}
