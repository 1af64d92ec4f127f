#include "launcher/location.h"

#include <algorithm>

#include "base/number.h"
#include "console/console.h"
#include "launcher/launcher.h"
#include "platform/dos_path.h"
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

Str chooseLauncherDirectoryFrom(const platform::Machine& m, std::string_view searchPath) {
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
    candidate = platform::expandPath(m, takeElement(list));
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
  readAnswer(answer, [&m, &candidates, n](Str& a) {
    if (a.empty()) a = ".\\";
    std::int32_t choice = 0;
    if (convertNumber(a, choice) && choice >= 1 && choice <= n) a = candidates[choice - 1];
    platform::ensureBackslash(a);
    // Enter in the menu must be able to write ZO.BAT there: nothing but a plain file (or a
    // link to one) or a free name will do.
    platform::EntryKind there = platform::entryAt(m, a + launcherName).kind;
    return a.size() <= longestLauncherDirectory && platform::directoryExists(m, a) &&
           there != platform::EntryKind::other;
  });
  return answer;
}

Str findLauncherDirectory(const platform::Machine& m, platform::Clash* clash) {
  Str found = platform::searchFile(m, launcherName, platform::searchPath(m), clash);
  found.cutTail(launcherName.size());
  return found;
}

Str chooseLauncherDirectory(const platform::Machine& m) {
  return chooseLauncherDirectoryFrom(m, platform::searchPath(m));
}

Str clashMessage(const platform::Machine& m, const platform::Clash& clash) {
  Str folder = platform::expandPath(m, clash.place);
  std::string_view name = folder.view().substr(folder.view().find_last_of('\\') + 1);
  folder.cutTail(name.size());
  return Str(texts::filled(text(texts::msgClash), {clash.first, clash.second, folder, name}));
}

Str findZorDirectory(const platform::Machine& m, Str& problem, std::optional<Str> directory, std::string_view asTyped) {
  Str here = directory ? *directory : platform::currentDirectory(m);
  std::string lacking = directory ? "" : platform::currentDirectoryLacks(m);
  if (!lacking.empty()) {
    problem = texts::filled(text(texts::msgZorLacksCharacter), {lacking});
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
    problem = texts::filled(text(unnamable->atTheEnd ? texts::msgZorNameEnds : texts::msgZorNameHolds), {unnamable->name, shown});
    return {};
  }
  // Only ZOR's directory counts: a ZOR4.EXE in the current one is no other's.
  platform::Clash clash;
  Str zor = !directory        ? platform::searchFile(m, zorProgramName, ".", &clash)
            : directory->empty() ? Str()
                                 : platform::searchFile(m, *directory + "\\" + zorProgramName, "", &clash);
  if (!clash.place.empty()) {
    problem = (directory ? Str() : Str(text(texts::txtAbortColon))) + clashMessage(m, clash);
    return {};
  }
  if (zor.empty()) {
    problem = directory ? Str(text(texts::msgNoZorIn)) + *directory
                        : Str(text(texts::txtAbortColon)) + zorProgramName + text(texts::txtNotInCurrentDir);
    return {};
  }
  // Cut to 255 characters, the path would name ZOR4.EXE in no directory at all.
  if (here.empty() || here.size() > 255 - 1 - zorProgramName.size()) {
    problem = text(texts::msgZorPathTooLong);
    return {};
  }
  zor.cutTail(zorProgramName.size());
  return zor;
}
