// Looking a variable up in an environment block the way the program has always done it.
#pragma once

#include <string_view>

namespace platform {

// The whole value of the first entry ("NAME=value") of environment (ended by a null pointer)
// whose name is the same as name, the letters a-z counted without case; "" when there is
// none.
std::string_view findVariable(const char* const* environment, std::string_view name);

}  // namespace platform
