"""The command line: help, version and usage errors, and the launcher's settings read
(--show) and written (--set) without the screen, with standard input and output not a
terminal."""

import os
import subprocess
from pathlib import Path

import pytest

from conftest import snapshot
from harness import ENTER
from steps import DEFAULTS, LANGUAGES, dos, in_row, launcher_bytes, option_line, read_menu, reach_menu

RESERVED = "REM * reserved line * please do not remove *"


def test_help_version_and_usage_errors(run, tmp_path):
    for form in ["--help", "-h", "-?", "/?"]:
        p = run(form)
        assert (p.returncode, p.err) == (0, ""), form
        assert p.out.startswith("zorsetup ") and "--set NAME=VALUE..." in p.out, form
        assert "--set --from FILE" in p.out, form  # --set needs one or the other
    german = run("-h", lang="de_DE.UTF-8").out
    assert "Aufruf: zorsetup" in german
    for text in (p.out, german):  # within a screen's 80 columns
        assert max(len(line) for line in text.splitlines()) <= 80
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
            assert in_row(shown[key][22:].split("  ")[0]) == value.strip(), key
    assert shown["g"] == "gtdata-dll            on"


def test_set_round_trips_every_kind_and_writes_what_the_menu_writes(program, run, zor_dir, bin_dir):
    name = "GR\u00dcN.FAR" if program.posix else "MY.FAR"  # a name in code page 437 in the launcher
    pairs = ["u=off", "partition-table=ON", "b=h", "memory-limit=$FF", "z=43", "f=" + name,
             "gtdata-dll=off"]
    p = run("--set", *pairs, "--launcher", str(bin_dir))
    assert p.returncode == 0, p.err
    assert p.out.splitlines()[0].startswith("written: " + dos(bin_dir / "ZO.BAT"))
    assert len(p.out.splitlines()) == 1 + len(pairs)  # every changed setting, once
    program = dos(zor_dir) + "\\ZOR4.EXE"
    table = dos(zor_dir) + "\\" + name
    expected = launcher_bytes(RESERVED, program,
                              option_line(B="H", F=table, G="-", P="+", U="-", X="255", Z="43"))
    assert (bin_dir / "ZO.BAT").read_bytes() == expected

    shown = run("--show", "--launcher", str(bin_dir)).out
    for line in ["subdirs=off", "partition-table=on", "memory-limit=255", "screen-lines=43",
                 "colour-table=" + name, "gtdata-dll=off"]:
        assert line in shown.splitlines()
    # Set back: the launcher keeps its reserved line and the switches --set did not name.
    (bin_dir / "ZO.BAT").write_bytes(expected.replace(RESERVED.encode(), b"REM mine"))
    assert run("--set", "u=on", "f=", "--launcher", str(bin_dir)).returncode == 0
    assert (bin_dir / "ZO.BAT").read_bytes() == launcher_bytes(
        "REM mine", program, option_line(B="H", G="-", P="+", X="255", Z="43"))


def test_bad_pairs_and_dry_runs_write_nothing(run, zor_dir, bin_dir, tmp_path):
    run("--set", "u=off", "--launcher", str(bin_dir))
    before = snapshot(tmp_path)
    for pair, allowed in [("u=maybe", "on or off"), ("b=Q", "C, E, A, F, H"),
                          ("x=2048001", "0 to 2048000"), ("x=12 ", "0 to 2048000"),
                          ("z=61", "0, 25, 28"), ("z=30", "0, 25, 28"), ("colour=x", "no such setting"),
                          ("u", "expected NAME=VALUE"), ("*=1", "no such setting"),
                          ("y" * 100 + "=on", "zorsetup: " + "y" * 80 + "...: no such setting")]:
        p = run("--set", "p=on", pair, "--launcher", str(bin_dir))
        assert (p.returncode, p.out) == (2, ""), pair
        assert pair[:80] in p.err and allowed in p.err, p.err
    # --from reads a line at a time: one too long is a bad line, passed over to the next.
    p = run("--set", "--from", "-", "--launcher", str(bin_dir), stdin=b"u=on\n" + b"x" * 70000 + b"\nmouse\n")
    assert (p.returncode, p.err) == (2, "zorsetup: -:2: a line longer than 65536 bytes\n"
                                        "zorsetup: -:3: mouse: expected NAME=VALUE\nTry 'zorsetup --help'.\n")
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


def test_copy_between_two_machines(program, run, zor_dir, bin_dir, tmp_path):
    """The settings of one machine's launcher to another's: --show there, --set --from here
    (a file by a path of any length, standard input, a FIFO), and the launchers are the same
    bytes. The launcher's folder has a name a terminal would act on: --show, --list and
    --set name it in one line, with no control byte. With ZOR elsewhere, the table in ZOR's
    directory is that machine's."""
    odd = tmp_path / ("src\n\x1b]0;title\x07" if program.posix else "src")  # a C1 control has no DOS name
    odd.mkdir()
    p = run("--set", "u=off", "b=a", "f=MY.FAR", "x=512", "r=on", "--launcher", str(odd))
    assert p.returncode == 0, p.err
    site = tmp_path / ("s" * 200) / ("ite" * 30) / "site.conf"
    site.parent.mkdir(parents=True)
    p = run("--show", "--launcher", str(odd))
    site.write_bytes(p.stdout)
    for mode in ("--show", "--list", "--set"):
        shown = run(mode, *(["p=on"] if mode == "--set" else []), "--launcher", str(odd), lang="de_DE.UTF-8")
        assert shown.returncode == 0, shown.err
        assert b"ZO.BAT" in shown.stdout.splitlines()[0] and not any(b in shown.stdout for b in (b"\x1b", b"\x07", b"\xc2\x9b")), shown.out
    run("--set", "p=off", "--launcher", str(odd))
    fifo = tmp_path / "fifo"
    os.mkfifo(fifo)
    sources = [["--from", str(site)], ["--from=-"]]
    if program.posix:  # what only POSIX has
        sources += [["--from", "/dev/stdin"], ["--from", str(fifo)]]
    for number, source in enumerate(sources):
        other = tmp_path / f"other{number}"
        other.mkdir()
        if source[-1] == str(fifo):
            writer = subprocess.Popen(["sh", "-c", 'cat "$0" > "$1"', str(site), str(fifo)])
        p = run("--set", *source, "--launcher", str(other), stdin=site.read_bytes())
        assert p.returncode == 0, p.err
        assert (other / "ZO.BAT").read_bytes() == (odd / "ZO.BAT").read_bytes()
    if program.posix:
        writer.wait(timeout=10)
    # With ZOR elsewhere there, the table is the one in that machine's ZOR directory.
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    (elsewhere / "ZOR4.EXE").write_bytes(b"MZ")
    p = run("--set", "--from", str(site), "--launcher", str(elsewhere), "--zor", str(elsewhere))
    assert p.returncode == 0, p.err
    assert b" -F" + dos(elsewhere / "MY.FAR").encode() + b" " in (elsewhere / "ZO.BAT").read_bytes()
    shown = run("--show", "--launcher", str(elsewhere), "--zor", str(elsewhere)).out
    assert shown.splitlines()[1:] == site.read_text().splitlines()[1:]


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


# What a stand-in program prints as --show does: a launcher's value with blanks, a glob and
# a value that looks like another pair.
HOSTILE_SHOW = "# launcher: /x y/ZO.BAT\ncolour-table=u=on x *\nmouse=on\n"


@pytest.mark.parametrize("line, offered, shown", [
    ("zorsetup --set s", "subdirs= screen-lines=", None),
    ("zorsetup --se mouse=o", "on off", None),
    ("zorsetup --set memory-limit=", "", None),
    ("zorsetup --launcher=. --show c", "cpu-emulator colour-table", None),
    ("zorsetup --l", "--list --launcher", None),
    ("zorsetup --d", "--dry-run --diff", None),
    ("zorsetup --set display-mode=", "C E A F H", None),
    ("zorsetup --set screen-lines=4", "43", None),
    ("zorsetup --check --zor=/pro", "/proc", None),
    ("zorsetup --set --from=/dev/nul", "/dev/null", None),
    # Typed words and printed values are data: never a sed script (its e flag runs a
    # command), never split at blanks or expanded as globs.
    ("zorsetup --set .*/touch${IFS}pwned/e#=o", "", None),
    ("zorsetup --show '", "", None),
    ("zorsetup --set c", "colour-table=", HOSTILE_SHOW),
    ("zorsetup --set x", "", HOSTILE_SHOW),
    ("zorsetup --set f", "", HOSTILE_SHOW),
    ("zorsetup --set mouse=", "on off", HOSTILE_SHOW),
])
def test_bash_completion(posix_program, tmp_path, line, offered, shown):
    """The completion the package installs, in bash as it calls it: the words of the line
    and the cursor at its end, in a folder with a file a glob would find."""
    script = Path(__file__).parents[2] / "packaging" / "zorsetup.bash-completion"
    call = ('source "$0"; COMP_LINE="$1"; COMP_POINT=${#COMP_LINE}; read -ra COMP_WORDS <<< "$1"; '
            'COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _zorsetup; echo "${COMPREPLY[*]}"')
    program_dir = Path(posix_program.argv[-1]).parent
    if shown is not None:
        program_dir = tmp_path / "stand-in"
        program_dir.mkdir()
        (program_dir / "zorsetup").write_text(f"#!/bin/sh\nprintf '%s' '{shown}'\n")
        (program_dir / "zorsetup").chmod(0o755)
    (tmp_path / "found-by-a-glob").write_bytes(b"")
    path = f"{program_dir}:/usr/bin:/bin"  # the program comes last, also behind env
    p = subprocess.run(["bash", "-c", call, str(script), line], env={"PATH": path}, cwd=tmp_path,
                       capture_output=True, text=True, timeout=30)
    assert (p.stdout, p.stderr) == (offered + "\n", ""), line
    assert sorted(os.listdir(tmp_path)) == sorted(["found-by-a-glob"] + (["stand-in"] if shown else []))


# Names through --set on both builds: where ZOR lives (the current directory, or --zor in DOS
# form, which Wine can name where it would start no program), where the launcher goes, and
# a colour table. A name the OEM code page carries is written in it; any other is refused
# with what is wrong with it, and nothing is written, least of all to the "?" decoy beside it.
NAMES = [
    # (what, name, exit code, the launcher's command line holds, the complaint holds)
    ("table", "MY.FAR", 0, b"\\zor\\MY.FAR", ""),
    ("table", "gr\u00fcn \u00e9.far", 0, b'\\zor\\gr\x81n \x82.far" -G+', ""),
    ("table", "b?n.far", 0, b"\\zor\\b?n.far", ""),  # a question mark of its own
    ("table", "\u00d5.far", 2, None, "U+00D5 is not in the OEM code page"),
    ("table", "b\u20acn.far", 2, None, "U+20AC is not in the OEM code page"),
    ("table", "T" * 240, 2, None, "at most 252 characters"),
    ("launcher", "b\u00e4n", 0, b"\\zor\\ZOR4.EXE", ""),
    ("launcher", "b\u20acn", 2, None, "U+20AC is not in the OEM code page"),
    ("zor", "\u03a9mega", 0, b"\\\xeamega\\ZOR4.EXE", ""),
    ("zor", "a<b", 1, None, 'the name "a<b" in ZOR\'s path holds "<", which Windows does not allow!'),
    ("zor", "dot.", 1, None, 'the name "dot." in ZOR\'s path ends in ".", which Windows does not allow!'),
    ("current", "\u00d5", 1, None, "the name of ZOR's directory holds U+00D5, which the OEM code page lacks!"),
]


@pytest.mark.parametrize("what,name,code,written,complaint", NAMES, ids=[f"{r[0]}-{r[1][:12]}" for r in NAMES])
def test_a_name_is_written_in_the_oem_code_page_or_refused_with_its_reason(
        program, run, tmp_path, bin_dir, what, name, code, written, complaint):
    zor = tmp_path / (name if what in ("zor", "current") else "zor")
    zor.mkdir(exist_ok=True)
    (zor / "ZOR4.EXE").write_bytes(b"MZ")
    launcher_dir = bin_dir
    if what == "launcher":
        launcher_dir = tmp_path / name
        launcher_dir.mkdir()
        (tmp_path / "b?n").mkdir()
        (tmp_path / "b?n" / "ZO.BAT").write_bytes(b"@ECHO OFF\r\nREM decoy\r\nZOR4.EXE -X1")
    args = ["--set", "u=off", "--launcher", str(launcher_dir)]
    if what == "table":
        args.append("f=" + name)
    cwd = zor
    if what == "zor":
        args += ["--zor", dos(zor)]
        cwd = tmp_path
    elif what == "current" and not program.posix:
        pytest.skip("Wine shows the directory as it is: the POSIX program's case")
    before = snapshot(tmp_path)
    p = run(*args, cwd=cwd)
    assert p.returncode == code, p.err
    assert complaint in p.err
    launcher = launcher_dir / "ZO.BAT"
    if written is None:
        assert snapshot(tmp_path) == before
    else:
        line = launcher.read_bytes().split(b"\r\n")[2]
        assert written in line and b"-U-" in line, line
