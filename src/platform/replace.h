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
// temporary file in folder and the length of an open file. openPlain and createTemporary
// give the system's error number.
int openFile(std::string_view name, OpenMode mode, File& file);
int openPlain(const std::string& path, OpenMode mode, std::intptr_t& handle);
int readFrom(const File& file, void* buffer, std::size_t size, std::size_t& got);

namespace replace {

// The temporary file of a replace, beside the file written: removed unless it took a name.
struct Temporary {
  File file;
  std::string name;
  int lock = -1;  // POSIX: a second descriptor, whose lock outlives closing the file
  bool made = false;
  bool renamed = false;
  ~Temporary();
};

int createTemporary(const std::string& folder, Temporary& temp);
int sizeOf(const File& file, std::uint64_t& size);

// Writes all of text to the open file at path.
int writeAll(std::intptr_t handle, std::string_view text, const std::string& path);

// The backup copy: the old content at path, copied to a new temporary file in folder and
// flushed, is kept, or failed when it cannot be made; the copy, closed, then takes
// backupPath once the new content is in place (kept), or cannot (failed). Neither step
// stops the save.
BackupCopy copyOldContent(const std::string& path, const std::string& folder, Temporary& copy);
BackupCopy putBackup(BackupCopy copied, Temporary& copy, const std::string& backupPath);

}  // namespace replace

}  // namespace platform
