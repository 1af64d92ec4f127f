"""The launcher ZO.BAT from a person's side: the first run, which chooses where it goes;
later runs, which read it back into the menu; and the files written, byte for byte."""

import shutil
import tempfile
from pathlib import Path

import pytest

from harness import ENTER
from steps import (LANGUAGES, YELLOW_ON_BLUE, closing, dos, expect, launcher_bytes, menu_screen,
                   option_line, read_menu, in_row, rows, shows)


@pytest.fixture
def short_dir():
    """A directory with a short path, so that every candidate fits on its row."""
    d = Path(tempfile.mkdtemp(prefix="zo"))
    yield d
    shutil.rmtree(d, ignore_errors=True)


def choice_row(n, directory, t):
    """A candidate's row: its number right-aligned in 6 columns, then the directory; a
    recommendation covers whatever stands from column 40 on."""
    row = f"{n:>6} {directory}"
    if "\\BAT" in directory or "\\CMD" in directory:
        row = row[:39].ljust(39) + t["recommend"] + row[39 + len(t["recommend"]):]
    return row


@pytest.mark.parametrize("lang", ["en", "de"])
def test_first_run_chooses_a_directory_of_path_for_a_new_launcher(start, program, short_dir, lang):
    t = LANGUAGES[lang]
    bin_dir, bat, zor_dir = short_dir / "bin", short_dir / "tools" / "BAT", short_dir / "zor"
    for d in (bin_dir, bat, zor_dir):
        d.mkdir(parents=True)
    (zor_dir / "ZOR4.EXE").write_bytes(b"MZ")
    s = start(lang=t["lang"], cwd=zor_dir, env={"PATH": f"{bin_dir}:{bat}"})
    # The directories of PATH in DOS form, then the current one, which holds ZOR4.EXE.
    candidates = [dos(bin_dir) + "\\", dos(bat) + "\\", dos(zor_dir) + "\\"]
    shows(s, lambda: s.lines(), [t["path_choice"], ""] + [
        choice_row(n, d, t) for n, d in enumerate(candidates, 1)] + [
        "", t["which_path"].format(n=3).rstrip()] + [""] * 18)
    assert s.row(4)[39:39 + len(t["recommend"])] == t["recommend"]
    assert all(s.attributes(r) == {YELLOW_ON_BLUE} for r in range(1, 26))
    prompt = s.cursor()
    assert prompt == (len(t["which_path"].format(n=3)) + 1, 7)

    # An answer that names no directory (a number out of range, a name) is refused with a
    # beep (the terminal's bell; Windows beeps by itself); the prompt waits again on its
    # row, the answer gone.
    screen = s.lines()
    for answer in ["9", "x"]:
        bells = s.raw.count(b"\a") + program.posix
        s.send(answer + ENTER)
        shows(s, lambda: (s.lines(), s.cursor(), s.raw.count(b"\a")), (screen, prompt, bells))
    expect(s, "2" + ENTER, lambda: rows(s), menu_screen(t))  # by its number
    expect(s, "m", lambda: rows(s), menu_screen(t, m=0))
    s.send(ENTER, settle=False)
    closing(s, t, bat / "ZO.BAT")
    # Line 3 names ZOR4.EXE by the full DOS path of the directory it was set up in.
    assert (bat / "ZO.BAT").read_bytes() == (
        b"@ECHO OFF\r\n" + t["reserved"].encode() + b"\r\n" + dos(zor_dir).encode()
        + b"\\ZOR4.EXE" + option_line(M="-").encode())
    assert [p.parent for p in short_dir.rglob("ZO.BAT")] == [bat]


@pytest.mark.parametrize("lang", ["en", "de"])
def test_later_run_reads_the_launcher_on_path_and_writes_it_back(start, zor_dir, bin_dir, lang):
    t = LANGUAGES[lang]
    # The reserved line in the other language: it is kept as it stands.
    other = LANGUAGES["de" if lang == "en" else "en"]
    launcher = bin_dir / "ZO.BAT"
    launcher.write_bytes(launcher_bytes(other["reserved"], "C:\\OLD\\ZOR4.EXE", option_line(
        B="A", C="-", F="C:\\T\\MY.TAB", H="-", ICO="-", P="+", S="+", U="-", X=1234, Z=43)))
    s = start(lang=t["lang"])
    # No key is needed after reading it: the menu shows what its switches say.
    shown = dict(u=0, p=1, s=1, b=2, h=0, c=0, i=0, f="C:\\T\\MY.TAB", x=1234, z=43)
    shows(s, lambda: rows(s), menu_screen(t, **shown))
    expect(s, "i", lambda: rows(s), menu_screen(t, **dict(shown, i=1)))
    s.send(ENTER, settle=False)
    closing(s, t, launcher)
    assert launcher.read_bytes() == launcher_bytes(
        other["reserved"], dos(zor_dir) + "\\ZOR4.EXE", option_line(
            B="A", C="-", F="C:\\T\\MY.TAB", H="-", P="+", S="+", U="-", X=1234, Z=43))
    assert not (zor_dir / "ZO.BAT").exists()


def test_rexx_launcher_in_the_current_directory_is_rewritten_in_batch_form(start, zor_dir, bin_dir):
    t = LANGUAGES["en"]
    on_path = bin_dir / "ZO.BAT"
    on_path.write_bytes(launcher_bytes(t["reserved"], "C:\\ZOR\\ZOR4.EXE", option_line()))
    rexx = zor_dir / "ZO.BAT"
    rexx.write_bytes(b"/* ZO */\r\nPARSE ARG PARA\r\n/* reserved line * please do not remove */\r\n"
                     b"'@C:\\ZOR\\ZOR4.EXE -!- -BH -C- -Z50 'PARA\r\nEXIT\r\n")
    s = start()
    shows(s, lambda: rows(s), menu_screen(t, b=4, c=0, z=50))  # the one in the current directory
    s.send(ENTER, settle=False)
    closing(s, t, rexx)
    assert rexx.read_bytes() == launcher_bytes("/* reserved line * please do not remove */",
                                               dos(zor_dir) + "\\ZOR4.EXE", option_line(B="H", C="-", Z=50))
    assert on_path.read_bytes() == launcher_bytes(t["reserved"], "C:\\ZOR\\ZOR4.EXE", option_line())


def test_zor_directory_with_a_blank_is_quoted_and_read_back(start, tmp_path):
    t = LANGUAGES["en"]
    here = tmp_path / "my zor"
    here.mkdir()
    (here / "ZOR4.EXE").write_bytes(b"MZ")
    s = start(cwd=here)
    s.wait_text(t["path_choice"])
    expect(s, ENTER, lambda: rows(s), menu_screen(t))  # no answer: the current directory
    expect(s, "s", lambda: rows(s), menu_screen(t, s=1))
    s.send(ENTER, settle=False)
    closing(s, t, here / "ZO.BAT")
    written = launcher_bytes(t["reserved"], f'"{dos(here)}\\ZOR4.EXE"', option_line(S="+"))
    assert (here / "ZO.BAT").read_bytes() == written

    # The next run finds it, takes the quoted path off and reads the switches behind it.
    s = start(cwd=here)
    shows(s, lambda: rows(s), menu_screen(t, s=1))
    s.send(ENTER, settle=False)
    closing(s, t, here / "ZO.BAT")
    assert (here / "ZO.BAT").read_bytes() == written


def test_command_line_longer_than_255_characters_keeps_its_later_switches(start, zor_dir, bin_dir):
    t = LANGUAGES["en"]
    name = "C:\\" + "\\".join(["COLOURS"] * 25) + "\\MY.TAB"
    options = option_line(F=name, U="-", X=123, Z=50)
    command = "C:\\ZOR\\ZOR4.EXE" + options
    assert command.index(" -U-") > 255
    launcher = bin_dir / "ZO.BAT"
    launcher.write_bytes(launcher_bytes(t["reserved"], "C:\\ZOR\\ZOR4.EXE", options))
    s = start()
    # The menu shows the switches from beyond the 255th character, and the name's end.
    shows(s, lambda: {k: read_menu(s).get(k) for k in "fuxz"}, {"f": in_row(name), "u": "off", "x": "123", "z": "50"})
    s.send(ENTER, settle=False)
    closing(s, t, launcher)
    assert launcher.read_bytes() == launcher_bytes(t["reserved"], dos(zor_dir) + "\\ZOR4.EXE", options)
