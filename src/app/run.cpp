#include "app/run.h"

#include <new>

#include "app/menu.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/platform.h"
#include "platform/native.h"
#include "platform/search.h"
#include "prompts/prompts.h"
#include "texts/language.h"
#include "texts/messages.h"
#include "texts/texts.h"

using namespace texts;

namespace {

void writeLine(std::string_view text) {
  console::writeText(text);
  console::writeText("\r\n");
}

// ZOR started from a floppy: make sure the user means it.
void askAboutDrive(char drive) {
  console::writeText(text(txtNotCopyProgram));
  console::writeText(std::string_view(&drive, 1));
  writeLine(text(txtStartDriveQ));
  console::writeText(text(txtYesNo));
  for (;;) {
    std::uint8_t key = readKeyUpper();
    if (key == 'N') abortWithMessage(text(txtCopyToHardDisk));
    if (key == 'J' || key == 'Y') return;
  }
}

void closingScreen() {
  console::textAttribute = 15;
  console::clearScreen();
  writeLine(text(txtSuccess));
  writeLine("");
  console::writeText(text(txtHelpHint));
  writeLine("ZO -?\"");
  console::writeText(text(txtStartHint));
  writeLine("ZO\"");
}

}  // namespace

Str findZorDirectory(Str& problem) {
  Str zor = platform::searchFile("ZOR4.EXE", ".");
  if (zor.empty()) {
    problem = Str(text(txtAbortColon)) + "ZOR4.EXE" + text(txtNotInCurrentDir);
    return {};
  }
  // Cut to 255 characters, the path would name ZOR4.EXE in no directory at all.
  Str here = platform::currentDirectory();
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
  if (run.zorDirectory.empty()) abortWithMessage(problem);
  if (run.zorDirectory[0] == 'A' || run.zorDirectory[0] == 'B') askAboutDrive(run.zorDirectory[0]);

  Str launcher = platform::searchFile("ZO.BAT", platform::environmentValue("PATH"));
  if (!launcher.empty()) {
    run.launcherDirectory = launcher;
    run.launcherDirectory.cutTail(6);
    Str fileName = run.launcherDirectory + "ZO" + ".BAT";
    run.launcherAsRead = platform::summarizeFile(fileName);  // before the reading: a change in between shows
    run.launcher = readLauncher(fileName);
  } else {
    run.launcherDirectory = chooseLauncherDirectory();
  }

  runMenu(run);
  run.saved = writeLauncher(run.launcherDirectory + "ZO" + ".BAT", run.launcher, run.zorDirectory, run.launcherAsRead);
  run.outcome = RunState::Outcome::saved;
  closingScreen();
  platform::endRun(0);
}

std::string pathForPeople(const Str& dosPath) {
  std::string text = platform::nativeText(dosPath);
  std::string native = platform::nativePath(dosPath);
  if (!native.empty()) text += " (" + native + ")";
  return text;
}

std::string savedNotes(const Saved& saved) {
  std::string notes;
  if (saved.changedSinceRead) notes += text(msgChangedSinceRead);
  if (saved.backup == Backup::failed) notes += text(msgBackupFailed);
  return notes;
}

void reportWritten(const RunState& run) {
  if (run.outcome == RunState::Outcome::unfinished) return;
  using platform::nativeText;
  std::string line;
  std::string_view separator = text(msgWritten);
  if (run.outcome == RunState::Outcome::saved) {
    line += nativeText(separator);
    line += pathForPeople(platform::expandPath(run.launcherDirectory + "ZO.BAT"));
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
  if (int error = platform::writeStream(platform::Stream::output, line)) platform::runtimeError(error);
}

int runToTheEnd(RunState& run, const std::function<int()>& body) {
  platform::RunEnd end{0, false};
  auto step = [&end](const std::function<void()>& doIt) {
    try {
      doIt();
    } catch (const platform::RunEnd& thrown) {
      end = thrown;
    } catch (const std::bad_alloc&) {
      end = {203, true};  // heap overflow
    } catch (...) {
      end = {217, true};  // an exception nobody handled
    }
  };
  step([&] { end.code = body(); });
  // Putting the console back may fail in turn (the console gone): that failure is then the
  // one reported.
  step([&] {
    console::finish();
    if (!end.failed) reportWritten(run);
  });
  if (end.failed) platform::reportRuntimeError(end.code);
  return end.code;
}
