// The error output and the environment on POSIX.
#include <signal.h>
#include <unistd.h>

#include "platform/dos_path.h"
#include "platform/environment.h"
#include "platform/platform.h"

extern char** environ;

namespace platform {

void writeError(std::string_view bytes) {
  // A reader that went away must not turn "Runtime error N" into death by SIGPIPE: the
  // exit code still tells N.
  ::signal(SIGPIPE, SIG_IGN);
  // A failure has nowhere left to be reported; the exit code still tells.
  [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, bytes.data(), bytes.size());
}

Str environmentValue(std::string_view name) { return Str(findVariable(environ, name)); }

// The search path holds POSIX folders; the program reads DOS ones.
Str searchPath(const Machine& m) { return dos::dosSearchPath(findVariable(environ, "PATH"), m.drives); }

}  // namespace platform
