#include "launcher/location.h"

#include "base/number.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/search.h"
#include "prompts/prompts.h"
#include "texts/texts.h"

namespace {

constexpr int maxCandidates = 20;  // a screen of 25 rows keeps title and prompt in view

// Takes the first element off a ';'-terminated list, without its quotes. The
// 255-character cut can leave the last element without its ';': it then runs to the end of
// the list, as the launcher search reads it.
Str takeElement(Str& list) {
  std::size_t end = 0;
  Str element = platform::nextPathElement(list.view(), end);
  list.eraseFront(end);
  return element;
}

Str rightAligned(int n, std::size_t width) {
  auto digits = decimal(n);
  Str text;
  for (std::size_t i = digits.size(); i < width; ++i) text += ' ';
  return text + digits;
}

}  // namespace

Str chooseLauncherDirectoryFrom(std::string_view searchPath) {
  using texts::text;
  newScreen();
  console::writeText(text(texts::txtPathChoiceFor));
  console::writeText(launcherName);
  console::writeText("\r\n\r\n");

  Str list = searchPath;
  if (!list.empty() && list.back() != ';') list += ";";
  list += ".;";  // the current directory comes last

  Str candidates[maxCandidates];
  int n = 0;
  while (!list.empty() && n < maxCandidates) {
    Str& candidate = candidates[n++];
    candidate = platform::expandPath(takeElement(list));
    platform::ensureBackslash(candidate);
    console::writeText(rightAligned(n, 6));
    console::writeText(" ");
    console::writeText(candidate);
    console::moveCursor(40, console::cursorRow());
    std::string_view path = candidate;
    if (path.find("\\BAT") != std::string_view::npos || path.find("\\CMD") != std::string_view::npos)
      console::writeText(text(texts::txtRecommend));
    console::writeText("\r\n");
  }

  console::writeText("\r\n");
  console::writeText(text(texts::txtWhichPath));
  console::writeText(" [1..");
  console::writeText(decimal(n));
  console::writeText("] ");
  console::writeText(text(texts::txtMayI));
  console::writeText(launcherName);
  console::writeText(text(texts::txtCreateQ));

  // An answer that names no directory could only fail at the very end, when the launcher
  // is written: it is refused here, and the prompt waits again.
  Str answer;
  readAnswer(answer, [&candidates, n](Str& a) {
    if (a.empty()) a = ".\\";
    std::int32_t choice = 0;
    if (convertNumber(a, choice) && choice >= 1 && choice <= n) a = candidates[choice - 1];
    platform::ensureBackslash(a);
    // Enter in the menu must be able to write ZO.BAT there: nothing but a plain file (or a
    // link to one) or a free name will do.
    platform::EntryKind there = platform::entryAt(a + launcherName).kind;
    return a.size() <= longestLauncherDirectory && platform::directoryExists(a) && there != platform::EntryKind::other;
  });
  return answer;
}

Str findLauncherDirectory() {
  Str found = platform::searchFile(launcherName, platform::environmentValue("PATH"));
  found.cutTail(launcherName.size());
  return found;
}

Str chooseLauncherDirectory() { return chooseLauncherDirectoryFrom(platform::environmentValue("PATH")); }

Str findZorDirectory(Str& problem, std::string_view directory) {
  Str zor = platform::searchFile(zorProgramName, directory.empty() ? "." : directory);
  if (zor.empty()) {
    problem = directory.empty()
                  ? Str(text(texts::txtAbortColon)) + zorProgramName + text(texts::txtNotInCurrentDir)
                  : Str(text(texts::msgNoZorIn)) + directory;
    return {};
  }
  // Cut to 255 characters, the path would name ZOR4.EXE in no directory at all.
  Str here = directory.empty() ? platform::currentDirectory() : Str(directory);
  if (here.empty() || here.size() > 255 - 1 - zorProgramName.size()) {
    problem = text(texts::msgZorPathTooLong);
    return {};
  }
  // A path the launcher cannot name (possible on POSIX) would make it run something else.
  if (!fitsCommandWord(here)) {
    problem = text(texts::msgZorPathUnusable);
    return {};
  }
  zor.cutTail(zorProgramName.size());
  return zor;
}
