// Colour tables: 67-byte files giving each of ZOR's fifteen display categories a
// foreground and a background colour.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"


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
bool readColourTable(const platform::Machine& m, std::string_view fileName, ColourTable& table);
// Whether a table may be saved under the name: a colour table is there (67 bytes that
// begin with the magic), or the name is free in a folder that is there. Anything else (a
// folder, a FIFO, a link to nothing or in a loop, any other file) is never written over.
bool mayHoldColourTable(const platform::Machine& m, std::string_view fileName);
// Writes the table as it stands (atomically); a name that may not hold one stops the run
// with runtime error 5 and is left as it is.
void writeColourTable(const platform::Machine& m, std::string_view fileName, const ColourTable& table);
