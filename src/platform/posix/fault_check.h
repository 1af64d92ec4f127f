// The file functions' side of the test failures.
#pragma once

#include "platform/fault.h"

namespace platform::fault {
// The errno value the next operation of this kind is to fail with, -1 when it is to run.
int takeFailure(Op op);
}  // namespace platform::fault
