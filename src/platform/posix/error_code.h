// errno values as the Win32 error numbers, so both builds stop with the same runtime errors.
#pragma once

#include <string>

namespace platform::posix {

// The number for err, raised by an operation on path: ENOENT is 2, or 3 when the folder
// that should hold path is missing; access refused, a read-only file system or a folder
// where a file belongs is 5; a full disk 112; anything else stays as it is.
int errorCode(int err, const std::string& path = ".");

}  // namespace platform::posix
