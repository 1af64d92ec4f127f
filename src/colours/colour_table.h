// Colour tables: 67-byte files giving each of ZOR's fifteen display categories a
// foreground and a background colour.
#pragma once

#include <cstdint>
#include <string_view>


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

// The author's colours, which ZOR also uses when it is given no table.
extern const ColourTable defaultColourTable;

// Loads the file into table; false (table unchanged) when it cannot be opened.
bool readColourTable(std::string_view fileName, ColourTable& table);
// Writes the table as it stands (atomically).
void writeColourTable(std::string_view fileName, const ColourTable& table);
