#include "app/menu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "console/console.h"
#include "test_support.h"
#include "memory_device.h"
#include "app/run.h"
#include "settings/setting_table.h"
#include "platform/platform.h"
#include "texts/language.h"
#include "texts/texts.h"

namespace {

using test::pad;

using console::attributeAt;
using console::rowText;

class Menu : public ::testing::Test {
 protected:
  void start(const char* lang, int height = 25) {
    setenv("LANG", lang, 1);
    texts::loadAll();
    state.launcher = {};
    state.zorDirectory = "C:\\ZOR\\";
    device = std::make_unique<console::MemoryDevice>(80, height);
    console::start(*device);
  }
  void SetUp() override { start("en_GB.UTF-8"); }
  void TearDown() override { console::finish(); }
  // The screen row that shows sign ("[u]", "[Esc]"), 0 for none; the text of a setting's row.
  int rowOf(std::string_view sign) const {
    for (int row = 1; row <= console::screen().height; ++row)
      if (rowText(row).find(sign) != std::string::npos) return row;
    return 0;
  }
  std::string keyRow(char key) const { return rowText(rowOf(std::string{'[', key, ']'})); }
  // Runs the menu over the keys; they must end it with Enter.
  void run(std::string_view keys) {
    device->type(keys);
    runMenu(state);
  }
  const platform::Machine machine = test::machine();
  RunState state{machine};
  Settings& settings = state.launcher.settings;
  std::unique_ptr<console::MemoryDevice> device;
};

// The settings' rows in the table's order, the display mode's name on the row below its
// own, then the menu's own keys; every label starts in column 30, every value in column 52.
TEST_F(Menu, DrawsEveryRowInEnglish) {
  run("\r");
  EXPECT_EQ(rowText(1), pad(""));
  EXPECT_EQ(rowText(2), pad("                       config program for Zor"));
  int row = 5;
  for (const Setting* setting : shownOrder) {
    if (!setting->label) continue;
    std::string leadIn = "                     [" + std::string(1, setting->key) + "]  .. ";
    EXPECT_EQ(rowText(row).substr(0, 51), leadIn + std::string(texts::text(setting->label))) << row;
    if (setting->kind == Kind::screenMode) {
      EXPECT_EQ(rowText(++row), pad(std::string(29, ' ') + "16*16 colors CGA+    (fast)"));
    }
    ++row;
  }
  EXPECT_EQ(rowText(row++), pad("                     [*]  .. create color table"));
  EXPECT_EQ(rowText(row++), pad("                    [Esc] .. exit without save"));
  EXPECT_EQ(rowText(row++), pad("                    [<\xC4\xD9] .. save and exit"));
  EXPECT_EQ(rowText(row), pad(""));
  EXPECT_EQ(rowText(row + 1), pad(""));
  EXPECT_EQ(console::cursorColumn(), 23);
  EXPECT_EQ(console::cursorRow(), row + 1);
  // The values, as each kind shows its own.
  EXPECT_EQ(keyRow('u'), pad("                     [u]  .. subdirectorys         on "));
  EXPECT_EQ(keyRow('p'), pad("                     [p]  .. partition table       off"));
  EXPECT_EQ(keyRow('b'), pad("                     [b]  .. screen                C"));
  EXPECT_EQ(keyRow('f'), pad("                     [f]  .. use color table       "));
  EXPECT_EQ(keyRow('x'), pad("                     [x]  .. upper memory limit    3000"));
  EXPECT_EQ(keyRow('z'), pad("                     [z]  .. lines                 0"));
  for (int r = 1; r <= 25; ++r)
    for (int col = 1; col <= 80; ++col) ASSERT_EQ(attributeAt(col, r), 0x1E) << col << "," << r;
}

TEST_F(Menu, DrawsInGerman) {
  start("de_DE.UTF-8");
  run("\r");
  EXPECT_EQ(rowText(2), pad("                       Einrichtungsprogramm zu Zor"));
  EXPECT_EQ(keyRow('u'), pad("                     [u]  .. Unterverzeichnisse    ein"));
  EXPECT_EQ(keyRow('p'), pad("                     [p]  .. Partitionstabelle     aus"));
  EXPECT_EQ(rowText(rowOf("[b]") + 1), pad("                             16*16 Farben CGA+    (schnell)"));
  EXPECT_EQ(keyRow('x'), pad("                     [x]  .. RAM-Obergrenze        3000"));
  EXPECT_EQ(rowText(rowOf("[Esc]")), pad("                    [Esc] .. Programmabbruch"));
  EXPECT_EQ(rowText(rowOf("[<\xC4\xD9]")), pad("                    [<\xC4\xD9] .. Speichern"));
}

TEST_F(Menu, LettersFlipInEitherCase) {
  run("uUpsSlhmcri\r");
  EXPECT_EQ(settings.subdirs, 1);
  EXPECT_EQ(settings.partitionTable, 1);
  EXPECT_EQ(settings.bootSectors, 0);
  EXPECT_EQ(settings.verboseFormat, 0);
  EXPECT_EQ(settings.hexNumbers, 0);
  EXPECT_EQ(settings.mouse, 0);
  EXPECT_EQ(settings.cpuEmulator, 0);
  EXPECT_EQ(settings.resourceTable, 1);
  EXPECT_EQ(settings.icons, 0);
  EXPECT_EQ(keyRow('p').substr(51, 3), "on ");
  EXPECT_EQ(keyRow('h').substr(51, 3), "off");
}

TEST_F(Menu, GFlipsAHiddenSettingAndTheScreenStaysTheSame) {
  run("\r");
  std::string before;
  for (int row = 1; row <= 25; ++row) before += rowText(row);
  run("g\r");
  std::string after;
  for (int row = 1; row <= 25; ++row) after += rowText(row);
  EXPECT_EQ(settings.gtDataDll, 0);
  EXPECT_EQ(before, after);
}

TEST_F(Menu, BStepsThroughTheFiveModesAndNamesEach) {
  const char* names[] = {"16*16 colors CGA+    (fast)", "16*16 colors Ansi    (slow)",
                         " no   colors Ascii   (medium)", " no   colors Ascii   (filtered)",
                         " no   colors HTML    (file output)"};
  for (int step = 1; step <= 5; ++step) {
    run("b\r");
    int mode = step % 5;
    EXPECT_EQ(settings.screenMode, mode);
    EXPECT_EQ(keyRow('b').substr(51, 2), std::string(1, "CEAFH"[mode]) + " ");
    EXPECT_EQ(rowText(rowOf("[b]") + 1), pad(std::string(29, ' ') + names[mode]));
  }
}

TEST_F(Menu, KeysWithoutACharacterChangeNothing) {
  // Cursor keys, the grey cursor block (224), function keys and Alt+letters: their scan
  // codes (72 is also H's code, 71 G's, 22 Alt+U's) are no letters here.
  for (std::uint8_t scan : {72, 80, 77, 75, 71, 79, 73, 81, 82, 83, 66, 67, 59, 68, 133, 22, 30}) device->press(scan);
  device->pressChar(224, 72);
  run("\r");
  EXPECT_EQ(formatOptionLine(settings), formatOptionLine(Settings{}));
  EXPECT_EQ(settings.resourceTable, 0);
}

TEST_F(Menu, MemoryPromptRereadsUntilANumberInRange) {
  device->type("x");
  device->type("\rabc\r-1\r2048001\r12 \r 42\r\r");
  runMenu(state);
  EXPECT_EQ(settings.memoryLimitKb, 42);
  run("x$FF\r\r");
  EXPECT_EQ(settings.memoryLimitKb, 255);
  run("x2048000\r\r");
  EXPECT_EQ(settings.memoryLimitKb, 2048000);
}

TEST_F(Menu, MemoryPromptShowsTheOldValueAndReadsInColumnFour) {
  device->type("x");
  device->type("77");
  // Input ends inside the prompt: the run stops, but the screen shows where it stood.
  EXPECT_EQ(test::runtimeErrorOf([this] { runMenu(state); }), 100);
  std::string rows = rowText(24) + "|" + rowText(25);
  EXPECT_TRUE(test::matches(rows, "   upper limit memory usage \\(KB\\)\\? \\(old:3000\\) +\\|   77 +$"));
}

TEST_F(Menu, LinesPromptCorrectsToTheKnownCounts) {
  run("z30\r\r");
  EXPECT_EQ(settings.screenLines, 25);
  run("z00\r\r");
  EXPECT_EQ(settings.screenLines, 0);
  run("z61\r60\r\r");
  EXPECT_EQ(settings.screenLines, 60);
  run("z43\r\r");
  EXPECT_EQ(settings.screenLines, 43);
}

TEST_F(Menu, ColourTablePromptPutsTheZorDirectoryInFrontOfARelativeName) {
  run("fMY.FAR\r\r");
  EXPECT_EQ(settings.colourTableName, "C:\\ZOR\\MY.FAR");
  EXPECT_EQ(keyRow('f'), pad("                     [f]  .. use color table       C:\\ZOR\\MY.FAR"));
  run("fD:\\TABLES\\MY.TAB\r\r");
  EXPECT_EQ(settings.colourTableName, "D:\\TABLES\\MY.TAB");
  run("f\\T\\X.TAB\r\r");
  EXPECT_EQ(settings.colourTableName, "\\T\\X.TAB");
  run("f\r\r");
  EXPECT_EQ(settings.colourTableName, "");
  EXPECT_EQ(keyRow('f'), pad("                     [f]  .. use color table       "));
}

// A name the launcher cannot hand on whole is refused with a beep, and the prompt waits.
TEST_F(Menu, ColourTableNameThatDoesNotFitIsAskedAgain) {
  const std::string longest(252 - 7, 'N');
  for (const std::string& refused : {longest + "N", std::string("A\"B"), std::string(300, 'N')})
    device->type("f" + refused + "\r" + longest + "\r");
  run("\r");
  EXPECT_EQ(device->beeps, 3);
  EXPECT_EQ(settings.colourTableName, "C:\\ZOR\\" + longest);
}

// A value that would reach the last column is cut to its end, so that no row moves.
TEST_F(Menu, ALongColourTableNameIsShownCutAndNoRowMoves) {
  const std::string tail = "\\TABLES\\MINE.FAR";
  struct {
    std::string name, shown;
  } cases[] = {
      {std::string(28, 'T'), std::string(28, 'T')},
      {std::string(29, 'T'), "..." + std::string(25, 'T')},
      {"C:\\" + std::string(200, 'D') + tail, "..." + std::string(25 - tail.size(), 'D') + tail},
  };
  run("\r");
  const int save = rowOf("[<\xC4\xD9]"), cursor = console::cursorRow();
  for (const auto& c : cases) {
    settings.colourTableName = c.name;
    device->type("\r");
    runMenu(state);
    EXPECT_EQ(keyRow('f'), pad("                     [f]  .. use color table       " + c.shown)) << c.name;
    EXPECT_EQ(keyRow('x'), pad("                     [x]  .. upper memory limit    3000"));
    EXPECT_EQ(rowOf("[<\xC4\xD9]"), save);
    EXPECT_EQ(console::cursorRow(), cursor);
    EXPECT_EQ(settings.colourTableName, c.name);  // the launcher gets it whole
  }
}

TEST_F(Menu, EscLeavesWhiteOnBlackWithTheAbortTextInLightRed) {
  device->type("u\x1b ");
  EXPECT_EQ(test::endCodeOf([this] { runMenu(state); }), 0);
  std::string report = rowText(1) + "|" + rowText(2) + "|";
  report += std::to_string(attributeAt(1, 1)) + "," + std::to_string(attributeAt(80, 1)) + "," +
            std::to_string(attributeAt(1, 2)) + "," + std::to_string(attributeAt(80, 25));
  EXPECT_TRUE(test::matches(report, "abort \\.\\.\\. +\\| +\\|12,12,15,15"));
}

}  // namespace
