#include "console/console.h"
#include "launcher/launcher.h"
#include "platform/platform.h"
#include "settings/option_parser.h"
#include "texts/texts.h"

std::string formatLauncher(const Launcher& launcher, std::string_view zorDirectory) {
  std::string content = "@ECHO OFF\r\n";
  content += launcher.reservedLine;
  content += "\r\n";
  // The command interpreter would split an unquoted path at its blank; every other path
  // stays unquoted so existing launchers come out byte for byte as before.
  bool quoted = zorDirectory.find(' ') != std::string_view::npos;
  if (quoted) content += '"';
  content += zorDirectory;
  content += "ZOR4.EXE";
  if (quoted) content += '"';
  content += formatOptionLine(launcher.settings);  // the last line has no line end
  return content;
}

Saved writeLauncher(std::string_view fileName, const Launcher& launcher, std::string_view zorDirectory,
                    const platform::FileSummary& asRead) {
  console::writeText(texts::text(texts::txtWriting));
  console::writeText(fileName);
  console::writeText(" ...\r\n");
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
  // ZOR's directory is what stands before the option line, as the writer puts it there.
  std::string options = formatOptionLine(launcher.settings);
  if (!commandLine.ends_with(options)) return false;
  std::string_view program = commandLine.substr(0, commandLine.size() - options.size());
  if (program.size() >= 2 && program.starts_with('"') && program.ends_with('"')) program = program.substr(1, program.size() - 2);
  if (!program.ends_with("ZOR4.EXE")) return false;
  program.remove_suffix(8);
  return formatLauncher(launcher, program) == content;
}

Saved saveLauncher(std::string_view fileName, const Launcher& launcher, std::string_view zorDirectory,
                   const platform::FileSummary& asRead) {
  std::string content = formatLauncher(launcher, zorDirectory);
  Saved saved;
  bool keep = true;
  try {
    // Room for any launcher this program writes: a longer one is none of its own.
    platform::FileSummary now = platform::summarizeFile(fileName, 64 * 1024);
    saved.changedSinceRead = !now.sameContent(asRead);
    // ZO.BAK holds the last launcher with something of the user's own (lines, switches,
    // spelling): one the program wrote and would write again is no reason to replace it.
    // A launcher changed behind the run's back always goes there.
    keep = now.exists && now.bytes != content && (saved.changedSinceRead || !isOwnLauncher(now.bytes));
  } catch (const platform::RunEnd& end) {
    if (!end.failed) throw;  // a launcher that cannot be read: its copy fails too, and says so
  }
  switch (platform::replaceFile(fileName, content, keep ? "ZO.BAK" : "")) {
    case platform::BackupCopy::kept: saved.backup = Backup::kept; break;
    case platform::BackupCopy::failed: saved.backup = Backup::failed; break;
    case platform::BackupCopy::notNeeded: break;
  }
  return saved;
}
