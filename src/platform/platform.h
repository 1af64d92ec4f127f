// What the core needs of the operating system, in the program's own terms: DOS paths with
// drive letters and backslashes, OEM bytes, and the runtime-error convention (a failed
// file operation ends the run with "Runtime error N" on stderr and exit code N).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/short_string.h"
#include "platform/dos_path.h"
#include "platform/file_system.h"
#include "platform/run_end.h"

namespace platform {

// The machine as the program sees it: made once by main (or by a test) and handed to
// whatever opens a file or turns a DOS name into the file it names.
struct Machine {
  FileSystem& files;
  // On POSIX, the drives as Wine shows them, read from the dosdevices folder of
  // $WINEPREFIX (or ~/.wine) when the machine is made; on Windows, none: the system has them.
  dos::DriveMap drives;
};
// The machine with these files and the drives as they are now.
Machine machineOf(FileSystem& files);

// --- environment -----------------------------------------------------------------------

// The value of a variable: name compared without regard to a-z case, first match wins,
// value cut to 255, absent gives "".
Str environmentValue(std::string_view name);
// PATH in DOS form, ';'-separated (on POSIX its folders by their drives).
Str searchPath(const Machine& m);

// --- paths -----------------------------------------------------------------------------

// The current directory in DOS form, a backslash at the end only for a drive root.
Str currentDirectory(const Machine& m);
// The path made absolute against the current directory, "." and ".." resolved; "" gives
// the current directory; a path that cannot be expanded comes back unchanged.
Str expandPath(const Machine& m, std::string_view path);
// What the file system lists under a path, its names matched as Wine matches them: the
// entry spelled as given, else the one entry that matches in another letter case.
struct Listing {
  // several: no entry is spelled as given and more than one matches in another letter case.
  enum Found { none, file, folder, several } found = none;
  Str name;   // the entry's name as the file system spells it (its last part only)
  Str other;  // with several: a second one that matches
};
Listing listingOf(const Machine& m, std::string_view path);
// True when the file system lists one entry of this name (listingOf). storedName
// (optional) receives the entry's name as the file system spells it (its last part only).
bool findEntry(const Machine& m, std::string_view path, Str* storedName = nullptr);

// --- files -----------------------------------------------------------------------------

// An open file of a file system. It closes itself when it goes, quietly (a run that ends
// with an error gives up its files that way); close() closes it with the runtime-error check.
class File {
 public:
  File() = default;
  File(FileSystem& files, std::intptr_t handle) : files_(&files), handle_(handle) {}
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  bool isOpen() const { return handle_ != -1; }
  std::intptr_t handle() const { return handle_; }
  // The file system it is open in (only while it is open).
  FileSystem& files() const { return *files_; }
  // A failure stops the run; the file is closed either way.
  void close();
  // 0 or the system's error number; the file is closed either way.
  int tryClose();

 private:
  void release();
  FileSystem* files_ = nullptr;
  std::intptr_t handle_ = -1;
};

// Opens an existing file for reading; a failure stops the run. Only a plain file is read:
// anything else (a folder, device, FIFO or socket) is access denied, and opening never waits.
File openRead(const Machine& m, std::string_view name);
// Opens an existing plain file for reading and writing, without the runtime-error check:
// false when it cannot be opened for any reason.
bool tryOpenReadWrite(const Machine& m, std::string_view name, File& file);
// Reads up to size bytes; 0 at the end. A failure stops the run.
std::size_t readSome(const File& file, void* buffer, std::size_t size);
// Reads exactly size bytes; fewer stops the run with runtime error 100.
void readBlock(const File& file, void* buffer, std::size_t size);

// What a name holds, links followed: nothing (a name free in a folder that is there), a
// plain file, or anything else (a folder, device, FIFO or socket, a link to nothing or in a
// loop, a name in a folder that is not there).
enum class EntryKind { free, plainFile, other };
struct Entry {
  EntryKind kind = EntryKind::other;
  std::uint64_t size = 0;  // of a plain file
};
Entry entryAt(const Machine& m, std::string_view name);

// A file's content in short, to tell whether it changed: there or not, its length, a hash
// of its bytes (read piece by piece), and the bytes themselves when there are at most
// keepUpTo of them. A failure to read stops the run, or, given error, is the runtime error
// set there (0 when there is none).
struct FileSummary {
  bool exists = false;
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  std::string bytes;  // the whole content, when it is short enough
  bool sameContent(const FileSummary& other) const {
    return exists == other.exists && size == other.size && hash == other.hash;
  }
};
FileSummary summarizeFile(const Machine& m, std::string_view name, std::size_t keepUpTo = 0, int* error = nullptr);

// What a replace did with the old content it was asked to keep.
enum class BackupCopy { notNeeded, kept };
// What the old file (or a free name: exists false) may be given: the new content, the new
// content with the old kept beside it, or nothing.
enum class Verdict { replace, replaceKeepingOld, refuse };
struct ReplaceRules {
  std::string_view backupName;  // a name without a folder, for the old content kept
  std::size_t keepUpTo = 0;     // the judge sees the bytes of an old file up to this size
  // Judges the old file as it was opened for the replace; none: replace whatever is there.
  std::function<Verdict(const FileSummary& old)> judge;
};
// Replaces (or creates) the file with content, keeping what the user has: a link stays a
// link and its file is written, but only a link of the running user's or root's (another
// user's link, anywhere on the way, is refused and nothing behind it read); owner, group and
// mode stay. Written to a temporary file beside it that takes the old one's place, or,
// where that would lose something, rewritten in place with the room reserved first. Only a
// plain file is replaced. The old file is opened once and judged as opened; right before
// the new content takes its place, the name must still hold it, unchanged, or the replace
// stops. On any failure the temporary file is removed and the run stops with the runtime
// error.
// When judged so, the old content becomes a file of its own under backupName beside the
// file written: copied to a backup copy first, it takes the name (whatever stood there, a
// link included, is replaced, not written through) only once the new content is in place.
// From then on a signal makes the copy that name too. A backup that cannot be made (no room,
// a folder that takes no new file, backupName the file written itself or a folder) stops
// the replace before anything is written: a hand edit is never lost for want of a backup.
BackupCopy replaceFile(const Machine& m, std::string_view name, std::string_view content,
                       const ReplaceRules& rules = {});

}  // namespace platform
