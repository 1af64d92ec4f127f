#include "settings/option_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/settings.h"
#include "settings_test_support.h"

namespace {

Settings parsed(std::string_view line, Settings s = Settings{}) {
  parseOptionLine(line, s);
  return s;
}

using test::sameSettings;

TEST(OptionParser, Flags) {
  EXPECT_EQ(parsed("-C").cpuEmulator, 0);
  EXPECT_EQ(parsed("-C -C").cpuEmulator, 1);
  Settings off;
  off.cpuEmulator = 0;
  for (const char* line : {"/c+", "-C+", "-CPU:+", "-CPU=+", "-C:=+", "-c::==:+", "-cpu+junk"}) {
    EXPECT_EQ(parsed(line, off).cpuEmulator, 1) << line;
  }
  EXPECT_EQ(parsed("-Cx", off).cpuEmulator, 0);
  EXPECT_EQ(parsed("-Cx").cpuEmulator, 1);
  EXPECT_EQ(parsed("-MAUS-").mouse, 0);
  EXPECT_EQ(parsed("-MOUSE").mouse, 0);
  EXPECT_EQ(parsed("-ICO-").icons, 0);
  EXPECT_EQ(parsed("-ICO+", parsed("-I-")).icons, 1);
  EXPECT_EQ(parsed("-I+", parsed("-I-")).icons, 1);
  EXPECT_EQ(parsed("-!+").flagBang, 1);
  EXPECT_EQ(parsed("-R").resourceTable, 1);
  EXPECT_EQ(parsed("-resource:+").resourceTable, 1);
  EXPECT_EQ(parsed("-Unterverzeichnisse=-").subdirs, 0);
  EXPECT_EQ(parsed("-SUBDIR-").subdirs, 0);
  EXPECT_EQ(parsed("-Sektoren+").bootSectors, 1);
  EXPECT_EQ(parsed("-SECTORS").bootSectors, 1);
  EXPECT_EQ(parsed("-Langformat-").verboseFormat, 0);
  EXPECT_EQ(parsed("-PARTITION").partitionTable, 1);
  EXPECT_EQ(parsed("-GTDATADLL-").gtDataDll, 0);
  EXPECT_EQ(parsed("-hex-").hexNumbers, 0);
}

TEST(OptionParser, Numbers) {
  EXPECT_EQ(parsed("-MEMORY=4000").memoryLimitKb, 4000);
  EXPECT_EQ(parsed("-X").memoryLimitKb, 0);
  EXPECT_EQ(parsed("-Xabc").memoryLimitKb, 0);
  EXPECT_EQ(parsed("-X9999999").memoryLimitKb, 2097151);
  EXPECT_EQ(parsed("-X99999999999").memoryLimitKb, 0);  // beyond 32 bits: a failed conversion
  EXPECT_EQ(parsed("-X-5").memoryLimitKb, -5);
  EXPECT_EQ(parsed("-X$100").memoryLimitKb, 256);
  EXPECT_EQ(parsed("-XMS:2000").memoryLimitKb, 2000);
  EXPECT_EQ(parsed("-speicher=12").memoryLimitKb, 12);
  EXPECT_EQ(parsed("-X12\t").memoryLimitKb, 12);  // a tab ends the word, as a blank does

  Settings s;
  s.screenLines = 43;
  EXPECT_EQ(parsed("-Z", s).screenLines, 0);
  EXPECT_EQ(parsed("-Z50").screenLines, 50);
  EXPECT_EQ(parsed("-Z80").screenLines, 80);
  EXPECT_EQ(parsed("-Z25").screenLines, 25);
  EXPECT_EQ(parsed("-LINES:28").screenLines, 28);
  EXPECT_EQ(parsed("-zeilen=60").screenLines, 60);
  for (const char* line : {"-Z100", "-Z24", "-Z1", "-Z81", "-Z-1", "-Zab", "-Z050"}) {
    EXPECT_EQ(parsed(line, s).screenLines, 0) << line;
  }
}

TEST(OptionParser, DisplayModeLetters) {
  Settings s;
  s.screenMode = 2;
  EXPECT_EQ(parsed("-B", s).screenMode, 2);
  EXPECT_EQ(parsed("-BX", s).screenMode, 2);
  EXPECT_EQ(parsed("-Bh").screenMode, 4);
  EXPECT_EQ(parsed("-BILDSCHIRM:E").screenMode, 1);
  EXPECT_EQ(parsed("-B=f").screenMode, 3);
  EXPECT_EQ(parsed("-BC", s).screenMode, 0);
  EXPECT_EQ(parsed("-BILD", s).screenMode, 2);  // B, then "ILD" names no mode
}

TEST(OptionParser, NamesKeepTheirCase) {
  Settings s;
  s.colourTableName = "old.tab";
  EXPECT_EQ(parsed("-F", s).colourTableName.view(), "");
  EXPECT_EQ(parsed("-Fc:\\x.tab").colourTableName.view(), "c:\\x.tab");
  EXPECT_EQ(parsed("-farbtabelle=My.Tab").colourTableName.view(), "My.Tab");
  EXPECT_EQ(parsed("-F:=:=x").colourTableName.view(), "x");
  EXPECT_EQ(parsed("-Entpacker:UnZip").unpacker.view(), "UnZip");
  EXPECT_EQ(parsed("-UNPACKER=pk").unpacker.view(), "pk");
  EXPECT_EQ(parsed("-NaBc").unpacker.view(), "aBc");
  // As ZOR receives them: double quotes group blanks and go, "%%" is "%".
  EXPECT_EQ(parsed("-Na\"b c\"d\\x\"\\\\\" -M-").unpacker.view(), "ab cd\\x\\");
  EXPECT_EQ(parsed("-Na\"b c\"d\\x\"\\\\\" -M-").mouse, 0);
  EXPECT_EQ(parsed("-Fa\\\"b%%c%d\\").colourTableName.view(), "a\"b%c%d\\");
  EXPECT_EQ(parsed("-F\"open -M-").mouse, 1);
  std::string longName(300, 'q');
  EXPECT_EQ(parsed("-F" + longName + " -M-").colourTableName.view(), longName.substr(0, 255));
  EXPECT_EQ(parsed("-F" + longName + " -M-").mouse, 0);
}

TEST(OptionParser, WordsWithoutEffect) {
  for (const char* line : {"-A+", "-SIGNATUREN+", "-D", "-DIREKT_IDE", "-EMS=100", "-EA", "-J+",
                           "-JOYSTICK", "-Q+", "--C+", "-", "/", "@-C+", "@/M-", "C+", "%1 %2",
                           "\"-C+ -M-\"", "'-C+ -M-'", "\"-C- -M-", "'-U-", "-@C-", "@", "@@-C"}) {
    EXPECT_TRUE(sameSettings(parsed(line), Settings{})) << line;
  }
  // A "none" row keeps its keyword's letters from reaching a later row.
  EXPECT_EQ(parsed("-EMS-").bootSectors, 0);
  EXPECT_EQ(parsed("-EA-").memoryLimitKb, 3000);
}

TEST(OptionParser, PlainMarksQuotesAndSeparators) {
  EXPECT_EQ(parsed("@ -C-").cpuEmulator, 0);
  EXPECT_EQ(parsed("@-C- -M-").mouse, 0);
  EXPECT_EQ(parsed("@-C- -M-").cpuEmulator, 1);
  EXPECT_EQ(parsed("\"-C-\"-M-").mouse, 0);
  EXPECT_EQ(parsed("'a b'  -M-").mouse, 0);
  EXPECT_EQ(parsed("\"it's\" -M-").mouse, 0);
  EXPECT_EQ(parsed("\"-M- -C-").cpuEmulator, 1);
  // Tabs part words as blanks do, as the command interpreter parts them.
  Settings s = parsed("-C-\t-M-");
  EXPECT_EQ(s.cpuEmulator, 0);
  EXPECT_EQ(s.mouse, 0);
  s = parsed("\t\t-M- \t -C-");
  EXPECT_EQ(s.mouse, 0);
  EXPECT_EQ(s.cpuEmulator, 0);
  EXPECT_EQ(parsed("-Fa\tb").colourTableName.view(), "a");
  EXPECT_EQ(parsed("-F\"a\tb\"\t-M-").colourTableName.view(), "a\tb");
  EXPECT_EQ(parsed("  -M-   -C-   ").cpuEmulator, 0);
}

TEST(OptionParser, LineLongerThan255KeepsItsLastSwitches) {
  std::string line(600, ' ');
  line.replace(10, 7, "%1 %2 x");
  line.append("\"").append(300, 'y').append("\" ");
  line += std::string(400, 'w') + " -C- -Z50 -FTail.tab";
  Settings s = parsed(line);
  EXPECT_EQ(s.cpuEmulator, 0);
  EXPECT_EQ(s.screenLines, 50);
  EXPECT_EQ(s.colourTableName.view(), "Tail.tab");
}

TEST(OptionParser, DefaultLineGivesDefaults) {
  Settings s;
  s.memoryLimitKb = 1;
  s.subdirs = 0;
  EXPECT_TRUE(sameSettings(parsed(formatOptionLine(Settings{}), s), Settings{}));
}

// Any name the launcher can carry, blanks and the command interpreter's characters
// included, up to the 255 characters of a name read from a launcher edited by hand.
std::string randomName(std::mt19937& rng) {
  std::uniform_int_distribution<int> lengthOf(0, 3);
  std::uniform_int_distribution<int> byte(32, 255);
  int lengths[] = {0, 8, 60, 255};
  std::size_t length = std::uniform_int_distribution<std::size_t>(0, lengths[lengthOf(rng)])(rng);
  std::string name;
  while (name.size() < length) {
    char c = static_cast<char>(byte(rng));
    if (c == '"' || (name.empty() && (c == ':' || c == '='))) continue;
    name += c;
  }
  return name;
}

TEST(OptionParser, RoundTripOfWrittenLines) {
  std::mt19937 rng(20240611);
  auto bit = [&rng] { return static_cast<Flag>(rng() & 1); };
  for (int round = 0; round < 2000; ++round) {
    Settings s;
    test::forEachFlag(s, [&bit](Flag& flag) { flag = bit(); });
    s.screenMode = static_cast<std::int8_t>(rng() % 5);
    s.colourTableName = randomName(rng);
    s.unpacker = randomName(rng);
    switch (rng() % 3) {
      case 0: s.memoryLimitKb = static_cast<std::int32_t>(rng() % 2097152); break;
      case 1: s.memoryLimitKb = INT32_MIN + static_cast<std::int32_t>(rng() % 1000); break;
      default: s.memoryLimitKb = static_cast<std::int32_t>(rng()) | INT32_MIN; break;
    }
    s.screenLines = (rng() & 1) ? 0 : 25 + static_cast<std::int32_t>(rng() % 56);

    std::string line = formatOptionLine(s);
    Settings back = parsed(line);
    ASSERT_TRUE(sameSettings(back, s)) << "round " << round << ": " << line;
  }
}

TEST(OptionParser, UpperCaseOem) {
  EXPECT_EQ(upperCaseOem("az AZ 09 :=\x84\x94\x81 \x8E\x99\x9A \xE1\x82"),
            "AZ AZ 09 :=\x8E\x99\x9A \x8E\x99\x9A \xE1\x82");
  EXPECT_EQ(upperCaseOem(""), "");
}

}  // namespace
