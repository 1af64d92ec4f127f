"""The program on a terminal that is not kind to it: killed, interrupted and hung up in
every screen, a very large window, the Linux console's own key spellings, keys that come
all at once or one byte at a time, input that ends at any point, and a 100 KB paste."""

import os
import re
import signal
import time

import pytest

from conftest import dos_devices, snapshot
from harness import CTRL_C, ENTER, ESC, UP
from steps import (CURSOR_ROW, LANGUAGES, YELLOW_ON_BLUE, dos, expect, in_row, launcher_bytes, menu_row_of,
                   menu_screen, option_line, reach_menu, read_menu, rows, shows)

T = LANGUAGES["en"]
OLD_LAUNCHER = launcher_bytes("REM kept", "C:\\ZOR\\ZOR4.EXE", option_line(U="-"))


@pytest.fixture
def launcher(bin_dir):
    """An existing launcher on PATH: what the run must leave alone."""
    (bin_dir / "ZO.BAT").write_bytes(OLD_LAUNCHER)
    return bin_dir / "ZO.BAT"


def into(s, where):
    """From the start to a screen: the menu, half a name typed at the colour-table prompt,
    or the colour-table editor on a new table with one colour changed."""
    reach_menu(s, T)
    if where == "prompt":
        s.send("f")
        s.send("HALF")
        s.wait_text("HALF")
    elif where == "editor":
        s.send("*")
        s.send(ENTER)  # the offered name, TEST: no such file, so a new table
        s.wait_text(T["comment"])
        s.send("mine" + ENTER)
        s.wait_text(T["legend"][0])
        s.send("a")


@pytest.mark.parametrize("sig,where", [
    (signal.SIGINT, "prompt"), (signal.SIGINT, "editor"),
    (signal.SIGTERM, "menu"), (signal.SIGTERM, "prompt"), (signal.SIGTERM, "editor"),
    (signal.SIGHUP, "menu"), (signal.SIGHUP, "prompt"), (signal.SIGHUP, "editor"),
    (signal.SIGQUIT, "menu"), (signal.SIGQUIT, "editor"),
    # Every other signal whose default action ends the process, as SIGTERM.
    (signal.SIGUSR1, "menu"), (signal.SIGUSR2, "prompt"), (signal.SIGALRM, "editor"),
    (signal.SIGVTALRM, "menu"), (signal.SIGPROF, "prompt"), (signal.SIGRTMIN + 3, "menu"),
])
def test_signals_end_the_run_by_that_signal_and_hand_the_terminal_back(
        start, posix_program, tmp_path, launcher, no_core_files, sig, where):
    s = start()
    into(s, where)
    s.wait_settle()
    assert s.modes() != s.modes_before
    before = snapshot(tmp_path)
    if sig in (signal.SIGINT, signal.SIGQUIT):  # typed: the terminal sends it
        s.send(CTRL_C if sig == signal.SIGINT else "\x1c", settle=False)
    else:
        s.process.send_signal(sig)
    assert s.wait_exit() == -sig
    assert s.modes() == s.modes_before  # every terminal mode exactly as it was
    assert snapshot(tmp_path) == before  # nothing written: no launcher, no table
    assert launcher.read_bytes() == OLD_LAUNCHER
    assert s.stderr() == ""
    # Handed back: colours reset, the rest of the screen below the program's rows cleared.
    assert re.findall(rb"\x1b\[([0-9;]*)m", s.raw)[-1] in (b"0", b"")
    assert s.raw.endswith(b"\x1b[J")


def test_a_200_by_60_terminal_is_one_large_window(start, posix_program, zor_dir):
    s = start(columns=200, rows=60)
    reach_menu(s, T)
    # The screen is the whole terminal: cleared blue to its last cell, the menu at the top.
    assert rows(s, 1, 25) == menu_screen(T)
    assert rows(s, 26, 60) == [""] * 35
    assert all(s.attributes(r) == {YELLOW_ON_BLUE} for r in (1, 25, 26, 60))
    assert s.cursor() == (23, CURSOR_ROW)
    # A long colour-table name fits behind its label: rows wrap at column 200, not 80.
    name = "N" * 60
    full = dos(zor_dir) + "\\" + name
    expect(s, "f" + name + ENTER, lambda: read_menu(s).get("f"), full)
    assert 51 + len(full) <= 200, "the test's folder is too long to show this"
    f = menu_row_of("[f]")
    assert s.row(f).rstrip().endswith(full) and "[x]" in s.row(f + 1)
    # The editor draws where it always does; its palette bar is row 25.
    s.send("*")
    s.send(ENTER)
    s.wait_text(T["comment"])
    s.send("wide" + ENTER)
    s.wait_text(T["legend"][0])
    assert s.row(25).startswith("████ ")
    assert rows(s, 26, 60) == [""] * 35
    expect(s, "v", lambda: read_menu(s).get("f"), full)
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert s.lines()[:4] == T["closing"]
    assert (zor_dir / "ZO.BAT").read_bytes().endswith(option_line(F=full).encode())


def test_the_linux_consoles_own_keys(start, posix_program, zor_dir):
    s = start()
    reach_menu(s, T)
    home, insert, delete, end, page_up = "\x1b[1~", "\x1b[2~", "\x1b[3~", "\x1b[4~", "\x1b[5~"
    f1_to_f5 = ["\x1b[[A", "\x1b[[B", "\x1b[[C", "\x1b[[D", "\x1b[[E"]
    f8, f9 = "\x1b[19~", "\x1b[20~"
    # In the menu they change nothing, not even those whose scan code is a letter's.
    shown = s.lines()
    for keys in [insert, delete, page_up, f8, f9, home, end] + f1_to_f5:
        s.send(keys)
        assert s.lines() == shown, repr(keys)
    # In a prompt they type nothing (read wrongly, "[[A" would leave an A behind).
    s.send("f" + "AB")
    for keys in f1_to_f5 + [home, end]:
        s.send(keys)
    expect(s, "C" + ENTER, lambda: read_menu(s).get("f"), in_row(dos(zor_dir) + "\\ABC"))
    # In the editor they are keys without a meaning; the letters A to E step backgrounds.
    s.send("*" + ENTER)
    s.wait_text(T["comment"])
    s.send("linux" + ENTER)
    s.wait_text(T["legend"][0])
    colours = [s.attributes(k + 2, 22, 62) for k in range(1, 6)]
    for keys in f1_to_f5:
        s.send(keys)
    assert [s.attributes(k + 2, 22, 62) for k in range(1, 6)] == colours
    s.send("A")
    assert s.attributes(3, 22, 62) != colours[0]  # the check above can tell
    s.send(ESC)
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    written = (zor_dir / "ZO.BAT").read_bytes()
    assert written.endswith(option_line(F=dos(zor_dir) + "\\ABC").encode())


# A whole run typed ahead: the current directory for the launcher, then in the menu
# [u], [p], cursor up (nothing), [h], a memory limit after a refused answer, [b], a
# colour-table name, and Enter.
SCRIPT = "\r" + "u" + "p" + UP + "h" + "x" + "12x\r" + "4000\r" + "b" + "f" + "MY.TAB\r" + "\r"


@pytest.mark.parametrize("pace", ["all at once", "byte by byte"])
def test_keys_all_at_once_or_byte_by_byte(start, program, zor_dir, pace):
    if pace == "byte by byte" and not program.posix:
        pytest.skip("the Esc delay of the POSIX terminal")
    # A generous Esc delay: the bytes of cursor up may come far apart and still be one key.
    s = start(env={"ESCDELAY": "2000"})
    s.wait_text(T["path_choice"])
    s.wait_settle()
    if pace == "all at once":
        s.send(SCRIPT, settle=False)
    else:
        for byte in SCRIPT.encode():
            s.send(bytes([byte]), settle=False)
            time.sleep(0.003)
    assert s.wait_exit() == 0
    assert (zor_dir / "ZO.BAT").read_bytes().endswith(
        option_line(B="E", F=dos(zor_dir) + "\\MY.TAB", H="-", P="+", U="-", X=4000).encode())


@pytest.mark.parametrize("keys", [
    b"\rfMY",            # in the middle of the colour-table prompt
    b"\rx12a\r",         # at the memory prompt, after an answer it refused
    b"\rz",              # at the lines prompt
    b"\r*",              # at the editor's file-name prompt
    b"\r*\r",            # at the new table's comment
    b"\r*\rnew\rab",     # in the editor, colours changed
    b"\r\x1b",           # at the key that ends the abort message
], ids=lambda k: repr(k)[2:-1])
def test_input_that_ends_at_any_point_stops_with_runtime_error_100(start, posix_program, tmp_path, launcher,
                                                                    keys):
    launcher.unlink()  # the run starts with the choice of path
    before = snapshot(tmp_path)
    s = start(stdin=keys)
    assert s.wait_exit() == 100
    assert s.stderr() == "Runtime error 100\n"
    assert snapshot(tmp_path) == before


def test_input_that_ends_after_reading_a_launcher_or_at_the_drive_question(start, posix_program, tmp_path,
                                                                         zor_dir, launcher):
    before = snapshot(tmp_path)
    s = start(stdin=b"u")  # the launcher is read, [u] toggled, and then nothing
    assert s.wait_exit() == 100
    assert snapshot(tmp_path) == before
    dos_devices(tmp_path, a=zor_dir)
    before = snapshot(tmp_path)
    s = start(stdin=b"x")  # ZOR on drive A: a key without a meaning, then nothing
    assert s.wait_exit() == 100
    assert s.stderr() == "Runtime error 100\n"
    assert snapshot(tmp_path) == before


def test_a_100_kb_paste_into_a_prompt(start, zor_dir):
    s = start()
    reach_menu(s, T)
    s.send("f")
    pasted = "".join(chr(ord("a") + i % 26) for i in range(100 * 1024))
    s.send(pasted + ENTER, settle=False)
    # The line keeps its first 255 characters, too long a name behind the ZOR directory: the
    # prompt refuses it and waits for another.
    s.send("MY.FAR" + ENTER, settle=False)
    name = dos(zor_dir) + "\\MY.FAR"
    s.wait_for(lambda: read_menu(s).get("f") == in_row(name), timeout=120)
    # Still answering, and every row where it belongs.
    expect(s, "u", lambda: read_menu(s)["u"], T["off"])
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert (zor_dir / "ZO.BAT").read_bytes().endswith(option_line(F=name, U="-").encode())
