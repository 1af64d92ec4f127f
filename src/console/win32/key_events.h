// Which console input records are key presses the program sees.
#pragma once

#include "console/device.h"
#include "platform/win32/windows.h"

namespace platform::win32 {

// True for a key-down event that means something: a character, or a key without one that
// is not a lone modifier or lock key. key receives its character and scan code.
bool keyFromRecord(const INPUT_RECORD& record, console::KeyEvent& key);

}  // namespace platform::win32
