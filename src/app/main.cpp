// zorsetup: sets up how ZOR is started (the launcher ZO.BAT) and edits its colour tables.
#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "app/run.h"
#include "console/system_console.h"
#include "platform/run_end.h"
#include "texts/language.h"
#include "texts/texts.h"

namespace {

constexpr char usageEnglish[] =
    "zorsetup " ZORSETUP_VERSION " - set-up program for ZOR\n"
    "\n"
    "Usage: zorsetup\n"
    "\n"
    "Start it in the directory that holds ZOR4.EXE. It finds the launcher ZO.BAT on\n"
    "the search path (or lets you choose a directory for a new one), shows its\n"
    "settings in a menu and writes it anew on save. It also edits colour tables.\n"
    "The language follows LANG (de... gives German).\n"
    "\n"
    "  --help     show this text\n"
    "  --version  show the version\n";

constexpr char usageGerman[] =
    "zorsetup " ZORSETUP_VERSION " - Einrichtungsprogramm zu ZOR\n"
    "\n"
    "Aufruf: zorsetup\n"
    "\n"
    "Im Verzeichnis von ZOR4.EXE starten. Das Programm sucht die Startdatei ZO.BAT im\n"
    "Suchpfad (oder laesst ein Verzeichnis fuer eine neue waehlen), zeigt ihre\n"
    "Einstellungen in einem Menue und schreibt sie beim Speichern neu. Es bearbeitet\n"
    "auch Farbtabellen. Die Sprache folgt LANG (de... ergibt Deutsch).\n"
    "\n"
    "  --help     diesen Text zeigen\n"
    "  --version  die Version zeigen\n";

}  // namespace

int main(int argc, char** argv) {
  // The program takes no arguments; only these two are answered, any other is ignored.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(texts::languageCode() == "DE" ? usageGerman : usageEnglish, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::fputs("zorsetup " ZORSETUP_VERSION "\n", stdout);
      return 0;
    }
  }
  // Every way out of the run comes here as a RunEnd: the console is put back first, then a
  // failure is reported. Putting it back may fail in turn (the console gone); that failure
  // is then the one reported.
  platform::RunEnd end{0, false};
  try {
    console::start(platform::systemConsole());
    runProgram();
  } catch (const platform::RunEnd& thrown) {
    end = thrown;
  }
  try {
    console::finish();
  } catch (const platform::RunEnd& thrown) {
    end = thrown;
  }
  if (end.failed) platform::reportRuntimeError(end.code);
  return end.code;
}
