#include "platform/posix/dos_view.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/ascii.h"
#include "platform/platform.h"

namespace platform {

namespace posix {

namespace {

std::string dosdevicesFolder() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) return std::string(prefix) + "/dosdevices";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.wine/dosdevices";
  return {};
}

// A string the C library allocated, given back to it here.
std::optional<std::string> taken(char* allocated) {
  std::unique_ptr<char, decltype(&std::free)> owned(allocated, &std::free);
  if (!owned) return std::nullopt;
  return std::string(owned.get());
}

std::optional<std::string> realPath(const std::string& path) { return taken(::realpath(path.c_str(), nullptr)); }

}  // namespace

dos::DriveMap readDriveMap() {
  std::vector<dos::DosDevice> entries;
  std::optional<std::string> folder = realPath(dosdevicesFolder());
  if (folder) {
    if (DIR* dir = ::opendir(folder->c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;  // the drives are picked out of the listing later
        std::string link = *folder + '/' + name;
        // The folder as the system names it, so it matches what getcwd reports.
        if (std::optional<std::string> target = realPath(link)) {
          entries.push_back({name, *target});
          continue;
        }
        char target[PATH_MAX];
        ssize_t length = ::readlink(link.c_str(), target, sizeof target);
        if (length > 0) entries.push_back({name, std::string(target, static_cast<std::size_t>(length))});
      }
      ::closedir(dir);
    }
  }
  return dos::driveMapFromListing(folder ? *folder : std::string("/"), entries);
}

namespace {

// The last name of path as its directory lists it: the same bytes where names are compared
// exactly, the listed spelling where letter case does not count.
Str storedSpelling(const dos::DriveMap& drives, const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (DIR* dir = ::opendir(folder.c_str())) {
    std::string sameLetters;
    bool exact = false;
    while (const dirent* entry = ::readdir(dir)) {
      if (name == entry->d_name) {
        exact = true;
        break;
      }
      if (sameLetters.empty() && dos::sameInAnyCase(name, entry->d_name)) sameLetters = entry->d_name;
    }
    ::closedir(dir);
    if (!exact && !sameLetters.empty()) name = sameLetters;
  }
  return Str(dos::toDos(name, drives).value_or(""));
}

// The one entry of folder that matches name in another letter case; name itself when none
// does, or several do (ambiguity then names two).
std::string entryMatching(const std::string& folder, const std::string& name, Ambiguity* ambiguity) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return name;
  std::string found;
  int matches = 0;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view listed = entry->d_name;
    if (listed == "." || listed == ".." || !dos::sameInAnyCase(name, listed)) continue;
    if (++matches > 1) {
      if (ambiguity) *ambiguity = {found, std::string(listed)};
      break;
    }
    found = listed;
  }
  ::closedir(dir);
  return matches == 1 ? found : name;
}

bool exists(const std::string& path) {
  struct stat status;
  return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace

std::optional<std::string> posixPathOf(const Machine& m, std::string_view dosPath, Ambiguity* ambiguity) {
  // The system would read a name only up to a NUL byte, and so reach another file.
  if (dosPath.find('\0') != std::string_view::npos) return std::nullopt;
  std::optional<std::string> path = dos::toPosix(platform::expandPath(m, dosPath), m.drives);
  if (path) *path = resolveNames(*path, ambiguity);
  return path;
}

std::string resolveNames(const std::string& path, Ambiguity* ambiguity) {
  if (path.empty() || exists(path)) return path;
  std::string out;
  for (std::size_t i = 0;;) {
    std::size_t end = std::min(path.find('/', i), path.size());
    std::string name = path.substr(i, end - i);
    std::string folder = out.empty() ? "." : out;
    if (!name.empty() && !exists(out + name)) name = entryMatching(folder, name, ambiguity);
    out += name;
    if (end == path.size()) return out;
    out += '/';
    i = end + 1;
  }
}

std::optional<std::string> workingDirectory() { return taken(::getcwd(nullptr, 0)); }

Str dosFormOf(const dos::DriveMap& drives, const std::string& path, std::string* lacking) {
  std::optional<std::string> dosPath = dos::toDos(path, drives, lacking);
  if (!dosPath || dosPath->size() > Str::capacity) return {};
  return Str(*dosPath);
}

}  // namespace posix

Machine machineOf(FileSystem& files) { return {files, posix::readDriveMap()}; }

Str currentDirectory(const Machine& m) {
  std::optional<std::string> cwd = posix::workingDirectory();
  return cwd ? posix::dosFormOf(m.drives, *cwd) : Str();
}

Str expandPath(const Machine& m, std::string_view path) { return dos::expandPath(path, currentDirectory(m)); }

Listing listingOf(const Machine& m, std::string_view path) {
  Listing listing;
  if (path.empty()) return listing;
  posix::Ambiguity ambiguity;
  std::optional<std::string> found = posix::posixPathOf(m, path, &ambiguity);
  // A drive root or a path ending in a backslash names no entry of a listing.
  if (!found || found->empty() || found->back() == '/') return listing;
  const std::string& file = *found;
  struct stat status;
  if (::lstat(file.c_str(), &status) != 0) {
    if (!ambiguity.first.empty()) {
      listing.found = Listing::several;
      listing.name = Str(dos::toDos(ambiguity.first, m.drives).value_or(""));
      listing.other = Str(dos::toDos(ambiguity.second, m.drives).value_or(""));
    }
    return listing;
  }
  listing.found = ::stat(file.c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? Listing::folder : Listing::file;
  listing.name = posix::storedSpelling(m.drives, file);
  return listing;
}

}  // namespace platform
