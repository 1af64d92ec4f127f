"""Drives a console program on a pseudo-terminal and reads its screen.

A Session starts one program on a fresh pty of a given size, as the session leader with
the pty as its controlling terminal (so Ctrl+C, Ctrl+Z and hang-up behave as in a shell).
Output is read on a background thread into a pyte screen and kept as raw bytes too;
stderr goes to a file of its own.
"""

import fcntl
import os
import select
import signal
import struct
import subprocess
import sys
import termios
import threading
import time
import tty

import pyte

# Keys as a terminal sends them.
ENTER = "\r"
ESC = "\x1b"
BACKSPACE = "\x7f"
CTRL_C = "\x03"
CTRL_Z = "\x1a"
UP, DOWN, RIGHT, LEFT = "\x1b[A", "\x1b[B", "\x1b[C", "\x1b[D"
HOME, END, PAGE_UP, PAGE_DOWN = "\x1b[H", "\x1b[F", "\x1b[5~", "\x1b[6~"
INSERT, DELETE = "\x1b[2~", "\x1b[3~"
F = {1: "\x1bOP", 2: "\x1bOQ", 3: "\x1bOR", 4: "\x1bOS", 5: "\x1b[15~", 6: "\x1b[17~",
     7: "\x1b[18~", 8: "\x1b[19~", 9: "\x1b[20~", 10: "\x1b[21~", 11: "\x1b[23~", 12: "\x1b[24~"}

# Colour names as pyte spells them, in ANSI order (bit 0 red); DOS colours have bit 0 blue.
_ANSI_NAMES = ["black", "red", "green", "brown", "blue", "magenta", "cyan", "white"]


def _dos_colour(name):
    bright = name.startswith("bright")
    ansi = _ANSI_NAMES.index(name[6:] if bright else name)
    dos = (ansi & 1) << 2 | (ansi & 2) | (ansi & 4) >> 2
    return dos | (8 if bright else 0)


class _Screen(pyte.Screen):
    """pyte's screen, except that the 16 colours are kept exactly: pyte 0.8 folds bright
    colours (SGR 90-97, 100-107) into the dark ones plus bold. Here they are "bright<name>"
    and bold stays what SGR 1 and 22 say."""

    def select_graphic_rendition(self, *attrs):
        replace = {}
        for attr in attrs or (0,):
            if attr == 0:
                replace.update(fg="default", bg="default", bold=False, reverse=False,
                               underscore=False, italics=False, strikethrough=False)
            elif attr == 1:
                replace["bold"] = True
            elif attr == 22:
                replace["bold"] = False
            elif 30 <= attr <= 37:
                replace["fg"] = _ANSI_NAMES[attr - 30]
            elif 90 <= attr <= 97:
                replace["fg"] = "bright" + _ANSI_NAMES[attr - 90]
            elif attr == 39:
                replace["fg"] = "default"
            elif 40 <= attr <= 47:
                replace["bg"] = _ANSI_NAMES[attr - 40]
            elif 100 <= attr <= 107:
                replace["bg"] = "bright" + _ANSI_NAMES[attr - 100]
            elif attr == 49:
                replace["bg"] = "default"
            else:
                super().select_graphic_rendition(attr)
        self.cursor.attrs = self.cursor.attrs._replace(**replace)

    def erase_in_display(self, how=0, private=False):
        # pyte 0.8 erases only the cells a line has stored, so cells never written keep the
        # default colours; a real terminal clears every cell in the current background.
        rows = {0: range(self.cursor.y + 1, self.lines), 1: range(self.cursor.y)}.get(how, range(self.lines))
        self.dirty.update(rows)
        for y in rows:
            for x in range(self.columns):
                self.buffer[y][x] = self.cursor.attrs
        if how in (0, 1):
            self.erase_in_line(how)

    def erase_in_line(self, how=0, private=False):
        self.dirty.add(self.cursor.y)
        columns = {0: range(self.cursor.x, self.columns), 1: range(self.cursor.x + 1)}.get(how, range(self.columns))
        for x in columns:
            self.buffer[self.cursor.y][x] = self.cursor.attrs


class ScreenView:
    """A terminal screen fed with output bytes, read in the program's terms."""

    def __init__(self, columns, rows, default_colours=None):
        """default_colours: the (foreground, background) DOS colours a program means when it
        leaves a cell in the terminal's default colours; None when it never should."""
        self.screen = _Screen(columns, rows)
        self.default_colours = default_colours
        self._stream = pyte.ByteStream(self.screen)

    def feed(self, data):
        self._stream.feed(data)

    def lines(self):
        """The rows, trailing blanks removed."""
        return [line.rstrip() for line in self.screen.display]

    def row(self, r):
        """Row r (1-based) with its trailing blanks."""
        return self.screen.display[r - 1]

    def text(self):
        return "\n".join(self.lines())

    def cursor(self):
        """The cursor as (column, row), 1-based."""
        return self.screen.cursor.x + 1, self.screen.cursor.y + 1

    def cell(self, column, r):
        """The pyte cell (data, fg, bg, bold, ...) at column, row (1-based)."""
        return self.screen.buffer[r - 1][column - 1]

    def attribute(self, column, r):
        """The DOS text attribute a cell is shown in (bits 0-3 foreground, 4-7 background);
        None when it is in the terminal's default colours (unless the program gives them a
        meaning, see default_colours)."""
        c = self.cell(column, r)
        defaults = self.default_colours or (None, None)
        fg = defaults[0] if c.fg == "default" else _dos_colour(c.fg)
        bg = defaults[1] if c.bg == "default" else _dos_colour(c.bg)
        if fg is None or bg is None:
            return None
        return fg | bg << 4

    def attributes(self, r, first=1, last=None):
        """The set of attributes in columns first..last of row r."""
        return {self.attribute(c, r) for c in range(first, (last or self.screen.columns) + 1)}


class Session:
    def __init__(self, argv, cwd, env, columns=80, rows=25, stdin=None, stderr_path=None,
                 job_control=False, default_colours=None, raw_terminal=False, frame_end=None,
                 window=None, stdout=None):
        """stdin: None for the terminal, or bytes fed through a pipe (then only the
        output is on the terminal). job_control: run the program as a shell's foreground
        job (needed for Ctrl+Z); self.pid is then the program's own pid. default_colours:
        see ScreenView. raw_terminal: the terminal starts in raw mode. frame_end: the bytes
        that end each whole update of the screen, when an update may come in pieces.
        window: the (columns, rows) the terminal reports, when not the size of the screen
        read. stdout: where standard output goes instead of the terminal (a file or fd)."""
        self.columns, self.rows = columns, rows
        self.raw = b""
        self.default_colours = default_colours
        self.frame_end = frame_end
        self.view = ScreenView(columns, rows, default_colours)
        self._lock = threading.Condition()
        self._last_output = self._last_input = time.monotonic()
        self._eof = False
        self._exit_seen = None
        self._stopping = False

        self.master, self.slave = os.openpty()
        reported_columns, reported_rows = window or (columns, rows)
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", reported_rows, reported_columns, 0, 0))
        if raw_terminal:
            tty.setraw(self.slave)
        self.modes_before = termios.tcgetattr(self.slave)
        self.stderr_path = stderr_path or os.path.join(cwd, ".stderr")
        self._stderr = open(self.stderr_path, "wb")
        stdin_arg = self.slave if stdin is None else subprocess.PIPE

        terminal = 1 if stdout is None else 0  # with output elsewhere, input is the terminal

        def become_controlling_terminal():
            fcntl.ioctl(terminal, termios.TIOCSCTTY, 0)

        if job_control:
            pidfile = self.stderr_path + ".pid"
            argv = [sys.executable, os.path.join(os.path.dirname(__file__), "jobshell.py"), pidfile] + list(argv)
        self.process = subprocess.Popen(
            argv, cwd=cwd, env=env, stdin=stdin_arg, stdout=self.slave if stdout is None else stdout,
            stderr=self._stderr, start_new_session=True, preexec_fn=become_controlling_terminal)
        if stdin is not None:
            self.process.stdin.write(stdin)
            self.process.stdin.close()
        self.pid = self.process.pid
        if job_control:
            deadline = time.monotonic() + 10
            while not os.path.exists(pidfile) and time.monotonic() < deadline:
                time.sleep(0.01)
            with open(pidfile) as f:
                self.pid = int(f.read())
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    # --- output ------------------------------------------------------------------------

    def _read(self):
        while True:
            fd = self.master
            try:
                if fd is None or self._stopping:
                    raise OSError("the terminal was closed")
                ready, _, _ = select.select([fd], [], [], 0.05)
                if not ready:
                    if self.process.poll() is not None and self._eof_after_exit():
                        break
                    continue
                data = os.read(fd, 65536)
            except (OSError, ValueError):
                data = b""
            with self._lock:
                if not data:
                    self._eof = True
                    self._lock.notify_all()
                    return
                self.raw += data
                self.view.feed(data)
                self._last_output = time.monotonic()
                self._lock.notify_all()

    def _eof_after_exit(self):
        # The parent keeps the slave open, so there is no EOF: after the exit, quiet means done.
        # Quiet counts from the exit too: the kernel hands the last bytes to the master side
        # a little later, so they may not be readable yet when the exit is first seen.
        with self._lock:
            now = time.monotonic()
            if self._exit_seen is None:
                self._exit_seen = now
            if now - max(self._last_output, self._exit_seen) > 0.2:
                self._eof = True
                self._lock.notify_all()
                return True
        return False

    def wait_settle(self, quiet=0.3, timeout=10):
        """Waits until nothing has been written for `quiet` seconds since the last output
        or the last key sent."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while not self._eof:
                idle = time.monotonic() - max(self._last_output, self._last_input)
                if idle >= quiet:
                    return
                if time.monotonic() > deadline:
                    raise TimeoutError("the screen did not settle:\n" + self.text())
                self._lock.wait(quiet - idle)

    def wait_text(self, text, timeout=10):
        """Waits until text shows somewhere on the screen; returns its (column, row), 1-based."""
        _, column, row = self.wait_any(text, timeout=timeout)
        return column, row

    def wait_any(self, *texts, timeout=10):
        """Waits until one of the texts shows; returns (text, column, row)."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while True:
                for r, line in enumerate(self.view.screen.display, 1):
                    for text in texts:
                        col = line.find(text)
                        if col >= 0:
                            return text, col + 1, r
                if self._eof or time.monotonic() > deadline:
                    raise TimeoutError(f"none of {texts!r} appeared:\n" + self.text())
                self._lock.wait(0.1)

    def wait_for(self, check, timeout=10):
        """Waits until check() is true, looking again whenever output arrives; returns its
        last result (false when the time ran out or the program ended first)."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while True:
                ready = self._between_updates()
                result = check() if ready else False
                if result or self._eof or time.monotonic() > deadline:
                    return result if ready else check()
                self._lock.wait(0.1)

    def _between_updates(self):
        """True unless a screen update is still coming in (see frame_end)."""
        return (self._eof or self.frame_end is None or self.raw.endswith(self.frame_end)
                or time.monotonic() - self._last_output > 0.3)

    def forget_screen(self):
        """Blanks the screen as read so far, to see what the program draws next."""
        with self._lock:
            self.view.screen.reset()

    def replay(self, upto):
        """The screen as it was after the first `upto` bytes of output."""
        view = ScreenView(self.columns, self.rows, self.default_colours)
        view.feed(self.raw[:upto])
        return view

    def lines(self):
        with self._lock:
            return self.view.lines()

    def row(self, r):
        with self._lock:
            return self.view.row(r)

    def text(self):
        return "\n".join(self.lines())

    def cursor(self):
        with self._lock:
            return self.view.cursor()

    def cell(self, column, r):
        with self._lock:
            return self.view.cell(column, r)

    def attribute(self, column, r):
        with self._lock:
            return self.view.attribute(column, r)

    def attributes(self, r, first=1, last=None):
        with self._lock:
            return self.view.attributes(r, first, last)

    # --- input -------------------------------------------------------------------------

    def send(self, keys, settle=True):
        """Types keys (str or bytes); by default waits for the screen to settle after."""
        with self._lock:
            self._last_input = time.monotonic()
        os.write(self.master, keys.encode() if isinstance(keys, str) else keys)
        if settle:
            self.wait_settle()

    def resize(self, columns, rows):
        """Changes the terminal's size (the kernel tells the foreground job by SIGWINCH)."""
        with self._lock:
            self.view.screen.resize(rows, columns)
            self.columns, self.rows = columns, rows
            self._last_input = time.monotonic()
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))

    def hang_up(self):
        """Closes the terminal's master side, as when the terminal window is closed."""
        fd, self.master = self.master, None
        self._reader.join()  # it stops at its next look at the master
        os.close(fd)

    # --- the end -----------------------------------------------------------------------

    def wait_exit(self, timeout=10):
        """The exit code, or minus the signal number that ended the process."""
        code = self.process.wait(timeout)
        with self._lock:
            while not self._eof:
                self._lock.wait(0.1)
        return code

    def stopped(self, timeout=5):
        """True once the program is stopped (Ctrl+Z; needs job_control)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with open(f"/proc/{self.pid}/stat") as f:
                if f.read().rsplit(")", 1)[1].split()[0] in ("T", "t"):
                    return True
            time.sleep(0.05)
        return False

    def fg(self):
        """The stopped or background job to the foreground, as a shell's fg (job_control)."""
        os.kill(self.process.pid, signal.SIGUSR1)

    def bg(self):
        """The stopped job continued in the background, as a shell's bg (job_control)."""
        os.kill(self.process.pid, signal.SIGUSR2)

    def stderr(self):
        self._stderr.flush()
        with open(self.stderr_path, "rb") as f:
            return f.read().decode(errors="replace")

    def modes(self):
        """The terminal modes (termios attributes) the pty has now."""
        return termios.tcgetattr(self.slave)

    def close(self):
        if self.process.poll() is None:
            if self.pid != self.process.pid:
                try:
                    os.kill(self.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            self.process.kill()
            self.process.wait()
        # The reader must be gone before the descriptors close: their numbers are reused
        # by the next session's terminal at once.
        self._stopping = True
        self._reader.join()
        for fd in (self.master, self.slave):
            if fd is not None:
                try:
                    os.close(fd)
                except OSError:
                    pass
        self._stderr.close()
