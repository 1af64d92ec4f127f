// The file functions' side of the failures a test asks for (platform/fault.h). A test names
// the failure by its errno value, as on POSIX; here it becomes the Win32 error number the
// POSIX build reports for it, so that a test expects the same runtime error from both.
#pragma once

#include "platform/fault.h"

namespace platform::fault {
// The Win32 error the next operation of this kind is to fail with, -1 when it is to run,
// 0 for a write that is to put nothing.
int takeFailure(Op op);
}  // namespace platform::fault
