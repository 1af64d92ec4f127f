// What the colour-table tests share: a console on the in-memory device, the chosen
// language, a throwaway current directory, and the working table as the run started.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "colours/colour_table.h"
#include "colours/editor.h"
#include "console/console.h"
#include "memory_device.h"
#include "texts/language.h"
#include "texts/texts.h"

namespace colours_test {

inline const ColourTable& tableAtStart = defaultColourTable;

inline std::string bytesOf(const ColourTable& table) {
  return {reinterpret_cast<const char*>(&table), sizeof table};
}

using test::readFile;
using test::writeFile;

// The author's table, written out byte by byte.
inline std::string defaultTableBytes() {
  std::string bytes = "QXZoFa";
  bytes += '\x13';
  bytes += "Vorgaben des Autors";
  bytes += std::string(11, '\0');
  const unsigned char pairs[] = {0x00, 0x20, 0x0A, 0x20, 0x0B, 0x20, 0x0E, 0x20, 0x0D, 0x20,
                                 0x0A, 0x20, 0x0E, 0x00, 0x02, 0xC0, 0x0B, 0x20, 0x0E, 0x20,
                                 0x0F, 0x20, 0x0A, 0x20, 0x0D, 0x20, 0x0F, 0x00, 0x0E, 0x80};
  bytes.append(reinterpret_cast<const char*>(pairs), sizeof pairs);
  return bytes;
}

// Remembers every screen row each time the program waits for a key, so a test can look at
// screens that a later one overwrites.
class RecordingDevice : public console::MemoryDevice {
 public:
  console::KeyEvent readKey() override {
    std::vector<std::string> rows;
    for (int row = 1; row <= 25; ++row) rows.push_back(console::rowText(row));
    shots.push_back(rows);
    return MemoryDevice::readKey();
  }
  std::vector<std::vector<std::string>> shots;
};

class ColourTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* lang = getenv("LANG")) oldLang = lang;
    useLanguage("en_GB.UTF-8");
    console::start(device);
  }

  void TearDown() override {
    setenv("LANG", oldLang.c_str(), 1);
    texts::loadAll();
  }

  static void useLanguage(const char* lang) {
    setenv("LANG", lang, 1);
    texts::loadAll();
  }

  test::TempDirectory directory;
  RecordingDevice device;
  ColourTable table = defaultColourTable;  // the run's working table
  std::string oldLang;
};

}  // namespace colours_test
