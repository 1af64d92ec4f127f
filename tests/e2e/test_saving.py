"""Saving keeps what the user already has: owner, group and mode, hard links and symbolic
links, nodes that are no plain files, the old launcher as ZO.BAK; and leaves nothing of
its own behind. Run as root and, through confine.py, as the user nobody."""

import fcntl
import os
import socket
import stat
import subprocess

import pytest

from harness import ENTER
from steps import dos, launcher_bytes, option_line, reach_menu
from test_faults import (ACCESS_DENIED, NO_BACKUP, NOBODY, OLD_LAUNCHER, OLD_TABLE, T, as_nobody, listing, open_dir,  # noqa: F401
                         program, save_launcher, save_table, stopped_with, zor_in)


@pytest.fixture
def launcher_dir(open_dir):
    d = open_dir / "bin"
    d.mkdir(mode=0o755)
    (d / "ZO.BAT").write_bytes(OLD_LAUNCHER)
    return d


def set_u(run, zor, launcher_dir, env=None):
    """--set: the launcher gets one setting changed, so its content differs."""
    return run("--set", "u=on", "--launcher", str(launcher_dir), cwd=zor, env=env)


def status(path):
    """What a save must keep of a name: kind, owner, group, mode, links, link target."""
    s = os.lstat(path)
    return (stat.S_IFMT(s.st_mode), s.st_uid, s.st_gid, stat.S_IMODE(s.st_mode), s.st_nlink,
            os.readlink(path) if os.path.islink(path) else None)


def written(p, changed=False):
    assert p.returncode == 0, p.err
    line = p.out.splitlines()[0]
    assert ("(it had changed since it was read)" in line) == changed, line


@pytest.mark.skipif(os.geteuid() != 0, reason="only root gives a file away")
def test_owner_group_and_mode_stay_and_the_owner_can_still_read_it(run, program, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    launcher = launcher_dir / "ZO.BAT"
    os.chown(launcher, NOBODY, NOBODY)
    launcher.chmod(0o640)
    before = status(launcher)
    written(set_u(run, zor, launcher_dir))
    assert status(launcher) == before
    assert launcher.read_bytes() != OLD_LAUNCHER
    assert (launcher_dir / "ZO.BAK").read_bytes() == OLD_LAUNCHER
    assert status(launcher_dir / "ZO.BAK") == before
    assert listing(launcher_dir) == ["ZO.BAK", "ZO.BAT"]
    env = as_nobody({}, program.argv[2:])
    p = run("--show", "--launcher", str(launcher_dir), cwd=zor, env=env)
    assert p.returncode == 0 and "\nsubdirs=on\n" in p.out, p.err


def test_every_hard_link_sees_the_new_launcher(run, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    os.link(launcher_dir / "ZO.BAT", open_dir / "OTHER.BAT")
    inode = os.stat(launcher_dir / "ZO.BAT").st_ino
    before = status(launcher_dir / "ZO.BAT")
    written(set_u(run, zor, launcher_dir))
    new = (launcher_dir / "ZO.BAT").read_bytes()
    assert new != OLD_LAUNCHER and (open_dir / "OTHER.BAT").read_bytes() == new
    assert status(launcher_dir / "ZO.BAT") == before and os.stat(launcher_dir / "ZO.BAT").st_ino == inode
    assert (launcher_dir / "ZO.BAK").read_bytes() == OLD_LAUNCHER
    assert listing(launcher_dir) == ["ZO.BAK", "ZO.BAT"]


def test_a_symbolic_link_stays_and_its_file_is_written(run, start, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    real = open_dir / "real"
    real.mkdir()
    (launcher_dir / "ZO.BAT").rename(real / "launcher.bat")
    os.symlink("../real/launcher.bat", launcher_dir / "ZO.BAT")
    written(set_u(run, zor, launcher_dir))
    assert status(launcher_dir / "ZO.BAT")[5] == "../real/launcher.bat"
    assert (real / "launcher.bat").read_bytes() != OLD_LAUNCHER
    assert (real / "ZO.BAK").read_bytes() == OLD_LAUNCHER  # beside the file written
    assert listing(real) == ["ZO.BAK", "launcher.bat"]

    (real / "T.TAB").write_bytes(OLD_TABLE)
    os.symlink(real / "T.TAB", zor / "LINK.TAB")
    s = start(cwd=zor, env={"PATH": str(launcher_dir)})
    save_table(s, "LINK.TAB", new=False)
    s.wait_text(T["save_and_exit"])
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert status(zor / "LINK.TAB")[5] == str(real / "T.TAB")
    table = (real / "T.TAB").read_bytes()
    assert table != OLD_TABLE and len(table) == len(OLD_TABLE)
    assert listing(real) == ["T.TAB", "ZO.BAK", "launcher.bat"]  # no backup for a table
    assert listing(zor) == ["LINK.TAB", "ZOR4.EXE"]


def make_node(path, kind):
    if kind == "fifo":
        os.mkfifo(path)
    elif kind == "directory":
        path.mkdir()
    elif kind == "socket":
        sock = socket.socket(socket.AF_UNIX)
        sock.bind(str(path))
        sock.close()
    elif kind == "device":
        try:
            os.mknod(path, 0o666 | stat.S_IFCHR, os.makedev(1, 3))  # as /dev/null
        except PermissionError:
            pytest.skip("no device node may be made here")


def denied(p, launcher_dir):
    """--set stopped by access denied to the launcher: the file named, then the runtime error."""
    assert p.returncode == ACCESS_DENIED
    named, reported = p.err.splitlines()
    assert named.startswith(f"zorsetup: {dos(launcher_dir / 'ZO.BAT')}") and named.endswith(": access denied")
    assert reported == f"Runtime error {ACCESS_DENIED}"


@pytest.mark.parametrize("kind", ["fifo", "socket", "directory", "device"])
def test_only_a_plain_file_is_replaced(run, open_dir, kind):
    zor = zor_in(open_dir)
    d = open_dir / "bin"
    d.mkdir()
    make_node(d / "ZO.BAT", kind)
    before = status(d / "ZO.BAT")
    denied(set_u(run, zor, d), d)
    assert status(d / "ZO.BAT") == before
    assert listing(d) == ["ZO.BAT"]


def test_a_fifo_stops_the_start_without_a_hang(start, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    fifo_dir = open_dir / "fifo"
    fifo_dir.mkdir()
    os.mkfifo(fifo_dir / "ZO.BAT")
    s = start(cwd=zor, env={"PATH": str(fifo_dir)})
    stopped_with(s, ACCESS_DENIED)


def test_a_folder_that_takes_no_new_file_gets_the_launcher_rewritten_in_place(run, start, program, open_dir,
                                                                             launcher_dir):
    """...but for a hand edit, which has no room for its ZO.BAK there: it stays as it is."""
    zor = zor_in(open_dir)
    (launcher_dir / "OLD.TAB").write_bytes(OLD_TABLE)
    own = launcher_bytes("REM kept", dos(zor) + "\\ZOR4.EXE", option_line(U="-"))
    if os.geteuid() == 0:
        for name in ("ZO.BAT", "OLD.TAB"):
            os.chown(launcher_dir / name, NOBODY, NOBODY)
    launcher_dir.chmod(0o555)
    env = as_nobody({"PATH": str(launcher_dir)}, program.argv[2:])
    p = set_u(run, zor, launcher_dir, env)
    assert (p.returncode, p.err) == (5, f"zorsetup: {launcher_dir / 'ZO.BAT'}: {NO_BACKUP}\nRuntime error 5\n")
    assert (launcher_dir / "ZO.BAT").read_bytes() == OLD_LAUNCHER
    with open(launcher_dir / "ZO.BAT", "r+b") as launcher:  # the program's own: nothing to keep
        launcher.write(own)
        launcher.truncate()
    before = status(launcher_dir / "ZO.BAT")
    written(set_u(run, zor, launcher_dir, env))
    assert status(launcher_dir / "ZO.BAT") == before
    assert (launcher_dir / "ZO.BAT").read_bytes() == own.replace(b"-U-", b"-U+")

    s = start(cwd=zor, env=env)
    save_table(s, dos(launcher_dir / "OLD.TAB"), new=False)
    s.wait_text(T["save_and_exit"])
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert s.modes() == s.modes_before
    assert (launcher_dir / "OLD.TAB").read_bytes() != OLD_TABLE
    assert listing(launcher_dir) == ["OLD.TAB", "ZO.BAT"]


@pytest.mark.skipif(os.geteuid() != 0, reason="needs a file of root's that nobody may write")
def test_an_owner_that_cannot_be_given_gets_the_launcher_rewritten_in_place(run, program, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    launcher = launcher_dir / "ZO.BAT"
    os.chown(launcher, 0, NOBODY)
    launcher.chmod(0o664)  # nobody's group may write it, but nobody may not give it to root
    os.chown(launcher_dir, NOBODY, NOBODY)
    before = status(launcher)
    written(set_u(run, zor, launcher_dir, as_nobody({}, program.argv[2:])))
    assert status(launcher) == before
    assert launcher.read_bytes() != OLD_LAUNCHER
    assert (launcher_dir / "ZO.BAK").read_bytes() == OLD_LAUNCHER


def test_a_size_limit_is_a_runtime_error_with_the_terminal_back(start, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    s = start(cwd=zor, env={"PATH": str(launcher_dir), "ZOR_CONFINE": "fsize"})
    save_launcher(s)
    stopped_with(s, 223, launcher_dir / "ZO.BAT", NO_BACKUP)  # the copy of the hand edit does not fit
    assert (launcher_dir / "ZO.BAT").read_bytes() == OLD_LAUNCHER
    assert listing(launcher_dir) == ["ZO.BAT"]


def test_leftovers_of_killed_runs_go_and_a_running_save_keeps_its_file(run, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    # A save in progress holds a lock on its file, also one of another PID namespace,
    # whose process id means nothing here.
    running = ".zorsetup-0123456789abcdef.tmp"
    for name in (".zorsetup-fedcba9876543210.tmp", running):
        (launcher_dir / name).write_bytes(b"left")
    with open(launcher_dir / running, "rb") as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        written(set_u(run, zor, launcher_dir))
    assert listing(launcher_dir) == [running, "ZO.BAK", "ZO.BAT"]


def test_an_unchanged_launcher_gets_no_backup_and_a_hand_edit_outlasts_later_saves(run, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    written(set_u(run, zor, launcher_dir))
    assert (launcher_dir / "ZO.BAK").read_bytes() == OLD_LAUNCHER
    for pair in ("u=on", "u=off", "u=off"):  # the same again, then the program's own launchers
        p = run("--set", pair, "--launcher", str(launcher_dir), cwd=zor)
        written(p)
    assert (launcher_dir / "ZO.BAK").read_bytes() == OLD_LAUNCHER
    assert listing(launcher_dir) == ["ZO.BAK", "ZO.BAT"]


ROOTS_FILE = b"root's own\n"


@pytest.mark.parametrize("bak", ["link to root's file", "dangling link", "hard link to root's file",
                                 "link to ZO.BAT", "hard link to ZO.BAT", "ZO.BAT a link to it"])
def test_zo_bak_is_a_file_of_its_own(run, open_dir, launcher_dir, bak):
    """Whatever the launcher's folder holds under ZO.BAK (a user who may write the folder
    put it there), a save as root replaces that name and writes through nothing."""
    zor = zor_in(open_dir)
    secret = open_dir / "secret"
    secret.write_bytes(ROOTS_FILE)
    secret.chmod(0o600)
    target, backup = launcher_dir / "ZO.BAT", launcher_dir / "ZO.BAK"
    {"link to root's file": lambda: os.symlink(secret, backup),
     "dangling link": lambda: os.symlink(open_dir / "made", backup),
     "hard link to root's file": lambda: os.link(secret, backup),
     "link to ZO.BAT": lambda: os.symlink("ZO.BAT", backup),
     "hard link to ZO.BAT": lambda: os.link(target, backup),
     "ZO.BAT a link to it": lambda: (target.rename(backup), os.symlink("ZO.BAK", target))}[bak]()
    p = set_u(run, zor, launcher_dir)
    assert secret.read_bytes() == ROOTS_FILE and not (open_dir / "made").exists()
    if bak == "ZO.BAT a link to it":  # ZO.BAK is the launcher's own file: no room for a backup
        assert (p.returncode, p.err) == (5, f"zorsetup: {backup}: {NO_BACKUP}\nRuntime error 5\n")
        assert os.path.islink(target) and backup.read_bytes() == OLD_LAUNCHER
    else:
        written(p)
        assert status(backup)[:1] == (stat.S_IFREG,) and os.stat(backup).st_nlink == 1
        assert backup.read_bytes() == OLD_LAUNCHER and target.read_bytes() != OLD_LAUNCHER
    assert listing(launcher_dir) == ["ZO.BAK", "ZO.BAT"]


def test_a_failed_save_leaves_zo_bak_as_it_was(run, program, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    older = b"REM an older backup"
    (launcher_dir / "ZO.BAK").write_bytes(older)
    if os.geteuid() == 0:
        os.chown(launcher_dir, NOBODY, NOBODY)  # nobody's folder, root's launcher (mode 644)
        os.chown(launcher_dir / "ZO.BAK", NOBODY, NOBODY)
    else:
        (launcher_dir / "ZO.BAT").chmod(0o444)
    denied(set_u(run, zor, launcher_dir, as_nobody({}, program.argv[2:])), launcher_dir)
    assert (launcher_dir / "ZO.BAT").read_bytes() == OLD_LAUNCHER
    assert (launcher_dir / "ZO.BAK").read_bytes() == older
    assert listing(launcher_dir) == ["ZO.BAK", "ZO.BAT"]


def test_a_launcher_changed_while_the_menu_is_open_goes_to_zo_bak(start, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    s = start(cwd=zor, env={"PATH": str(launcher_dir)})
    reach_menu(s, T)
    meanwhile = OLD_LAUNCHER.replace(b"REM kept", b"REM edited meanwhile")
    (launcher_dir / "ZO.BAT").write_bytes(meanwhile)
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert "(it had changed since it was read)" in "".join(s.row(r) for r in range(5, 26))
    assert (launcher_dir / "ZO.BAK").read_bytes() == meanwhile
    assert (launcher_dir / "ZO.BAT").read_bytes().startswith(b"@ECHO OFF\r\nREM kept\r\n")


def test_names_in_any_letter_case_are_found_and_written_as_they_are(run, open_dir, launcher_dir):
    zor = zor_in(open_dir)
    (zor / "ZOR4.EXE").rename(zor / "zor4.exe")
    (launcher_dir / "ZO.BAT").rename(launcher_dir / "zo.bat")
    written(run("--set", "u=on", cwd=zor, env={"PATH": str(launcher_dir)}))
    assert listing(launcher_dir) == ["ZO.BAK", "zo.bat"]
    assert (launcher_dir / "zo.bat").read_bytes() != OLD_LAUNCHER
