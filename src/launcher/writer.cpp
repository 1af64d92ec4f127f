#include "launcher/launcher.h"
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

Saved saveLauncherShowingName(std::string_view fileName, const Launcher& launcher, std::string_view zorDirectory,
                              const platform::FileSummary& asRead) {
  showFileRow(texts::text(texts::txtWriting), fileName);
  return saveLauncher(fileName, launcher, zorDirectory, asRead);
}

bool isOwnLauncher(std::string_view content) {
  constexpr std::string_view firstLine = "@ECHO OFF\r\n";
  if (!content.starts_with(firstLine)) return false;
  std::string_view rest = content.substr(firstLine.size());
  std::size_t lineEnd = rest.find("\r\n");
  if (lineEnd == std::string_view::npos) return false;
  Launcher launcher{Str(rest.substr(0, lineEnd)), {}};
  std::string_view commandLine = rest.substr(lineEnd + 2);
  parseOptionLine(extractOptionLine(commandLine), launcher.settings);
  // ZOR's directory is what stands before the option line, as commandWord writes it: the
  // comparison below tells whether it was.
  std::string options = formatOptionLine(launcher.settings);
  if (!commandLine.ends_with(options)) return false;
  std::string_view word = commandLine.substr(0, commandLine.size() - options.size());
  if (word.size() >= 2 && word.starts_with('"') && word.ends_with('"')) word = word.substr(1, word.size() - 2);
  if (!word.ends_with(zorProgramName)) return false;
  word.remove_suffix(zorProgramName.size());
  std::string directory;
  for (std::size_t i = 0; i < word.size(); ++i) {
    directory += word[i];
    if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == '%') ++i;
  }
  return formatLauncher(launcher, directory) == content;
}

Saved saveLauncher(std::string_view fileName, const Launcher& launcher, std::string_view zorDirectory,
                   const platform::FileSummary& asRead) {
  std::string content = formatLauncher(launcher, zorDirectory);
  Saved saved;
  int unread = 0;
  // Room for any launcher this program writes: a longer one is none of its own.
  platform::FileSummary now = platform::summarizeFile(fileName, 64 * 1024, &unread);
  saved.changedSinceRead = unread == 0 && !now.sameContent(asRead);
  // ZO.BAK holds the last launcher with something of the user's own (lines, switches,
  // spelling): one the program wrote and would write again is no reason to replace it.
  // A launcher changed behind the run's back always goes there, and so does one that cannot
  // be read: its copy fails too, and says so.
  bool keep = unread != 0 || (now.exists && now.bytes != content && (saved.changedSinceRead || !isOwnLauncher(now.bytes)));
  saved.backup = platform::replaceFile(fileName, content, keep ? "ZO.BAK" : "");
  return saved;
}

std::string savedNotes(const Saved& saved) {
  std::string notes;
  if (saved.changedSinceRead) notes += texts::text(texts::msgChangedSinceRead);
  if (saved.backup == platform::BackupCopy::failed) notes += texts::text(texts::msgBackupFailed);
  return notes;
}
