// The console device over the Win32 console: the model's cells go out with
// WriteConsoleOutputA, keys come from the console's input events, lines from the console's
// own line editor.
#include <algorithm>
#include <string>
#include <vector>

#include "console/system_console.h"
#include "platform/platform.h"
#include "console/win32/key_events.h"
#include "console/win32/line_echo.h"
#include "platform/win32/code_page.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {

using console::Cell;
using console::KeyEvent;
using console::Screen;

constexpr DWORD keyMode = ENABLE_PROCESSED_INPUT;  // Ctrl+C stays the system's
constexpr DWORD lineMode = ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT;

// Ctrl+C and Ctrl+Break end the program the system's way: its handler ends the process
// while the broken-off read returns. Wine's console host on a terminal breaks the read
// without running the handler, so after a moment the process ends as the handler would.
constexpr DWORD breakGrace = 500;  // ms

[[noreturn]] void endByBreak() {
  Sleep(breakGrace);
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

// Wine breaks a console line read off with no error code, where Windows gives
// ERROR_OPERATION_ABORTED; an empty line read there is Ctrl+Z, the end of the input.
bool onWine() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

class Win32Console : public console::Device {
 public:
  Win32Console() {
    in_ = GetStdHandle(STD_INPUT_HANDLE);
    out_ = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleMode(in_, &savedMode_) || !GetConsoleScreenBufferInfo(out_, &info))
      runtimeError(static_cast<int>(GetLastError()));
    window_ = info.srWindow;
    // The program uses the window's top left part when it is larger than a model can be.
    width_ = std::min(window_.Right - window_.Left + 1, console::maxWidth);
    height_ = std::min(window_.Bottom - window_.Top + 1, console::maxHeight);
    window_.Right = static_cast<SHORT>(window_.Left + width_ - 1);
    window_.Bottom = static_cast<SHORT>(window_.Top + height_ - 1);
    WORD attribute = info.wAttributes;
    DWORD read = 0;
    if (!ReadConsoleOutputAttribute(out_, &attribute, 1, info.dwCursorPosition, &read))
      fail();
    startAttribute_ = static_cast<std::uint8_t>(attribute);
    shownCursor_ = info.dwCursorPosition;
    shown_.resize(static_cast<std::size_t>(width_ * height_));
    readShown();
    setMode(keyMode);
    // A look at the input makes a console that sits on a terminal (Wine's) take the
    // keyboard over now, not at the first read: keys typed ahead of that read would meet
    // the terminal's own line mode (echoed, Enter turned into a line feed).
    INPUT_RECORD record;
    DWORD seen = 0;
    PeekConsoleInputA(in_, &record, 1, &seen);
  }

  void windowSize(int& width, int& height) override {
    width = width_;
    height = height_;
  }
  std::uint8_t startAttribute() override { return startAttribute_; }
  int codePage() override { return static_cast<int>(GetConsoleCP()); }

  // The cursor first, then one write for the smallest rectangle around every changed cell:
  // the console shows each new screen in one step, with the cursor already in its place.
  void present(const Screen& screen) override {
    COORD cursor{static_cast<SHORT>(window_.Left + screen.column - 1),
                 static_cast<SHORT>(window_.Top + screen.row - 1)};
    if (cursor.X != shownCursor_.X || cursor.Y != shownCursor_.Y) {
      if (!SetConsoleCursorPosition(out_, cursor)) fail();
      shownCursor_ = cursor;
    }
    if (screen.scrolled > 0 && screen.scrolled < height_) scroll(screen.scrolled, screen);
    int top = height_, bottom = -1, left = width_, right = -1;
    for (int row = 0; row < height_; ++row) {
      int first = 0, last = width_ - 1;
      while (first <= last && same(screen, first, row)) ++first;
      if (first > last) continue;
      while (same(screen, last, row)) --last;
      top = std::min(top, row);
      bottom = row;
      left = std::min(left, first);
      right = std::max(right, last);
    }
    if (bottom < 0) return;
    std::vector<CHAR_INFO> block;
    for (int row = top; row <= bottom; ++row) {
      for (int col = left; col <= right; ++col) {
        const Cell& c = screen.at(col + 1, row + 1);
        CHAR_INFO ci{};
        ci.Char.AsciiChar = static_cast<CHAR>(c.ch);
        ci.Attributes = c.attr;
        block.push_back(ci);
        shown_[index(col, row)] = ci;
      }
    }
    SMALL_RECT target{static_cast<SHORT>(window_.Left + left), static_cast<SHORT>(window_.Top + top),
                      static_cast<SHORT>(window_.Left + right), static_cast<SHORT>(window_.Top + bottom)};
    COORD size{static_cast<SHORT>(right - left + 1), static_cast<SHORT>(bottom - top + 1)};
    if (!WriteConsoleOutputA(out_, block.data(), size, COORD{0, 0}, &target)) fail();
  }

  void beep() override { MessageBeep(MB_OK); }

  KeyEvent readKey() override {
    if (repeats_ > 0) {
      --repeats_;
      return repeated_;
    }
    for (;;) {
      INPUT_RECORD record;
      DWORD read = 0;
      if (!ReadConsoleInputA(in_, &record, 1, &read)) return KeyEvent{0, 0, true};
      if (read == 0) endByBreak();  // a console read returns nothing only when broken off
      KeyEvent key;
      if (!win32::keyFromRecord(record, key)) continue;
      // A held key comes as one event with a repeat count.
      if (record.Event.KeyEvent.bKeyDown && record.Event.KeyEvent.wRepeatCount > 1) {
        repeated_ = key;
        repeats_ = record.Event.KeyEvent.wRepeatCount - 1;
      }
      return key;
    }
  }

  // A key press waiting among the input events; the events before it that are no key
  // press go, as readKey would pass them by.
  bool keyWaiting() override {
    if (repeats_ > 0) return true;
    for (;;) {
      INPUT_RECORD record;
      DWORD seen = 0;
      if (!PeekConsoleInputA(in_, &record, 1, &seen) || seen == 0) return false;  // never waits
      KeyEvent key;
      if (win32::keyFromRecord(record, key)) return true;
      if (!ReadConsoleInputA(in_, &record, 1, &seen)) return false;
    }
  }

  bool readLine(Screen& screen, Str& line, std::uint8_t attribute, bool& unfit) override {
    // The console's editor works on what the console shows: the model goes out first.
    present(screen);
    screen.scrolled = 0;
    if (!SetConsoleTextAttribute(out_, attribute)) fail();
    setMode(lineMode);
    std::wstring wide = readTypedLine();
    setMode(keyMode);
    // Wide, as typed: the console's code page conversion would give "?" for a letter the
    // OEM code page lacks, and so another name.
    std::optional<std::string> oem = win32::oemOf(wide);
    unfit = !oem;
    std::string typed = oem ? *oem : win32::oemShown(wide);
    // The console's editor has echoed the line and moved down: the model follows it, and
    // what the console shows is read back so that the next present compares against it.
    win32::echoLine(screen, typed, attribute);
    followWindow(screen);
    line = typed;
    return true;
  }

  // The console's modes come back even when the last screen cannot be shown; that failure
  // then ends the run.
  void finish(const Screen& screen) override {
    int error = 0;
    if (!failed_) {
      try {
        present(screen);
      } catch (const RunEnd& end) {
        error = end.code;
      }
    }
    SetConsoleTextAttribute(out_, startAttribute_);
    SetConsoleMode(in_, savedMode_);
    if (error) runtimeError(error);
  }

 private:
  HANDLE in_ = INVALID_HANDLE_VALUE;
  HANDLE out_ = INVALID_HANDLE_VALUE;
  DWORD savedMode_ = 0;
  SMALL_RECT window_{};
  int width_ = 80, height_ = 25;
  std::uint8_t startAttribute_ = console::startColours;
  std::vector<CHAR_INFO> shown_;  // what the console window shows now
  COORD shownCursor_{0, 0};
  KeyEvent repeated_;
  int repeats_ = 0;
  bool failed_ = false;

  [[noreturn]] void fail() {
    failed_ = true;  // the console is gone: finishing must not try again
    runtimeError(static_cast<int>(GetLastError()));
  }

  std::size_t index(int col, int row) const { return static_cast<std::size_t>(row * width_ + col); }

  bool same(const Screen& screen, int col, int row) const {
    const CHAR_INFO& ci = shown_[index(col, row)];
    const Cell& c = screen.at(col + 1, row + 1);
    return static_cast<std::uint8_t>(ci.Char.AsciiChar) == c.ch && ci.Attributes == c.attr;
  }

  void setMode(DWORD mode) {
    if (!SetConsoleMode(in_, mode)) fail();
  }

  void readShown() {
    SMALL_RECT source = window_;
    if (!ReadConsoleOutputA(out_, shown_.data(), COORD{static_cast<SHORT>(width_), static_cast<SHORT>(height_)},
                            COORD{0, 0}, &source))
      fail();
  }

  // The rows move up inside the window; the row coming in is blank like the model's.
  void scroll(int rows, const Screen& screen) {
    CHAR_INFO fill{};
    fill.Char.AsciiChar = ' ';
    fill.Attributes = screen.at(1, height_).attr;
    SMALL_RECT moving = window_;
    moving.Top = static_cast<SHORT>(window_.Top + rows);
    if (!ScrollConsoleScreenBufferA(out_, &moving, &window_, COORD{window_.Left, window_.Top}, &fill)) fail();
    std::size_t moved = index(0, rows);
    std::copy(shown_.begin() + static_cast<std::ptrdiff_t>(moved), shown_.end(), shown_.begin());
    std::fill(shown_.end() - static_cast<std::ptrdiff_t>(moved), shown_.end(), fill);
  }

  // The line up to Enter, as typed (the echo shows all of it), without its CR LF.
  std::wstring readTypedLine() {
    std::wstring typed;
    wchar_t buffer[512];
    for (;;) {
      DWORD read = 0;
      SetLastError(0);
      BOOL done = ReadConsoleW(in_, buffer, sizeof buffer / sizeof buffer[0], &read, nullptr);
      DWORD error = GetLastError();
      if (error == ERROR_OPERATION_ABORTED || (done && read == 0 && onWine())) endByBreak();
      // The console is gone, or Ctrl+Z at the start of a line ended the input (the end of
      // file ReadFile would have made of it).
      if (!done || read == 0 || (typed.empty() && buffer[0] == 0x1A)) {
        Sleep(breakGrace);  // unless a break was on its way
        runtimeError(100);
      }
      typed.append(buffer, read);
      if (typed.back() == L'\n') break;
    }
    typed.pop_back();
    if (!typed.empty() && typed.back() == L'\r') typed.pop_back();
    return typed;
  }

  // The console may have moved its window down instead of scrolling the buffer; the
  // window keeps its size.
  void followWindow(Screen& screen) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(out_, &info)) fail();
    window_.Top = info.srWindow.Top;
    window_.Left = info.srWindow.Left;
    window_.Bottom = static_cast<SHORT>(window_.Top + height_ - 1);
    window_.Right = static_cast<SHORT>(window_.Left + width_ - 1);
    readShown();
    shownCursor_ = info.dwCursorPosition;
    int column = info.dwCursorPosition.X - window_.Left + 1;
    int row = info.dwCursorPosition.Y - window_.Top + 1;
    if (column >= 1 && column <= width_ && row >= 1 && row <= height_) {
      screen.column = column;
      screen.row = row;
    }
  }
};

}  // namespace

console::Device& systemConsole() {
  static Win32Console device;  // the process has one console
  return device;
}

}  // namespace platform
