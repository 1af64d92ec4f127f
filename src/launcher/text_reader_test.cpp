#include "launcher/text_reader.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using test::TempDirectory;
using test::writeFile;

struct Lines {
  TempDirectory dir;
  TextReader reader;
  explicit Lines(const std::string& bytes) {
    writeFile(dir / "T.TXT", bytes);
    reader = openText(test::machine(), "T.TXT");
  }
  ~Lines() { closeText(reader); }
  std::string nextShort() {
    Str line = "junk";
    readTextLine(reader, line);
    return std::string(line.view());
  }
  std::string nextLong(std::size_t limit = 1 << 21) {
    std::string line = "junk";
    readTextLine(reader, line, limit);
    return line;
  }
};

TEST(TextReader, LineEndsAtLfAndEveryCrIsDropped) {
  Lines f("one\r\nt\rw\ro\n\nlast");
  EXPECT_EQ(f.nextShort(), "one");
  EXPECT_EQ(f.nextShort(), "two");
  EXPECT_EQ(f.nextShort(), "");
  EXPECT_EQ(f.nextShort(), "last");  // no line end at the end of the file
  EXPECT_EQ(f.nextShort(), "");      // past the end: empty lines, no failure
  EXPECT_EQ(f.nextLong(), "");
}

TEST(TextReader, CtrlZEndsTheText) {
  Lines f("one\r\ntw\x1Ao\r\nthree\r\n");
  EXPECT_EQ(f.nextShort(), "one");
  EXPECT_EQ(f.nextShort(), "tw");
  EXPECT_EQ(f.nextShort(), "");
}

TEST(TextReader, ShortLineKeeps255AndSkipsTheRestLongLineKeepsItsLimit) {
  std::string longLine(300, 'a');
  longLine[254] = 'b';
  longLine[255] = 'c';
  Lines f(longLine + "\r\nnext\r\n" + longLine + "\r\nafter");
  EXPECT_EQ(f.nextShort(), longLine.substr(0, 255));
  EXPECT_EQ(f.nextShort(), "next");
  EXPECT_EQ(f.nextLong(), longLine);
  EXPECT_EQ(f.nextShort(), "after");
}

TEST(TextReader, CrsDoNotCountTowardsTheLimit) {
  std::string line;
  for (int i = 0; i < 255; ++i) line += "x\r";
  Lines f(line + "y\nz");
  EXPECT_EQ(f.nextShort(), std::string(255, 'x'));
  EXPECT_EQ(f.nextShort(), "z");
}

TEST(TextReader, NulBytesAreCharactersOfTheLine) {
  Lines f(std::string("a\0b\n\0", 5));
  EXPECT_EQ(f.nextShort(), std::string("a\0b", 3));
  EXPECT_EQ(f.nextLong(), std::string(1, '\0'));
}

TEST(TextReader, MegabyteLineAcrossManyBuffers) {
  std::string huge(1 << 20, 'q');
  huge[4095] = 'A';  // either side of the reader's buffer boundary
  huge[4096] = 'B';
  Lines f(huge + "\n" + huge + "\nend");
  EXPECT_EQ(f.nextShort(), std::string(255, 'q'));
  EXPECT_EQ(f.nextLong(), huge);
  EXPECT_EQ(f.nextShort(), "end");
  Lines cut(huge + "\n" + huge + "\nend");
  EXPECT_EQ(cut.nextLong(4095), std::string(4095, 'q'));  // the rest of the line is skipped
  EXPECT_EQ(cut.nextLong(4097), huge.substr(0, 4097));
  EXPECT_EQ(cut.nextShort(), "end");
}

TEST(TextReader, EmptyAndCrOnlyFilesGiveEmptyLines) {
  for (const char* bytes : {"", "\r", "\r\r\r\r"}) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    Lines f(bytes);
    EXPECT_EQ(f.nextShort(), "");
    EXPECT_EQ(f.nextLong(), "");
    EXPECT_EQ(f.nextShort(), "");
  }
}

}  // namespace
