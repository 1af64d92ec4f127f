"""The spine of a run on a real terminal: start, the checks on where ZOR lives, the
closing screen, and the ways a run ends early."""

import re
import signal

import pytest

from conftest import dos_devices, snapshot
from harness import CTRL_C, ENTER, ESC
from steps import (LANGUAGES, LIGHT_RED_ON_BLACK, WHITE_ON_BLACK, YELLOW_ON_BLUE, closing, dos,
                   reach_menu, save_and_exit)


@pytest.mark.parametrize("lang", ["en", "de"])
def test_missing_zor_ends_with_the_message_in_light_red(start, program, tmp_path, lang):
    t = LANGUAGES[lang]
    empty = tmp_path / "empty"
    empty.mkdir()
    s = start(lang=t["lang"], cwd=empty)
    s.wait_text(t["missing"])
    s.wait_settle()
    lines = s.lines()
    assert lines[0] == t["title"]
    assert lines[1] == ""
    assert lines[2] == t["missing"]
    assert all(line == "" for line in lines[3:])
    assert s.attributes(1) == {YELLOW_ON_BLUE}
    # The message and the rest of its row (cleared) in light red on black.
    assert s.attributes(3) == {LIGHT_RED_ON_BLACK}
    assert s.attributes(4) == {YELLOW_ON_BLUE}
    assert s.cursor() == (1, 4)
    if program.posix:  # the terminal renderer's spelling (under Wine its console host draws)
        assert b"\x1b[91;40m" in s.raw  # light red is bright red: SGR 91 on 40, never bold
    before = snapshot(tmp_path)
    s.send("x", settle=False)
    assert s.wait_exit() == 0
    assert snapshot(tmp_path) == before
    assert s.stderr() == ""
    assert s.modes() == s.modes_before


@pytest.mark.parametrize("lang", ["en", "de"])
def test_drive_question_answered_no(start, tmp_path, zor_dir, lang):
    t = LANGUAGES[lang]
    dos_devices(tmp_path, a=zor_dir)
    s = start(lang=t["lang"])
    s.wait_text(t["yes_no"])
    s.wait_settle()
    assert s.lines()[2] == t["drive_question"]
    assert s.lines()[3] == t["yes_no"].rstrip()
    assert s.cursor() == (len(t["yes_no"]) + 1, 4)
    # Keys without a meaning do nothing, not even an echo.
    shown = s.lines()
    for key in (ENTER, ESC, "x", "1"):
        s.send(key)
    assert s.lines() == shown
    before = snapshot(tmp_path)
    s.send("n")
    lines = s.lines()
    assert lines[2] == t["drive_question"]
    assert lines[3] == t["copy_me"]  # over the " Y/N : " row, from column 1
    assert s.attributes(4) == {LIGHT_RED_ON_BLACK}
    s.send(" ", settle=False)
    assert s.wait_exit() == 0
    assert snapshot(tmp_path) == before


@pytest.mark.parametrize("lang", ["en", "de"])
def test_drive_question_answered_yes_goes_on_to_the_end(start, tmp_path, zor_dir, lang):
    t = LANGUAGES[lang]
    dos_devices(tmp_path, a=zor_dir)
    s = start(lang=t["lang"])
    s.wait_text(t["yes_no"])
    s.wait_settle()
    s.send(t["yes"])
    assert save_and_exit(s, t) == 0
    launcher = (zor_dir / "ZO.BAT").read_bytes()
    assert b"A:\\ZOR4.EXE" in launcher


@pytest.mark.parametrize("lang", ["en", "de"])
def test_closing_screen_is_four_rows_white_on_black(start, program, zor_dir, lang):
    t = LANGUAGES[lang]
    s = start(lang=t["lang"])
    reach_menu(s, t)
    s.send(ENTER, settle=False)
    # Below it, once the terminal is handed back: what the run wrote.
    below = closing(s, t, zor_dir / "ZO.BAT")
    # The whole screen was white on black before the terminal was handed back (which
    # clears what lies below the last row in use). Under Wine its console host hands back.
    if program.posix:
        last = s.replay(s.raw.rindex(b"\x1b[0m"))
        assert last.lines()[:4] == s.lines()[:4] and last.lines()[4:] == [""] * 21
        assert all(last.attributes(row) == {WHITE_ON_BLACK} for row in range(1, 26))
    assert s.cursor() == (1, 5 + (len(below) + 79) // 80)  # a line of exactly 80 leaves no blank row
    assert s.modes() == s.modes_before
    assert s.stderr() == ""
    assert (zor_dir / "ZO.BAT").is_file()


@pytest.mark.parametrize("where", ["drive question", "choice of path", "menu", "number prompt"])
def test_ctrl_c_ends_the_run_and_restores_the_terminal(start, posix_program, tmp_path, zor_dir, where):
    if where == "drive question":
        dos_devices(tmp_path, a=zor_dir)
    s = start()
    if where == "drive question":
        s.wait_text(" Y/N : ")
    elif where == "choice of path":
        s.wait_text("choice of path")
    else:
        reach_menu(s)
        if where == "number prompt":
            s.send("x")
            s.send("12")
    s.wait_settle()
    assert s.modes() != s.modes_before  # raw while the program runs
    before = snapshot(tmp_path)
    s.send(CTRL_C, settle=False)
    assert s.wait_exit() == -signal.SIGINT
    assert s.modes() == s.modes_before
    assert snapshot(tmp_path) == before
    assert s.stderr() == ""
    # Colours reset, so the shell does not go on in the program's yellow on blue.
    assert re.findall(rb"\x1b\[([0-9;]*)m", s.raw)[-1] in (b"0", b"")


def test_input_that_ends_stops_the_run_with_runtime_error_100(start, posix_program, tmp_path):
    s = start(stdin=b"")  # the choice of path reads a line, and there is none
    before = snapshot(tmp_path)
    assert s.wait_exit() == 100
    assert s.stderr() == "Runtime error 100\n"
    assert snapshot(tmp_path) == before
    assert s.lines()[0] == "choice of path for ZO.BAT"


def test_input_that_ends_in_the_menu_writes_nothing(start, posix_program, tmp_path, zor_dir):
    s = start(stdin=b"\r")  # Enter answers the choice of path, then the menu finds no key
    assert s.wait_exit() == 100
    assert s.stderr() == "Runtime error 100\n"
    assert not (zor_dir / "ZO.BAT").exists()


def test_piped_keys_make_a_whole_run(start, posix_program, zor_dir):
    s = start(stdin=b"\r\x1b[Ah\r")  # current directory, cursor up (nothing, not Esc), [h], save
    assert s.wait_exit() == 0
    assert s.lines()[0] == "successful exit"
    assert b"-H-" in (zor_dir / "ZO.BAT").read_bytes()


@pytest.mark.parametrize("lang, usage", [("C", "Usage: zorsetup"), ("de_DE.UTF-8", "Aufruf: zorsetup")])
def test_help_and_version_answer_without_a_screen(posix_program, tmp_path, lang, usage):
    import subprocess
    env = {"LANG": lang, "PATH": "/usr/bin:/bin"}
    run = lambda *args: subprocess.run(posix_program.argv + list(args), env=env, cwd=tmp_path,
                                       capture_output=True, stdin=subprocess.DEVNULL, timeout=10)
    helped = run("--help")
    assert helped.returncode == 0 and helped.stderr == b""
    text = helped.stdout.decode("utf-8")  # German has its umlauts
    assert text.startswith("zorsetup ") and usage in text
    version = run("--version")
    assert version.returncode == 0
    assert re.fullmatch(rb"zorsetup \d+\.\d+\.\d+\n", version.stdout)
    assert list(tmp_path.iterdir()) == []  # nothing written


def test_a_zor_directory_too_long_for_the_launcher_stops_at_start(start, run, tmp_path, bin_dir):
    """Its path and "ZOR4.EXE" have to fit 255 characters: 246 for the directory."""
    def directory_of_length(n, name):
        d = tmp_path / name
        while len(dos(d)) + 101 < n:
            d = d / ("d" * 99)
        return d / ("e" * (n - len(dos(d)) - 1))

    old = b"@ECHO OFF\r\nREM\r\nZ:\\ZOR\\ZOR4.EXE -U-"
    (bin_dir / "ZO.BAT").write_bytes(old)
    fits, too_long = directory_of_length(246, "a"), directory_of_length(247, "b")
    for d in (fits, too_long):
        d.mkdir(parents=True)
        (d / "ZOR4.EXE").write_bytes(b"MZ")
    before = snapshot(tmp_path)
    s = start(cwd=too_long, env={"PATH": str(bin_dir)})
    s.wait_text("longer than 246 characters!")
    s.send("x", settle=False)
    assert s.wait_exit() == 0
    p = run("--set", "u=on", cwd=too_long)
    assert p.returncode == 1 and "longer than 246" in p.err
    assert snapshot(tmp_path) == before

    assert run("--set", "u=on", cwd=fits).returncode == 0
    line = (bin_dir / "ZO.BAT").read_bytes().split(b"\r\n")[2]
    assert line.startswith(dos(fits).encode() + b"\\ZOR4.EXE -!-") and len(dos(fits)) == 246
