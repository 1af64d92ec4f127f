#include "texts/texts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "texts/language.h"
#include "texts/tables.h"

namespace texts {
namespace {

using Lengths = std::vector<std::pair<int, int>>;  // English, German

const Lengths generalLengths = {
    {3, 3},   {3, 3},   {19, 16}, {12, 13}, {12, 15}, {6, 9},   {9, 10},  {8, 13},  {8, 14},
    {42, 40}, {44, 42}, {22, 27}, {8, 10},  {26, 32}, {72, 65}, {3, 10},  {7, 7},   {25, 41},
    {22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22},
    {22, 22}, {22, 22}, {22, 22}, {22, 22}, {18, 21}, {17, 15}, {13, 9},  {21, 26}, {36, 37},
    {39, 37}, {93, 121}, {9, 11}, {15, 23}, {17, 17}, {17, 17}};
const Lengths editorLengths = {{24, 18}, {9, 11}, {4, 9}, {4, 9}, {16, 30}, {23, 30}};
const Lengths categoryLengths = {{6, 6},  {8, 8},   {8, 15}, {14, 20}, {17, 14},
                                 {22, 23}, {11, 11}, {7, 5},  {32, 32}, {12, 14},
                                 {4, 8},  {8, 12},  {9, 11}, {10, 7},  {11, 11}};
const Lengths displayModeLengths = {{36, 45}, {27, 30}, {27, 27}, {29, 28}, {31, 32}, {34, 39}};

std::string bytes(std::span<const std::uint8_t> table, std::size_t at, std::size_t count) {
  return std::string(reinterpret_cast<const char*>(table.data()) + at, count);
}

// Walks a table by its layout alone and checks header, entry count, every text length, and
// that the last text ends exactly at the end of the table.
void expectLayout(std::span<const std::uint8_t> table, const Lengths& lengths) {
  ASSERT_GE(table.size(), 15u);
  EXPECT_EQ(table[0], 7);
  EXPECT_EQ(bytes(table, 1, 7), "<SPRA2>");
  EXPECT_EQ(table[8], 4);
  EXPECT_EQ(bytes(table, 9, 4), "ENDE");
  EXPECT_EQ(table[13] | (table[14] << 8), static_cast<int>(lengths.size()));
  std::size_t at = 15;
  for (std::size_t k = 0; k < lengths.size(); ++k) {
    ASSERT_LT(at, table.size());
    EXPECT_EQ(table[at], lengths[k].first) << "English text of entry " << k + 1;
    at += 1 + table[at];
    ASSERT_LT(at, table.size());
    EXPECT_EQ(table[at], lengths[k].second) << "German text of entry " << k + 1;
    at += 1 + table[at];
  }
  EXPECT_EQ(at, table.size());
}

TEST(LanguageTables, LayoutAndEveryTextLength) {
  expectLayout(generalTexts, generalLengths);
  expectLayout(editorTexts, editorLengths);
  expectLayout(categoryNames, categoryLengths);
  expectLayout(displayModeNames, displayModeLengths);
}

TEST(LanguageTables, OemBytesLineBreakAndQuotes) {
  loadAllFor("DE");
  EXPECT_EQ(text(txtPathChoiceFor), "Pfadauswahl f\x81r ");
  EXPECT_EQ(text(txtSuccess), "erfolgreicher Abschlu\xE1.");
  EXPECT_EQ(text(catSavegame), "Spielst\x84nde");
  EXPECT_EQ(text(catOverlay), "Overlay und Bruchst\x81" "cke");
  EXPECT_EQ(text(modeAscii), " farblos     Ascii   (m\x84\xE1ig)");
  EXPECT_NE(text(txtAskScreenLines).find("Zeilen?\r\n   (00="), std::string_view::npos);
  EXPECT_EQ(text(txtHelpHint), "Hilfe         : \"");
  loadAllFor("EN");
  EXPECT_EQ(text(txtAskScreenLines).substr(59, 5), "?\r\n  ");
  EXPECT_EQ(text(txtStartHint), "program start : \"");
  EXPECT_EQ(text(txtNotCopyProgram).substr(0, 21), " This is not not a co");
  EXPECT_EQ(text(catSoundGraphic), "sound ang graphic");
}

TEST(LanguageTables, ChoiceOfColumn) {
  std::string_view refs[txtStartHint];
  for (const char* lang : {"de_DE.UTF-8", "de", "De", "DEU"}) {
    ASSERT_EQ(loadTable(generalTexts, languageCodeOf(lang), refs), 42) << lang;
    EXPECT_EQ(refs[txtOff - 1], "aus") << lang;
    EXPECT_EQ(refs[txtStartHint - 1], "Programmstart : \"") << lang;
  }
  for (const char* lang : {"", "fr_FR", "ru", "es", "d", " de", "en_GB"}) {
    ASSERT_EQ(loadTable(generalTexts, languageCodeOf(lang), refs), 42) << lang;
    EXPECT_EQ(refs[txtOff - 1], "off") << lang;
    EXPECT_EQ(refs[txtStartHint - 1], "program start : \"") << lang;
  }
}

// A hand-made table with three columns, the marker not at the front, and text bytes that
// look like a marker inside an entry.
std::vector<std::uint8_t> threeLanguageTable(std::string_view prefix) {
  std::vector<std::uint8_t> t(prefix.begin(), prefix.end());
  auto put = [&t](std::string_view s) {
    t.push_back(static_cast<std::uint8_t>(s.size()));
    t.insert(t.end(), s.begin(), s.end());
  };
  put("<SPRA2>");
  put("ENDEFR");
  t.push_back(2);
  t.push_back(0);
  put("one");
  put("eins");
  put("un");
  put("");
  put("");
  put("\7<SPRA2>");
  return t;
}

TEST(LanguageTables, LoaderScansForMarkerAndFallsBackToFirstColumn) {
  auto table = threeLanguageTable("\7<SPRA1>xy\7<SPR");
  for (char c : std::string("\1x\1y\1z")) table.push_back(static_cast<std::uint8_t>(c));  // past the count
  std::string_view refs[3] = {"", "", "untouched"};
  EXPECT_EQ(loadTable(table, "FR", refs), 2);
  EXPECT_EQ(refs[0], "un");
  EXPECT_EQ(refs[1], "\7<SPRA2>");
  EXPECT_EQ(refs[2], "untouched");
  EXPECT_EQ(loadTable(table, "DE", refs), 2);
  EXPECT_EQ(refs[0], "eins");
  EXPECT_EQ(refs[1], "");
  EXPECT_EQ(loadTable(table, "IT", refs), 2);
  EXPECT_EQ(refs[0], "one");
  EXPECT_EQ(loadTable(table, "F", refs), 2);  // a one-letter code matches nothing
  EXPECT_EQ(refs[0], "one");
  EXPECT_EQ(loadTable(table, "EN", refs), 2);
  EXPECT_EQ(refs[0], "one");
}

TEST(LanguageTables, LoaderStaysInsideBrokenTables) {
  std::string_view refs[2] = {"untouched", "untouched"};
  // A marker that would run past the end is not a marker.
  std::vector<std::uint8_t> cut = {'x', 7, '<', 'S', 'P', 'R', 'A', '2'};
  EXPECT_EQ(loadTable(cut, "EN", refs), 0);
  EXPECT_EQ(loadTable({}, "EN", refs), 0);
  // A table that ends one byte short of its second entry yields the first entry only;
  // one that ends with it, both.
  auto table = threeLanguageTable("");
  EXPECT_EQ(loadTable(std::span(table).first(8 + 7 + 1), "DE", refs), 0);  // the count cut in half
  EXPECT_EQ(loadTable(std::span(table).first(table.size() - 1), "DE", refs), 1);
  EXPECT_EQ(refs[0], "eins");
  EXPECT_EQ(refs[1], "untouched");
  EXPECT_EQ(loadTable(table, "DE", refs), 2);
}

TEST(LanguageTables, DisplayModeNameArrayHoldsEntriesTwoToSix) {
  for (const char* code : {"EN", "DE"}) {
    loadAllFor(code);
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(displayModeNameArray[i].view(), text(static_cast<DisplayModeName>(i + 2))) << code << i;
      EXPECT_LE(displayModeNameArray[i].size(), 46u);
      EXPECT_NE(displayModeNameArray[i].view(), text(modeEgaVga));
    }
  }
  EXPECT_EQ(displayModeNameArray[4].view(), " farblos     HTML    (f\x81r Dateiausgabe)");
  loadAllFor("EN");
  EXPECT_EQ(displayModeNameArray[0].view(), "16*16 colors CGA+    (fast)");
}

}  // namespace
}  // namespace texts
