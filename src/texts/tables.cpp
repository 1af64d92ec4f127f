// The four language tables. The texts are written here as readable lists, English then
// German, and turned at compile time into the byte layout the loader reads: length-prefixed
// marker "<SPRA2>", length-prefixed language list "ENDE", 16-bit little-endian entry count,
// then every text of every entry with its length byte in front.
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

struct Entry {
  std::string_view english;
  std::string_view german;
};

constexpr std::string_view marker = "<SPRA2>";
constexpr std::string_view languageList = "ENDE";

template <std::size_t count>
constexpr std::size_t tableSize(const Entry (&entries)[count]) {
  std::size_t size = 1 + marker.size() + 1 + languageList.size() + 2;
  for (const Entry& e : entries) size += 1 + e.english.size() + 1 + e.german.size();
  return size;
}

template <std::size_t size>
constexpr void putText(std::array<std::uint8_t, size>& out, std::size_t& at, std::string_view text) {
  if (text.size() > 255) throw "a text of a language table holds at most 255 bytes";
  out[at++] = static_cast<std::uint8_t>(text.size());
  for (char c : text) out[at++] = static_cast<std::uint8_t>(c);
}

template <std::size_t size, std::size_t count>
constexpr std::array<std::uint8_t, size> buildTable(const Entry (&entries)[count]) {
  static_assert(count <= 0xFFFF);
  std::array<std::uint8_t, size> out{};
  std::size_t at = 0;
  putText(out, at, marker);
  putText(out, at, languageList);
  out[at++] = static_cast<std::uint8_t>(count & 0xFF);
  out[at++] = static_cast<std::uint8_t>(count >> 8);
  for (const Entry& e : entries) {
    putText(out, at, e.english);
    putText(out, at, e.german);
  }
  if (at != size) throw "table size miscounted";
  return out;
}

#define ZOR_TABLE(name, list) \
  constexpr auto name = buildTable<tableSize(list)>(list)

constexpr Entry generalList[] = {
    {"off", "aus"},
    {"on ", "ein"},
    {"choice of path for ", "Pfadauswahl f\x81r "},
    {"<-recommend!", "Bitte dieses!"},
    {"in with path", "In welchem Pfad"},
    {"may i ", "darf ich "},
    {" create? ", " anlegen? "},
    {"reading ", "Auslesen von "},
    {"writing ", "Schreiben von "},
    {"/* reserved line * please do not remove */", "/* reserviert Zeile * nicht entfernen */"},
    {"REM * reserved line * please do not remove *", "REM * reserviert Zeile * nicht entfernen *"},
    {"config program for Zor", "Einrichtungsprogramm zu Zor"},
    {"abort : ", "Abbruch : "},
    {" not in current directory!", " nicht im aktuellen Verzeichnis!"},
    {" This is not not a copy-program! Do You allways want start ZOR of drive ",
     " Dies ist kein Kopierprogramm! Wollen Sie ZOR immer von Laufwerk "},
    {": ?", ": starten?"},
    {" Y/N : ", " J/N : "},
    {"then copy me to harddisk!", "Dann kopiern Sie mich auf die Festplatte!"},
    {"subdirectorys         ", "Unterverzeichnisse    "},
    {"partition table       ", "Partitionstabelle     "},
    {"boot sectors          ", "Startsektoren         "},
    {"verbose format        ", "Langformat            "},
    {"screen                ", "Bildschirm            "},
    {"hexadecimal numbers   ", "hexadezimale Zahlen   "},
    {"mouse usage           ", "Mausbenutzung         "},
    {"use color table       ", "Farbtabelle benutzen  "},
    {"upper memory limit    ", "RAM-Obergrenze        "},
    {"CPU-emulator          ", "CPU-Emulator          "},
    {"list resource table   ", "Resourcen anzeigen    "},
    {"display icons         ", "Symbole anzeigen      "},
    {"lines                 ", "Zeilenzahl            "},
    {"create color table", "Farbtabelle erstellen"},
    {"exit without save", "Programmabbruch"},
    {"save and exit", "Speichern"},
    {"   color table? (old:", "   Farbtabellenname? (alt:"},
    {"   upper limit EMS usage (KB)? (old:", "   Obergrenze Nutzung EMS (KB)? (alt:"},
    {"   upper limit memory usage (KB)? (old:", "   Obergrenze Nutzung RAM (KB)? (alt:"},
    {"   desired screen display? 80 columns, 25,28,43,50,60 lines?\r\n"
     "   (00=do not change row count)",
     "   gew\x81nschte Bildschirmdarstellung? 80 Spalten, 25,28,43,50,60 Zeilen?\r\n"
     "   (00=benutze vorhandene Bildschirmeinstellung)"},
    {"abort ...", "Abbruch ..."},
    {"successful exit", "erfolgreicher Abschlu\xE1."},
    {"help          : \"", "Hilfe         : \""},
    {"program start : \"", "Programmstart : \""},
};

constexpr Entry editorList[] = {
    {"name of color table file", "Name der Farbdatei"},
    {"comment? ", "Kommentar? "},
    {"save", "Speichern"},
    {"drop", "Verwerfen"},
    {"modify textcolor", "Ver\x84ndern der Vordergrundfarbe"},
    {"modify background color", "Ver\x84ndern der Hintergrundfarbe"},
};

constexpr Entry categoryList[] = {
    {"normal", "normal"},
    {"compiler", "Compiler"},
    {"archiver", "Archivprogramme"},
    {"exe-compressor", "Laufzeitkomprimierer"},
    {"sound ang graphic", "Ton und Grafik"},
    {"overlays and fragments", "Overlay und Bruchst\x81" "cke"},
    {"file errors", "Dateifehler"},
    {"viruses", "Viren"},
    {"DOS, Windows, OS/2, DOS-extender", "DOS, Windows, OS/2, DOS-Extender"},
    {"descriptions", "Beschreibungen"},
    {"sign", "Signatur"},
    {"librarys", "Bibliotheken"},
    {"savegames", "Spielst\x84nde"},
    {"colourless", "farblos"},
    {"status line", "Statuszeile"},
};

constexpr Entry displayModeList[] = {
    {"16*16 colors EGA/VGA (smooth scroll)", "16*16 Farben EGA/VGA (mit punktweisem Rollen)"},
    {"16*16 colors CGA+    (fast)", "16*16 Farben CGA+    (schnell)"},
    {"16*16 colors Ansi    (slow)", "16*16 Farben Ansi    (lahm)"},
    {" no   colors Ascii   (medium)", " farblos     Ascii   (m\x84\xE1ig)"},
    {" no   colors Ascii   (filtered)", " farblos     Ascii   (gefiltert)"},
    {" no   colors HTML    (file output)", " farblos     HTML    (f\x81r Dateiausgabe)"},
};

static_assert(std::size(generalList) == txtStartHint);
static_assert(std::size(editorList) == edtBackground);
static_assert(std::size(categoryList) == catStatusLine);
static_assert(std::size(displayModeList) == modeHtml);

ZOR_TABLE(generalBytes, generalList);
ZOR_TABLE(editorBytes, editorList);
ZOR_TABLE(categoryBytes, categoryList);
ZOR_TABLE(displayModeBytes, displayModeList);

#undef ZOR_TABLE

}  // namespace

const std::span<const std::uint8_t> generalTexts = generalBytes;
const std::span<const std::uint8_t> editorTexts = editorBytes;
const std::span<const std::uint8_t> categoryNames = categoryBytes;
const std::span<const std::uint8_t> displayModeNames = displayModeBytes;

}  // namespace texts
