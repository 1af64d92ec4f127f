// The DOS view of POSIX paths, for any drive map and any path: a path that a drive holds
// and whose names all have code page 437 spellings comes back from its DOS form as the
// same path (written plainly: no "//", "." or ".."), and that DOS form is stable. Any other
// path has no DOS form at all: no name is given with a letter it does not have.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cp437.h"
#include "platform/dos_path.h"
#include "support.h"

namespace {

using platform::dos::DosDevice;

// "/a//b/./c/../d/" as "/a/b/d": the path as written, no link followed.
std::string plain(std::string_view path) {
  std::vector<std::string_view> names;
  std::size_t i = 0;
  while (i < path.size()) {
    std::size_t end = std::min(path.find('/', i), path.size());
    std::string_view name = path.substr(i, end - i);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    i = end + 1;
  }
  std::string out;
  for (std::string_view name : names) out += "/" + std::string(name);
  return out.empty() ? "/" : out;
}

std::string withoutTrailingSlash(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

// Valid UTF-8 whose every character is ASCII other than "\" or has a byte of its own in
// the upper half of code page 437.
bool mappable(std::string_view p) {
  for (std::size_t i = 0; i < p.size();) {
    auto lead = static_cast<unsigned char>(p[i]);
    if (lead < 0x80) {
      if (lead == '\\') return false;
      ++i;
      continue;
    }
    std::size_t more = lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2 : 0;
    if (more == 0 || i + more >= p.size()) return false;  // malformed, or beyond the basic plane
    char32_t c = lead & (more == 1 ? 0x1F : 0x0F);
    for (std::size_t k = 1; k <= more; ++k) {
      auto b = static_cast<unsigned char>(p[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      c = (c << 6) | (b & 0x3F);
    }
    if ((more == 1 && c < 0x80) || (more == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)))) return false;
    if (platform::unicodeToCp437(c) < 0x80) return false;
    i += more + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view input = fuzz::bytes(data + 1, size - 1);
  // Up to four drives, each a letter byte and a target line, then the path.
  std::vector<DosDevice> devices;
  for (int d = 0; d < (data[0] & 3) && !input.empty(); ++d) {
    char letter = static_cast<char>('a' + static_cast<std::uint8_t>(input[0]) % 26);
    input.remove_prefix(1);
    devices.push_back({std::string(1, letter) + ":", std::string(fuzz::splitAt(input, '\n'))});
  }
  std::string_view path = input;
  platform::dos::DriveMap map = platform::dos::driveMapFromListing("/wine/dosdevices", devices);

  std::optional<std::string> dos = platform::dos::toDos(path, map);
  if (!path.starts_with('/')) return 0;  // relative paths stay relative
  // Each name, whatever its bytes, either comes back from its DOS form as it was or has none.
  std::string_view rest = path;
  while (!rest.empty()) {
    std::string_view name = fuzz::splitAt(rest, '/');
    // Alone, "C:x" or "a\\b" would read as a drive or a folder.
    if (name.empty() || name.find('\\') != std::string_view::npos || (name.size() >= 2 && name[1] == ':')) continue;
    std::optional<std::string> nameInDos = platform::dos::toDos(name, map);
    FUZZ_CHECK(nameInDos.has_value() == mappable(name));
    if (nameInDos) FUZZ_CHECK(platform::dos::toPosix(*nameInDos, map) == std::optional<std::string>(name));
  }
  if (!mappable(path)) return 0;
  FUZZ_CHECK(dos.has_value());  // Z: or another drive holds "/" at least
  FUZZ_CHECK(dos->size() >= 3 && (*dos)[1] == ':' && (*dos)[2] == '\\');
  std::optional<std::string> back = platform::dos::toPosix(*dos, map);
  FUZZ_CHECK(back.has_value());
  FUZZ_CHECK(withoutTrailingSlash(*back) == plain(path));
  FUZZ_CHECK(platform::dos::toDos(*back, map) == dos);
  return 0;
}
