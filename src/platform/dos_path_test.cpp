#include "platform/dos_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp437.h"
#include "platform/environment.h"

namespace platform::dos {
namespace {

struct Expansion {
  const char* path;
  const char* currentDir;
  const char* full;
};

TEST(ExpandPath, AgainstTheCurrentDirectory) {
  const Expansion cases[] = {
      {"ZO.BAT", "C:\\ZOR", "C:\\ZOR\\ZO.BAT"},
      {"ZO.BAT", "C:\\ZOR\\", "C:\\ZOR\\ZO.BAT"},
      {"", "C:\\ZOR", "C:\\ZOR"},  // the current directory itself
      {"", "C:\\", "C:\\"},
      {"", "C:", "C:\\"},
      {".\\", "C:\\ZOR", "C:\\ZOR\\"},
      {"..", "C:\\ZOR\\SUB", "C:\\ZOR"},
      {"..\\", "C:\\ZOR\\SUB", "C:\\ZOR\\"},
      {"..\\..\\..", "C:\\ZOR", "C:\\"},  // the root cannot be left
      {"..", "C:\\", "C:\\"},
      {"A\\.\\B\\..\\C", "C:\\ZOR", "C:\\ZOR\\A\\C"},
      {"SUB\\", "C:\\ZOR", "C:\\ZOR\\SUB\\"},
      {"d:\\tools\\", "C:\\ZOR", "d:\\tools\\"},  // letter case as typed
      {"\\BAT", "C:\\ZOR", "C:\\BAT"},
      {"/BAT/x", "C:\\ZOR", "C:\\BAT\\x"},
      {"a/b\\\\c//d", "C:\\ZOR", "C:\\ZOR\\a\\b\\c\\d"},
      {"C:\\A\\..\\..\\B", "D:\\", "C:\\B"},
      // A drive without a backslash: the current directory on its own drive, else the root.
      {"C:", "C:\\ZOR", "C:\\ZOR"},
      {"c:", "C:\\ZOR", "C:\\ZOR"},
      {"C:ZO.BAT", "C:\\ZOR", "C:\\ZOR\\ZO.BAT"},
      {"D:", "C:\\ZOR", "D:\\"},
      {"D:ZO.BAT", "C:\\ZOR", "D:\\ZO.BAT"},
      {"NAME. . ", "C:\\ZOR", "C:\\ZOR\\NAME"},
      {".HIDDEN", "C:\\ZOR", "C:\\ZOR\\.HIDDEN"},
      {"2 \\", "C:\\ZOR", "C:\\ZOR\\2 \\"},  // a blank before a backslash stays
      {"\\\\SERVER\\SHARE\\A\\..\\B", "C:\\ZOR", "\\\\SERVER\\SHARE\\B"},
      {"\\\\SERVER\\SHARE\\..\\..", "C:\\ZOR", "\\\\SERVER\\SHARE\\"},
      {"..\\..\\X", "\\\\SERVER\\SHARE\\DIR", "\\\\SERVER\\SHARE\\X"},
      {"\\X", "\\\\SERVER\\SHARE\\DIR", "\\\\SERVER\\SHARE\\X"},
      {"\\..\\X", "\\\\SERVER\\SHARE\\DIR", "\\\\SERVER\\SHARE\\X"},
      // What Windows itself gives for these, with C:\windows current.
      {"c:/test./file", "C:\\windows\\", "c:\\test\\file"},
      {"c:/test.. /file", "C:\\windows\\", "c:\\test.. \\file"},
      {"c:/test../file", "C:\\windows\\", "c:\\test.\\file"},
      {"c:///test\\.\\.\\file//", "C:\\windows\\", "c:\\test\\file\\"},
      {"c:///test\\..\\file\\..\\//", "C:\\windows\\", "c:\\"},
      {"c:.", "C:\\windows\\", "C:\\windows"},
      {"c:./foo", "C:\\windows\\", "C:\\windows\\foo"},
      {"...", "C:\\windows\\", "C:\\windows\\"},
      // A folder named only by dots keeps them all: one trimmed would make it "..".
      {"C:\\R\\...\\X", "C:\\windows\\", "C:\\R\\...\\X"},
      {"....\\X", "C:\\R", "C:\\R\\....\\X"},
      {"foo/..", "C:\\windows\\", "C:\\windows"},
      {"//foo/", "C:\\windows\\", "\\\\foo\\"},
      {"//./foo/..", "C:\\windows\\", "\\\\.\\"},
      {"//s/share/../x", "C:\\windows\\", "\\\\s\\share\\x"},  // a server of one letter is no device
      {"//?/foo/.", "C:\\windows\\", "\\\\?\\foo"},
      {"\\??\\foo", "C:\\windows\\", "C:\\??\\foo"},
      {"?<>*\"|:", "C:\\windows\\", "C:\\windows\\?<>*\"|:"},
  };
  for (const Expansion& c : cases)
    EXPECT_EQ(expandPath(c.path, c.currentDir), c.full) << c.path << " in " << c.currentDir;
}

TEST(ExpandPath, WhatCannotBeExpandedComesBackUnchanged) {
  EXPECT_EQ(expandPath("ZO.BAT", ""), "ZO.BAT");
  EXPECT_EQ(expandPath("..\\X", "relative"), "..\\X");
  EXPECT_EQ(expandPath("C:\\A\\..\\B", ""), "C:\\B");  // needs no current directory

  std::string deep = "C:\\" + std::string(240, 'D');
  EXPECT_EQ(expandPath("ABCDEFGHIJKL", deep), "ABCDEFGHIJKL");         // 256 characters
  EXPECT_EQ(expandPath("ABCDEFGHIJK", deep), deep + "\\ABCDEFGHIJK");  // 255 fit
}

DriveMap wineMap() {
  std::vector<DosDevice> listing = {
      {"c:", "../drive_c"}, {"d:", "/mnt/data/"}, {"e:", "/mnt/data/cd"}, {"com1", "/dev/ttyS0"},
      {"e::", "/dev/sr0"},  {"Q:", "/q"},         {"ab", "/x"},
  };
  return driveMapFromListing("/srv/u/.wine/dosdevices", listing);
}

TEST(DriveMap, DrivesFromADosdevicesListing) {
  DriveMap map = wineMap();
  EXPECT_EQ(map.targets['c' - 'a'], "/srv/u/.wine/drive_c");
  EXPECT_EQ(map.targets['d' - 'a'], "/mnt/data");
  EXPECT_EQ(map.targets['e' - 'a'], "/mnt/data/cd");
  EXPECT_EQ(map.targets['z' - 'a'], "/");  // nothing else stands for "/"
  int mapped = 0;
  for (const std::string& target : map.targets) mapped += target.empty() ? 0 : 1;
  EXPECT_EQ(mapped, 4);

  std::vector<DosDevice> rootOnY = {{"y:", "/"}, {"z:", "/home"}};
  DriveMap other = driveMapFromListing("/p/dosdevices", rootOnY);
  EXPECT_EQ(other.targets['y' - 'a'], "/");
  EXPECT_EQ(other.targets['z' - 'a'], "/home");
}

TEST(DosView, PosixPathsAsDosPaths) {
  DriveMap map = wineMap();
  EXPECT_EQ(toDos("/srv/u/.wine/drive_c/windows/x.exe", map), "C:\\windows\\x.exe");
  EXPECT_EQ(toDos("/srv/u/.wine/drive_c", map), "C:\\");
  EXPECT_EQ(toDos("/srv/u/.wine/drive_cc", map), "Z:\\srv\\u\\.wine\\drive_cc");
  EXPECT_EQ(toDos("/mnt/data/x/", map), "D:\\x\\");
  EXPECT_EQ(toDos("/mnt/data/cd/y", map), "E:\\y");  // the longest folder wins
  std::vector<DosDevice> twice = {{"g:", "/mnt/data"}, {"f:", "/mnt/data"}, {"h:", "/mnt/data/"}};
  EXPECT_EQ(toDos("/mnt/data/y", driveMapFromListing("/p", twice)), "F:\\y");  // then the first letter
  EXPECT_EQ(toDos("/", map), "Z:\\");
  EXPECT_EQ(toDos("/usr//bin/./x/../tools", map), "Z:\\usr\\bin\\tools");
  EXPECT_EQ(toDos("bin/tools", map), "bin\\tools");
  EXPECT_EQ(toDos("", map), "");

  DriveMap onlyC;
  onlyC.targets[2] = "/c";
  EXPECT_EQ(toDos("/elsewhere", onlyC), std::nullopt);
}

TEST(DosView, NamesInCodePage437AndNoOtherLetter) {
  DriveMap map = wineMap();
  EXPECT_EQ(toDos("/tmp/Gr\xC3\xBC\xC3\x9F/\xC3\xA9\xC3\x87", map), "Z:\\tmp\\Gr\x81\xE1\\\x82\x80");
  EXPECT_EQ(toDos("/tmp/\x01\x7F", map), "Z:\\tmp\\\x01\x7F");  // control bytes as they are
  // A name with a character the code page lacks has no DOS form: "?" in its place would
  // name another file. The first such is named.
  struct {
    const char* posix;
    const char* lacking;
  } unfit[] = {
      {"/tmp/b\xE2\x82\xACn", "U+20AC"},          // the euro sign
      {"/tmp/\xC3\x95/x", "U+00D5"},                // O with tilde, in a folder's name
      {"/tmp/\xE2\x98\xBA", "U+263A"},             // a face glyph is no name byte
      {"/tmp/a\xFF-\xC3", "0xFF"},                  // not UTF-8
      {"/tmp/\xC3(", "0xC3"},                       // cut short
      {"/tmp/\xED\xA0\x80", "0xED"},               // the first surrogate
      {"/tmp/\xED\xBF\xBF", "0xED"},               // the last
      {"/tmp/\xED\x9F\xBF", "U+D7FF"},             // before them
      {"/tmp/\xE0\xA0\x80", "U+0800"},             // the first of three bytes
      {"/tmp/\xF4\x8F\xBF\xBF", "U+10FFFF"},        // the last character
      {"/tmp/\xC0\xAF", "0xC0"},                    // a longer form than needed
      {"/tmp/\xF4\x90\x80\x80", "0xF4"},           // past U+10FFFF
      {"/tmp/\xF0\x9F\x98\x80", "U+1F600"},        // beyond the basic plane
      {"rel/\xD0\x96", "U+0416"},                   // relative, Cyrillic
  };
  for (const auto& c : unfit) {
    std::string lacking;
    EXPECT_EQ(toDos(c.posix, map, &lacking), std::nullopt) << c.posix;
    EXPECT_EQ(lacking, c.lacking) << c.posix;
  }

  EXPECT_EQ(toPosix("Z:\\tmp\\M\x81hle", map), "/tmp/M\xC3\xBChle");
  EXPECT_EQ(toPosix("Z:\\\x80\xB0\xDB\x01\x7F", map), "/\xC3\x87\xE2\x96\x91\xE2\x96\x88\x01\x7F");
  for (std::string_view posix : {"/srv/u/.wine/drive_c/Gro\xC3\x9F/\xC3\x85ngstr\xC3\xB6m",
                                 "/mnt/data/cd/\xC2\xA0\xC3\xBF", "/tmp/plain name.txt"})
    EXPECT_EQ(toPosix(toDos(posix, map).value(), map), posix);
}

TEST(DosView, NamesMatchInAnyLetterCaseAsWineComparesThem) {
  struct {
    const char* name;
    const char* entry;
    bool same;
  } cases[] = {
      {"ZO.BAT", "zo.bat", true},
      {"B\xC3\x84T", "b\xC3\xA4t", true},            // A and a with diaeresis
      {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9", true},  // E and e with acute
      {"\xC3\xA2", "\xC3\x82", true},                 // a circumflex has its capital outside 437
      {"\xCE\xA3", "\xCF\x83", true},                 // sigma
      {"\xCE\xA3", "\xCF\x82", true},                 // final sigma
      {"\xC3\xBF", "\xC5\xB8", true},                 // y with diaeresis
      {"\xC2\xB5", "\xCE\x9C", true},                 // micro sign and capital mu
      {"\xC6\x92", "\xC6\x91", true},                 // f with hook
      {"\xC3\xB7", "\xC3\x97", false},                // division and multiplication signs
      {"\xC3\x9F", "SS", false},                       // sharp s stays itself
      {"b?n", "b\xE2\x82\xACn", false},               // "?" is no stand-in
      {"b?n", "b?n", true},
      {"b\xE2\x82\xACn", "B\xE2\x82\xACN", true},     // a character it lacks matches itself
      {"a\xFF", "a\xFF", true},                        // so does a byte that is no UTF-8
      {"a\xFF", "A\xFE", false},
      {"zo.bat", "zo.ba", false},
      {"zo.ba", "zo.bat", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::dos::sameInAnyCase(c.name, c.entry), c.same) << c.name << " / " << c.entry;
}

TEST(DosView, NamesWindowsCannotHave) {
  struct {
    const char* path;
    const char* name;  // "" when Windows can have every name
    char character;
    bool atTheEnd;
  } cases[] = {
      {"Z:\\tmp\\zor", "", 0, false},
      {"Z:\\tmp\\.\\..\\my zor\\", "", 0, false},
      {"Z:\\tmp\\a<b\\zor", "a<b", '<', false},
      {"Z:\\x>\\y|", "x>", '>', false},
      {"Z:\\a|b", "a|b", '|', false},
      {"Z:\\say \"hi\"", "say \"hi\"", '"', false},
      {"Z:\\b?n", "b?n", '?', false},
      {"Z:b<n", "b<n", '<', false},  // from the first character after the drive
      {"Z:\\a*", "a*", '*', false},
      {"Z:\\a:b", "a:b", ':', false},
      {"Z:\\tab\there", "tab\there", '\t', false},
      {"Z:\\dot.\\zor", "dot.", '.', true},
      {"Z:\\zor\\blank ", "blank ", ' ', true},
      {"\\\\SERVER\\SHARE\\x.", "x.", '.', true},
  };
  for (const auto& c : cases) {
    auto found = platform::dos::unnamableOnWindows(c.path);
    ASSERT_EQ(found.has_value(), *c.name != '\0') << c.path;
    if (!found) continue;
    EXPECT_EQ(found->name, c.name) << c.path;
    EXPECT_EQ(found->character, c.character) << c.path;
    EXPECT_EQ(found->atTheEnd, c.atTheEnd) << c.path;
  }
}

TEST(DosView, DosPathsAsPosixPaths) {
  DriveMap map = wineMap();
  EXPECT_EQ(toPosix("C:\\windows\\x.exe", map), "/srv/u/.wine/drive_c/windows/x.exe");
  EXPECT_EQ(toPosix("c:\\", map), "/srv/u/.wine/drive_c/");
  EXPECT_EQ(toPosix("Z:\\", map), "/");
  EXPECT_EQ(toPosix("Z:\\usr\\bin", map), "/usr/bin");
  EXPECT_EQ(toPosix("sub\\name", map), "sub/name");
  EXPECT_EQ(toPosix("Q:\\x", map), std::nullopt);  // no such drive, no such path
  EXPECT_EQ(toPosix("C:x", map), std::nullopt);
  EXPECT_EQ(toPosix("\\x", map), std::nullopt);
  EXPECT_EQ(toPosix("\\\\SERVER\\SHARE\\x", map), std::nullopt);
}

TEST(DosView, SearchPathInDosForm) {
  DriveMap map = wineMap();
  EXPECT_EQ(dosSearchPath("/usr/bin:/srv/u/.wine/drive_c/bat::/odd;dir:relative:/b\xE2\x82\xACn", map),
            "Z:\\usr\\bin;C:\\bat;;\"Z:\\odd;dir\";relative");  // no DOS form for the euro sign
  EXPECT_EQ(dosSearchPath("", map), "");

  std::string longList;
  for (int i = 0; i < 30; ++i) longList += "/usr/local/tools:";
  Str dos = dosSearchPath(longList, map);
  EXPECT_EQ(dos.size(), 255u);
  EXPECT_EQ(dos.view().substr(0, 40), "Z:\\usr\\local\\tools;Z:\\usr\\local\\tools;Z:");
}

TEST(Cp437, GlyphsAndReverseLookup) {
  // The code page's chart, 32 bytes a row; the last is a no-break space.
  const std::string chart =
      " ☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
      " !\"#$%&'()*+,-./0123456789:;<=>?"
      "@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_"
      "`abcdefghijklmnopqrstuvwxyz{|}~⌂"
      "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒ"
      "áíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
      "└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀"
      "αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";
  std::string glyphs;
  for (char32_t c : cp437ToUnicode) appendUtf8(glyphs, c);
  EXPECT_EQ(glyphs, chart);
  for (int b = 1; b < 256; ++b) EXPECT_EQ(unicodeToCp437(cp437ToUnicode[b]), b) << b;
  EXPECT_EQ(unicodeToCp437(U' '), 0x20);
  EXPECT_EQ(unicodeToCp437(U'\u20AC'), -1);
}

TEST(Environment, NameWithoutLetterCaseFirstEntryWins) {
  const char* environment[] = {"NOEQUALS",         "Path=/first",   "PATH=/second",
                               "LANG=de_DE.UTF-8", "P\xC3\xA4TH=x", "PATHX=y",
                               "EMPTY=",           "A=b=c",         nullptr};
  EXPECT_EQ(findVariable(environment, "PATH"), "/first");
  EXPECT_EQ(findVariable(environment, "path"), "/first");
  EXPECT_EQ(findVariable(environment, "lang"), "de_DE.UTF-8");
  EXPECT_EQ(findVariable(environment, "A"), "b=c");
  EXPECT_EQ(findVariable(environment, "P\xC3\x84TH"), "");  // only a-z count without case
  EXPECT_EQ(findVariable(environment, "EMPTY"), "");
  EXPECT_EQ(findVariable(environment, "MISSING"), "");
  EXPECT_EQ(findVariable(environment, "NOEQUALS"), "");
}

}  // namespace
}  // namespace platform::dos
