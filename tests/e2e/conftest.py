"""Fixtures: the programs every scenario runs against, a throwaway ZOR directory, and
`start`, which runs a program there on a pseudo-terminal.

Programs: ZORSETUP_CMD (a shell-quoted command) runs just that one. Otherwise the POSIX
build (build/zorsetup) and every further program registered in PROGRAMS below that is
available on this machine.
"""

import os
import resource
import shlex
import subprocess
from dataclasses import dataclass, field
from pathlib import Path

import pytest

from harness import Session

REPO = Path(__file__).resolve().parents[2]

# The scenarios' shared steps assert too: show the difference when they fail.
pytest.register_assert_rewrite("steps")


@dataclass
class Program:
    name: str
    argv: list
    # Extra environment, or a function (env, tmp_path) -> None that prepares what the
    # program needs (a Wine prefix, say).
    env: dict = field(default_factory=dict)
    prepare: object = None
    # A POSIX process on the terminal: signals, job control, exit statuses and the terminal
    # handling (key spellings, keys from a pipe, window size changes) are the POSIX ones
    # (scenarios about them skip other programs).
    posix: bool = True
    # The (foreground, background) colours the program's console shows in the terminal's
    # default colours: Wine's console host draws light grey and black that way.
    default_colours: tuple = None
    # Start on a terminal already in raw mode. Wine's console host makes it raw only once its
    # input thread runs, a moment after the first screen may show; keys typed at once would
    # meet the terminal's line mode (echoed, Enter turned into a line feed).
    raw_terminal: bool = False
    # The bytes that end each whole update of the screen when one may come in several
    # writes: Wine's console host ends every update by showing the cursor again.
    frame_end: bytes = None
    available: bool = True
    why_not: str = ""


def _posix():
    exe = REPO / "build" / "zorsetup"
    return Program("posix", [str(exe)], available=exe.is_file(),
                   why_not=f"{exe.relative_to(REPO)} is not built")


# --- Win32 build under Wine ------------------------------------------------------------
def _wine():
    """build-win32/zorsetup.exe run by wine; tests/e2e/wine.py gives it the same file
    system, PATH and LANG the POSIX program gets."""
    import wine
    exe = REPO / "build-win32" / "zorsetup.exe"
    why_not = f"{exe.relative_to(REPO)} is not built" if not exe.is_file() else "wine is not installed"
    return Program("wine", [wine.WINE or "wine", str(exe)], prepare=wine.prepare, posix=False,
                   default_colours=(7, 0), raw_terminal=True, frame_end=b"\x1b[?25h",
                   available=exe.is_file() and wine.WINE is not None,
                   why_not=why_not)


PROGRAMS = [_posix, _wine]


def _programs():
    command = os.environ.get("ZORSETUP_CMD")
    if command:
        return [Program("custom", shlex.split(command))]
    return [make() for make in PROGRAMS]


@pytest.fixture(params=_programs(), ids=lambda p: p.name)
def program(request):
    p = request.param
    if not p.available:
        if p.name == "posix":  # the program every scenario is about: its absence is a failure
            pytest.fail(p.why_not)
        pytest.skip(p.why_not)
    return p


@pytest.fixture
def posix_program(program):
    if not program.posix:
        pytest.skip("the POSIX terminal: key spellings, piped keys, signals, job control")
    return program


@pytest.fixture
def zor_dir(tmp_path):
    """A directory with ZOR4.EXE in it, where the program is started."""
    d = tmp_path / "zor"
    d.mkdir()
    (d / "ZOR4.EXE").write_bytes(b"MZ zor stand-in\r\n")
    return d


@pytest.fixture
def bin_dir(tmp_path):
    """An empty directory for PATH, so that no real ZO.BAT is ever found or written."""
    d = tmp_path / "bin"
    d.mkdir()
    return d


def base_env(tmp_path, bin_dir, lang="en_US.UTF-8"):
    home = tmp_path / "home"
    home.mkdir(exist_ok=True)
    return {
        "PATH": str(bin_dir),
        "HOME": str(home),
        "LANG": lang,
        "TERM": "xterm",
        # A prefix without dosdevices: only Z: (the root) is a drive.
        "WINEPREFIX": str(tmp_path / "wineprefix"),
    }


@pytest.fixture
def start(program, zor_dir, bin_dir, tmp_path):
    """start(lang=..., cwd=..., columns=..., rows=..., env={...}, stdin=bytes,
    job_control=False, window=(columns, rows), stdout=fd) -> Session, started in the ZOR
    directory unless cwd says otherwise. env entries replace the defaults; an entry whose
    value is None is removed. window: the size the terminal reports, if not its own."""
    sessions = []

    def _start(lang="en_US.UTF-8", cwd=None, columns=80, rows=25, env=None, stdin=None,
               job_control=False, window=None, stdout=None):
        e = base_env(tmp_path, bin_dir, lang)
        e.update(program.env)
        for k, v in (env or {}).items():
            if v is None:
                e.pop(k, None)
            else:
                e[k] = v
        if program.prepare:
            program.prepare(e, tmp_path)
        s = Session(program.argv, str(cwd or zor_dir), e, columns, rows, stdin,
                    stderr_path=str(tmp_path / f"stderr{len(sessions)}"), job_control=job_control,
                    default_colours=program.default_colours, raw_terminal=program.raw_terminal,
                    frame_end=program.frame_end, window=window, stdout=stdout)
        sessions.append(s)
        return s

    yield _start
    for s in sessions:
        s.close()


@pytest.fixture
def no_core_files():
    """SIGQUIT (Ctrl+\\) may leave a core file in the ZOR directory: not in these runs."""
    soft, hard = resource.getrlimit(resource.RLIMIT_CORE)
    resource.setrlimit(resource.RLIMIT_CORE, (0, hard))
    yield
    resource.setrlimit(resource.RLIMIT_CORE, (soft, hard))


def dos_devices(tmp_path, **drives):
    """Makes $WINEPREFIX/dosdevices with the given drive links: dos_devices(tmp, a=dir)."""
    d = tmp_path / "wineprefix" / "dosdevices"
    d.mkdir(parents=True, exist_ok=True)
    for letter, target in drives.items():
        os.symlink(target, d / f"{letter}:")
    if "z" not in drives:
        os.symlink("/", d / "z:")
    return d


def snapshot(*dirs):
    """Every file under the directories with its content, to show nothing was written."""
    files = {}
    for d in dirs:
        for p in sorted(Path(d).rglob("*")):
            if p.is_file() and not p.name.startswith("stderr"):
                files[str(p)] = p.read_bytes()
    return files


@pytest.fixture
def run(program, zor_dir, bin_dir, tmp_path):
    """run(*args, lang=..., cwd=..., stdin=bytes, stdout=file) -> CompletedProcess, started
    in the ZOR directory with pipes for standard input, output and error."""

    def _run(*args, lang="en_US.UTF-8", cwd=None, env=None, stdin=b"", stdout=subprocess.PIPE):
        e = base_env(tmp_path, bin_dir, lang)
        e.update(program.env)
        e.update(env or {})
        if program.prepare:
            program.prepare(e, tmp_path)
        p = subprocess.run(program.argv + list(args), cwd=str(cwd or zor_dir), env=e, input=stdin,
                           stdout=stdout, stderr=subprocess.PIPE, timeout=120)
        p.out = (p.stdout or b"").decode("utf-8" if program.posix else "cp437")
        p.err = p.stderr.decode("utf-8" if program.posix else "cp437")
        return p

    return _run
