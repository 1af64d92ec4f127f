#include "platform/search.h"

#include <algorithm>

#include "platform/platform.h"

namespace platform {

namespace {

// The hit made absolute, its file name spelled as the file system stores it. The name
// starts after the last backslash; a colon counts only as a drive's ("D:ZO.BAT" when the
// path could not be expanded): on POSIX a name itself may hold one.
Str foundAt(const Machine& m, const Str& candidate, const Str& storedName) {
  Str path = platform::expandPath(m, candidate);
  std::size_t backslash = path.view().find_last_of('\\');
  std::size_t nameStart = backslash != std::string_view::npos ? backslash + 1
                          : path.size() >= 2 && path[1] == ':' ? 2
                                                                 : 0;
  path.cutTail(path.size() - nameStart);
  return path + storedName;
}

}  // namespace

Str nextPathElement(std::string_view list, std::size_t& i) {
  std::size_t start = i;
  std::size_t end;
  if (i < list.size() && list[i] == '"') {
    ++start;
    end = std::min(list.find('"', start), list.size());
    i = std::min(end + 1, list.size());  // what follows the closing quote is the next element
  } else {
    end = std::min(list.find(';', start), list.size());
    i = end;
  }
  if (i < list.size() && list[i] == ';') ++i;
  return list.substr(start, end - start);
}

Str searchFile(const Machine& m, std::string_view name, std::string_view list, Clash* clash) {
  // Whether the search ends at candidate, with the result in found.
  Str found;
  auto endsAt = [&m, &found, clash](const Str& candidate) {
    Listing listing = listingOf(m, candidate);
    if (listing.found == Listing::file) found = foundAt(m, candidate, listing.name);
    if (listing.found == Listing::several && clash) *clash = {candidate, listing.name, listing.other};
    return listing.found == Listing::file || listing.found == Listing::several;
  };
  if (endsAt(Str(name))) return found;
  for (std::size_t i = 0; i < list.size();) {
    Str candidate = nextPathElement(list, i);
    if (candidate.empty()) continue;
    if (!(candidate.view().ends_with(':') || candidate.view().ends_with('\\'))) candidate += '\\';
    candidate += name;
    if (endsAt(candidate)) return found;
  }
  return Str();
}

}  // namespace platform
