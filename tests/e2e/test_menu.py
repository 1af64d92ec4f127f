"""The settings menu as a person sees and uses it: the screen, the keys that flip and step
settings, the prompts for values, giving up with Esc and saving with Enter."""

import os

import pytest

from conftest import snapshot
from harness import DELETE, ENTER, ESC, F, HOME, LEFT, UP
from steps import (CURSOR_ROW, DEFAULTS, ENTER_SIGN, LANGUAGES, LIGHT_RED_ON_BLACK, WHITE_ON_BLACK,
                   YELLOW_ON_BLUE, dos, expect, in_row, launcher_bytes, menu_row_of, menu_screen, option_line,
                   reach_menu, read_menu, rows)


@pytest.mark.parametrize("lang", ["en", "de"])
def test_menu_screen(start, lang):
    t = LANGUAGES[lang]
    s = start(lang=t["lang"])
    reach_menu(s, t)
    assert rows(s) == menu_screen(t)
    # Every value starts in column 52 (the row of the mode's name and an empty [f] have none).
    valued = [menu_row_of(f"[{key}]") for key in DEFAULTS if key != "f"]
    assert all(s.row(r)[50] == " " != s.row(r)[51] for r in valued)
    assert s.row(CURSOR_ROW - 2)[20:25] == ENTER_SIGN
    assert all(s.attributes(r) == {YELLOW_ON_BLUE} for r in range(1, 26))
    assert s.cursor() == (23, CURSOR_ROW)


def test_keys_flip_and_step_settings_and_enter_saves_them(start, zor_dir):
    t = LANGUAGES["de"]
    s = start(lang=t["lang"])
    reach_menu(s, t)
    settings = {}

    def press(keys, **changes):
        settings.update(changes)
        expect(s, keys, lambda: rows(s), menu_screen(t, **settings))

    # Letters in either case; cursor and function keys change nothing, not even those
    # whose scan code is a letter's (up 72 is H, home 71 G, F8 66 B).
    press("u", u=0)
    press("P", p=1)
    press("h", h=0)
    # g flips a setting that no row shows.
    s.send("g" + UP + HOME + LEFT + F[8] + F[9] + DELETE)
    assert rows(s) == menu_screen(t, **settings)
    # The mode steps C, E, A, F, H and back, its name below it.
    for mode, keys in [(1, "b"), (2, "b"), (3, "B"), (4, "b"), (0, "b"), (1, "b")]:
        press(keys, b=mode)
    assert s.cursor() == (23, CURSOR_ROW)

    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert s.lines()[:4] == t["closing"]
    assert (zor_dir / "ZO.BAT").read_bytes() == launcher_bytes(
        t["reserved"], dos(zor_dir) + "\\ZOR4.EXE", option_line(B="E", G="-", H="-", P="+", U="-"))


@pytest.mark.parametrize("lang", ["en", "de"])
def test_number_prompts_read_again_until_the_number_fits(start, zor_dir, lang):
    t = LANGUAGES[lang]
    s = start(lang=t["lang"])
    reach_menu(s, t)
    menu = rows(s)

    def bottom():
        return rows(s, 21)

    # Below the menu: the prompt with the old value; the answer is typed in column 4.
    expect(s, "x", lambda: rows(s), (menu[:CURSOR_ROW] + [t["ask_memory"] + "3000)", ""])[-25:])
    assert s.cursor() == (4, 25)
    # Nothing may follow the digits; one above the limit is too much. A rejected line
    # brings no new prompt: the next answer starts in column 1 of the next row.
    expect(s, "12 " + ENTER + "2048001" + ENTER, bottom,
           ["", t["ask_memory"] + "3000)", "   12", "2048001", ""])
    assert s.cursor() == (1, 25)
    expect(s, " $FF" + ENTER, lambda: rows(s), menu_screen(t, x=255))

    # A prompt of two rows, without the old value.
    expect(s, "z", bottom, ["", "", *t["ask_lines"], ""])
    assert s.cursor() == (4, 25)
    expect(s, "61" + ENTER, bottom, ["", *t["ask_lines"], "   61", ""])
    expect(s, "30" + ENTER, lambda: rows(s), menu_screen(t, x=255, z=25))  # no such count: 25
    expect(s, "z", bottom, ["", "", *t["ask_lines"], ""])
    expect(s, "00" + ENTER, lambda: rows(s), menu_screen(t, x=255, z=0))
    expect(s, "x", lambda: rows(s, 22), ["", "", t["ask_memory"] + "255)", ""])
    expect(s, "2048000" + ENTER, lambda: rows(s), menu_screen(t, x=2048000))  # the limit itself

    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert (zor_dir / "ZO.BAT").read_bytes().endswith(option_line(X=2048000).encode())


def test_colour_table_prompt_puts_the_zor_directory_before_a_relative_name(start, zor_dir):
    t = LANGUAGES["en"]
    s = start()
    reach_menu(s, t)
    expect(s, "f", lambda: rows(s, 24), [t["ask_table"] + ")", ""])
    assert s.cursor() == (4, 25)
    full = dos(zor_dir) + "\\MY.TAB"
    expect(s, "MY.TAB" + ENTER, lambda: read_menu(s).get("f"), in_row(full))
    # Too long for its row: shown with its end, and no row moves.
    assert len(full) > 28 and rows(s) == menu_screen(t, f=full)
    assert s.cursor() == (23, CURSOR_ROW)

    expect(s, "f", lambda: t["ask_table"] + full + ")" in "".join(s.lines()), True)
    # Names from a drive or from the root are kept as typed; no name means no table.
    expect(s, "D:\\TABLES\\MY.TAB" + ENTER, lambda: rows(s), menu_screen(t, f="D:\\TABLES\\MY.TAB"))
    expect(s, "f" + ENTER, lambda: rows(s), menu_screen(t))
    expect(s, "f" + "\\MY.TAB" + ENTER, lambda: rows(s), menu_screen(t, f="\\MY.TAB"))

    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert (zor_dir / "ZO.BAT").read_bytes().endswith(option_line(F="\\MY.TAB").encode())


@pytest.mark.parametrize("lang", ["en", "de"])
def test_esc_gives_up_without_touching_any_file(start, tmp_path, bin_dir, lang):
    t = LANGUAGES[lang]
    launcher = bin_dir / "ZO.BAT"
    launcher.write_bytes(launcher_bytes(t["reserved"], "C:\\ZOR\\ZOR4.EXE", option_line()))
    stat = os.stat(launcher)
    s = start(lang=t["lang"])
    reach_menu(s, t)
    before = snapshot(tmp_path)
    expect(s, "ux42" + ENTER, lambda: rows(s), menu_screen(t, u=0, x=42))
    expect(s, ESC, lambda: s.lines(), [t["aborted"]] + [""] * 24)
    # Blank rows read the same in any colour: wait for the colours as well.
    assert s.wait_for(lambda: all(s.attributes(r) == {WHITE_ON_BLACK} for r in range(2, 26)))
    assert s.attributes(1) == {LIGHT_RED_ON_BLACK}  # the rest of the row too
    assert s.cursor() == (1, 2)
    assert s.process.poll() is None  # a key ends the run
    s.send("q", settle=False)
    assert s.wait_exit() == 0
    assert s.lines()[:3] == [t["aborted"], t["nothing_written"], ""]
    assert snapshot(tmp_path) == before
    after = os.stat(launcher)
    assert (after.st_ino, after.st_mtime_ns) == (stat.st_ino, stat.st_mtime_ns)
    assert s.stderr() == ""


def test_a_letter_the_oem_code_page_lacks_is_refused_at_the_prompt(start, program, zor_dir):
    # Never taken as "?": the terminal's line editor drops it with a beep, the console's own
    # (Win32) gives the line back, which is refused and typed again.
    t = LANGUAGES["en"]
    s = start()
    reach_menu(s, t)
    bells = s.raw.count(b"\a")
    s.send("f")
    s.send("X\u20ac" + ENTER)
    if not program.posix:
        s.send("X" + ENTER)
    full = dos(zor_dir) + "\\X"
    expect(s, "u", lambda: read_menu(s).get("f"), in_row(full))
    assert program.posix is False or s.raw.count(b"\a") > bells
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert (zor_dir / "ZO.BAT").read_bytes().endswith(option_line(F=full, U="-").encode())
