#include "colours/colour_table.h"

#include <string_view>

#include "platform/platform.h"

const ColourTable defaultColourTable = {
    {'Q', 'X', 'Z', 'o', 'F', 'a'},
    19,
    "Vorgaben des Autors",  // the rest of the field stays zero
    {
        {0x00, 0x20},  // A normal
        {0x0A, 0x20},  // B compiler
        {0x0B, 0x20},  // C archiver
        {0x0E, 0x20},  // D exe-compressor
        {0x0D, 0x20},  // E sound and graphic
        {0x0A, 0x20},  // F overlays
        {0x0E, 0x00},  // G file errors
        {0x02, 0xC0},  // H viruses
        {0x0B, 0x20},  // I system
        {0x0E, 0x20},  // J descriptions
        {0x0F, 0x20},  // K sign
        {0x0A, 0x20},  // L libraries
        {0x0D, 0x20},  // M savegames
        {0x0F, 0x00},  // N colourless
        {0x0E, 0x80},  // O status line
    },
};

// The table is taken as it stands: ZOR owns the format, so nothing is checked here and a
// table we do not understand is written back byte for byte.
bool readColourTable(const platform::Machine& m, std::string_view fileName, ColourTable& table) {
  platform::File file;
  if (!platform::tryOpenReadWrite(m, fileName, file)) return false;
  platform::readBlock(file, &table, sizeof table);
  file.close();
  return true;
}

namespace {

bool isColourTable(const platform::FileSummary& file) {
  std::string_view magic(defaultColourTable.magic, sizeof defaultColourTable.magic);
  return file.size == sizeof(ColourTable) && std::string_view(file.bytes).starts_with(magic);
}

}  // namespace

// A table that may only be read is one too: its save is refused as any read-only file's.
bool mayHoldColourTable(const platform::Machine& m, std::string_view fileName) {
  platform::Entry entry = platform::entryAt(m, fileName);
  if (entry.kind == platform::EntryKind::free) return true;
  if (entry.kind != platform::EntryKind::plainFile || entry.size != sizeof(ColourTable)) return false;
  int error = 0;
  platform::FileSummary file = platform::summarizeFile(m, fileName, sizeof(ColourTable), &error);
  return error == 0 && isColourTable(file);
}

// A failed save never costs the table that was there; a table gets no backup. The rule is
// checked on the file the save opened, not on the name, which may have changed since.
void writeColourTable(const platform::Machine& m, std::string_view fileName, const ColourTable& table) {
  platform::ReplaceRules rules;
  rules.keepUpTo = sizeof table;
  rules.judge = [](const platform::FileSummary& old) {
    return !old.exists || isColourTable(old) ? platform::Verdict::replace : platform::Verdict::refuse;
  };
  platform::replaceFile(m, fileName, {reinterpret_cast<const char*>(&table), sizeof table}, rules);
}
