"""The program on terminals: keys as terminals spell them, window sizes, signals and job
control, and what the output costs."""

import signal

import pytest
import time

from conftest import snapshot
from harness import CTRL_C, CTRL_Z, ENTER, ESC, F
from steps import (CURSOR_ROW, EN, LIGHT_RED_ON_BLACK, WHITE_ON_BLACK, YELLOW_ON_BLUE, dos, expect,
                   in_row, reach_menu, read_menu, shows)

# Menu rows whose value a key toggles (the value starts in column 52).
SUBDIRS, PARTITION, BOOT, SCREEN, HEX, MOUSE, CPU, RESOURCES, ICONS = 5, 6, 7, 9, 11, 12, 13, 14, 15


def value(s, row):
    return s.row(row)[51:54].rstrip()


def flipped(v):
    return {"on": "off", "off": "on"}[v]


# Keys without a character in the spellings of xterm, VT220, rxvt and SS3, with and without
# modifiers, Alt with a letter, and sequences that are no key at all.
KEYS = ["\x1b[A", "\x1bOA", "\x1b[1;5A", "\x1b[B", "\x1b[C", "\x1bOC", "\x1b[5~", "\x1b[2~",
        "\x1b[3~", "\x1b[3;2~", F[9], "\x1b[20;5~", F[8], "\x1b[D", "\x1b[F", "\x1b[6~", F[1],
        "\x1b[[A", F[7], F[10], F[11], F[12], "\x1b[6^", "\x1bu", "\x1bH", "\x1b1", "\x1b[99~",
        "\x1b[?1;2c", "\x1b[<0;5;5M"]


def test_cursor_function_and_alt_keys_in_every_spelling(start, posix_program, zor_dir):
    s = start()
    reach_menu(s)
    # In the menu none changes a setting, not even those whose scan code is a letter's
    # (up 72 is H, F9 67 C), and Alt+U is no Esc.
    shown = s.lines()
    for keys in KEYS:
        s.send(keys)
        assert s.lines() == shown, repr(keys)
    assert s.attributes(SUBDIRS) == {YELLOW_ON_BLUE}
    # In a prompt each is taken whole: no byte of it is typed.
    s.send("f" + "A")
    for keys in KEYS:
        s.send(keys)
    expect(s, "B" + ENTER, lambda: read_menu(s).get("f"), in_row(dos(zor_dir) + "\\AB"))


def test_lone_escape_and_bytes_split_across_writes(start, posix_program, tmp_path):
    s = start(env={"ESCDELAY": "300"})
    reach_menu(s)
    # A sequence whose bytes come in separate writes, within the Esc delay, is one key: in
    # a prompt, Esc alone would clear the line and leave "[A" typed.
    s.send("f" + "ab")
    s.send(ESC, settle=False)
    s.send("[", settle=False)
    s.send("A" + ENTER)
    s.wait_text(EN["save_and_exit"])
    assert read_menu(s)["f"].endswith("\\ab")
    before = snapshot(tmp_path)
    s.send(ESC, settle=False)  # alone: after the delay it is the Esc key, which gives up
    s.wait_text(EN["aborted"])
    s.wait_settle()
    assert s.lines()[0] == EN["aborted"]
    assert s.attributes(1, 1, len(EN["aborted"])) == {LIGHT_RED_ON_BLACK}
    assert s.attributes(3) == {WHITE_ON_BLACK}
    s.send("x", settle=False)
    assert s.wait_exit() == 0
    assert snapshot(tmp_path) == before


@pytest.mark.parametrize("delay", ["-1", "x", "10001", ""])
def test_an_esc_delay_out_of_range_is_the_usual_one(start, posix_program, delay):
    """A value that is no number from 0 to 10000 gives the usual 50 ms: a lone Esc still
    gives up at once (a negative delay would wait for the next byte for ever)."""
    s = start(env={"ESCDELAY": delay})
    reach_menu(s)
    s.send(ESC, settle=False)
    s.wait_text(EN["aborted"], timeout=3)


def test_typed_utf8_becomes_code_page_437(start, posix_program):
    s = start()
    reach_menu(s)
    s.send("f")
    s.send("Gr\u00fcn\u20ac\u00df.far" + ENTER)  # the euro sign has no byte in code page 437
    s.wait_text("Gr\u00fcn\u00df.far")
    assert "\u20ac" not in s.text()


def test_short_terminal_shows_the_row_being_typed_in(start):
    # The memory prompt puts the answer in row 25; rejected answers scroll the screen.
    screens = {}
    for rows in (25, 24):
        s = start(rows=rows)
        reach_menu(s)
        s.send("x")
        s.send("abc" + ENTER)
        s.send("-1" + ENTER)
        s.send("12")
        screens[rows] = (s.lines(), s.cursor())
    lines25, cursor25 = screens[25]
    lines24, cursor24 = screens[24]
    assert lines25[-3:] == ["   abc", "-1", "12"]
    assert cursor25 == (3, 25)
    # 24 rows show rows 2 to 25 of the 25: the typing row is the terminal's last.
    assert lines24 == lines25[1:]
    assert cursor24 == (3, 24)


def test_window_size_change_draws_everything_again(start, posix_program):
    s = start()
    reach_menu(s)
    menu = s.lines()
    s.forget_screen()
    s.resize(100, 30)
    s.wait_settle()
    assert s.lines() == menu + [""] * 5
    s.resize(80, 20)  # smaller than the program's 25 rows: the rows around the cursor
    s.wait_settle()
    assert s.lines() == menu[CURSOR_ROW - 20:CURSOR_ROW]
    assert s.cursor() == (23, 20)


def test_suspend_restores_the_terminal_and_resume_repaints(start, posix_program):
    s = start(job_control=True)
    reach_menu(s)
    menu = s.lines()
    s.send(CTRL_Z, settle=False)
    assert s.stopped()
    assert s.modes() == s.modes_before
    # Continued in the background, it waits stopped: no modes set, nothing drawn.
    s.wait_settle()
    sent = len(s.raw)
    s.bg()
    time.sleep(0.5)
    assert s.stopped()
    assert s.modes() == s.modes_before
    assert len(s.raw) == sent
    s.forget_screen()
    s.fg()
    shows(s, s.lines, menu)
    assert s.modes() != s.modes_before  # raw again
    old = value(s, SUBDIRS)
    s.send("u")
    assert value(s, SUBDIRS) == flipped(old)
    s.send(CTRL_C, settle=False)
    assert s.wait_exit() == -signal.SIGINT
    assert s.modes() == s.modes_before


def test_terminate_and_hang_up_end_the_run_by_that_signal(start, posix_program, tmp_path):
    for sig in (signal.SIGTERM, signal.SIGHUP):
        s = start()
        reach_menu(s)
        before = snapshot(tmp_path)
        if sig == signal.SIGHUP:
            s.hang_up()  # the terminal goes away
        else:
            s.process.send_signal(sig)
        assert s.wait_exit() == -sig
        if sig == signal.SIGTERM:
            assert s.modes() == s.modes_before
        assert snapshot(tmp_path) == before


def test_a_toggle_costs_a_few_dozen_bytes(start):
    s = start()
    reach_menu(s)
    sent = len(s.raw)
    s.send("u")
    assert 0 < len(s.raw) - sent <= 40
    sent = len(s.raw)
    s.send("q")  # no meaning: the menu is drawn again, identical, nothing goes out
    assert len(s.raw) == sent
