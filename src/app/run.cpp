#include "app/run.h"

#include <algorithm>
#include <new>
#include <optional>

#include "app/menu.h"
#include "app/refusal.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/dos_path.h"
#include "platform/platform.h"
#include "platform/native.h"
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
    if (answers(msgKeysNo, static_cast<char>(key))) {
      abortWithMessage(text(txtCopyToHardDisk));
      return false;
    }
    if (answers(msgKeysYes, static_cast<char>(key))) return true;
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

void runProgram(RunState& run) {
  const platform::Machine& m = run.machine;
  texts::loadAll();
  newScreen();
  run.launcher.reservedLine = text(txtReservedBatch);
  writeLine(text(txtTitle));
  writeLine("");

  Str problem;
  run.zorDirectory = findZorDirectory(m, problem);
  if (run.zorDirectory.empty()) return abortWithMessage(problem);
  char drive = run.zorDirectory[0];
  if ((drive == 'A' || drive == 'B') && !askAboutDrive(drive)) return;

  platform::Clash clash;
  run.launcherDirectory = findLauncherDirectory(m, &clash);
  if (!clash.place.empty()) return abortWithMessage(Str(text(txtAbortColon)) + clashMessage(m, clash));
  if (!run.launcherDirectory.empty()) {
    Str fileName = run.launcherDirectory + launcherName;
    run.launcherAsRead = platform::summarizeFile(m, fileName);  // before the reading: a change in between shows
    run.launcher = loadLauncherShowingName(m, fileName);
  } else {
    run.launcherDirectory = chooseLauncherDirectory(m);
  }

  if (!runMenu(run)) return;
  run.saved = saveLauncherShowingName(m, run.launcherDirectory + launcherName, run.launcher, run.zorDirectory,
                                      run.launcherAsRead);
  run.outcome = RunState::Outcome::saved;
  closingScreen();
}

void reportWritten(const RunState& run) {
  if (run.outcome == RunState::Outcome::unfinished) return;
  using platform::nativeText;
  const platform::Machine& m = run.machine;
  std::string line;
  std::string_view separator = text(msgWritten);
  if (run.outcome == RunState::Outcome::saved) {
    line += nativeText(separator);
    line += platform::pathForPeople(m, platform::expandPath(m, run.launcherDirectory + launcherName));
    line += nativeText(savedNotes(run.saved));
    separator = ", ";
  } else {
    line += nativeText(text(run.tablesSaved.empty() ? msgNothingWritten : msgLauncherNotWritten));
  }
  for (const Str& table : run.tablesSaved) {
    line += nativeText(separator);
    line += platform::pathForPeople(m, platform::expandPath(m, table));
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
