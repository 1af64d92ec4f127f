// The console device on a POSIX terminal: raw mode, keys through the decoder, the model
// drawn by the renderer. The terminal is put back on every way out, signals included.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "console/posix/key_decoder.h"
#include "console/posix/render.h"
#include "console/system_console.h"
#include "platform/error_number.h"
#include "platform/leftovers.h"
#include "platform/run_end.h"

namespace {

constexpr int inFd = STDIN_FILENO;
constexpr int outFd = STDOUT_FILENO;

// The process has one terminal, and the signal handlers must reach it: its modes, what
// happened to it, and the bytes that hand it back live here. All of it starts at zero.
termios savedModes;
bool modesSaved;
volatile sig_atomic_t resized, continued, finished;
// A frame is on its way out: a signal may cut into one of its sequences.
volatile sig_atomic_t drawing;

// The bytes that hand the terminal back, kept ready for a signal handler: two buffers, the
// handler reads the one not being written.
char leaveBytes[2][64];
volatile sig_atomic_t leaveLength[2];
volatile sig_atomic_t leaveCurrent;

// Every signal whose default action ends the process and that a handler can catch, but
// SIGPIPE and SIGXFSZ, which the program ignores (a failed write is the output check's
// business, a size limit a runtime error). The real-time signals join them at start.
const int fixedDeadlySignals[] = {
    SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU,
    SIGABRT, SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,  SIGTRAP, SIGSYS,
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
sigset_t deadlySignals;
// What each signal did before the program took it: a handler someone else put there (a
// sanitizer's) gets it back, at the end and when the signal ends the run.
struct sigaction previousActions[NSIG];

// Signal-safe. Only the terminal's foreground job may change its modes or draw on it; a
// process that is not on a terminal counts as in the foreground.
bool inForeground() {
  pid_t group = tcgetpgrp(modesSaved ? inFd : outFd);
  return group < 0 || group == getpgrp();
}

// Signal-safe: waits up to ms milliseconds (-1: as long as it takes) for fd to be ready for
// events; poll's result.
int waitFor(int fd, short events, int ms) {
  pollfd p = {fd, events, 0};
  return poll(&p, 1, ms);
}

// Writes to the terminal from the program's own flow: 0, or the error number of the
// write that failed. A signal does not hold back here (none is blocked); a stop cuts the
// frame short, since the resume draws everything anyway.
int writeOut(const char* data, std::size_t size) {
  while (size > 0) {
    if (continued) return 0;
    ssize_t n = write(outFd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {  // someone made the terminal non-blocking: wait, do not spin
        waitFor(outFd, POLLOUT, -1);
        continue;
      }
      return platform::outputErrorOf(errno);
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Signal-safe: writes what the terminal takes within half a second. A terminal that stopped
// reading must not keep a signal from ending the run.
void writeFromHandler(const char* data, std::size_t size) {
  int flags = fcntl(outFd, F_GETFL);
  if (flags < 0) return;
  if (!(flags & O_NONBLOCK)) fcntl(outFd, F_SETFL, flags | O_NONBLOCK);
  for (int waits = 0; size > 0 && waits < 5;) {
    ssize_t n = write(outFd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno != EAGAIN) {
      break;
    } else {
      waitFor(outFd, POLLOUT, 100);
      ++waits;
    }
  }
  if (!(flags & O_NONBLOCK)) fcntl(outFd, F_SETFL, flags);  // the shell shares this flag
}

// Called in the foreground only: after waitForeground.
void enterRawMode() {
  if (!modesSaved) return;
  termios raw = savedModes;
  // Bytes as typed, no echo, no line editing, no flow control; ISIG stays so Ctrl+C and
  // Ctrl+Z keep working. Output goes out as sent.
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_cflag |= CS8;
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(inFd, TCSADRAIN, &raw);
}

// Signal-safe: hands the terminal back as the last frame left it. In the background it
// was handed back when the job stopped, and the shell owns it now.
void leaveTerminal() {
  if (!inForeground()) return;
  if (drawing) writeFromHandler("\x18", 1);  // CAN ends a sequence the signal cut into
  int i = leaveCurrent;
  writeFromHandler(leaveBytes[i], static_cast<std::size_t>(leaveLength[i]));
  // At once: waiting for the output to drain could wait forever.
  if (modesSaved) tcsetattr(inFd, TCSANOW, &savedModes);
}

void setHandler(int sig, void (*handler)(int)) {
  struct sigaction action = {};  // no SA_RESTART: a wait for a key wakes up to redraw
  action.sa_handler = handler;
  // One handler at a time: hand-back and stop must not cut into each other.
  sigemptyset(&action.sa_mask);
  if (handler != SIG_DFL && handler != SIG_IGN && sig != SIGWINCH && sig != SIGCONT) action.sa_mask = deadlySignals;
  sigaction(sig, &action, nullptr);
}

// Signal-safe: what the signal did before the program took it, or its default action.
void giveBack(int sig) {
  const struct sigaction& previous = previousActions[sig];
  bool someonesHandler = (previous.sa_flags & SA_SIGINFO) || (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN);
  if (someonesHandler) sigaction(sig, &previous, nullptr);
  else setHandler(sig, SIG_DFL);
}

template <typename F>
void forEachDeadlySignal(F&& f) {
  for (int sig : fixedDeadlySignals) f(sig);
#ifdef SIGRTMIN
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) f(sig);
#endif
}

// Ctrl+C, Ctrl+\, kill, hang-up, and every other signal that ends the process: no
// temporary file left, terminal back, then die by the same signal so the parent sees it.
void onDeadlySignal(int sig) {
  platform::removeTemporaryInProgress();
  if (!finished) leaveTerminal();
  giveBack(sig);
  raise(sig);  // delivered as soon as the handler returns
}

// Ctrl+Z: terminal back, stop. The program's own flow takes the terminal again after the
// resume, and only in the foreground.
void onSuspend(int) {
  int savedErrno = errno;
  if (!finished) leaveTerminal();
  setHandler(SIGTSTP, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(SIGTSTP);  // stopped here until continued
  setHandler(SIGTSTP, onSuspend);  // the resume's SIGCONT has the frame drawn again
  errno = savedErrno;
}

void onContinue(int) { continued = 1; }

void onResize(int) { resized = 1; }

// Until the job is in the terminal's foreground: stopped as a background read would be,
// so that it waits without spinning and "fg" brings it back.
void waitForeground() {
  while (!inForeground()) {
    raise(SIGTTIN);
    // A process group without a shell to continue it is not stopped: look again later.
    if (!inForeground()) poll(nullptr, 0, 200);
  }
}

void terminalSize(int& columns, int& rows) {
  winsize size = {};
  if ((ioctl(outFd, TIOCGWINSZ, &size) == 0 || ioctl(inFd, TIOCGWINSZ, &size) == 0) && size.ws_col > 0 &&
      size.ws_row > 0) {
    columns = size.ws_col;
    rows = size.ws_row;
  } else {
    columns = 80;
    rows = 25;
  }
}

int escapeDelay() {
  const char* value = std::getenv("ESCDELAY");
  if (!value || !*value) return 50;
  char* end = nullptr;
  long ms = std::strtol(value, &end, 10);
  return (*end || ms < 0 || ms > 10000) ? 50 : static_cast<int>(ms);
}

class TerminalDevice : public console::Device {
 public:
  TerminalDevice() {
    // With standard output closed, the first file opened would take its place.
    if (fcntl(outFd, F_GETFL) < 0) platform::runtimeError(platform::outputErrorOf(errno));
    if (isatty(inFd) && tcgetattr(inFd, &savedModes) == 0) modesSaved = true;
    // A reader that went away shows as a failed write, which ends the run with its error.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
    sigemptyset(&deadlySignals);
    forEachDeadlySignal([](int sig) {
      sigaddset(&deadlySignals, sig);
      sigaction(sig, nullptr, &previousActions[sig]);
      if (previousActions[sig].sa_handler == onDeadlySignal) previousActions[sig].sa_handler = SIG_DFL;  // an earlier device's
    });
    forEachDeadlySignal([](int sig) { setHandler(sig, onDeadlySignal); });
    setHandler(SIGTSTP, onSuspend);
    setHandler(SIGCONT, onContinue);
    setHandler(SIGWINCH, onResize);
    waitForeground();
    enterRawMode();
    int columns, rows;
    terminalSize(columns, rows);
    width_ = std::clamp(columns, 80, console::maxWidth);
    height_ = std::clamp(rows, 25, console::maxHeight);
    terminal::resetShown(shown_, columns, rows);
  }

  void windowSize(int& width, int& height) override {
    width = width_;
    height = height_;
  }
  std::uint8_t startAttribute() override { return console::startColours; }

  void present(const console::Screen& screen) override {
    last_ = &screen;
    if (resized || continued) {
      if (continued) {
        waitForeground();
        continued = 0;
        enterRawMode();  // the shell may have set its own modes meanwhile
      }
      resized = 0;
      int columns, rows;
      terminalSize(columns, rows);
      terminal::resetShown(shown_, columns, rows);
    }
    frame_.clear();
    terminal::renderFrame(shown_, screen, frame_);
    leave_.clear();
    terminal::renderLeave(shown_, screen, leave_);
    drawing = 1;
    int error = writeOut(frame_.data(), frame_.size());
    drawing = 0;
    if (error) platform::runtimeError(error);
    // The handlers read the other buffer until the index moves to this one.
    int next = 1 - leaveCurrent;
    std::size_t n = std::min(leave_.size(), sizeof leaveBytes[next]);
    std::copy_n(leave_.data(), n, leaveBytes[next]);
    leaveLength[next] = static_cast<sig_atomic_t>(n);
    leaveCurrent = next;
  }

  void beep() override {
    if (int error = writeOut("\a", 1)) platform::runtimeError(error);
  }

  console::KeyEvent readKey() override {
    for (;;) {
      if (queued_ > 0) return takeKey();
      if (ended_) return console::KeyEvent{.end = true};
      if (decodeBuffered()) continue;
      if ((resized || continued) && last_) present(*last_);
      int wait = terminal::awaitingEscape(decoder_) ? escapeDelay_ : -1;
      int ready = waitFor(inFd, POLLIN, wait);
      if (ready < 0) {
        if (errno != EINTR) ended_ = true;
        continue;
      }
      if (ready == 0) {
        queued_ = terminal::escapeTimeout(decoder_, keys_);
        continue;
      }
      readInput();
    }
  }

  // Decodes what has come in until a key is complete; reads only what is there already.
  bool keyWaiting() override {
    while (queued_ == 0 && !ended_) {
      if (decodeBuffered()) continue;
      if (waitFor(inFd, POLLIN, 0) <= 0) break;
      readInput();
    }
    return queued_ > 0;
  }

  // The last screen, then the terminal as it was. A write that fails there still hands the
  // modes back, and then ends the run with its error.
  void finish(const console::Screen& screen) override {
    if (finished) return;
    int error = 0;
    if (inForeground()) {
      try {
        present(screen);
      } catch (const platform::RunEnd& end) {
        error = end.code;
      }
      int i = leaveCurrent;
      if (!error) error = writeOut(leaveBytes[i], static_cast<std::size_t>(leaveLength[i]));
    }
    if (modesSaved && inForeground()) tcsetattr(inFd, TCSADRAIN, &savedModes);
    finished = 1;
    forEachDeadlySignal(giveBack);
    for (int sig : {SIGTSTP, SIGCONT, SIGWINCH}) setHandler(sig, SIG_DFL);
    if (error) platform::runtimeError(error);
  }

 private:
  // Decodes the next byte read but not yet decoded, if there is one. Called with no key queued.
  bool decodeBuffered() {
    if (input_ == inputEnd_) return false;
    queued_ = terminal::decodeByte(decoder_, *input_++, keys_);
    return true;
  }

  // Reads what the terminal has, once all read before is decoded.
  void readInput() {
    ssize_t n = read(inFd, inputBuffer_, sizeof inputBuffer_);
    if (n > 0) {
      input_ = inputBuffer_;
      inputEnd_ = inputBuffer_ + n;
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      // End of input, or the terminal is gone: an Esc still held was typed before.
      queued_ = terminal::escapeTimeout(decoder_, keys_);
      ended_ = true;
    }
  }

  console::KeyEvent takeKey() {
    console::KeyEvent key = keys_[0];
    std::copy(keys_ + 1, keys_ + queued_, keys_);
    --queued_;
    return key;
  }

  int width_, height_;
  const int escapeDelay_ = escapeDelay();
  terminal::Shown shown_;
  terminal::KeyDecoder decoder_;
  // Keys decoded but not yet read; one byte completes at most two.
  console::KeyEvent keys_[2];
  int queued_ = 0;
  // Bytes read, from input_ on not yet decoded: a paste is read a buffer at a time.
  unsigned char inputBuffer_[4096];
  unsigned char* input_ = inputBuffer_;
  unsigned char* inputEnd_ = inputBuffer_;
  bool ended_ = false;
  const console::Screen* last_ = nullptr;
  std::string frame_, leave_;
};

}  // namespace

namespace platform {

console::Device& systemConsole() {
  // The process has one terminal; the signal handlers above share it.
  static TerminalDevice device;
  return device;
}

}  // namespace platform
