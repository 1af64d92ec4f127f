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

#include "console/system_console.h"
#include "console/posix/key_decoder.h"
#include "console/posix/render.h"

namespace {

constexpr int inFd = STDIN_FILENO;
constexpr int outFd = STDOUT_FILENO;

// The process has one terminal, and the signal handlers must reach it: its modes, whether
// it is still there, and the bytes that hand it back live here.
termios savedModes;
bool modesSaved = false;
bool outputGone = false;
volatile sig_atomic_t resized = 0;
volatile sig_atomic_t continued = 0;
volatile sig_atomic_t finished = 0;

// The bytes that hand the terminal back, kept ready for a signal handler: two buffers, the
// handler reads the one not being written.
char leaveBytes[2][64];
volatile sig_atomic_t leaveLength[2] = {0, 0};
volatile sig_atomic_t leaveCurrent = 0;

const int handledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGTSTP, SIGCONT, SIGWINCH};

// Signal-safe.
void writeAll(const char* data, std::size_t size) {
  while (size > 0 && !outputGone) {
    ssize_t n = write(outFd, data, size);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      outputGone = true;  // the terminal is gone; reading will find that out too
      return;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

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

// Signal-safe.
void leaveTerminal() {
  int i = leaveCurrent;
  writeAll(leaveBytes[i], static_cast<std::size_t>(leaveLength[i]));
  if (modesSaved) tcsetattr(inFd, TCSADRAIN, &savedModes);
}

void setHandler(int sig, void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a wait for a key wakes up to redraw
  sigaction(sig, &action, nullptr);
}

// Ctrl+C, kill, hang-up: terminal back, then die by the same signal so the parent sees it.
void onDeadlySignal(int sig) {
  if (!finished) leaveTerminal();
  setHandler(sig, SIG_DFL);
  raise(sig);  // delivered as soon as the handler returns
}

void onSuspend(int) {
  int savedErrno = errno;
  if (!finished) leaveTerminal();
  setHandler(SIGTSTP, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(SIGTSTP);  // stopped here until continued
  setHandler(SIGTSTP, onSuspend);
  if (!finished) enterRawMode();
  continued = 1;
  errno = savedErrno;
}

void onContinue(int) {
  int savedErrno = errno;
  if (!finished) enterRawMode();  // the shell may have set its own modes meanwhile
  continued = 1;
  errno = savedErrno;
}

void onResize(int) { resized = 1; }

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
  void open() {
    if (isatty(inFd) && tcgetattr(inFd, &savedModes) == 0) {
      modesSaved = true;
      enterRawMode();
    }
    int columns, rows;
    terminalSize(columns, rows);
    width_ = std::max(columns, 80);
    height_ = std::max(rows, 25);
    terminal::resetShown(shown_, columns, rows);
    escapeDelay_ = escapeDelay();
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) setHandler(sig, onDeadlySignal);
    setHandler(SIGTSTP, onSuspend);
    setHandler(SIGCONT, onContinue);
    setHandler(SIGWINCH, onResize);
  }

  void windowSize(int& width, int& height) override {
    width = width_;
    height = height_;
  }
  std::uint8_t startAttribute() override { return 0x07; }

  void present(const console::Screen& screen) override {
    last_ = &screen;
    if (resized || continued) {
      resized = 0;
      continued = 0;
      int columns, rows;
      terminalSize(columns, rows);
      terminal::resetShown(shown_, columns, rows);
    }
    frame_.clear();
    terminal::renderFrame(shown_, screen, frame_);
    leave_.clear();
    terminal::renderLeave(shown_, screen, leave_);
    // A signal must not cut into a half-written sequence or a half-updated leave buffer.
    sigset_t block, old;
    sigemptyset(&block);
    for (int sig : handledSignals) sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &old);
    writeAll(frame_.data(), frame_.size());
    int next = 1 - leaveCurrent;
    std::size_t n = std::min(leave_.size(), sizeof leaveBytes[next]);
    std::copy_n(leave_.data(), n, leaveBytes[next]);
    leaveLength[next] = static_cast<sig_atomic_t>(n);
    leaveCurrent = next;
    sigprocmask(SIG_SETMASK, &old, nullptr);
  }

  void beep() override { writeAll("\a", 1); }

  console::KeyEvent readKey() override {
    emptyAnswers_ = 0;
    for (;;) {
      if (queued_ > 0) return takeKey();
      if (ended_) return console::KeyEvent{0, 0, true};
      if ((resized || continued) && last_) present(*last_);
      int wait = terminal::awaitingEscape(decoder_) ? escapeDelay_ : -1;
      pollfd p = {inFd, POLLIN, 0};
      int ready = poll(&p, 1, wait);
      if (ready < 0) {
        if (errno != EINTR) ended_ = true;
        continue;
      }
      if (ready == 0) {
        queued_ += terminal::escapeTimeout(decoder_, keys_ + queued_);
        continue;
      }
      readByte();
    }
  }

  bool keyWaiting() override {
    // A caller that asks again and again is waiting for a key: from the third empty
    // answer on, each question waits a little, so that the loop does not spin.
    int wait = emptyAnswers_ >= 2 ? 10 : 0;
    while (queued_ == 0 && !ended_ && !terminal::awaitingEscape(decoder_)) {
      pollfd p = {inFd, POLLIN, 0};
      if (poll(&p, 1, wait) <= 0) break;
      readByte();
    }
    // A held Esc is a key too: the Esc key or the start of another one.
    bool waiting = queued_ > 0 || ended_ || decoder_.state != terminal::KeyDecoder::State::ground;
    emptyAnswers_ = waiting ? 0 : emptyAnswers_ + 1;
    return waiting;
  }

  void finish(const console::Screen& screen) override {
    if (finished) return;
    present(screen);
    leaveTerminal();
    finished = 1;
    for (int sig : handledSignals) setHandler(sig, SIG_DFL);
  }

 private:
  void readByte() {
    unsigned char byte;
    ssize_t n = read(inFd, &byte, 1);
    if (n == 1) {
      queued_ += terminal::decodeByte(decoder_, byte, keys_ + queued_);
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      // End of input, or the terminal is gone: an Esc still held was typed before.
      queued_ += terminal::escapeTimeout(decoder_, keys_ + queued_);
      ended_ = true;
    }
  }

  console::KeyEvent takeKey() {
    console::KeyEvent key = keys_[0];
    std::copy(keys_ + 1, keys_ + queued_, keys_);
    --queued_;
    return key;
  }

  int width_ = 80, height_ = 25;
  int escapeDelay_ = 50;
  terminal::Shown shown_;
  terminal::KeyDecoder decoder_;
  // Keys decoded but not yet read; one byte completes at most two.
  console::KeyEvent keys_[4];
  int queued_ = 0;
  bool ended_ = false;
  int emptyAnswers_ = 0;
  const console::Screen* last_ = nullptr;
  std::string frame_, leave_;
};

}  // namespace

namespace platform {

console::Device& systemConsole() {
  // The process has one terminal; the signal handlers above share it.
  static TerminalDevice device;
  static bool opened = false;
  if (!opened) {
    opened = true;
    device.open();
  }
  return device;
}

}  // namespace platform
