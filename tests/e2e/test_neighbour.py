"""Root beside a neighbour who may write the launcher's or ZOR's directory (the user
nobody), and saves cut short by the kernel: what only the real kernel shows. Every other
attack is a row of the file functions' own tests."""

import os
import random
import shutil
import signal
import subprocess
import time

import pytest

from harness import ENTER
from steps import reach_menu
from test_faults import NOBODY, OLD_LAUNCHER, T, listing, open_dir, zor_in  # noqa: F401

SECRET = b"root secret\n"

root_only = pytest.mark.skipif(os.geteuid() != 0, reason="a neighbour of root's: only root can make one")


def private_file(d):
    """A file of root's that nobody may read, in a folder nobody may enter."""
    (d / "private").mkdir(mode=0o700)
    secret = d / "private" / "secret"
    secret.write_bytes(SECRET)
    secret.chmod(0o600)
    return secret


def as_neighbour(work):
    """Runs work() in a child process of the user nobody; returns its process id."""
    pid = os.fork()
    if pid == 0:
        try:
            os.setgid(NOBODY)
            os.setuid(NOBODY)
            work()
        finally:
            os._exit(0)
    return pid


# POSIX only: under Wine the links of the machine are Wine's business, and on Windows
# another user's link is not a thing a neighbour can make.
@root_only
@pytest.mark.parametrize("link", ["ZO.BAT", "a folder on the way"])
def test_a_link_of_the_neighbours_is_never_followed(run, posix_program, open_dir, link):
    """nobody's link as the launcher, or as a folder on the way to it (one of root's own
    links leads through it): root's run reads, copies, prints and writes nothing behind it."""
    zor = zor_in(open_dir)
    secret = private_file(open_dir)
    bin_dir = open_dir / "bin"
    bin_dir.mkdir()
    os.chown(bin_dir, NOBODY, NOBODY)
    if link == "ZO.BAT":
        os.waitpid(as_neighbour(lambda: os.symlink(secret, bin_dir / "ZO.BAT")), 0)
        refused = bin_dir / "ZO.BAT"
    else:
        os.waitpid(as_neighbour(lambda: os.symlink(secret.parent, bin_dir / "via")), 0)
        os.symlink("via/secret", bin_dir / "ZO.BAT")
        refused = bin_dir / "via"
    for args in (["--set", "u=on"], ["--show"]):
        p = run(*args, "--launcher", str(bin_dir), cwd=zor)
        assert (p.returncode, p.out) == (5, "")
        assert p.err == (f"zorsetup: {refused}: a symbolic link of another user's: not followed, "
                         "nothing written\nRuntime error 5\n")
    assert secret.read_bytes() == SECRET and os.listdir(secret.parent) == ["secret"]
    assert listing(bin_dir) == sorted(["ZO.BAT"] + (["via"] if link != "ZO.BAT" else []))


@root_only
def test_a_link_of_roots_is_followed_for_anyone(posix_program, open_dir):
    """A link that root made is one nobody may follow: nobody's launcher behind it is
    written, the link stays. (The program is copied where nobody may run it.)"""
    zor = zor_in(open_dir)
    copy = open_dir / "zorsetup"
    shutil.copy(posix_program.argv[-1], copy)
    bin_dir = open_dir / "bin"
    bin_dir.mkdir()
    (bin_dir / "real.bat").write_bytes(OLD_LAUNCHER)
    for path in (bin_dir, bin_dir / "real.bat"):
        os.chown(path, NOBODY, NOBODY)
    os.symlink("real.bat", bin_dir / "ZO.BAT")
    p = subprocess.run([str(copy), "--set", "u=on", "--launcher", str(bin_dir)], cwd=zor, capture_output=True,
                       preexec_fn=lambda: (os.setgid(NOBODY), os.setuid(NOBODY)), timeout=30)
    assert p.returncode == 0, p.stderr
    assert os.path.islink(bin_dir / "ZO.BAT") and (bin_dir / "real.bat").read_bytes() != OLD_LAUNCHER


@root_only
def test_a_swapping_neighbour_never_gets_a_table_written_over_another_file(start, posix_program, open_dir):
    """nobody swaps NEW.FAR between a link to root's files and nothing, as fast as it can,
    while root saves a new table under that name, six times."""
    zor = zor_in(open_dir)
    secret = private_file(open_dir)
    os.chown(zor, NOBODY, NOBODY)
    victims = {secret: SECRET, zor / "ZOR4.EXE": (zor / "ZOR4.EXE").read_bytes()}

    def swap():
        for n in range(10 ** 9):
            link = zor / f"link{n % 2}"
            try:
                os.symlink(list(victims)[n % 2], link)
                os.rename(link, zor / "NEW.FAR")
                os.unlink(zor / "NEW.FAR")
            except OSError:
                pass

    swapper = as_neighbour(swap)
    try:
        for _ in range(6):
            s = start(cwd=zor, env={"PATH": str(open_dir)})
            reach_menu(s, T)
            s.send("*")
            s.send("NEW.FAR" + ENTER)
            s.send("c" + ENTER)
            s.send("a")
            s.send("s", settle=False)
            try:
                s.wait_exit(timeout=3)
            except subprocess.TimeoutExpired:  # still asking: the name was refused meanwhile
                s.process.kill()
    finally:
        os.kill(swapper, signal.SIGKILL)
        os.waitpid(swapper, 0)
    for victim, content in victims.items():
        assert victim.read_bytes() == content, victim
    assert not [name for name in listing(zor) if name.startswith(".zorsetup-")]


def hand_edited_launcher(d, size):
    """A hand-edited launcher of size bytes, long enough that a save takes a while."""
    launcher = d / "ZO.BAT"
    launcher.write_bytes(OLD_LAUNCHER + b"\r\nREM " + b"x" * (size - len(OLD_LAUNCHER) - 6))
    return launcher.read_bytes()


@pytest.mark.parametrize("sig", [signal.SIGKILL, signal.SIGTERM])
def test_a_save_cut_short_at_any_moment_keeps_the_hand_edit(program, posix_program, open_dir, sig):
    """--set, ended by the signal after a random moment, 25 times: the hand edit stays
    in ZO.BAT, ZO.BAK or (after SIGKILL) a backup copy that the next save finishes; after
    SIGTERM nothing of the save is left, and the run ends by the signal."""
    zor = zor_in(open_dir)
    bin_dir = open_dir / "bin"
    bin_dir.mkdir()
    rng = random.Random(31)
    for _ in range(25):
        for name in listing(bin_dir):
            os.unlink(bin_dir / name)
        edit = hand_edited_launcher(bin_dir, 8 << 20)
        p = subprocess.Popen(program.argv + ["--set", "u=on", "--launcher", str(bin_dir)], cwd=zor,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(rng.uniform(0, 0.15))
        p.send_signal(sig)
        code = p.wait(timeout=30)
        names = listing(bin_dir)
        assert any((bin_dir / name).read_bytes() == edit for name in names), names
        if sig == signal.SIGTERM:
            assert names in (["ZO.BAT"], ["ZO.BAK", "ZO.BAT"]) and code in (-sig, 0)
        subprocess.run(program.argv + ["--set", "u=off", "--launcher", str(bin_dir)], cwd=zor, check=True,
                       capture_output=True)
        assert listing(bin_dir) == ["ZO.BAK", "ZO.BAT"]
        assert edit in ((bin_dir / "ZO.BAT").read_bytes(), (bin_dir / "ZO.BAK").read_bytes())
