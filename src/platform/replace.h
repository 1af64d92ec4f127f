// What the file functions of both platforms share (files.cpp), and the steps each platform
// gives them (posix/, win32/). A step gives 0 or the runtime error it met: the caller that
// stops the run raises it, the backup copy, which must not stop the save, drops it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/platform.h"

namespace platform {

// Each platform's: opening the plain file a DOS name stands for, or the one at the
// platform's own path; reading up to size bytes (got is 0 at the end); below, a new
// temporary file in folder and going back to the start of an open file. openPlain and
// createTemporary give the system's error number. openFile names in foreignLink (when given)
// a link of another user's that it refused to follow.
int openFile(const Machine& m, std::string_view name, OpenMode mode, File& file, std::string* foreignLink = nullptr);
int openPlain(FileSystem& files, const std::string& path, OpenMode mode, std::intptr_t& handle);
int readFrom(const File& file, void* buffer, std::size_t size, std::size_t& got);

namespace replace {

// The temporary file of a replace, beside the file written: removed unless it took a name.
struct Temporary {
  File file;
  std::string name;
  int lock = -1;  // POSIX: a second descriptor, whose lock outlives closing the file
  bool made = false;
  bool renamed = false;
  bool kept = false;  // a backup copy that holds the only old content: never removed
  ~Temporary();
};

// A new file in folder under a name nobody can know ahead: new content, or a backup copy
// (which, once it holds the only old content, no later save removes as rubbish).
int createTemporary(FileSystem& files, const std::string& folder, Temporary& temp, bool backupCopy);
// Back to the start of an open file.
int rewind(const File& file);
// Sums up the rest of an open file, as summarizeFile does.
int summarizeOpen(const File& file, std::size_t keepUpTo, FileSummary& summary);

// Writes all of text to the open file at path.
int writeAll(const File& file, std::string_view text, const std::string& path);

// The backup copy: the old content, read from the start of the open file old, copied to a
// new backup copy in folder (of the same file system) and flushed. 0, the runtime error met, or -1 when what it read
// is not what was judged (the file changed meanwhile).
int copyOldContent(const File& old, const FileSummary& judged, const std::string& folder, Temporary& copy);

}  // namespace replace

}  // namespace platform
