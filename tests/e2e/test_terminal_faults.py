"""The terminal and the process under every fault: a terminal that stops reading, output
into a pipe whose reader is gone or onto a full device, a stopped job killed from the
shell, any window size a terminal reports, folder names outside code page 437."""

import os
import resource
import select
import signal
import subprocess
import termios
import time

import pytest

from conftest import base_env, snapshot
from harness import CTRL_C, CTRL_Z, ENTER, ESC
from steps import EN, menu_screen, reach_menu, rows

CTRL_BACKSLASH = "\x1c"
TYPED = {signal.SIGINT: CTRL_C, signal.SIGQUIT: CTRL_BACKSLASH}


def end_by(s, sig):
    if sig in TYPED:
        s.send(TYPED[sig], settle=False)  # typed: the terminal sends it
    else:
        s.process.send_signal(sig)


@pytest.mark.parametrize("sig", [signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT],
                         ids=lambda sig: sig.name)
def test_a_terminal_that_stopped_reading_holds_no_signal_back(start, posix_program, tmp_path, no_core_files,
                                                              sig):
    s = start()
    reach_menu(s)
    before = snapshot(tmp_path)
    termios.tcflow(s.slave, termios.TCOOFF)  # a stalled session: every write now blocks
    try:
        s.send("u", settle=False)
        time.sleep(0.3)
        end_by(s, sig)
        assert s.process.wait(5) == -sig
    finally:
        termios.tcflow(s.slave, termios.TCOON)
    assert s.modes() == s.modes_before
    assert snapshot(tmp_path) == before


def read_until(fd, text, timeout=10):
    data, deadline = b"", time.monotonic() + timeout
    while text.encode() not in data and time.monotonic() < deadline:
        if select.select([fd], [], [], 0.1)[0]:
            data += os.read(fd, 65536)
    assert text.encode() in data


@pytest.mark.parametrize("ending,status", [(CTRL_C, -signal.SIGINT), ("1", 109)], ids=["ctrl-c", "a key"])
def test_output_into_a_pipe_whose_reader_is_gone(start, posix_program, tmp_path, ending, status):
    # zorsetup | cat, and cat gone: Ctrl+C still hands the terminal back and ends by SIGINT;
    # a key whose echo finds no reader ends the run with "broken pipe".
    read_end, write_end = os.pipe()
    s = start(stdout=write_end)
    os.close(write_end)
    read_until(read_end, EN["path_choice"])
    os.close(read_end)
    before = snapshot(tmp_path)
    s.send(ending, settle=False)
    assert s.wait_exit() == status
    assert s.modes() == s.modes_before
    assert s.stderr() == ("" if status < 0 else f"Runtime error {status}\n")
    assert snapshot(tmp_path) == before


def test_output_onto_a_full_device_stops_at_once(start, posix_program, tmp_path):
    before = snapshot(tmp_path)
    with open("/dev/full", "wb") as full:
        s = start(stdout=full.fileno())
        s.send(ENTER + ENTER, settle=False)  # would choose a folder and save, if it ran blind
        assert s.wait_exit() == 112
    assert s.modes() == s.modes_before
    assert s.stderr() == "Runtime error 112\n"
    assert snapshot(tmp_path) == before


def dead_pipe():
    read_end, write_end = os.pipe()
    os.close(read_end)
    return write_end


# Standard output and error of a run whose keys come from a pipe (choose the current
# folder, save): each failing output gives its runtime error, and nothing is written.
@pytest.mark.parametrize("stdout,stderr,keys,code", [
    ("/dev/full", None, b"\r\r", 112),
    ("dead pipe", None, b"\r\r", 109),
    ("closed", None, b"\r\r", 9),
    (None, "dead pipe", b"", 100),  # the report itself finds no reader: still exit 100
])
def test_failing_standard_streams_give_their_runtime_error(posix_program, zor_dir, bin_dir, tmp_path, stdout,
                                                           stderr, keys, code):
    def target(kind):
        return {None: subprocess.PIPE, "/dev/full": open("/dev/full", "wb"), "dead pipe": dead_pipe(),
                "closed": subprocess.DEVNULL}[kind]

    before = snapshot(tmp_path)
    p = subprocess.run(posix_program.argv, cwd=zor_dir, env=base_env(tmp_path, bin_dir), input=keys,
                       stdout=target(stdout), stderr=target(stderr), timeout=20,
                       preexec_fn=(lambda: os.close(1)) if stdout == "closed" else None)
    assert p.returncode == code
    if stderr is None:
        assert p.stderr == f"Runtime error {code}\n".encode()
    assert snapshot(tmp_path) == before


def test_input_that_cannot_be_read_ends_the_run_as_input_that_ended(posix_program, zor_dir, bin_dir, tmp_path):
    # Standard input a folder: every read fails, though the input is always ready.
    folder = os.open(tmp_path, os.O_RDONLY)
    p = subprocess.run(posix_program.argv, cwd=zor_dir, env=base_env(tmp_path, bin_dir), stdin=folder,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=20)
    os.close(folder)
    assert (p.returncode, p.stderr) == (100, b"Runtime error 100\n")


def test_a_report_that_fails_after_saving_still_fails_the_run(posix_program, zor_dir, bin_dir, tmp_path):
    """The launcher is saved and the terminal handed back; then the line naming the launcher
    meets the output's file-size limit. The run fails with that error all the same."""
    def run(limit=None):
        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        before = snapshot(tmp_path)
        # The keys from a file: all of them are there at once, so both runs draw alike.
        with open(tmp_path / "out", "wb") as out, open(tmp_path / "keys", "rb") as keys:
            p = subprocess.run(posix_program.argv, cwd=zor_dir, env=base_env(tmp_path, bin_dir), stdin=keys,
                               stdout=out, stderr=subprocess.PIPE, timeout=20, preexec_fn=limit and limited)
        saved = {name: content for name, content in snapshot(tmp_path).items()
                 if before.get(name) != content and name != str(tmp_path / "out")}
        for name in saved:
            os.unlink(name)  # the next run starts alike
        return p, (tmp_path / "out").read_bytes(), saved

    (tmp_path / "keys").write_bytes(b"\r\r")
    p, whole, saved = run()
    assert p.returncode == 0 and saved
    screen = whole[:whole.rindex(b"written: ")]
    p, shown, saved_limited = run(len(screen))
    assert (p.returncode, p.stderr, shown) == (223, b"Runtime error 223\n", screen)
    assert saved_limited == saved


# An output that takes nothing is the runtime error of its write: 112 for a full device,
# the error number as it is (EBADF, 9) for a closed one.
@pytest.mark.parametrize("stdout,error", [("/dev/full", 112), ("closed", 9)])
def test_version_onto_a_full_or_closed_output(posix_program, stdout, error):
    with open("/dev/full", "wb") as full:
        p = subprocess.run(posix_program.argv + ["--version"], stdout=full, stderr=subprocess.PIPE,
                           preexec_fn=(lambda: os.close(1)) if stdout == "closed" else None, timeout=20)
    assert p.returncode == error
    assert p.stderr.startswith(b"zorsetup: standard output: ")
    assert p.stderr.endswith(b"\nRuntime error %d\n" % error)


@pytest.mark.parametrize("sig", [signal.SIGTERM, signal.SIGHUP, signal.SIGINT], ids=lambda sig: sig.name)
def test_a_stopped_job_killed_from_the_shell_ends_by_that_signal(start, posix_program, tmp_path, sig):
    s = start(job_control=True)
    reach_menu(s)
    before = snapshot(tmp_path)
    s.send(CTRL_Z, settle=False)
    assert s.stopped()
    os.kill(s.pid, sig)  # what a shell's kill %1 sends to a stopped job
    os.kill(s.pid, signal.SIGCONT)
    assert s.wait_exit() == -sig
    assert s.modes() == s.modes_before
    assert snapshot(tmp_path) == before


@pytest.mark.parametrize("window", [(65535, 65535), (50000, 50000), (600, 20), (0, 0)],
                         ids=lambda w: f"{w[0]}x{w[1]}")
def test_any_window_size_a_terminal_reports(start, posix_program, tmp_path, window):
    # The screen read is the terminal's top left part (pyte cannot hold 65535 x 65535).
    s = start(columns=min(window[0], 600) or 80, rows=min(window[1], 60) or 25, window=window)
    reach_menu(s)
    if window[1] >= 25:
        assert rows(s, 1, 25) == menu_screen(EN)
    before = snapshot(tmp_path)
    s.send(ESC)  # gives up, and the abort message waits for a key
    s.send("x", settle=False)
    assert s.wait_exit() == 0
    assert s.modes() == s.modes_before
    assert snapshot(tmp_path) == before


@pytest.mark.parametrize("odd,named", [("\u20ac", "U+20AC"), ("\u0416\u043a", "U+0416"), ("\u4e2d\u6587", "U+4E2D"),
                                       (os.fsdecode(b"\xff"), "0xFF")], ids=["euro", "cyrillic", "cjk", "not-utf8"])
def test_folders_named_outside_code_page_437(start, posix_program, tmp_path, zor_dir, odd, named):
    # No name is given with a letter it does not have: ZOR's directory stops the run with
    # the character named; a folder of PATH is not offered, nor the "?" decoy beside it.
    here = tmp_path / f"{odd}uro"
    here.mkdir()
    (here / "ZOR4.EXE").write_bytes(b"MZ")
    folder = tmp_path / f"b{odd}n"
    folder.mkdir()
    (tmp_path / f"b{'?' * len(odd)}n").mkdir()
    before = snapshot(tmp_path)
    s = start(cwd=here, env={"PATH": str(folder)})
    s.wait_text(f"abort : the name of ZOR's directory holds {named}, which the OEM code page lacks!")
    s.send("x", settle=False)
    assert s.wait_exit() == 0
    s = start(env={"PATH": str(folder)})
    s.wait_text(EN["path_choice"])
    s.wait_settle()
    screen = "".join(s.row(r) for r in range(1, 26))
    assert "[1..1]" in screen and f"b{'?' * len(odd)}n" not in screen  # the current directory only
    s.close()
    assert snapshot(tmp_path) == before


def test_a_folder_name_that_a_terminal_would_act_on_is_shown_in_hex(start, posix_program, zor_dir, tmp_path):
    """The closing line names the launcher's folder: its escape sequence (a window title)
    and its line feed reach the terminal as \\xNN. (A C1 control has no place in code page
    437: such a folder is not offered at all.)"""
    folder = tmp_path / "b\x1b]0;owned\x07\nn"
    folder.mkdir()
    s = start(cwd=zor_dir, env={"PATH": str(folder)})
    s.wait_text(EN["path_choice"])
    s.send("1" + ENTER)
    s.wait_text(EN["save_and_exit"])
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0
    assert os.listdir(folder) == ["ZO.BAT"]
    line = s.raw[s.raw.rindex(b"written: "):]
    assert b"/b\\x1B]0;owned\\x07\\x0An/ZO.BAT)" in line
    assert not any(control in line for control in (b"\x1b]", b"\x07"))
