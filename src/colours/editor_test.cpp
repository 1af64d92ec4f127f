#include "colours/colour_table.h"

#include "colour_test_support.h"
#include "platform/platform.h"

namespace colours_test {
namespace {

using console::attributeAt;
using console::rowText;

const std::string block = "\xDB\xDB\xDB\xDB";

class ColourEditor : public ColourTest {
 protected:
  // Opens a new table named TEST with an empty comment, then presses keys.
  void runNewTable(const std::string& keys) {
    Str name;
    device.type("\r\r" + keys);
    editColourTable(test::machine(), name, table);
  }

  // Rows 3 to 17, 19 to 23 and 25 exactly as drawn for names and legend in one language.
  void expectEditorScreen(const std::vector<std::string>& categories, const std::string (&legend)[4]) {
    for (int k = 1; k <= 15; ++k) {
      const ColourPair& pair = table.pairs[k - 1];
      auto colours = static_cast<std::uint8_t>(pair.foreground + pair.background);
      std::string row = std::string(" ") + static_cast<char>('@' + k) + "   " + categories[k - 1];
      row.resize(41, ' ');
      EXPECT_EQ(rowText(k + 2), std::string(21, ' ') + row + std::string(18, ' ')) << "category " << k;
      for (int col = 1; col <= 80; ++col)
        EXPECT_EQ(attributeAt(col, k + 2), col >= 22 && col <= 62 ? colours : 0x1E) << col << "," << k + 2;
    }
    for (int i = 0; i < 4; ++i) {
      std::string row = std::string(18, ' ') + legend[i];
      EXPECT_EQ(rowText(19 + i), row + std::string(80 - row.size(), ' '));
      for (int col = 1; col <= 80; ++col) EXPECT_EQ(attributeAt(col, 19 + i), 0x1E);
    }
    std::string palette;
    for (int c = 0; c < 16; ++c) {
      palette += block + " ";
      for (int col = 5 * c + 1; col <= 5 * c + 5; ++col)
        EXPECT_EQ(attributeAt(col, 25), c < 15 || col < 80 ? c : 0x1E) << "column " << col;
    }
    EXPECT_EQ(rowText(25), palette);
    EXPECT_EQ(rowText(23), std::string(80, ' '));
    EXPECT_EQ(console::cursorColumn(), 20);
    EXPECT_EQ(console::cursorRow(), 23);
    for (int row : {1, 2, 18, 24}) EXPECT_EQ(rowText(row), std::string(80, ' ')) << "row " << row;
  }
};

TEST_F(ColourEditor, DrawsEveryCategoryInItsColoursWithPaletteAndLegend) {
  runNewTable("\x1b");
  expectEditorScreen({"normal", "compiler", "archiver", "exe-compressor", "sound ang graphic",
                      "overlays and fragments", "file errors", "viruses",
                      "DOS, Windows, OS/2, DOS-extender", "descriptions", "sign", "librarys",
                      "savegames", "colourless", "status line"},
                     {"[s] save", "[v] drop", "[a]..[o] modify textcolor",
                      "[A]..[O] modify background color"});
  // The prompts, as they stood while waiting for the first key of each line.
  EXPECT_EQ(device.shots[0][9], std::string(19, ' ') + "name of color table file? [ TEST ] " +
                                    std::string(26, ' '));
  EXPECT_EQ(device.shots[1][11].substr(19), "comment? " + std::string(52, ' '));
}

TEST_F(ColourEditor, DrawsGermanTexts) {
  useLanguage("de_DE.UTF-8");
  runNewTable("v");
  expectEditorScreen({"normal", "Compiler", "Archivprogramme", "Laufzeitkomprimierer",
                      "Ton und Grafik", "Overlay und Bruchst\x81" "cke", "Dateifehler", "Viren",
                      "DOS, Windows, OS/2, DOS-Extender", "Beschreibungen", "Signatur",
                      "Bibliotheken", "Spielst\x84nde", "farblos", "Statuszeile"},
                     {"[s] Speichern", "[v] Verwerfen", "[a]..[o] Ver\x84ndern der Vordergrundfarbe",
                      "[A]..[O] Ver\x84ndern der Hintergrundfarbe"});
  EXPECT_EQ(device.shots[0][9].substr(19), "Name der Farbdatei? [ TEST ] " + std::string(32, ' '));
  EXPECT_EQ(device.shots[1][11].substr(19, 12), "Kommentar?  ");
}

TEST_F(ColourEditor, SixteenStepsBringAForegroundBack) {
  runNewTable("av");
  EXPECT_EQ(table.pairs[0].foreground, 0x01);
  EXPECT_EQ(attributeAt(22, 3), 0x21);  // drawn again in the new colours
  table = tableAtStart;
  runNewTable(std::string(16, 'a') + "v");
  EXPECT_EQ(table.pairs[0].foreground, 0x00);
  EXPECT_EQ(table.pairs[0].background, 0x20);
  table = tableAtStart;
  runNewTable("oOv");  // the last letters: the last category
  EXPECT_NE(table.pairs[14].foreground, tableAtStart.pairs[14].foreground);
  EXPECT_NE(table.pairs[14].background, tableAtStart.pairs[14].background);
}

TEST_F(ColourEditor, BackgroundRunsThroughToBlack) {
  const std::uint8_t steps[] = {0xD0, 0xE0, 0xF0, 0x00};
  for (std::uint8_t expected : steps) {
    runNewTable("Hv");
    EXPECT_EQ(table.pairs[7].background, expected);
    EXPECT_EQ(table.pairs[7].foreground, 0x02);
  }
}

TEST_F(ColourEditor, StepsKeepTheOtherNibbleOfAByte) {
  // Bytes from a foreign table, each with bits in the other colour's nibble.
  table.pairs[0] = {0x5F, 0xF3};
  table.pairs[1] = {0x0C, 0xF5};
  writeColourTable(test::machine(), "ODD.TAB", table);
  Str name = "ODD.TAB";
  device.type("\raBv");
  editColourTable(test::machine(), name, table);
  EXPECT_EQ(table.pairs[0].foreground, 0x50);
  EXPECT_EQ(table.pairs[1].background, 0x05);
  // The attribute is the low byte of the sum, not the bits or-ed together.
  EXPECT_EQ(attributeAt(22, 3), 0x43);
  EXPECT_EQ(attributeAt(22, 4), 0x11);
}

TEST_F(ColourEditor, OtherKeysOnlyDrawAgain) {
  std::string keys = "pqrtuwxyzPQRTUWXYZ0123456789 ";
  Str name;
  device.type("\r\r" + keys);
  // Cursor and function keys whose scan codes are letters' codes: up 'H', home 'G', page
  // up 'I', left 'K', right 'M', end 'O', delete 'S', F1 ';'.
  for (std::uint8_t scan : {72, 71, 73, 75, 77, 79, 83, 59}) device.press(scan);
  device.pressChar(224, 72);  // the separate cursor block
  device.pressChar(224, 83);
  device.type("v");
  editColourTable(test::machine(), name, table);
  EXPECT_EQ(bytesOf(table).substr(37), bytesOf(tableAtStart).substr(37));
  EXPECT_FALSE(std::filesystem::exists("TEST"));
  // Every key was read, so none of them closed the editor before v.
  EXPECT_EQ(device.shots.size(), 2 + 1 + keys.size() + 10);
}

TEST_F(ColourEditor, SaveAndDropKeys) {
  for (const char* key : {"S", "s", "\r"}) {
    std::filesystem::remove("TEST");
    runNewTable(std::string("a") + key);
    ASSERT_TRUE(std::filesystem::exists("TEST")) << key;
    EXPECT_EQ(readFile("TEST"), bytesOf(table));
  }
  std::filesystem::remove("TEST");
  for (const char* key : {"V", "v", "\x1b"}) {
    std::uint8_t before = table.pairs[0].foreground;
    runNewTable(std::string("a") + key);
    EXPECT_FALSE(std::filesystem::exists("TEST")) << key;
    EXPECT_EQ(table.pairs[0].foreground, before + 1);  // kept for the next call
  }
}

TEST_F(ColourEditor, NextNewTableStartsFromTheColoursLeftBehind) {
  Str name;
  device.type("ONE.TAB\rfirst\rbBv");
  editColourTable(test::machine(), name, table);
  device.type("TWO.TAB\rsecond\r\x1b");
  editColourTable(test::machine(), name, table);
  EXPECT_EQ(attributeAt(22, 4), 0x3B);
  EXPECT_EQ(attributeAt(22, 5), 0x2B);
  EXPECT_FALSE(std::filesystem::exists("ONE.TAB"));
}

TEST_F(ColourEditor, NameRules) {
  Str name;
  device.type("\r\r\x1b");
  editColourTable(test::machine(), name, table);
  EXPECT_EQ(name, "TEST");

  device.type("new.tab\rc\rv");
  editColourTable(test::machine(), name, table);
  EXPECT_EQ(name, platform::expandPath(test::machine(), "new.tab"));
  EXPECT_NE(name, "new.tab");

  // An empty answer keeps a relative name as it is; the file lands in the current directory.
  name = "REL.TAB";
  device.type("\rc\rs");
  editColourTable(test::machine(), name, table);
  EXPECT_EQ(name, "REL.TAB");
  EXPECT_TRUE(std::filesystem::exists("REL.TAB"));
}

}  // namespace
}  // namespace colours_test
