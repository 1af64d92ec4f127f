// How a run ends with a runtime error, from however deep down: thrown up to main(), which
// puts the console back, reports it and exits. A run that ends on purpose returns.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Why a save stopped, where the error number alone would not tell the user: the file
// (in the machine's own form) is named in the line before "Runtime error N".
enum class Refusal {
  none,
  foreignLink,         // a symbolic link of another user's on the way: not followed
  noBackup,            // the old launcher, which the program would not write, could not be kept
  changedWhileSaving,  // the file changed between the check and the rename
  notATable,           // a colour table is written over a colour table or a new name only
  backupLeftAs,        // the new launcher is written; the old one stays under the copy's name
};

// Thrown, never caught but by main(), which restores the console, reports "Runtime error N"
// on stderr and exits with code.
struct RunEnd {
  int code;
  Refusal refusal = Refusal::none;
  std::string file;  // the file refused, when there is a refusal
};

// 100: short block read, 101: short block write, otherwise the platform's error number
// (on POSIX the common errno values as Win32's). Throws RunEnd{code}.
[[noreturn]] void runtimeError(int code);
// The same, with the refusal that explains it and the file it concerns.
[[noreturn]] void refuse(int code, Refusal refusal, std::string file);

// "Runtime error N" and a line feed on stderr, in one write.
void reportRuntimeError(int code);
// Writes bytes to stderr in one write, as the platform does it; nowhere to report a failure.
void writeError(std::string_view bytes);

}  // namespace platform
