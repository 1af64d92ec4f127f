"""zorsetup.exe under Wine: what only the Win32 build has to show. The launcher it writes
is byte for byte the POSIX program's, keys reach it as console key events with their scan
codes, and without a console it stops cleanly."""

import shutil
import subprocess
from pathlib import Path

import pytest

import wine
from conftest import _programs, base_env, snapshot
from harness import CTRL_C, DELETE, ENTER, ESC, F, INSERT, UP, Session
from steps import EN, DE, dos, option_items, reach_menu

# The exit status of a process that Ctrl+C ended: STATUS_CONTROL_C_EXIT, as far as a POSIX
# exit status holds it.
CONTROL_C_EXIT = 0xC000013A & 0xFF


@pytest.fixture
def wine_program(program):
    if program.name != "wine":
        pytest.skip("the Win32 build under Wine")
    return program


@pytest.fixture
def both_builds():
    found = {p.name: p for p in _programs()}
    for name in ("posix", "wine"):
        if name not in found or not found[name].available:
            pytest.skip(f"needs the {name} build")
    return found["posix"], found["wine"]


def run(program, zor_dir, bin_dir, tmp_path, lang, steps):
    """One whole run in zor_dir; steps(session) drives it to the end. Returns the exit code."""
    env = base_env(tmp_path, bin_dir, lang)
    env.update(program.env)
    if program.prepare:
        program.prepare(env, tmp_path)
    s = Session(program.argv, str(zor_dir), env, stderr_path=str(tmp_path / f"stderr-{program.name}"),
                default_colours=program.default_colours, raw_terminal=program.raw_terminal,
                frame_end=program.frame_end)
    try:
        steps(s)
        code = s.wait_exit(timeout=20)
        assert s.stderr() == ""
        return code
    finally:
        s.close()


@pytest.mark.parametrize("lang", ["en", "de"])
def test_the_launcher_is_byte_for_byte_the_posix_programs(both_builds, zor_dir, bin_dir, tmp_path, lang):
    t = {"en": EN, "de": DE}[lang]
    launcher = bin_dir / "ZO.BAT"

    def first_run(s):
        s.wait_text(t["path_choice"], timeout=30)
        s.wait_settle()
        s.send("1" + ENTER)  # the first directory of PATH
        s.wait_text(t["save_and_exit"])
        s.wait_settle()
        for key in "uhbb":
            s.send(key)
        s.send("x")
        s.send("1234" + ENTER)
        s.send("z")
        s.send("77" + ENTER)  # out of range: asked again
        s.send("50" + ENTER)
        s.send("f")
        s.send("TABLE 1.FAR" + ENTER)
        s.send(ENTER, settle=False)

    def rerun(s):
        reach_menu(s, t)
        s.send("p")
        s.send(ENTER, settle=False)

    written = {}
    for program in both_builds:
        if launcher.exists():
            launcher.unlink()
        assert run(program, zor_dir, bin_dir, tmp_path, t["lang"], first_run) == 0
        written[program.name] = launcher.read_bytes()
    assert written["wine"] == written["posix"]
    assert b"-X1234 -Z50" in written["wine"]

    first = written["posix"]
    for program in both_builds:
        launcher.write_bytes(first)
        assert run(program, zor_dir, bin_dir, tmp_path, t["lang"], rerun) == 0
        written[program.name] = launcher.read_bytes()
    assert written["wine"] == written["posix"]
    assert written["wine"] != first


def test_a_colour_table_is_byte_for_byte_the_posix_programs(both_builds, zor_dir, bin_dir, tmp_path):
    table = zor_dir / "MINE.FAR"

    def new_table(s):
        reach_menu(s)
        s.send("*")
        s.send("MINE.FAR" + ENTER)
        s.send("my colours" + ENTER)
        for key in ("a", "a", "B", UP, "c", "O"):  # the cursor key means nothing here
            s.send(key)
        s.send("s")
        s.wait_text(EN["save_and_exit"])
        s.send(ESC)
        s.send("x", settle=False)

    def change_it(s):
        reach_menu(s)
        s.send("*")
        s.send("MINE.FAR" + ENTER)  # exists: loaded, no comment asked
        s.send("b")
        s.send(ENTER)  # Enter saves too
        s.wait_text(EN["save_and_exit"])
        s.send(ESC)
        s.send("x", settle=False)

    written = {}
    for program in both_builds:
        if table.exists():
            table.unlink()
        assert run(program, zor_dir, bin_dir, tmp_path, EN["lang"], new_table) == 0
        written[program.name] = table.read_bytes()
    assert written["wine"] == written["posix"]
    assert len(written["wine"]) == 67 and b"my colours" in written["wine"]

    first = written["posix"]
    for program in both_builds:
        table.write_bytes(first)
        assert run(program, zor_dir, bin_dir, tmp_path, EN["lang"], change_it) == 0
        written[program.name] = table.read_bytes()
    assert written["wine"] == written["posix"] != first
    assert not (bin_dir / "ZO.BAT").exists()  # Esc left the menu: no launcher


def test_keys_without_a_character_change_nothing(start, wine_program, tmp_path):
    s = start()
    reach_menu(s)
    # Not even those whose scan code is a letter's: cursor up is H's code, F9 C's, Insert
    # R's, Delete S's, F8 B's; nor Alt with a letter.
    shown = s.lines()
    for keys in (UP, F[9], INSERT, DELETE, F[8], F[1], F[10], F[11], F[12], "\x1bu"):
        s.send(keys)
        assert s.lines() == shown, repr(keys)
    before = snapshot(tmp_path)
    s.send(ESC)
    s.wait_text(EN["aborted"])
    s.send("x", settle=False)
    assert s.wait_exit() == 0
    assert snapshot(tmp_path) == before


@pytest.mark.parametrize("where", ["choice of path", "menu", "number prompt"])
def test_ctrl_c_ends_the_run_the_systems_way(start, wine_program, tmp_path, where):
    s = start()
    if where == "choice of path":
        s.wait_text(EN["path_choice"])
        s.wait_settle()
    else:
        reach_menu(s)
        if where == "number prompt":
            s.send("x")
            s.send("12")
    before = snapshot(tmp_path)
    s.send(CTRL_C, settle=False)
    assert s.wait_exit() == CONTROL_C_EXIT
    assert s.stderr() == ""
    assert snapshot(tmp_path) == before
    assert s.modes() == s.modes_before


def test_without_a_console_the_run_stops_cleanly(start, wine_program, tmp_path):
    # Keys from a pipe are a terminal matter; a Win32 console program needs its console.
    before = snapshot(tmp_path)
    s = start(stdin=b"\r\r")
    assert s.wait_exit(timeout=20) == 6  # the input handle is no console handle
    assert s.stderr() == "Runtime error 6\n"
    assert s.lines() == [""] * 25
    assert snapshot(tmp_path) == before


@pytest.fixture(scope="session")
def zor_stand_in(tmp_path_factory):
    gcc = shutil.which("x86_64-w64-mingw32-gcc")
    if wine.WINE is None or gcc is None:
        pytest.skip("needs wine and x86_64-w64-mingw32-gcc to run a launcher")
    exe = tmp_path_factory.mktemp("stand-in") / "ZOR4.EXE"
    subprocess.run([gcc, "-O2", "-s", "-o", str(exe), str(Path(__file__).with_name("zor_stand_in.c"))], check=True)
    return exe


# ZOR's directory, the colour table given to --set and an unpacker kept from the old
# launcher, with the command interpreter's special characters (in a directory where Windows
# allows them) and letters of the OEM code page; the first row is plain.
NAMES = [("zor", "MY.FAR", "UNP.EXE"), ("my zor", "sub dir\\", "C:\\un pack\\UNP.EXE"),
         ("R&D", "x & del *.far", "a&b|c"), ("50%", "%PATH%.FAR", "%1%%"),
         ("a^b(x),c;d=e", "(x)^y,z;w=v.far", "x<y>z"), ("!x'y", "a|b<c>d.far", "(a)"),
         ("bän", "grün.far", "ünp.exe"), ("Café Ä", "é ß.far", "Ü\\ñ.exe")]


@pytest.mark.parametrize("directory,table,unpacker", NAMES, ids=[row[0] for row in NAMES])
def test_zor_gets_each_name_whole_through_the_command_interpreter(
        run, zor_stand_in, tmp_path, bin_dir, directory, table, unpacker):
    zor = tmp_path / "zors" / directory
    zor.mkdir(parents=True)
    shutil.copy(zor_stand_in, zor / "ZOR4.EXE")
    (bin_dir / "ZO.BAT").write_bytes(f'@ECHO OFF\r\nREM\r\nZOR4.EXE -N"{unpacker.replace("%", "%%")}"'.encode("cp437"))
    p = run("--set", "f=" + table, "r=on", "--launcher", str(bin_dir), cwd=zor)
    assert p.returncode == 0, p.err

    env = base_env(tmp_path, bin_dir)
    wine.prepare(env, tmp_path)
    subprocess.run([wine.WINE, "cmd", "/c", "ZO.BAT", "a", "b c"], cwd=bin_dir, env=env, check=True,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    received = (zor / "ARGS.TXT").read_bytes().decode("utf-8").split("\n")[1:-1]
    switches = option_items(F=dos(zor) + "\\" + table, N=unpacker, R="+")
    assert received == [dos(zor) + "\\ZOR4.EXE"] + switches + ["a", "b c"]
