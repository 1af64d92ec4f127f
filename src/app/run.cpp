#include "app/run.h"

#include <new>
#include <optional>

#include "app/menu.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/platform.h"
#include "platform/native.h"
#include "platform/search.h"
#include "prompts/prompts.h"
#include "texts/language.h"
#include "texts/texts.h"

using namespace texts;

namespace {

void writeLine(std::string_view text) {
  console::writeText(text);
  console::writeText("\r\n");
}

// ZOR started from a floppy: make sure the user means it. False when not.
bool askAboutDrive(char drive) {
  console::writeText(text(txtNotCopyProgram));
  console::writeText(std::string_view(&drive, 1));
  writeLine(text(txtStartDriveQ));
  console::writeText(text(txtYesNo));
  for (;;) {
    std::uint8_t key = readKeyUpper();
    if (key == 'N') {
      abortWithMessage(text(txtCopyToHardDisk));
      return false;
    }
    if (key == 'J' || key == 'Y') return true;
  }
}

void closingScreen() {
  console::setTextAttribute(console::closingColours);
  console::clearScreen();
  writeLine(text(txtSuccess));
  writeLine("");
  console::writeText(text(txtHelpHint));
  writeLine("ZO -?\"");
  console::writeText(text(txtStartHint));
  writeLine("ZO\"");
}

}  // namespace

Str findZorDirectory(Str& problem, std::string_view directory) {
  // A directory given is the only one looked in: the current one may hold another ZOR.
  Str given = directory;
  platform::ensureBackslash(given);
  Str zor = directory.empty() ? platform::searchFile("ZOR4.EXE", ".") : platform::searchFile(given + "ZOR4.EXE", "");
  if (zor.empty()) {
    problem = directory.empty() ? Str(text(txtAbortColon)) + "ZOR4.EXE" + text(txtNotInCurrentDir)
                                : Str(text(msgNoZorIn)) + directory;
    return {};
  }
  // Cut to 255 characters, the path would name ZOR4.EXE in no directory at all.
  Str here = directory.empty() ? platform::currentDirectory() : Str(directory);
  if (here.empty() || here.size() > 255 - 9) {
    problem = text(msgZorPathTooLong);
    return {};
  }
  // A path the launcher cannot name (possible on POSIX) would make it run something else.
  if (!fitsCommandWord(here)) {
    problem = text(msgZorPathUnusable);
    return {};
  }
  zor.cutTail(8);
  return zor;
}

void runProgram(RunState& run) {
  texts::loadAll();
  newScreen();
  run.launcher.reservedLine = text(txtReservedBatch);
  writeLine(text(txtTitle));
  writeLine("");

  Str problem;
  run.zorDirectory = findZorDirectory(problem);
  if (run.zorDirectory.empty()) return abortWithMessage(problem);
  char drive = run.zorDirectory[0];
  if ((drive == 'A' || drive == 'B') && !askAboutDrive(drive)) return;

  run.launcherDirectory = findLauncherDirectory();
  if (!run.launcherDirectory.empty()) {
    Str fileName = run.launcherDirectory + launcherName;
    run.launcherAsRead = platform::summarizeFile(fileName);  // before the reading: a change in between shows
    run.launcher = loadLauncherShowingName(fileName);
  } else {
    run.launcherDirectory = chooseLauncherDirectory();
  }

  if (!runMenu(run)) return;
  run.saved = saveLauncherShowingName(run.launcherDirectory + launcherName, run.launcher, run.zorDirectory,
                                      run.launcherAsRead);
  run.outcome = RunState::Outcome::saved;
  closingScreen();
}

std::string pathForPeople(const Str& dosPath) {
  std::string text = platform::nativeText(dosPath);
  std::string native = platform::nativePath(dosPath);
  if (!native.empty()) text += " (" + native + ")";
  return platform::printable(text, false);  // a line feed in a name must not end the line
}

std::string refusalLine(const platform::RunEnd& end) {
  using platform::Refusal;
  static constexpr std::pair<Refusal, MessageText> reasons[] = {
      {Refusal::foreignLink, msgRefusedForeignLink}, {Refusal::noBackup, msgRefusedNoBackup},
      {Refusal::changedWhileSaving, msgRefusedChanged}, {Refusal::notATable, msgRefusedNotATable},
      {Refusal::backupLeftAs, msgRefusedBackupLeftAs}};
  for (auto [refusal, reason] : reasons)
    if (refusal == end.refusal) return platform::printable(end.file + ": " + platform::nativeText(text(reason)), false);
  return {};
}

std::string pathForScripts(const Str& dosPath) {
  std::string native = platform::nativePath(dosPath);
  return native.empty() ? platform::nativeText(dosPath) : native;
}

std::string savedNotes(const Saved& saved) {
  std::string notes;
  if (saved.changedSinceRead) notes += text(msgChangedSinceRead);
  return notes;
}

void reportWritten(const RunState& run) {
  if (run.outcome == RunState::Outcome::unfinished) return;
  using platform::nativeText;
  std::string line;
  std::string_view separator = text(msgWritten);
  if (run.outcome == RunState::Outcome::saved) {
    line += nativeText(separator);
    line += pathForPeople(platform::expandPath(run.launcherDirectory + launcherName));
    line += nativeText(savedNotes(run.saved));
    separator = ", ";
  } else {
    line += nativeText(text(run.tablesSaved.empty() ? msgNothingWritten : msgLauncherNotWritten));
  }
  for (const Str& table : run.tablesSaved) {
    line += nativeText(separator);
    line += pathForPeople(platform::expandPath(table));
    separator = ", ";
  }
  line += '\n';
  if (int error = platform::writeStream(platform::Stream::output, platform::printable(line, true)))
    platform::runtimeError(error);
}

int runToTheEnd(RunState& run, const std::function<int()>& body) {
  int code = 0;
  std::optional<int> failure;  // the runtime error that ends the run
  std::string refused;          // what it says about a refusal
  auto step = [&failure, &refused](const std::function<void()>& doIt) {
    try {
      doIt();
    } catch (const platform::RunEnd& thrown) {
      failure = thrown.code;
      refused = refusalLine(thrown);
    } catch (const std::bad_alloc&) {
      failure = 203;  // heap overflow
    } catch (...) {
      failure = 217;  // an exception nobody handled
    }
  };
  step([&] { code = body(); });
  // Putting the console back may fail in turn (the console gone): that failure is then the
  // one reported.
  step([&] {
    console::finish();
    if (!failure) reportWritten(run);
  });
  if (!failure) return code;
  if (!refused.empty()) platform::writeError("zorsetup: " + refused + "\n");
  platform::reportRuntimeError(*failure);
  return *failure;
}
