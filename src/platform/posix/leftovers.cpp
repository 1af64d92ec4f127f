#include "platform/leftovers.h"

#include <signal.h>
#include <stdio.h>
#include <unistd.h>

namespace platform {

namespace {
// Read by signal handlers, so plain pointers set and cleared whole, keepAs before path: the
// handler sees a path or nothing in each, and a path's keepAs as it is (the save changes it
// with signals held).
struct InProgress {
  const char* volatile path;
  const char* volatile keepAs;
};
InProgress inProgress[2] = {};
}  // namespace

void savingTo(const char* temporaryPath) noexcept {
  for (InProgress& slot : inProgress) {
    if (!slot.path) {
      slot.keepAs = nullptr;
      slot.path = temporaryPath;
      return;
    }
  }
}

void keepOnSignal(const char* temporaryPath, const char* backupPath) noexcept {
  for (InProgress& slot : inProgress)
    if (slot.path == temporaryPath) slot.keepAs = backupPath;
}

void doneWithTemporary(const char* temporaryPath) noexcept {
  for (InProgress& slot : inProgress)
    if (slot.path == temporaryPath) slot.path = nullptr;
}

void removeTemporaryInProgress() noexcept {
  for (InProgress& slot : inProgress) {
    const char* path = slot.path;
    const char* keepAs = slot.keepAs;
    slot.path = nullptr;
    if (!path) continue;
    // A copy that cannot take its name stays as it is: the next save finishes it.
    if (keepAs) ::rename(path, keepAs);
    else ::unlink(path);
  }
}

namespace {

void onDeadlySignal(int sig) {
  removeTemporaryInProgress();
  ::signal(sig, SIG_DFL);
  ::raise(sig);  // delivered as soon as the handler returns
}

}  // namespace

void tidyUpOnDeadlySignals() noexcept {
  static const int deadly[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                               SIGXCPU};
  struct sigaction action = {};
  action.sa_handler = onDeadlySignal;
  sigfillset(&action.sa_mask);  // one handler at a time
  auto take = [&action](int sig) {
    struct sigaction before;
    // One the caller ignores (nohup) stays ignored.
    if (::sigaction(sig, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) ::sigaction(sig, &action, nullptr);
  };
  for (int sig : deadly) take(sig);
#ifdef SIGRTMIN
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) take(sig);
#endif
}

}  // namespace platform
