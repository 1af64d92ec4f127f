// The colour-table reader and the editor on any file and any keys: a file that is no colour
// table (67 bytes that begin with the magic) is refused at the name prompt, which waits
// again, and stays byte for byte; a table loads as it is; the keys step exactly the nibbles
// they name; a save leaves exactly 67 bytes and no temporary file, and leaving without
// saving leaves the file byte for byte.
#include <cstdint>
#include <cstring>
#include <string>

#include "colours/colour_table.h"
#include "colours/editor.h"
#include "support.h"

namespace {

// What the keys do to a table, as the editor's legend says; true when they end in a save.
bool applyKeys(std::string_view keys, ColourTable& table) {
  for (char key : keys) {
    if (key == 27 || key == 'v' || key == 'V') return false;
    if (key == 's' || key == 'S' || key == 13) return true;
    if (key >= 'a' && key <= 'o') {
      std::uint8_t& c = table.pairs[key - 'a'].foreground;
      c = static_cast<std::uint8_t>((c & 0xF0) | ((c + 1) & 0x0F));
    } else if (key >= 'A' && key <= 'O') {
      std::uint8_t& c = table.pairs[key - 'A'].background;
      c = static_cast<std::uint8_t>((c & 0x0F) | ((c + 0x10) & 0xF0));
    }
  }
  return true;  // the keys run out: "s" follows them
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::workFolder();
  texts::loadAllFor("EN");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::size_t keyCount = std::min<std::size_t>(data[0] % 32, size - 1);
  std::string_view keys = fuzz::bytes(data + 1, keyCount);
  std::string_view file = fuzz::bytes(data + 1 + keyCount, size - 1 - keyCount);
  fuzz::writeFile("T.FAR", file);

  bool isTable = file.size() == sizeof(ColourTable) && file.starts_with("QXZoFa");
  console::MemoryDevice device;
  device.type("T.FAR\r");
  if (isTable) {  // a refused name would take the keys as the next answer
    device.type(keys);
    device.type("s");
  }
  console::start(device);
  Str name;
  ColourTable table = defaultColourTable;
  bool stopped = false;
  try {
    editColourTable(fuzz::machine(), name, table);
  } catch (const platform::RunEnd& end) {
    FUZZ_CHECK(end.code == 100);  // the prompt waited again and the keys ran out
    stopped = true;
  }
  console::finish();
  FUZZ_CHECK(stopped == !isTable);
  FUZZ_CHECK((device.beeps > 0) == !isTable);
  FUZZ_CHECK(fuzz::fileCount() == 1);
  if (stopped) {
    FUZZ_CHECK(fuzz::readFile("T.FAR") == file);
    return 0;
  }

  FUZZ_CHECK(name == platform::expandPath(fuzz::machine(), "T.FAR").view());
  ColourTable expected;
  std::memcpy(&expected, file.data(), sizeof expected);
  bool saved = applyKeys(keys, expected);
  FUZZ_CHECK(std::memcmp(&table, &expected, sizeof expected) == 0);
  std::string after = fuzz::readFile("T.FAR");
  if (saved)
    FUZZ_CHECK(after == std::string_view(reinterpret_cast<const char*>(&expected), sizeof expected));
  else
    FUZZ_CHECK(after == file);
  return 0;
}
