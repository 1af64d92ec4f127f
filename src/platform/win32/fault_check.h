// The file functions' side of the failures a test asks for (platform/fault.h). On Win32 the
// value given to failNext is the system error number the operation fails with.
#pragma once

#include "platform/fault.h"

namespace platform::fault {
// The error the next operation of this kind is to fail with, -1 when it is to run.
int takeFailure(Op op);
}  // namespace platform::fault
