"""The README's pictures (docs/*.svg) are what the program shows now: scripts/pictures
makes them again from the program under test and they must come out the same."""

import shlex
import subprocess
import sys

from conftest import REPO


def test_pictures_match_the_program(posix_program, tmp_path):
    done = subprocess.run([sys.executable, str(REPO / "scripts" / "pictures"),
                           "--program", shlex.join(posix_program.argv), str(tmp_path)],
                          capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, done.stderr
    committed = {p.name: p.read_text(encoding="utf-8") for p in (REPO / "docs").glob("*.svg")}
    made = {p.name: p.read_text(encoding="utf-8") for p in tmp_path.glob("*.svg")}
    assert sorted(made) == sorted(committed)
    stale = [name for name in sorted(made) if made[name] != committed[name]]
    assert not stale, f"run scripts/pictures: these no longer show the program: {stale}"
