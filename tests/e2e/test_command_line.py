"""The command line: help, version and usage errors, and the launcher's settings read
(--show) and written (--set) without the screen, with standard input and output not a
terminal."""

import os
import subprocess
from pathlib import Path

import pytest

from conftest import snapshot
from harness import ENTER
from steps import DEFAULTS, LANGUAGES, dos, launcher_bytes, option_line, read_menu, reach_menu

RESERVED = "REM * reserved line * please do not remove *"


def test_help_version_and_usage_errors(run, tmp_path):
    for form in ["--help", "-h", "-?", "/?"]:
        p = run(form)
        assert (p.returncode, p.err) == (0, ""), form
        assert p.out.startswith("zorsetup ") and "--set [NAME=VALUE...]" in p.out, form
    assert "Aufruf: zorsetup" in run("-h", lang="de_DE.UTF-8").out
    p = run("--version")
    assert (p.returncode, p.err) == (0, "") and p.out.startswith("zorsetup ") and p.out.count("\n") == 1
    # A usage error is one line naming it, wherever it runs: here no ZOR4.EXE and no launcher.
    for args, reason in [(["--bogus"], "'--bogus'"), (["x"], "'x'"), (["--set"], "--set needs"),
                         (["--dry-run"], "'--dry-run'"), (["--show", "--set", "u=on"], "'--set'"),
                         (["--show", "--launcher"], "'--launcher'"), (["--help", "--version"], "'--version'"),
                         (["--set", "u=maybe"], "u=maybe")]:
        p = run(*args, cwd=tmp_path)
        assert (p.returncode, p.out) == (2, ""), args
        first, second = p.err.splitlines()
        assert first.startswith("zorsetup: ") and reason in first and second == "Try 'zorsetup --help'.", args


def test_show_prints_every_setting_the_menu_shows(start, run, zor_dir):
    s = start()
    reach_menu(s)
    for keys in ["u", "bb", "x", "42" + ENTER, "f", "MY.FAR" + ENTER]:
        s.send(keys)
    s.wait_text("MY.FAR")
    menu = read_menu(s)
    assert set(menu) == set(DEFAULTS) | {"*", "mode"}
    s.send(ENTER, settle=False)
    assert s.wait_exit() == 0

    p = run("--list", env={"PATH": str(zor_dir)})
    assert p.returncode == 0, p.err
    lines = p.out.splitlines()
    assert lines[0].startswith("launcher: " + dos(zor_dir / "ZO.BAT"))
    shown = {line[0]: line[3:] for line in lines[1:]}
    for key, value in menu.items():
        if key == "*":
            continue  # a key, not a setting
        if key == "mode":
            assert shown["b"].endswith("  " + value.strip())
        else:
            assert shown[key][22:].split("  ")[0] == value.strip(), key
    assert shown["g"] == "gtdata-dll            on"


def test_set_round_trips_every_kind_and_writes_what_the_menu_writes(run, zor_dir, bin_dir):
    pairs = ["u=off", "partition-table=ON", "b=h", "memory-limit=$FF", "z=30", "f=MY.FAR",
             "gtdata-dll=off"]
    p = run("--set", *pairs, "--launcher", str(bin_dir))
    assert p.returncode == 0, p.err
    assert p.out.splitlines()[0].startswith("written: " + dos(bin_dir / "ZO.BAT"))
    assert len(p.out.splitlines()) == 1 + len(pairs)  # every changed setting, once
    program = dos(zor_dir) + "\\ZOR4.EXE"
    table = dos(zor_dir) + "\\MY.FAR"
    expected = launcher_bytes(RESERVED, program,
                              option_line(B="H", F=table, G="-", P="+", U="-", X="255", Z="25"))
    assert (bin_dir / "ZO.BAT").read_bytes() == expected

    shown = run("--show", "--launcher", str(bin_dir)).out
    for line in ["subdirs=off", "partition-table=on", "memory-limit=255", "screen-lines=25",
                 "colour-table=" + table, "gtdata-dll=off"]:
        assert line in shown.splitlines()
    # Set back: the launcher keeps its reserved line and the switches --set did not name.
    (bin_dir / "ZO.BAT").write_bytes(expected.replace(RESERVED.encode(), b"REM mine"))
    assert run("--set", "u=on", "f=", "--launcher", str(bin_dir)).returncode == 0
    assert (bin_dir / "ZO.BAT").read_bytes() == launcher_bytes(
        "REM mine", program, option_line(B="H", G="-", P="+", X="255", Z="25"))


def test_bad_pairs_and_dry_runs_write_nothing(run, zor_dir, bin_dir, tmp_path):
    run("--set", "u=off", "--launcher", str(bin_dir))
    before = snapshot(tmp_path)
    for pair, allowed in [("u=maybe", "on or off"), ("b=Q", "C, E, A, F, H"),
                          ("x=2048001", "0 to 2048000"), ("x=12 ", "0 to 2048000"),
                          ("z=61", "0, 25, 28"), ("colour=x", "no such setting"),
                          ("u", "no such setting"), ("*=1", "no such setting")]:
        p = run("--set", "p=on", pair, "--launcher", str(bin_dir))
        assert (p.returncode, p.out) == (2, ""), pair
        assert pair in p.err and allowed in p.err, p.err
    p = run("--set", "p=on", "--launcher", str(bin_dir), "--dry-run")
    assert p.returncode == 0
    assert p.out.splitlines()[2] == dos(zor_dir) + "\\ZOR4.EXE" + option_line(P="+", U="-")
    assert snapshot(tmp_path) == before
    # No launcher on PATH and no --launcher: nothing to work on.
    (bin_dir / "ZO.BAT").unlink()
    for mode in ["--show", "--set"]:
        p = run(mode, *(["u=on"] if mode == "--set" else []))
        assert (p.returncode, p.out) == (1, "") and "ZO.BAT" in p.err
    assert not (bin_dir / "ZO.BAT").exists() and not (zor_dir / "ZO.BAT").exists()


def test_copy_between_two_machines(run, zor_dir, bin_dir, tmp_path):
    """The settings of one machine's launcher to another's: --show there, --set --from here
    (or from standard input), and the launchers are the same bytes."""
    assert run("--set", "u=off", "b=a", "f=MY.FAR", "x=512", "r=on", "--launcher", str(bin_dir)).returncode == 0
    site = tmp_path / "site.conf"
    p = run("--show", "--launcher", str(bin_dir))
    site.write_bytes(p.stdout)
    assert run("--show", "--launcher", str(bin_dir), lang="de_DE.UTF-8").stdout == p.stdout
    for number, source in enumerate([["--from", str(site)], ["--from=-"]]):
        other = tmp_path / f"other{number}"
        other.mkdir()
        p = run("--set", *source, "--launcher", str(other), stdin=site.read_bytes())
        assert p.returncode == 0, p.err
        assert (other / "ZO.BAT").read_bytes() == (bin_dir / "ZO.BAT").read_bytes()


def test_an_output_failure_is_its_runtime_error(run, bin_dir):
    with open("/dev/full", "wb") as full:
        p = run("--set", "u=off", "--launcher", str(bin_dir), stdout=full)
    assert p.returncode == 112, p.err
    assert p.err.splitlines() == ["zorsetup: standard output: disk full", "Runtime error 112"]
    assert b"-U-" in (bin_dir / "ZO.BAT").read_bytes()
    read_end, write_end = os.pipe()
    os.close(read_end)
    try:
        p = run("--show", "--launcher", str(bin_dir), stdout=write_end)
    finally:
        os.close(write_end)
    assert p.returncode == 109, p.err  # not death by SIGPIPE
    assert p.err.splitlines() == ["zorsetup: standard output: broken pipe", "Runtime error 109"]


@pytest.mark.parametrize("line, offered", [
    ("zorsetup --set s", "subdirs= screen-lines="),
    ("zorsetup --se mouse=o", "on off"),
    ("zorsetup --set memory-limit=", ""),
    ("zorsetup --launcher=. --show c", "cpu-emulator colour-table"),
    ("zorsetup --l", "--list --launcher"),
])
def test_bash_completion(posix_program, line, offered):
    """The completion the package installs, in bash as it calls it: the words of the line
    and the cursor at its end."""
    script = Path(__file__).parents[2] / "packaging" / "zorsetup.bash-completion"
    call = ('source "$0"; COMP_LINE="$1"; COMP_POINT=${#COMP_LINE}; read -ra COMP_WORDS <<< "$1"; '
            'COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _zorsetup; echo "${COMPREPLY[*]}"')
    path = f"{Path(posix_program.argv[-1]).parent}:/usr/bin:/bin"  # the program comes last, also behind env
    p = subprocess.run(["bash", "-c", call, str(script), line], env={"PATH": path},
                       capture_output=True, text=True, timeout=30)
    assert (p.stdout, p.stderr) == (offered + "\n", ""), line
