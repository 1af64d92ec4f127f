#include "platform/dos_path.h"

#include <algorithm>
#include <vector>

#include "base/ascii.h"
#include "platform/cp437.h"

namespace platform::dos {

namespace {

using ascii::lower;

bool isSeparator(char c) { return c == '\\' || c == '/'; }
bool isNetworkPath(std::string_view p) { return p.size() >= 2 && isSeparator(p[0]) && isSeparator(p[1]); }

// Length of "\\server\share\" at the start of a network path: what ".." cannot climb over.
std::size_t networkRootLength(std::string_view p) {
  // Device paths (\\.\x, \\?\x) have a root of four characters.
  if (p.size() >= 4 && (p[2] == '.' || p[2] == '?') && isSeparator(p[3])) return 4;
  std::size_t i = 2;
  for (int part = 0; part < 2; ++part) {
    while (i < p.size() && !isSeparator(p[i])) ++i;
    while (i < p.size() && isSeparator(p[i])) ++i;
  }
  return i;
}

// Length of the root of an absolute directory, 0 when dir is not one.
std::size_t rootLength(std::string_view dir) {
  if (hasDrive(dir) && dir.size() > 2 && isSeparator(dir[2])) return 3;  // "C:\", as the caller gives it
  if (isNetworkPath(dir)) return networkRootLength(dir);
  return 0;
}

// Resolves "." and ".." in an absolute path whose root ends at mark, the way Windows does:
// runs of "\" become one, a name's single trailing dot before "\" goes, and so do the dots
// and blanks at the very end.
void collapse(std::string& s, std::size_t mark) {
  std::size_t keep = std::max<std::size_t>(1, mark);
  if (keep < s.size()) {
    std::size_t out = keep;
    for (std::size_t i = keep; i < s.size(); ++i)
      if (s[i] != '\\' || s[out - 1] != '\\') s[out++] = s[i];
    s.resize(out);
  }

  auto at = [&s](std::size_t i) { return i < s.size() ? s[i] : '\0'; };
  std::size_t p = mark;
  while (p < s.size()) {
    if (s[p] == '.') {
      if (at(p + 1) == '\\') {  // ".\"
        s.erase(p, 2);
        continue;
      }
      if (at(p + 1) == '\0') {  // a final "." goes with its backslash
        if (p > mark) --p;
        s.resize(p);
        continue;
      }
      if (at(p + 1) == '.' && (at(p + 2) == '\\' || at(p + 2) == '\0')) {  // ".." drops a name
        bool last = at(p + 2) == '\0';
        std::size_t q = p;
        if (q > mark) {
          --q;
          while (q > mark && s[q - 1] != '\\') --q;
          if (last && q > mark) --q;
        }
        if (last)
          s.resize(q);
        else
          s.erase(q, p + 3 - q);
        p = q;
        continue;
      }
    }
    std::size_t nameStart = p;
    while (p < s.size() && s[p] != '\\') ++p;
    if (p < s.size()) {
      // A name of dots only ("...") is a name like any other: trimming its dot would
      // leave "..", which a second expansion would climb.
      bool onlyDots = s.find_first_not_of('.', nameStart) >= p;
      if (p > mark && s[p - 1] == '.' && !onlyDots)
        s.erase(p - 1, 1);  // now p is the start of the next name
      else
        ++p;
    }
  }
  std::size_t end = s.size();
  while (end > mark && (s[end - 1] == ' ' || s[end - 1] == '.')) --end;
  s.resize(end);
}

// Decodes one UTF-8 character at text[i] and moves i past it; -1 (and one byte on) for a
// malformed one.
long nextCodePoint(std::string_view text, std::size_t& i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  int more = lead < 0x80 ? 0 : lead < 0xC2 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : -1;
  if (more < 0) {
    ++i;
    return -1;
  }
  long c = more == 0 ? lead : lead & (0x3F >> more);
  for (int k = 1; k <= more; ++k) {
    std::size_t at = i + static_cast<std::size_t>(k);
    if (at >= text.size() || (byte(at) & 0xC0) != 0x80) {
      ++i;
      return -1;
    }
    c = (c << 6) | (byte(at) & 0x3F);
  }
  static constexpr long least[] = {0, 0x80, 0x800, 0x10000};
  if (c < least[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return -1;
  }
  i += static_cast<std::size_t>(more) + 1;
  return c;
}

// POSIX names (UTF-8) as DOS names (code page 437), "/" as "\\".
std::optional<std::string> dosNames(std::string_view posix, std::string* lacking) {
  std::optional<std::string> out = cp437Of(posix, lacking);
  if (out)
    for (char& c : *out)
      if (c == '/') c = '\\';
  return out;
}

// The capital a letter has as Wine compares names in any case: those of ASCII, Latin-1 and
// the Greek of code page 437; any other character is its own.
char32_t capital(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : c - 0x20;  // final sigma too
  switch (c) {
    case 0xB5: return 0x39C;   // micro sign
    case 0xFF: return 0x178;   // y with diaeresis
    case 0x192: return 0x191;  // f with hook
    default: return c;
  }
}

// DOS names as POSIX names, the reverse of dosNames.
std::string posixNames(std::string_view dos) {
  std::string out;
  for (char ch : dos) {
    auto b = static_cast<unsigned char>(ch);
    if (b >= 0x80)
      appendUtf8(out, cp437ToUnicode[b]);
    else
      out += isSeparator(ch) ? '/' : ch;
  }
  return out;
}

// "/a//b/./c/../d" as "/a/b/d": the path as written, without symbolic links followed.
std::string normalizeAbsolute(std::string_view path, bool keepTrailingSlash) {
  std::vector<std::string_view> names;
  std::size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && path[i] == '/') ++i;
    std::size_t end = std::min(path.find('/', i), path.size());
    std::string_view name = path.substr(i, end - i);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    i = end;
  }
  std::string out;
  for (std::string_view name : names) {
    out += '/';
    out += name;
  }
  if (out.empty()) return "/";
  if (keepTrailingSlash && path.back() == '/') out += '/';
  return out;
}

bool holds(std::string_view folder, std::string_view path) {
  if (folder == "/") return true;
  return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

std::optional<std::string> cp437Of(std::string_view utf8, std::string* lacking) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t at = i;
    long c = nextCodePoint(utf8, i);
    int b = c < 0 ? -1 : c < 0x80 ? static_cast<int>(c) : unicodeToCp437(static_cast<char32_t>(c));
    if (b >= 0 && b < 0x80 && c >= 0x80) b = -1;  // a glyph of a control byte is no name character
    if (b < 0) {
      if (lacking)
        *lacking = c < 0 ? byteName(static_cast<unsigned char>(utf8[at])) : characterName(static_cast<char32_t>(c));
      return std::nullopt;
    }
    out += static_cast<char>(b);
  }
  return out;
}

std::string characterName(char32_t codePoint) {
  const char* hex = "0123456789ABCDEF";
  std::string digits;
  for (char32_t c = codePoint; c != 0 || digits.size() < 4; c >>= 4) digits.insert(digits.begin(), hex[c & 15]);
  return "U+" + digits;
}

std::string byteName(unsigned char byte) {
  const char* hex = "0123456789ABCDEF";
  return {'0', 'x', hex[byte >> 4], hex[byte & 15]};
}

std::optional<UnnamableName> unnamableOnWindows(std::string_view dosPath) {
  std::size_t i = hasDrive(dosPath) ? 2 : isNetworkPath(dosPath) ? networkRootLength(dosPath) : 0;
  while (i < dosPath.size()) {
    std::size_t end = std::min(dosPath.find('\\', i), dosPath.size());
    std::string_view name = dosPath.substr(i, end - i);
    i = end + 1;
    if (name.empty() || name == "." || name == "..") continue;
    for (char c : name)
      if (static_cast<unsigned char>(c) < 32 || std::string_view("\"*:<>?|/").find(c) != std::string_view::npos)
        return UnnamableName{std::string(name), c, false};
    if (name.back() == '.' || name.back() == ' ') return UnnamableName{std::string(name), name.back(), true};
  }
  return std::nullopt;
}

Str expandPath(std::string_view path, std::string_view currentDir) {
  std::string base(currentDir);
  if (!base.empty() && !isSeparator(base.back())) base += '\\';
  for (char& c : base)
    if (c == '/') c = '\\';
  std::size_t baseRoot = rootLength(base);

  std::string full;
  std::size_t mark = 3;
  if (isNetworkPath(path)) {
    full = path;
    for (char& c : full)
      if (c == '/') c = '\\';
    mark = networkRootLength(full);
  } else if (hasDrive(path) && path.size() > 2 && isSeparator(path[2])) {
    full = path;
  } else if (baseRoot == 0) {
    return Str(path);  // everything else needs a current directory
  } else if (hasDrive(path)) {
    std::string_view rest = path.substr(2);
    if (hasDrive(base) && lower(path[0]) == lower(base[0]))
      full = base;  // the current directory is on that drive
    else
      full = std::string(path.substr(0, 2)) + '\\';
    full += rest.empty() ? "." : rest;
  } else if (!path.empty() && isSeparator(path[0])) {
    full = base.substr(0, hasDrive(base) ? 2 : baseRoot - 1);
    full += path;
    mark = hasDrive(base) ? 3 : baseRoot;
  } else {
    full = base;
    full += path.empty() ? "." : path;
    mark = baseRoot;
  }
  for (char& c : full)
    if (c == '/') c = '\\';
  collapse(full, mark);
  if (full.size() > Str::capacity) return Str(path);
  return Str(full);
}

DriveMap driveMapFromListing(std::string_view folder, std::span<const DosDevice> entries) {
  DriveMap map;
  for (const DosDevice& entry : entries) {
    const std::string& name = entry.name;
    if (name.size() != 2 || name[1] != ':' || name[0] < 'a' || name[0] > 'z') continue;
    if (entry.target.empty()) continue;
    std::string target = entry.target;
    if (target[0] != '/') target = std::string(folder) + '/' + target;
    map.targets[static_cast<std::size_t>(name[0] - 'a')] = normalizeAbsolute(target, false);
  }
  bool rootMapped = false;
  for (const std::string& target : map.targets) rootMapped = rootMapped || target == "/";
  if (!rootMapped) map.targets['z' - 'a'].assign(1, '/');
  return map;
}

std::optional<std::string> toDos(std::string_view posixPath, const DriveMap& map, std::string* lacking) {
  if (posixPath.empty() || posixPath[0] != '/') return dosNames(posixPath, lacking);
  std::string path = normalizeAbsolute(posixPath, true);
  int drive = -1;
  for (int d = 0; d < 26; ++d) {
    const std::string& target = map.targets[static_cast<std::size_t>(d)];
    if (target.empty() || !holds(target, path)) continue;
    if (drive < 0 || target.size() > map.targets[static_cast<std::size_t>(drive)].size()) drive = d;
  }
  if (drive < 0) return std::nullopt;
  const std::string& target = map.targets[static_cast<std::size_t>(drive)];
  std::string_view rest = path;
  if (target != "/") rest.remove_prefix(target.size());
  std::string out{static_cast<char>('A' + drive), ':'};
  std::optional<std::string> names = rest.empty() ? "\\" : dosNames(rest, lacking);
  if (!names) return std::nullopt;
  return out + *names;
}

std::optional<std::string> toPosix(std::string_view dosPath, const DriveMap& map) {
  if (hasDrive(dosPath)) {
    if (dosPath.size() < 3 || !isSeparator(dosPath[2])) return std::nullopt;
    const std::string& target = map.targets[static_cast<std::size_t>(lower(dosPath[0]) - 'a')];
    if (target.empty()) return std::nullopt;
    std::string out = target == "/" ? "" : target;
    out += posixNames(dosPath.substr(2));
    return out;
  }
  if (!dosPath.empty() && isSeparator(dosPath[0])) return std::nullopt;
  return posixNames(dosPath);
}

bool sameInAnyCase(std::string_view name, std::string_view entry) {
  std::size_t i = 0, j = 0;
  while (i < name.size() && j < entry.size()) {
    std::size_t fromI = i, fromJ = j;
    long a = nextCodePoint(name, i), b = nextCodePoint(entry, j);
    if (a < 0 || b < 0) {  // no UTF-8: only the same bytes match
      if (name.substr(fromI, i - fromI) != entry.substr(fromJ, j - fromJ)) return false;
      continue;
    }
    if (capital(static_cast<char32_t>(a)) != capital(static_cast<char32_t>(b))) return false;
  }
  return i == name.size() && j == entry.size();
}

Str dosSearchPath(std::string_view posixList, const DriveMap& map) {
  std::string out;
  bool first = true;
  std::size_t i = 0;
  for (;;) {
    std::size_t end = std::min(posixList.find(':', i), posixList.size());
    // A folder with a name the code page cannot carry is left out: the program could only
    // name another one.
    std::optional<std::string> element = toDos(posixList.substr(i, end - i), map);
    if (element) {
      if (!first) out += ';';
      first = false;
      if (element->find(';') != std::string::npos)
        out += '"' + *element + '"';
      else
        out += *element;
    }
    if (end == posixList.size()) break;
    i = end + 1;
  }
  return Str(out);
}

}  // namespace platform::dos
