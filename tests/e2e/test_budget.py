"""What the POSIX program sends a terminal of 80 x 25 on the way to the menu and for a key:
the output is drawn by comparing against what the terminal shows, so these counts are
exact, and a change that makes them grow shows here (scripts/bench prints the same
figures)."""

from steps import launcher_bytes, option_line

FIRST_PAINT, FLIP, NO_MEANING = 634, 17, 0


def test_menu_paint_flip_and_idle_key_cost_their_bytes(posix_program, start, zor_dir):
    (zor_dir / "ZO.BAT").write_bytes(launcher_bytes(
        "REM * reserved line * please do not remove *", "Z:\\ZOR\\ZOR4.EXE", option_line()))
    s = start()
    s.wait_text("save and exit")
    s.wait_settle()
    painted = len(s.raw)
    s.send("u")
    flipped = len(s.raw)
    s.send("q")
    idle = len(s.raw)
    assert (painted, flipped - painted, idle - flipped) == (FIRST_PAINT, FLIP, NO_MEANING)
