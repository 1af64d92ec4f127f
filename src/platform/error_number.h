// errno values as the Win32 error numbers, so that both builds stop with the same runtime
// errors for the same failure.
#pragma once

namespace platform {

// ENOENT is 2 (file not found), ENOTDIR 3 (path not found); access refused, a read-only
// file system or a folder where a file belongs 5 (access denied); a full disk 112; a
// file-size limit 223; anything else stays as it is.
int win32ErrorOf(int errnoValue);
// The same for a write to the console or a standard stream, where two more have numbers of
// their own: a pipe without a reader 109 (broken pipe), a terminal gone 29 (write fault).
int outputErrorOf(int errnoValue);

}  // namespace platform
