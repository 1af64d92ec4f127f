// What the POSIX file functions need beside the file system itself.
#pragma once

#include <string>

namespace platform::posix {

// The folder that holds path: "." for a bare name, "/" for a name in the root.
std::string folderOf(const std::string& path);

}  // namespace platform::posix
