// The console device of the platform the program was built for.
#pragma once

#include "console/device.h"

namespace platform {
// Opens the real console (raw mode, signal handlers on POSIX). Called once, by main.
console::Device& systemConsole();
}  // namespace platform
