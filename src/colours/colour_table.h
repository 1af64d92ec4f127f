// Colour tables: 67-byte files giving each of ZOR's fifteen display categories a
// foreground and a background colour, and the editor that makes them.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/short_string.h"

struct ColourPair {
  std::uint8_t foreground;  // colour in bits 0-3
  std::uint8_t background;  // colour in bits 4-7
};

struct ColourTable {
  char magic[6];
  std::uint8_t commentLength;
  char comment[30];
  ColourPair pairs[15];
};
static_assert(sizeof(ColourTable) == 67, "a colour table is 67 bytes without gaps");

// The working table of the run; starts as the default table.
extern ColourTable currentColourTable;

// Loads the file into currentColourTable; false (table unchanged) when it cannot be opened.
bool readColourTable(std::string_view fileName);
// Writes currentColourTable as it stands (atomically).
void writeColourTable(std::string_view fileName);

// The full-screen editor; name is the caller's colour-table name, changed in place.
void editColourTable(Str& name);
