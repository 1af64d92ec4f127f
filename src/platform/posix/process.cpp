// The error output and the environment on POSIX.
#include <signal.h>
#include <unistd.h>

#include "base/ascii.h"
#include "platform/environment.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"

extern char** environ;

namespace platform {

void writeError(std::string_view bytes) {
  // A reader that went away must not turn "Runtime error N" into death by SIGPIPE: the
  // exit code still tells N.
  ::signal(SIGPIPE, SIG_IGN);
  // A failure has nowhere left to be reported; the exit code still tells.
  [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, bytes.data(), bytes.size());
}

Str environmentValue(std::string_view name) {
  std::string_view value = findVariable(environ, name);
  // The search path holds POSIX folders; the program reads DOS ones.
  if (ascii::sameIgnoringCase(name, "PATH")) return dos::dosSearchPath(value, posix::driveMap());
  return Str(value);
}

}  // namespace platform
