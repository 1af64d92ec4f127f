// The language tables. The texts are written here as readable lists, each row with its
// name and a text for each language, and turned at compile time into the byte layout the
// loader reads: length-prefixed marker, length-prefixed language list, 16-bit little-endian
// entry count, then every text of every entry with its length byte in front.
//
// Text bytes are OEM code page 437: \x84 ae, \x94 oe, \x81 ue, \xE1 sharp s. A literal is
// split after an escape whenever the next letter could be read as another hex digit.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "texts/tables.h"

#include "texts/texts.h"

namespace texts {
namespace {

// The columns of every table, in their order; the first is the fallback.
constexpr std::string_view languages[] = {"EN", "DE"};

template <class Name>
struct Entry {
  Name name;
  std::array<std::string_view, std::size(languages)> texts;
};

template <class Name, std::size_t count>
constexpr std::size_t tableSize(const Entry<Name> (&entries)[count]) {
  std::size_t size = 1 + tableMarker.size() + 1 + 2 * std::size(languages) + 2;
  for (const Entry<Name>& e : entries)
    for (std::string_view text : e.texts) size += 1 + text.size();
  return size;
}

template <std::size_t size>
constexpr void putText(std::array<std::uint8_t, size>& out, std::size_t& at, std::string_view text) {
  if (text.size() > 255) throw "a text of a language table holds at most 255 bytes";
  out[at++] = static_cast<std::uint8_t>(text.size());
  for (char c : text) out[at++] = static_cast<std::uint8_t>(c);
}

// The rows are the entries 1, 2, ... by their names, each once and in the enum's order.
template <std::size_t size, class Name, std::size_t count>
constexpr std::array<std::uint8_t, size> buildTable(const Entry<Name> (&entries)[count]) {
  static_assert(count <= 0xFFFF);
  std::array<std::uint8_t, size> out{};
  std::size_t at = 0;
  putText(out, at, tableMarker);
  out[at++] = static_cast<std::uint8_t>(2 * std::size(languages));
  for (std::string_view code : languages)
    for (char c : code) out[at++] = static_cast<std::uint8_t>(c);
  out[at++] = static_cast<std::uint8_t>(count & 0xFF);
  out[at++] = static_cast<std::uint8_t>(count >> 8);
  for (std::size_t k = 0; k < count; ++k) {
    if (static_cast<std::size_t>(entries[k].name) != k + 1) throw "a row out of its name's place";
    for (std::string_view text : entries[k].texts) putText(out, at, text);
  }
  if (at != size) throw "table size miscounted";
  return out;
}

#define ZOR_TABLE(name, list) \
  constexpr auto name = buildTable<tableSize(list)>(list)

constexpr Entry<GeneralText> generalList[] = {
    {txtOff, {"off", "aus"}},
    {txtOn, {"on ", "ein"}},
    {txtPathChoiceFor, {"choice of path for ", "Pfadauswahl f\x81r "}},
    {txtRecommend, {"<-recommend!", "Bitte dieses!"}},
    {txtWhichPath, {"in with path", "In welchem Pfad"}},
    {txtMayI, {"may i ", "darf ich "}},
    {txtCreateQ, {" create? ", " anlegen? "}},
    {txtReading, {"reading ", "Auslesen von "}},
    {txtWriting, {"writing ", "Schreiben von "}},
    {txtReservedRexx, {"/* reserved line * please do not remove */", "/* reserviert Zeile * nicht entfernen */"}},
    {txtReservedBatch, {"REM * reserved line * please do not remove *", "REM * reserviert Zeile * nicht entfernen *"}},
    {txtTitle, {"config program for Zor", "Einrichtungsprogramm zu Zor"}},
    {txtAbortColon, {"abort : ", "Abbruch : "}},
    {txtNotInCurrentDir, {" not in current directory!", " nicht im aktuellen Verzeichnis!"}},
    {txtNotCopyProgram,
     {" This is not not a copy-program! Do You allways want start ZOR of drive ",
      " Dies ist kein Kopierprogramm! Wollen Sie ZOR immer von Laufwerk "}},
    {txtStartDriveQ, {": ?", ": starten?"}},
    {txtYesNo, {" Y/N : ", " J/N : "}},
    {txtCopyToHardDisk, {"then copy me to harddisk!", "Dann kopiern Sie mich auf die Festplatte!"}},
    {txtLblSubdirs, {"subdirectorys         ", "Unterverzeichnisse    "}},
    {txtLblPartitionTable, {"partition table       ", "Partitionstabelle     "}},
    {txtLblBootSectors, {"boot sectors          ", "Startsektoren         "}},
    {txtLblVerbose, {"verbose format        ", "Langformat            "}},
    {txtLblScreen, {"screen                ", "Bildschirm            "}},
    {txtLblHex, {"hexadecimal numbers   ", "hexadezimale Zahlen   "}},
    {txtLblMouse, {"mouse usage           ", "Mausbenutzung         "}},
    {txtLblColourTable, {"use color table       ", "Farbtabelle benutzen  "}},
    {txtLblMemoryLimit, {"upper memory limit    ", "RAM-Obergrenze        "}},
    {txtLblCpuEmulator, {"CPU-emulator          ", "CPU-Emulator          "}},
    {txtLblResources, {"list resource table   ", "Resourcen anzeigen    "}},
    {txtLblIcons, {"display icons         ", "Symbole anzeigen      "}},
    {txtLblLines, {"lines                 ", "Zeilenzahl            "}},
    {txtCreateColourTable, {"create color table", "Farbtabelle erstellen"}},
    {txtExitNoSave, {"exit without save", "Programmabbruch"}},
    {txtSaveExit, {"save and exit", "Speichern"}},
    {txtAskColourTable, {"   color table? (old:", "   Farbtabellenname? (alt:"}},
    {txtAskEmsLimit, {"   upper limit EMS usage (KB)? (old:", "   Obergrenze Nutzung EMS (KB)? (alt:"}},
    {txtAskRamLimit, {"   upper limit memory usage (KB)? (old:", "   Obergrenze Nutzung RAM (KB)? (alt:"}},
    {txtAskScreenLines,
     {"   desired screen display? 80 columns, 25,28,43,50,60 lines?\r\n"
      "   (00=do not change row count)",
      "   gew\x81nschte Bildschirmdarstellung? 80 Spalten, 25,28,43,50,60 Zeilen?\r\n"
      "   (00=benutze vorhandene Bildschirmeinstellung)"}},
    {txtAborted, {"abort ...", "Abbruch ..."}},
    {txtSuccess, {"successful exit", "erfolgreicher Abschlu\xE1."}},
    {txtHelpHint, {"help          : \"", "Hilfe         : \""}},
    {txtStartHint, {"program start : \"", "Programmstart : \""}},
};

constexpr Entry<EditorText> editorList[] = {
    {edtFileName, {"name of color table file", "Name der Farbdatei"}},
    {edtComment, {"comment? ", "Kommentar? "}},
    {edtSave, {"save", "Speichern"}},
    {edtDrop, {"drop", "Verwerfen"}},
    {edtForeground, {"modify textcolor", "Ver\x84ndern der Vordergrundfarbe"}},
    {edtBackground, {"modify background color", "Ver\x84ndern der Hintergrundfarbe"}},
};

constexpr Entry<CategoryName> categoryList[] = {
    {catNormal, {"normal", "normal"}},
    {catCompiler, {"compiler", "Compiler"}},
    {catArchiver, {"archiver", "Archivprogramme"}},
    {catExeCompressor, {"exe-compressor", "Laufzeitkomprimierer"}},
    {catSoundGraphic, {"sound ang graphic", "Ton und Grafik"}},
    {catOverlay, {"overlays and fragments", "Overlay und Bruchst\x81" "cke"}},
    {catFileError, {"file errors", "Dateifehler"}},
    {catVirus, {"viruses", "Viren"}},
    {catSystem, {"DOS, Windows, OS/2, DOS-extender", "DOS, Windows, OS/2, DOS-Extender"}},
    {catDescription, {"descriptions", "Beschreibungen"}},
    {catSign, {"sign", "Signatur"}},
    {catLibrary, {"librarys", "Bibliotheken"}},
    {catSavegame, {"savegames", "Spielst\x84nde"}},
    {catColourless, {"colourless", "farblos"}},
    {catStatusLine, {"status line", "Statuszeile"}},
};

constexpr Entry<DisplayModeName> displayModeList[] = {
    {modeEgaVga, {"16*16 colors EGA/VGA (smooth scroll)", "16*16 Farben EGA/VGA (mit punktweisem Rollen)"}},
    {modeCga, {"16*16 colors CGA+    (fast)", "16*16 Farben CGA+    (schnell)"}},
    {modeAnsi, {"16*16 colors Ansi    (slow)", "16*16 Farben Ansi    (lahm)"}},
    {modeAscii, {" no   colors Ascii   (medium)", " farblos     Ascii   (m\x84\xE1ig)"}},
    {modeAsciiFiltered, {" no   colors Ascii   (filtered)", " farblos     Ascii   (gefiltert)"}},
    {modeHtml, {" no   colors HTML    (file output)", " farblos     HTML    (f\x81r Dateiausgabe)"}},
};

// The command line's help is made of these texts and the settings: the help's list of
// settings and its menu keys are written by the program, which also wraps them.
constexpr Entry<MessageText> messageList[] = {
    {msgZorPathTooLong,
     {"abort : the path of ZOR's directory is longer than 246 characters!",
      "Abbruch : der Pfad des ZOR-Verzeichnisses ist l\x84nger als 246 Zeichen!"}},
    {msgWritten, {"written: ", "geschrieben: "}},
    {msgNothingWritten, {"nothing written", "nichts geschrieben"}},
    {msgLauncherNotWritten, {"launcher not written; ", "Startdatei nicht geschrieben; "}},
    {msgChangedSinceRead, {" (it had changed since it was read)", " (sie war seit dem Lesen ge\x84ndert worden)"}},
    {msgLauncher, {"launcher: ", "Startdatei: "}},
    {msgLauncherNotThere, {"launcher (not there yet): ", "Startdatei (noch nicht da): "}},
    {msgNoSuchDirectory, {"no such directory: ", "kein solches Verzeichnis: "}},
    {msgTooLongForLauncher, {"too long for ZO.BAT behind it: ", "zu lang f\x81r ZO.BAT dahinter: "}},
    {msgNoLauncher,
     {"no launcher ZO.BAT in the current directory or along PATH; name its directory with --launcher DIR",
      "keine Startdatei ZO.BAT im aktuellen Verzeichnis oder in PATH; ihr Verzeichnis mit --launcher VERZ "
      "angeben"}},
    {msgNoSuchSetting, {": no such setting", ": keine solche Einstellung"}},
    {msgExpected, {"expected ", "erwartet: "}},
    {msgOnOrOff, {"on or off", "on oder off"}},
    {msgExpectMode, {"one of the letters {all}", "einer der Buchstaben {all}"}},
    {msgExpectMemoryLimit,
     {"a whole number from {lowest} to {highest} (or $ and hexadecimal digits)",
      "eine ganze Zahl von {lowest} bis {highest} (oder $ und Hexadezimalziffern)"}},
    {msgExpectScreenLines,
     {"{but-last} or {last}", "{but-last} oder {last}"}},
    {msgExpectFileName,
     {"a name without control characters or '\"' of at most {highest} characters with ZOR's directory",
      "ein Name ohne Steuerzeichen und '\"' von h\x94" "chstens {highest} Zeichen mit dem Verzeichnis von ZOR"}},
    {msgStandardOutput, {"standard output", "Standardausgabe"}},
    {msgHelpTitle, {" - set-up program for ZOR\n", " - Einrichtungsprogramm zu ZOR\n"}},
    {msgHelpUsage,
     {"\n"
      "Usage: zorsetup                    the full-screen menu\n"
      "       zorsetup --show [NAME...] [--launcher DIR] [--zor DIR]\n"
      "       zorsetup --list [--launcher DIR]\n",
      "\n"
      "Aufruf: zorsetup                   das Men\x81\n"
      "        zorsetup --show [NAME...] [--launcher VERZ] [--zor VERZ]\n"
      "        zorsetup --list [--launcher VERZ]\n"}},
    {msgHelpUsageSet,
     {"       zorsetup --set NAME=VALUE... [--from FILE]... [--launcher DIR]\n"
      "                [--zor DIR] [--dry-run | --diff]\n"
      "       zorsetup --set --from FILE... [NAME=VALUE...] [--launcher DIR]\n"
      "                [--zor DIR] [--dry-run | --diff]\n",
      "        zorsetup --set NAME=WERT... [--from DATEI]... [--launcher VERZ]\n"
      "                 [--zor VERZ] [--dry-run | --diff]\n"
      "        zorsetup --set --from DATEI... [NAME=WERT...] [--launcher VERZ]\n"
      "                 [--zor VERZ] [--dry-run | --diff]\n"}},
    {msgHelpUsageCheck,
     {"       zorsetup --check [--launcher DIR] [--zor DIR]\n"
      "       zorsetup --help | --version\n"
      "\n",
      "        zorsetup --check [--launcher VERZ] [--zor VERZ]\n"
      "        zorsetup --help | --version\n"
      "\n"}},
    {msgHelpAbout,
     {"Start it in the directory that holds ZOR4.EXE. It reads the launcher ZO.BAT\n"
      "found in the current directory or along PATH (or lets you choose a directory\n",
      "Im Verzeichnis von ZOR4.EXE starten. Das Programm liest die Startdatei ZO.BAT\n"
      "im aktuellen Verzeichnis oder im Suchpfad PATH (oder l\x84sst ein Verzeichnis\n"}},
    {msgHelpAboutEnd,
     {"for a new one), shows its settings in a menu and writes it anew on save. It\n"
      "also edits colour tables.\n"
      "\n",
      "f\x81r eine neue w\x84hlen), zeigt ihre Einstellungen in einem Men\x81 und schreibt\n"
      "sie beim Speichern neu. Es bearbeitet auch Farbtabellen.\n"
      "\n"}},
    {msgHelpKeys, {"Menu keys, either case:", "Men\x81tasten, gro\xE1 oder klein:"}},
    {msgHelpKeysSwitch, {"switch or step a setting;", "schalten eine Einstellung;"}},
    {msgHelpKeysAsk,
     {"ask for the colour table, the memory limit and the screen lines; * edits a colour table; Esc "
      "leaves without writing; Enter writes ZO.BAT.",
      "fragen nach Farbtabelle, RAM-Obergrenze und Zeilenzahl; * bearbeitet eine Farbtabelle; Esc "
      "beendet ohne zu schreiben; Enter schreibt ZO.BAT."}},
    {msgAnd, {"and", "und"}},
    {msgHelpShow,
     {"  --show [NAME...]  print every setting as NAME=VALUE, the way --set takes it,\n"
      "                    after a line \"# launcher: PATH\" (a colour table in ZOR's\n"
      "                    directory relative to it); with names, their values alone\n",
      "  --show [NAME...]  alle Einstellungen als NAME=WERT, wie --set sie nimmt, nach\n"
      "                    einer Zeile \"# launcher: PFAD\" (Farbtabelle im Verzeichnis\n"
      "                    von ZOR relativ dazu); mit Namen nur deren Werte\n"}},
    {msgHelpList,
     {"  --list            print the launcher's path and the settings as the menu\n"
      "                    shows them\n",
      "  --list            Pfad der Startdatei und die Einstellungen wie im Men\x81\n"
      "                    ausgeben\n"}},
    {msgHelpSet,
     {"  --set NAME=VALUE  change settings and write the launcher; a launcher that stays the same is "
      "not written (\"unchanged\"). NAME is the menu letter or its name:",
      "  --set NAME=WERT   Einstellungen \x84ndern und die Startdatei schreiben; eine, die gleich "
      "bleibt, wird nicht geschrieben (\"unver\x84ndert\"). NAME ist der Men\x81" "buchstabe oder:"}},
    {msgHelpModes, {"{but-last} or {last}", "{all}"}},
    {msgHelpFileName, {"a file name, relative to ZOR's directory", "Dateiname, relativ zum Verzeichnis von ZOR"}},
    {msgHelpMemoryLimit, {"{lowest} to {highest}", "{lowest} bis {highest}"}},
    {msgHelpScreenLines, {"{but-last} or {last}", "{all}"}},
    {msgHelpOptions,
     {"  --from FILE       pairs, a line each, from FILE (- standard input), before the\n"
      "                    arguments' pairs; again for more files, a later pair wins;\n"
      "                    blank lines and lines starting with # are skipped\n",
      "  --from DATEI      Paare, je Zeile eins, aus DATEI (- Standardeingabe), vor\n"
      "                    denen der Argumente; mehrfach f\x81r mehr Dateien, ein\n"
      "                    sp\x84teres Paar gilt; Leerzeilen und #-Zeilen z\x84hlen nicht\n"}},
    {msgHelpOptionsMore,
     {"  --launcher DIR    the launcher in DIR instead of the one found\n"
      "  --zor DIR         ZOR4.EXE in DIR instead of the current directory\n"
      "  --dry-run         print the launcher --set would write; write nothing\n",
      "  --launcher VERZ   die Startdatei in VERZ statt der gefundenen\n"
      "  --zor VERZ        ZOR4.EXE in VERZ statt im aktuellen Verzeichnis\n"
      "  --dry-run         die Startdatei zeigen, die --set schriebe; nichts schreiben\n"}},
    {msgHelpDiff,
     {"  --diff            with --set: print the launcher's change as a unified diff\n"
      "                    and write nothing; exit status 0 no change, 1 a change\n",
      "  --diff            mit --set: die \x8E" "nderung der Startdatei als Unified Diff\n"
      "                    zeigen, nichts schreiben; R\x81" "ckgabe 0 keine, 1 eine\n"}},
    {msgHelpCheck,
     {"  --check           check ZOR4.EXE, the launcher, PATH and the colour table: one\n"
      "                    line FILE: KEY: finding each; exit status 0 none, 1 some\n",
      "  --check           ZOR4.EXE, Startdatei, PATH und Farbtabelle pr\x81" "fen: je\n"
      "                    Befund eine Zeile DATEI: SCHL\x9aSSEL: Text; R\x81" "ckgabe 0 keiner,\n"
      "                    1 welche\n"}},
    {msgHelpConventions,
     {"  -h, -?, --help    this text\n"
      "  --version         the version\n"
      "Options may be abbreviated and given in any order; --opt=VALUE is --opt VALUE;\n"
      "-- ends the options. Bytes that are not printable are shown as \\xNN.\n"
      "\n",
      "  -h, -?, --help    dieser Text\n"
      "  --version         die Version\n"
      "Optionen d\x81rfen abgek\x81rzt werden und in beliebiger Folge stehen; --opt=WERT ist\n"
      "--opt WERT; -- beendet die Optionen. Nicht druckbare Bytes erscheinen als \\xNN.\n"
      "\n"}},
    {msgHelpEnvironment,
     {"Environment: LC_ALL, LC_MESSAGES, LANG (de... gives German), PATH, WINEPREFIX\n"
      "(drive letters on Linux), ESCDELAY (milliseconds to wait after Esc, 50).\n",
      "Umgebung: LC_ALL, LC_MESSAGES, LANG (de... ergibt Deutsch), PATH, WINEPREFIX\n"
      "(Laufwerke unter Linux), ESCDELAY (Millisekunden Wartezeit nach Esc, 50).\n"}},
    {msgHelpExitStatus,
     {"Exit status: 0 done; 1 no launcher or no ZOR4.EXE found (--diff: 2); 2 usage\n"
      "error or a bad pair; N after \"Runtime error N\" (3 path not found, 5 access\n"
      "denied, 109 broken pipe, 112 disk full).\n",
      "R\x81" "ckgabewert: 0 erledigt; 1 keine Startdatei oder kein ZOR4.EXE gefunden\n"
      "(--diff: 2); 2 Aufruffehler oder falsches Paar; N nach \"Runtime error N\"\n"
      "(3 Pfad fehlt, 5 Zugriff verweigert, 109 Pipe geschlossen, 112 Datentr\x84ger\n"
      "voll).\n"}},
    {msgTryHelp, {"Try 'zorsetup --help'.", "Mehr mit 'zorsetup --help'."}},
    {msgUnknownOption, {"unrecognized option '%s'", "unbekannte Option '%s'"}},
    {msgNeedsValue, {"option '%s' requires an argument", "Option '%s' verlangt ein Argument"}},
    {msgTakesNoValue, {"option '%s' doesn't allow an argument", "Option '%s' erlaubt kein Argument"}},
    {msgAmbiguous, {"option '%s' is ambiguous", "Option '%s' ist mehrdeutig"}},
    {msgNotTogether, {"'%s' and '%s' do not go together", "'%s' und '%s' gehen nicht zusammen"}},
    {msgOnlyWith, {"'%s' goes only with %s", "'%s' geht nur mit %s"}},
    {msgUnexpected, {"unexpected argument '%s'", "unerwartetes Argument '%s'"}},
    {msgNoPairs, {"--set needs NAME=VALUE pairs or --from FILE", "--set braucht Paare NAME=WERT oder --from DATEI"}},
    {msgUnchanged, {"unchanged: ", "unver\x84ndert: "}},
    {msgNotKept, {"not kept: ", "nicht \x81" "bernommen: "}},
    {msgKeptAsBackup, {" (the old one stays in ZO.BAK)", " (die alte bleibt in ZO.BAK)"}},
    {msgNoTableYet, {"note: no such file (yet): ", "Hinweis: (noch) keine solche Datei: "}},
    {msgNoZorIn, {"no ZOR4.EXE in ", "kein ZOR4.EXE in "}},
    {msgStandardInput, {"standard input", "Standardeingabe"}},
    {msgErrorNotFound, {"file not found", "Datei nicht gefunden"}},
    {msgErrorPathNotFound, {"path not found", "Pfad nicht gefunden"}},
    {msgErrorAccessDenied, {"access denied", "Zugriff verweigert"}},
    {msgErrorReadPast, {"read past the end", "Lesen hinter dem Ende"}},
    {msgErrorShortWrite, {"short write", "unvollst\x84ndig geschrieben"}},
    {msgErrorBrokenPipe, {"broken pipe", "Pipe geschlossen"}},
    {msgErrorDiskFull, {"disk full", "Datentr\x84ger voll"}},
    {msgErrorOther, {"error ", "Fehler "}},
    {msgRefusedForeignLink,
     {"a symbolic link of another user's: not followed, nothing written",
      "ein symbolischer Link eines anderen Benutzers: nicht gefolgt, nichts geschrieben"}},
    {msgRefusedNoBackup,
     {"holds changes of its own and could not be kept as ZO.BAK: left as it was",
      "hat eigene \x8Enderungen und konnte nicht als ZO.BAK bleiben: unver\x84ndert gelassen"}},
    {msgRefusedChanged,
     {"changed while it was being saved: left as it is",
      "wurde w\x84hrend des Speicherns ge\x84ndert: unver\x84ndert gelassen"}},
    {msgRefusedNotATable, {"not a colour table: left as it is", "keine Farbtabelle: unver\x84ndert gelassen"}},
    {msgRefusedBackupLeftAs,
     {"holds the old launcher, which could not become ZO.BAK; the new one is written",
      "h\x84lt die alte Startdatei, die nicht ZO.BAK werden konnte; die neue ist geschrieben"}},
    {msgLineTooLong, {"a line longer than 65536 bytes", "eine Zeile l\x84nger als 65536 Bytes"}},
    {msgLacksCharacter, {"%s is not in the OEM code page", "%s fehlt in der OEM-Codepage"}},
    {msgZorLacksCharacter,
     {"abort : the name of ZOR's directory holds %s, which the OEM code page lacks!",
      "Abbruch : der Name des ZOR-Verzeichnisses enth\x84lt %s, das in der OEM-Codepage fehlt!"}},
    {msgZorNameHolds,
     {"abort : the name \"%s\" in ZOR's path holds %s, which Windows does not allow!",
      "Abbruch : der Name \"%s\" im Pfad von ZOR enth\x84lt %s, was Windows nicht erlaubt!"}},
    {msgZorNameEnds,
     {"abort : the name \"%s\" in ZOR's path ends in %s, which Windows does not allow!",
      "Abbruch : der Name \"%s\" im Pfad von ZOR endet auf %s, was Windows nicht erlaubt!"}},
    {msgClash,
     {"%s and %s in %s both match %s in any letter case!",
      "%s und %s in %s passen beide auf %s, gro\xE1 oder klein!"}},
    // The letters that answer: yes and no to the drive question, save and drop in the
    // colour editor.
    {msgKeysYes, {"YJ", "JY"}},
    {msgKeysNo, {"N", "N"}},
    {msgKeysSave, {"s", "s"}},
    {msgKeysDrop, {"v", "v"}},
    {msgPairForm, {"NAME=VALUE", "NAME=WERT"}},
    {msgCheckNoZor, {"ZOR4.EXE is not there", "ZOR4.EXE fehlt"}},
    {msgCheckNoLauncher, {"the launcher is not there", "die Startdatei fehlt"}},
    {msgCheckNotOnPath, {"not found along PATH: ZO does not start it", "in PATH nicht zu finden: ZO startet sie nicht"}},
    {msgCheckShadows, {"comes first along PATH, before %s", "kommt in PATH zuerst, vor %s"}},
    {msgCheckNoZorCall, {"starts no ZOR4.EXE", "startet kein ZOR4.EXE"}},
    {msgCheckZorMissing, {"starts %s, which is not there", "startet %s, das fehlt"}},
    {msgCheckZorOther, {"starts %s, not %s", "startet %s, nicht %s"}},
    {msgCheckTableMissing, {"%s names this colour table, which is not there", "%s nennt diese Farbtabelle, die fehlt"}},
    {msgCheckNotATable,
     {"%s names this as its colour table, but it is none", "%s nennt dies als Farbtabelle, es ist aber keine"}},
    {msgCheckDropped, {"a save would drop the line: %s", "Speichern lie\xE1" "e die Zeile weg: %s"}},
};

static_assert(std::size(generalList) == generalTextCount);
static_assert(std::size(editorList) == editorTextCount);
static_assert(std::size(categoryList) == categoryNameCount);
static_assert(std::size(displayModeList) == displayModeNameCount);
static_assert(std::size(messageList) == messageTextCount);

ZOR_TABLE(generalBytes, generalList);
ZOR_TABLE(editorBytes, editorList);
ZOR_TABLE(categoryBytes, categoryList);
ZOR_TABLE(displayModeBytes, displayModeList);
ZOR_TABLE(messageBytes, messageList);

#undef ZOR_TABLE

}  // namespace

const std::span<const std::uint8_t> generalTexts = generalBytes;
const std::span<const std::uint8_t> editorTexts = editorBytes;
const std::span<const std::uint8_t> categoryNames = categoryBytes;
const std::span<const std::uint8_t> displayModeNames = displayModeBytes;
const std::span<const std::uint8_t> messageTexts = messageBytes;

}  // namespace texts
