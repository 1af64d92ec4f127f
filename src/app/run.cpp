#include "app/run.h"

#include <algorithm>
#include <new>
#include <optional>

#include "app/menu.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "launcher/location.h"
#include "platform/dos_path.h"
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

Str clashMessage(const platform::Clash& clash) {
  Str folder = platform::expandPath(clash.place);
  std::string_view name = folder.view().substr(folder.view().find_last_of('\\') + 1);
  folder.cutTail(name.size());
  return Str(filled(text(msgClash), {clash.first, clash.second, folder, name}));
}

Str findZorDirectory(Str& problem, std::optional<Str> directory, std::string_view asTyped) {
  Str here = directory ? *directory : platform::currentDirectory();
  std::string lacking = directory ? "" : platform::currentDirectoryLacks();
  if (!lacking.empty()) {
    problem = filled(text(msgZorLacksCharacter), {lacking});
    return {};
  }
  // Windows would open another directory, or none, under such a name: the launcher would
  // never start ZOR.
  std::string typed(asTyped);
  std::replace(typed.begin(), typed.end(), '/', '\\');
  auto unnamable = platform::dos::unnamableOnWindows(typed);
  if (!unnamable) unnamable = platform::dos::unnamableOnWindows(here);
  if (unnamable) {
    auto c = static_cast<unsigned char>(unnamable->character);
    std::string shown = c < 32 ? platform::dos::byteName(c) : std::string{'"', unnamable->character, '"'};
    problem = filled(text(unnamable->atTheEnd ? msgZorNameEnds : msgZorNameHolds), {unnamable->name, shown});
    return {};
  }
  // Only ZOR's directory counts: a ZOR4.EXE in the current one is no other's.
  platform::Clash clash;
  Str zor = !directory        ? platform::searchFile("ZOR4.EXE", ".", &clash)
            : directory->empty() ? Str()
                                 : platform::searchFile(*directory + "\\ZOR4.EXE", "", &clash);
  if (!clash.place.empty()) {
    problem = (directory ? Str() : Str(text(txtAbortColon))) + clashMessage(clash);
    return {};
  }
  if (zor.empty()) {
    problem = directory ? Str(text(msgNoZorIn)) + *directory
                        : Str(text(txtAbortColon)) + "ZOR4.EXE" + text(txtNotInCurrentDir);
    return {};
  }
  // Cut to 255 characters, the path would name ZOR4.EXE in no directory at all.
  if (here.empty() || here.size() > 255 - 9) {
    problem = text(msgZorPathTooLong);
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

  platform::Clash clash;
  run.launcherDirectory = findLauncherDirectory(&clash);
  if (!clash.place.empty()) return abortWithMessage(Str(text(txtAbortColon)) + clashMessage(clash));
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
