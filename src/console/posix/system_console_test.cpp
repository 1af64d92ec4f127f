// The terminal device on a pseudo-terminal. The device is one per process and takes the
// process's signals, so each case runs in a child whose standard input and output are the
// terminal; the test is the far end, typing and reading what is shown.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "console/system_console.h"
#include "platform/leftovers.h"

namespace {

using Body = std::function<std::string(console::Device&)>;

struct Outcome {
  std::string shown;   // what the child wrote to the terminal
  std::string report;  // what the body returned
  int status = 0;
  bool modesBack = false;  // the terminal's modes after the child as they were before
};

void writeAll(int fd, const std::string& bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
    if (n <= 0) return;
    at += static_cast<std::size_t>(n);
  }
}

// Runs body on a new terminal of the given size. Each piece of typed goes in after the
// device is open, a pause apart. The keys may come through a pipe instead (closed after the
// last), or the output may go into one.
// meanwhile(child, master, slave) runs once the device is open, before anything is typed;
// the terminal is not read while it runs.
enum class Wiring { terminal, keysFromPipe, outputToPipe };

Outcome onTerminal(const Body& body, std::vector<std::string> typed = {}, winsize size = {25, 80, 0, 0},
                   int pauseMs = 0, Wiring wiring = Wiring::terminal,
                   std::function<void(pid_t, int, int)> meanwhile = {}) {
  Outcome run;
  int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ::grantpt(master);
  ::unlockpt(master);
  ::ioctl(master, TIOCSWINSZ, &size);
  int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  termios before, after;
  ::tcgetattr(slave, &before);
  int report[2], keys[2];
  EXPECT_EQ(::pipe(report), 0);
  EXPECT_EQ(::pipe(keys), 0);
  bool keysFromPipe = wiring == Wiring::keysFromPipe;
  int keysIn = keysFromPipe ? keys[1] : master;
  pid_t child = ::fork();
  if (child == 0) {
    ::setsid();
    ::ioctl(slave, TIOCSCTTY, 0);
    ::dup2(keysFromPipe ? keys[0] : slave, STDIN_FILENO);
    int output[2];
    if (wiring == Wiring::outputToPipe && ::pipe(output) == 0) ::dup2(output[1], STDOUT_FILENO);  // never read
    else ::dup2(slave, STDOUT_FILENO);
    ::close(master);
    ::close(report[0]);
    ::close(keys[1]);
    console::Device& device = platform::systemConsole();
    writeAll(report[1], "R");
    writeAll(report[1], body(device));
    ::_exit(0);
  }
  ::close(report[1]);
  ::close(keys[0]);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool reportOpen = true, ready = false;
  std::size_t next = 0;
  while (reportOpen && std::chrono::steady_clock::now() < deadline) {
    pollfd fds[2] = {{master, POLLIN, 0}, {report[0], POLLIN, 0}};
    if (meanwhile && !run.report.empty()) {
      meanwhile(child, master, slave);
      meanwhile = nullptr;
    }
    if (meanwhile) fds[0].events = 0;
    ::poll(fds, 2, 50);
    char buffer[4096];
    if (fds[0].revents & POLLIN) {
      ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n > 0) run.shown.append(buffer, static_cast<std::size_t>(n));
    }
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      ssize_t n = ::read(report[0], buffer, sizeof buffer);
      if (n <= 0) reportOpen = false;
      else run.report.append(buffer, static_cast<std::size_t>(n));
    }
    ready = !run.report.empty();
    if (ready && !meanwhile && next < typed.size()) {
      if (next > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
      writeAll(keysIn, typed[next++]);
      if (next == typed.size()) ::close(keys[1]);
    }
  }
  if (next < typed.size() || typed.empty()) ::close(keys[1]);
  if (reportOpen) ::kill(child, SIGKILL);
  ::waitpid(child, &run.status, 0);
  ::tcgetattr(slave, &after);
  for (char buffer[4096];;) {  // what is still on its way
    pollfd p = {master, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) break;
    ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    run.shown.append(buffer, static_cast<std::size_t>(n));
  }
  // The output's blocking flag counts too: the shell shares it.
  run.modesBack = before.c_iflag == after.c_iflag && before.c_oflag == after.c_oflag &&
                  before.c_lflag == after.c_lflag &&
                  std::memcmp(before.c_cc, after.c_cc, sizeof before.c_cc) == 0 &&
                  !(::fcntl(slave, F_GETFL) & O_NONBLOCK);
  if (!run.report.empty()) run.report.erase(0, 1);  // the "ready" mark
  ::close(report[0]);
  ::close(slave);
  ::close(master);
  return run;
}

std::string readKeys(console::Device& device, int count) {
  std::string keys;
  for (int i = 0; i < count; ++i) {
    console::KeyEvent key = device.readKey();
    keys += std::to_string(key.ch) + "/" + std::to_string(key.scan) + " ";
  }
  return keys;
}

console::Screen screenWith(const char* text, int row) {
  console::Screen screen;
  screen.cells.resize(80 * 25);
  for (int i = 0; text[i]; ++i) screen.at(i + 1, row).ch = static_cast<std::uint8_t>(text[i]);
  screen.row = row + 1;
  return screen;
}

// The largest screen, its letters and colours changing cell by cell: far more than a
// terminal's buffer takes at once.
console::Screen largestScreenInColours() {
  console::Screen screen = screenWith("", 1);
  screen.width = console::maxWidth, screen.height = console::maxHeight;
  screen.cells.assign(static_cast<std::size_t>(screen.width * screen.height), console::Cell{});
  for (std::size_t i = 0; i < screen.cells.size(); ++i)
    screen.cells[i] = {static_cast<std::uint8_t>('a' + i % 26), static_cast<std::uint8_t>(i)};
  return screen;
}

TEST(TerminalDevice, KeysComeOneAtATimeInTheOrderTyped) {
  // a, cursor up, é, Esc then a byte that is no sequence (two keys from one byte), F1,
  // Ctrl+S (a key, not a stop of the output), Enter.
  Outcome run = onTerminal([](console::Device& d) { return readKeys(d, 8); },
                       {"a\x1b[A\xC3\xA9\x1b\x01\x1bOP\x13\r"});
  EXPECT_EQ(run.report, "97/0 0/72 130/0 27/0 1/0 0/59 19/0 13/0 ");
}

TEST(TerminalDevice, AKeyIsWaitingOnceAllOfItHasComeIn) {
  // a and cursor up typed at once; then an unknown sequence, which is no key, and a lone
  // Esc, which is one only after ESCDELAY.
  Outcome run = onTerminal(
      [](console::Device& d) {
        std::string seen;
        for (int i = 0; i < 3; ++i) {
          seen += readKeys(d, 1);
          seen += d.keyWaiting() ? "waiting " : "none ";
        }
        return seen;
      },
      {"a\x1b[A\x1b[99z\x1b"});
  EXPECT_EQ(run.report, "97/0 waiting 0/72 none 27/0 none ");
}

TEST(TerminalDevice, ALoneEscWaitsForEscdelay) {
  // Esc, then "[A" a moment later: within ESCDELAY one cursor key, after it three keys.
  for (const char* longest : {"2000", "10000"}) {
    setenv("ESCDELAY", longest, 1);
    Outcome slow = onTerminal([](console::Device& d) { return readKeys(d, 1); }, {"\x1b", "[A"}, {25, 80, 0, 0}, 300);
    EXPECT_EQ(slow.report, "0/72 ") << longest;
  }
  setenv("ESCDELAY", "0", 1);
  Outcome fast = onTerminal([](console::Device& d) { return readKeys(d, 3); }, {"\x1b", "[A"}, {25, 80, 0, 0}, 300);
  unsetenv("ESCDELAY");
  EXPECT_EQ(fast.report, "27/0 91/0 65/0 ");
}

TEST(TerminalDevice, AnEscHeldWhenTheKeysEndIsTheEscKey) {
  setenv("ESCDELAY", "2000", 1);
  Outcome run = onTerminal(
      [](console::Device& d) {
        std::string keys = readKeys(d, 2);
        return keys + (d.readKey().end ? "end" : "more");
      },
      {"a\x1b"}, {25, 80, 0, 0}, 0, Wiring::keysFromPipe);
  unsetenv("ESCDELAY");
  EXPECT_EQ(run.report, "97/0 27/0 end");
}

TEST(TerminalDevice, AfterAStopOrAResizeFromOutsideTheScreenIsDrawnAgainOnce) {
  for (bool resize : {false, true}) {
    Outcome run = onTerminal(
        [](console::Device& d) {
          console::Screen screen = screenWith("drawn", 1);  // the device keeps it to draw again
          d.present(screen);
          std::string keys = readKeys(d, 1);
          d.present(screen);  // unchanged since: nothing to draw
          return keys;
        },
        {"x"}, {25, 80, 0, 0}, 0, Wiring::terminal, [resize](pid_t child, int terminal, int) {
          std::this_thread::sleep_for(std::chrono::milliseconds(200));
          if (resize) {
            winsize larger = {30, 100, 0, 0};
            ::ioctl(terminal, TIOCSWINSZ, &larger);  // the terminal sends SIGWINCH
          } else {
            ::kill(child, SIGSTOP);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ::kill(child, SIGCONT);
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(200));
        });
    EXPECT_EQ(run.report, "120/0 ");
    int drawn = 0;
    for (std::size_t at = run.shown.find("drawn"); at != std::string::npos; at = run.shown.find("drawn", at + 1)) ++drawn;
    EXPECT_EQ(drawn, 2) << (resize ? "resize" : "stop");
  }
}

TEST(TerminalDevice, WindowSizeWithinTheModelsBounds) {
  struct {
    unsigned short columns, rows;
    const char* seen;
    Wiring wiring = Wiring::terminal;
  } cases[] = {{0, 0, "80x25"},   {0, 40, "80x25"},    {100, 0, "80x25"},         {100, 40, "100x40"},
               {60, 10, "80x25"}, {1000, 1000, "512x256"}, {100, 40, "100x40", Wiring::keysFromPipe},
               {100, 40, "100x40", Wiring::outputToPipe}};
  for (const auto& c : cases) {
    Outcome run = onTerminal(
        [](console::Device& d) {
          int width, height;
          d.windowSize(width, height);
          d.present(screenWith("visible", 1));
          return std::to_string(width) + "x" + std::to_string(height);
        },
        {}, {c.rows, c.columns, 0, 0}, 0, c.wiring);
    EXPECT_EQ(run.report, c.seen) << c.columns << "x" << c.rows;
    bool drawnOnTerminal = c.wiring != Wiring::outputToPipe;
    EXPECT_EQ(run.shown.find("visible") != std::string::npos, drawnOnTerminal) << c.columns << "x" << c.rows;
  }
}

// It also takes away the temporary file of a save in progress.
TEST(TerminalDevice, ASignalBeforeTheFirstFrameLeavesTheTerminalAsItWas) {
  char saving[] = "/tmp/zor-saving-XXXXXX";
  ::close(::mkstemp(saving));
  Outcome run = onTerminal([&saving](console::Device&) {
    platform::savingTo(saving);
    ::raise(SIGTERM);
    return std::string("not stopped");
  });
  EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGTERM);
  EXPECT_EQ(run.shown, "");
  EXPECT_TRUE(run.modesBack);
  EXPECT_NE(::unlink(saving), 0) << "left behind";
}

// The hand-back bytes follow the last frame, whether the program finishes or a signal ends
// it: the cursor goes below the last row the last frame used, not an earlier one.
TEST(TerminalDevice, TheTerminalIsHandedBackAfterTheLastFrame) {
  const std::string leave = "\x1b[0m\x1b[7H\x1b[J";
  for (bool bySignal : {false, true}) {
    Outcome run = onTerminal([bySignal](console::Device& d) {
      d.present(screenWith("first", 2));
      d.present(screenWith("second", 6));
      if (bySignal) ::raise(SIGTERM);
      d.finish(screenWith("closing", 6));
      return std::string("finished");
    });
    SCOPED_TRACE(bySignal ? "signal" : "finish");
    EXPECT_NE(run.shown.find(bySignal ? "second" : "closing"), std::string::npos);
    ASSERT_GE(run.shown.size(), leave.size());
    EXPECT_EQ(run.shown.substr(run.shown.size() - leave.size()), leave);
    EXPECT_TRUE(run.modesBack);
    if (bySignal) {
      EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGTERM);
      EXPECT_EQ(run.report, "");
    } else {
      EXPECT_EQ(run.report, "finished");
    }
  }
}

TEST(TerminalDevice, ASignalCuttingIntoAFrameEndsItsSequenceFirst) {
  // A frame far larger than the terminal's buffer, in colours changing cell by cell, stalls
  // in the middle; a signal then ends the run there.
  Outcome run = onTerminal(
      [](console::Device& d) {
        d.present(screenWith("small", 1));
        d.present(largestScreenInColours());
        return std::string("not stopped");
      },
      {}, {console::maxHeight, console::maxWidth, 0, 0}, 0, Wiring::terminal, [](pid_t child, int terminal, int) {
        // Far more waiting to be read than the small frame: the large one is on its way.
        int waiting = 0;
        for (int tries = 0; waiting < 1000 && tries < 500; ++tries) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
          ::ioctl(terminal, FIONREAD, &waiting);
        }
        ::kill(child, SIGTERM);
      });
  EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGTERM);
  std::size_t cancel = run.shown.find('\x18');
  ASSERT_NE(cancel, std::string::npos);
  EXPECT_EQ(std::count(run.shown.begin(), run.shown.end(), '\x18'), 1);
  EXPECT_EQ(run.shown.substr(cancel), "\x18\x1b[0m\x1b[2H\x1b[J");  // then the small frame's hand-back
  EXPECT_TRUE(run.modesBack);
}

// A signal that does not end the run (a resize) cuts a stalled write short: the frame goes
// on from where the write stopped, byte for byte as without it.
TEST(TerminalDevice, AFrameCutShortByAResizeGoesOnWhereItStopped) {
  std::string shown[2];
  for (bool resize : {false, true}) {
    Outcome run = onTerminal(
        [](console::Device& d) {
          d.present(largestScreenInColours());
          return std::string("drawn");
        },
        {}, {console::maxHeight, console::maxWidth, 0, 0}, 0, Wiring::terminal, [resize](pid_t child, int, int) {
          std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the write stalls
          if (resize) ::kill(child, SIGWINCH);
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
        });
    EXPECT_EQ(run.report, "drawn");
    shown[resize] = run.shown;
  }
  EXPECT_GT(shown[0].size(), 100000u);
  EXPECT_TRUE(shown[0] == shown[1]) << shown[0].size() << " bytes, with a resize " << shown[1].size();
}

TEST(TerminalDevice, ASignalWaitsAMomentForATerminalHoldingItsOutput) {
  Outcome run = onTerminal(
      [](console::Device& d) {
        d.present(screenWith("drawn", 1));
        return readKeys(d, 1);
      },
      {}, {25, 80, 0, 0}, 0, Wiring::terminal, [](pid_t child, int, int slave) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::tcflow(slave, TCOOFF);  // as Ctrl+S holds a real terminal's output
        ::kill(child, SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::tcflow(slave, TCOON);
      });
  EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGTERM);
  const std::string leave = "\x1b[0m\x1b[2H\x1b[J";
  ASSERT_GE(run.shown.size(), leave.size());
  EXPECT_EQ(run.shown.substr(run.shown.size() - leave.size()), leave);
}

}  // namespace
