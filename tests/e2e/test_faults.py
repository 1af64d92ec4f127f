"""File operations made to fail from outside the program: no file may grow, a directory
that does not exist, a directory (or a file) that may not be written, a full file system.
Saving the launcher or a colour table then ends the run with "Runtime error N" and exit
code N; the file that was there stays byte for byte, no temporary file is left, and the
terminal is put back."""

import dataclasses
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import pytest

from harness import ENTER
from steps import DEFAULT_PAIRS, LANGUAGES, colour_table, dos, launcher_bytes, option_line, reach_menu

T = LANGUAGES["en"]
CONFINE = str(Path(__file__).with_name("confine.py"))
NOBODY = 65534

FILE_TOO_LARGE = 223  # EFBIG, a file-size limit
PATH_NOT_FOUND, ACCESS_DENIED, DISK_FULL = 3, 5, 112

# Hand-edited: a switch this program does not write, so that a save keeps it as ZO.BAK.
OLD_LAUNCHER = launcher_bytes("REM kept", "C:\\ZOR\\ZOR4.EXE", option_line(U="-") + " /Q")
OLD_TABLE = colour_table("old", [(0x0F, 0x40)] + DEFAULT_PAIRS[1:])


@pytest.fixture
def program(program):
    """The program started through confine.py, which applies ZOR_CONFINE."""
    if not program.posix:
        pytest.skip("the faults are made with POSIX limits, users and mounts")
    return dataclasses.replace(program, argv=[sys.executable, CONFINE] + program.argv)


@pytest.fixture
def open_dir():
    """A directory every user may enter (pytest's own are root's alone), removed after."""
    d = Path(tempfile.mkdtemp(prefix="zorfault"))
    d.chmod(0o755)
    yield d
    shutil.rmtree(d, ignore_errors=True)


def zor_in(d):
    z = d / "zor"
    z.mkdir(mode=0o755)
    z.chmod(0o755)
    (z / "ZOR4.EXE").write_bytes(b"MZ")
    return z


def listing(d):
    return sorted(p.name for p in d.iterdir())


NO_BACKUP = "holds changes of its own and could not be kept as ZO.BAK: left as it was"


def stopped_with(s, code, file=None, reason=None):
    """The run ends with runtime error `code`: the report (after the line naming the file
    and the reason, when a refusal explains it), the exit code, the terminal."""
    assert s.wait_exit() == code
    deadline = time.monotonic() + 5  # the report may come through confine.py's helper
    while "Runtime error" not in s.stderr() and time.monotonic() < deadline:
        time.sleep(0.05)
    refused = f"zorsetup: {file}: {reason}\n" if reason else ""
    assert s.stderr() == f"{refused}Runtime error {code}\n"
    assert s.modes() == s.modes_before


def save_launcher(s):
    """From the start to Enter in the menu, with one setting changed."""
    reach_menu(s, T)
    s.send("u")
    s.send(ENTER, settle=False)


def save_table(s, name, new):
    """From the start into the colour-table editor on `name`, one colour changed, saved."""
    reach_menu(s, T)
    s.send("*")
    s.send(name + ENTER)
    if new:
        s.wait_text(T["comment"])
        s.send("new" + ENTER)
    s.wait_text(T["legend"][0])
    s.send("a")
    s.send("s", settle=False)


def launcher_on_path(d):
    bin_dir = d / "bin"
    bin_dir.mkdir(mode=0o755, exist_ok=True)
    (bin_dir / "ZO.BAT").write_bytes(OLD_LAUNCHER)
    return bin_dir


def test_no_file_may_grow(start, zor_dir, tmp_path):
    bin_dir = launcher_on_path(tmp_path)
    s = start(env={"PATH": str(bin_dir), "ZOR_CONFINE": "fsize"})
    save_launcher(s)
    stopped_with(s, FILE_TOO_LARGE, bin_dir / "ZO.BAT", NO_BACKUP)  # the hand edit's copy does not fit
    assert (bin_dir / "ZO.BAT").read_bytes() == OLD_LAUNCHER
    assert listing(bin_dir) == ["ZO.BAT"]

    (zor_dir / "OLD.TAB").write_bytes(OLD_TABLE)
    s = start(env={"PATH": str(bin_dir), "ZOR_CONFINE": "fsize"})
    save_table(s, "OLD.TAB", new=False)
    stopped_with(s, FILE_TOO_LARGE)
    assert (zor_dir / "OLD.TAB").read_bytes() == OLD_TABLE
    assert listing(zor_dir) == ["OLD.TAB", "ZOR4.EXE"]


def test_a_directory_that_does_not_exist(start, zor_dir, tmp_path):
    missing = tmp_path / "missing"
    # Chosen in the location dialog, then gone before the save: the save cannot.
    missing.mkdir()
    s = start()
    s.wait_text(T["path_choice"])
    s.wait_settle()
    s.send(dos(missing) + ENTER)
    s.wait_text(T["save_and_exit"])
    missing.rmdir()
    s.send(ENTER, settle=False)
    stopped_with(s, PATH_NOT_FOUND)


def as_nobody(start_env, program_argv):
    """ZOR_CONFINE for a run in which permissions count: nobody's when we are root. Skips
    when that user cannot run the program from where it lies."""
    if os.geteuid() != 0:
        return start_env
    probe = subprocess.run([sys.executable, CONFINE] + program_argv + ["--version"],
                           env=dict(os.environ, ZOR_CONFINE="nobody"), capture_output=True)
    if probe.returncode != 0:
        pytest.skip("root ignores permissions, and the user nobody cannot run the program from "
                    "where it was built")
    return dict(start_env, ZOR_CONFINE="nobody")


def test_a_directory_that_may_not_be_written(start, program, open_dir):
    zor = zor_in(open_dir)
    bin_dir = launcher_on_path(open_dir)
    if os.geteuid() == 0:
        os.chown(bin_dir / "ZO.BAT", NOBODY, NOBODY)
    bin_dir.chmod(0o555)  # no new file may be made there (the launcher is rewritten in place)
    env = as_nobody({"PATH": str(bin_dir)}, program.argv[2:])

    s = start(cwd=zor, env=env)
    save_table(s, dos(bin_dir / "NEW.TAB"), new=True)
    stopped_with(s, ACCESS_DENIED)
    assert listing(bin_dir) == ["ZO.BAT"]

    # A read-only table in a writable directory cannot be opened: it is taken as a new
    # table, and saving it is refused.
    (zor / "RO.TAB").write_bytes(OLD_TABLE)
    (zor / "RO.TAB").chmod(0o444)
    s = start(cwd=zor, env=env)
    save_table(s, "RO.TAB", new=True)
    stopped_with(s, ACCESS_DENIED)
    assert (zor / "RO.TAB").read_bytes() == OLD_TABLE
    assert listing(zor) == ["RO.TAB", "ZOR4.EXE"]
    assert (bin_dir / "ZO.BAT").read_bytes() == OLD_LAUNCHER


@pytest.fixture
def full_disk(open_dir):
    """A small file system of its own, holding a launcher and a colour table, then filled
    to the last byte. Skips where this machine does not let us mount one."""
    mount = open_dir / "small"
    mount.mkdir()
    done = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k,mode=755", "zorfull", str(mount)],
                          capture_output=True, text=True)
    if done.returncode != 0:
        pytest.skip("no small file system to fill: mount is not permitted here "
                    f"({(done.stderr or done.stdout).strip()})")
    try:
        (mount / "ZO.BAT").write_bytes(OLD_LAUNCHER)
        (mount / "OLD.TAB").write_bytes(OLD_TABLE)
        with open(mount / "filler", "wb", buffering=0) as filler:
            try:
                while True:
                    filler.write(b"\0" * 512)
            except OSError:
                pass  # full
        yield mount
    finally:
        subprocess.run(["umount", str(mount)], capture_output=True)


def test_a_full_file_system(start, zor_dir, full_disk):
    s = start(env={"PATH": str(full_disk)})
    save_launcher(s)
    stopped_with(s, DISK_FULL, full_disk / "ZO.BAT", NO_BACKUP)
    assert (full_disk / "ZO.BAT").read_bytes() == OLD_LAUNCHER

    s = start(env={"PATH": str(full_disk)})
    save_table(s, dos(full_disk / "OLD.TAB"), new=False)
    stopped_with(s, DISK_FULL)
    assert (full_disk / "OLD.TAB").read_bytes() == OLD_TABLE
    assert listing(full_disk) == ["OLD.TAB", "ZO.BAT", "filler"]
