"""zorsetup.exe under Wine as one more program for the end-to-end scenarios.

One throwaway Wine prefix serves the whole test session: it is made on first use (Wine's
first start takes a while), its wineserver is kept running, and both go away at exit.
Before each start the prefix is set up to show the scenario the same file system the
POSIX program sees:

- drives: the links of the scenario's own $WINEPREFIX/dosdevices (what the POSIX program
  reads), else Wine's default (C: its own drive, Z: the root);
- PATH: Wine builds it from its registry and puts WINEPATH in front; the registry part is
  emptied once, and WINEPATH carries the scenario's PATH turned into DOS form;
- LANG passes through. Wine's console writes to the terminal in the character set of the
  POSIX locale; the locale LANG names may not be installed here, so LC_ALL names one with
  UTF-8 that always is.

ZOR_WINEPREFIX names a prefix made beforehand (scripts/test-win32 makes one for the unit
tests as well); it is set up the same way and left in place. Scenarios run side by side
(pytest -n) need a prefix each, since each sets the drives for its own: the first worker
takes ZOR_WINEPREFIX, the others make their own.
"""

import atexit
import os
import shutil
import subprocess
import tempfile
from pathlib import Path

WINE = shutil.which("wine")
WINESERVER = shutil.which("wineserver")
# The environment of Wine's own tools on the POSIX side (the scenario's PATH is for the
# program inside, not for finding wine).
TOOLS_PATH = "/usr/local/bin:/usr/bin:/bin"

_prefix = None
_keeper = None


def _tool_env(prefix):
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all", PATH=TOOLS_PATH)
    env.pop("DISPLAY", None)  # no window may ever open
    return env


def _run(args, prefix, timeout=300):
    return subprocess.run(args, env=_tool_env(prefix), timeout=timeout, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def _keep_alive(prefix):
    """Wine starts its own services with the first program of a prefix and stops them after
    the last one. Started by a scenario's program, they would belong to that scenario's
    terminal, die with it and start again with the next one, slowly and while the program
    runs. One idle program (cmd waiting on a pipe) keeps them up for the whole session."""
    global _keeper
    _keeper = subprocess.Popen([WINE, "cmd"], env=_tool_env(prefix), stdin=subprocess.PIPE,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)


def shared_prefix():
    """The session's prefix, made on first use."""
    global _prefix
    if _prefix is None:
        given = os.environ.get("ZOR_WINEPREFIX")
        if given and os.environ.get("PYTEST_XDIST_WORKER", "gw0") == "gw0":
            prefix = Path(given)
        else:
            prefix = Path(tempfile.mkdtemp(prefix="zorsetup-wine-"))
            atexit.register(_remove, prefix)
        _run([WINESERVER, "-p"], prefix)  # stays up for the session: fast starts
        _run([WINE, "wineboot", "-i"], prefix)
        key = r"HKLM\System\CurrentControlSet\Control\Session Manager\Environment"
        _run([WINE, "reg", "add", key, "/v", "PATH", "/t", "REG_EXPAND_SZ", "/d", "", "/f"], prefix)
        _keep_alive(prefix)
        atexit.register(_stop_keeper)
        _prefix = prefix
    return _prefix


def _stop_keeper():
    if _keeper and _keeper.poll() is None:
        _keeper.stdin.close()
        try:
            _keeper.wait(timeout=30)
        except subprocess.TimeoutExpired:
            _keeper.kill()
            _keeper.wait()


def _remove(prefix):
    try:
        _run([WINESERVER, "-k"], prefix, timeout=30)
    finally:
        shutil.rmtree(prefix, ignore_errors=True)


def _drive_links(dosdevices):
    """{letter: target} of the drive links in a dosdevices folder."""
    links = {}
    if dosdevices.is_dir():
        for entry in dosdevices.iterdir():
            name = entry.name.lower()
            if len(name) == 2 and name[1] == ":" and "a" <= name[0] <= "z" and entry.is_symlink():
                links[name[0]] = os.readlink(entry)
    return links


def _set_drives(prefix, links):
    dosdevices = prefix / "dosdevices"
    for entry in dosdevices.iterdir():
        name = entry.name.lower()
        if len(name) == 2 and name[1] == ":":
            entry.unlink()
    for letter, target in links.items():
        os.symlink(target, dosdevices / f"{letter}:")


def dos_path(path, drives):
    """An absolute POSIX path in DOS form through the drive map: the drive whose target is
    the longest prefix of the path. A relative path keeps its place, with backslashes."""
    if not path.startswith("/"):
        return path.replace("/", "\\")
    full = os.path.normpath(path)
    best = None
    for letter, target in drives.items():
        root = os.path.normpath(target)
        if full == root or full.startswith(root.rstrip("/") + "/"):
            if best is None or len(root) > len(best[1]):
                best = (letter, root)
    if best is None:
        return None
    rest = full[len(best[1]):].lstrip("/")
    return f"{best[0].upper()}:\\" + rest.replace("/", "\\")


def prepare(env, tmp_path):
    """Turns the environment a scenario gives the POSIX program into Wine's."""
    prefix = shared_prefix()
    wanted = _drive_links(Path(env.get("WINEPREFIX", "")) / "dosdevices")
    if "c" in wanted:
        raise RuntimeError("Wine needs its own drive C:")
    links = {"c": "../drive_c", "z": "/"}
    if wanted:
        links = dict(wanted, c="../drive_c")
    _set_drives(prefix, links)
    drives = {letter: os.path.normpath(os.path.join(prefix / "dosdevices", target))
              for letter, target in links.items()}
    elements = []
    for element in env.get("PATH", "").split(":") if env.get("PATH") else []:
        dos = dos_path(element, drives) if element else ""
        if dos is None:
            continue  # no drive shows it
        elements.append(f'"{dos}"' if ";" in dos else dos)
    env["WINEPATH"] = ";".join(elements)
    env["WINEPREFIX"] = str(prefix)
    env["WINEDEBUG"] = "-all"
    env["PATH"] = TOOLS_PATH
    env.setdefault("LC_ALL", "C.UTF-8")
    env.pop("DISPLAY", None)
