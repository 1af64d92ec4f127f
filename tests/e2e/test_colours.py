"""Colour tables made and changed in the editor behind the menu's [*]: the editor's screen
in its colours, the 67 bytes of the file, and the table named in the launcher."""

import os
import re

import pytest

from harness import ENTER, ESC, UP
from steps import (DEFAULT_PAIRS, LANGUAGES, YELLOW_ON_BLUE, closing, colour_table, dos, expect,
                   option_line, reach_menu, read_menu, in_row, written_line)


def editor_rows(t):
    """The editor's 25 rows as they read (trailing blanks removed)."""
    categories = [(" " * 21 + f" {chr(64 + k)}   {name}") for k, name in enumerate(t["categories"], 1)]
    legend = [" " * 18 + line for line in t["legend"]]
    palette = "████ " * 15 + "████"
    return ["", ""] + categories + [""] + legend + ["", "", palette]


def category_colours(s):
    """The attributes each category's row shows in columns 22 to 62 (one set per row)."""
    return [s.attributes(k + 2, 22, 62) for k in range(1, 16)]


def shown_in(pairs):
    return [{foreground + background} for foreground, background in pairs]


def check_colours(s, pairs):
    """Each category's row in its own colours (columns 22 to 62), the rest yellow on blue;
    the palette bar shows colour c on black in columns 5c+1 to 5c+4 and leaves column 80."""
    assert category_colours(s) == shown_in(pairs)
    for row in range(3, 18):
        assert s.attributes(row, 1, 21) | s.attributes(row, 63, 80) == {YELLOW_ON_BLUE}
    for c in range(16):
        assert s.attributes(25, 5 * c + 1, 5 * c + 4 + (c < 15)) == {c}, f"colour {c}"
    assert s.cell(80, 25).data == " " and s.attribute(80, 25) == YELLOW_ON_BLUE


@pytest.mark.parametrize("lang, give_up", [("en", False), ("de", True)])
def test_new_table_is_made_saved_and_named_in_the_launcher(start, zor_dir, lang, give_up):
    t = LANGUAGES[lang]
    s = start(lang=t["lang"])
    reach_menu(s, t)
    prompt = " " * 19 + t["table_file"].format(name="TEST")
    expect(s, "*", lambda: s.lines(), [""] * 9 + [prompt.rstrip()] + [""] * 15)
    assert s.cursor() == (len(prompt) + 1, 10)
    # A name that is no file yet (relative: in the current directory) asks for a comment.
    expect(s, "MY.TAB" + ENTER, lambda: s.row(12).rstrip(), " " * 19 + t["comment"].rstrip())
    assert s.cursor() == (20 + len(t["comment"]), 12)
    comment = "Grüne Töne" if lang == "de" else "my colours"
    expect(s, comment + ENTER, lambda: s.lines(), editor_rows(t))
    check_colours(s, DEFAULT_PAIRS)
    assert s.cursor() == (20, 23)

    # a steps the foreground of A, A its background, H the background of H; a cursor key
    # (whose scan code is the code of H) and keys without a meaning change nothing.
    pairs = [list(p) for p in DEFAULT_PAIRS]
    for key, k, side, value in [("a", 0, 0, 0x01), ("A", 0, 1, 0x30), ("H", 7, 1, 0xD0)]:
        pairs[k][side] = value
        expect(s, key, lambda: category_colours(s), shown_in(pairs))
    s.send(UP + "p" + "1")
    check_colours(s, pairs)
    assert s.lines() == editor_rows(t)

    # Saved; back in the menu, which names the table by its full path.
    full = dos(zor_dir) + "\\MY.TAB"
    expect(s, "s", lambda: read_menu(s).get("f"), in_row(full))
    table = zor_dir / "MY.TAB"
    assert table.read_bytes() == colour_table(comment, pairs)
    assert len(table.read_bytes()) == 67
    if give_up:  # the table stays, the launcher is not written
        expect(s, ESC, lambda: s.lines()[0], t["aborted"])
        s.send("x", settle=False)
        assert s.wait_exit() == 0
        below = "".join(s.row(r) for r in range(2, 26)).rstrip()
        assert re.fullmatch(written_line(t, table, head="launcher_not_written"), below), below
        assert not (zor_dir / "ZO.BAT").exists()
        return
    s.send(ENTER, settle=False)
    closing(s, t, zor_dir / "ZO.BAT", table)
    assert (zor_dir / "ZO.BAT").read_bytes().endswith(option_line(F=full).encode())


def test_existing_table_is_opened_without_a_comment_and_dropped_with_esc(start, zor_dir):
    t = LANGUAGES["en"]
    table = zor_dir / "OLD.TAB"
    pairs = [(0x0F, 0x40)] + DEFAULT_PAIRS[1:]  # A: white on red
    table.write_bytes(colour_table("old", pairs, filler=b"\0"))
    stat = os.stat(table)
    s = start()
    reach_menu(s, t)
    expect(s, "*" + "OLD.TAB" + ENTER, lambda: s.lines(), editor_rows(t))  # no question for a comment
    check_colours(s, pairs)
    expect(s, "a", lambda: category_colours(s)[0], {0x40})  # white steps round to black
    full = dos(zor_dir) + "\\OLD.TAB"
    expect(s, ESC, lambda: read_menu(s).get("f"), in_row(full))  # back in the menu, named though dropped
    assert table.read_bytes() == colour_table("old", pairs, filler=b"\0")
    assert (os.stat(table).st_ino, os.stat(table).st_mtime_ns) == (stat.st_ino, stat.st_mtime_ns)

    # The editor offers that name next time; taking it reads the file again.
    expect(s, "*", lambda: "[ " + full + " ]" in "".join(s.lines()), True)
    expect(s, ENTER, lambda: category_colours(s), shown_in(pairs))
    expect(s, "v", lambda: read_menu(s).get("f"), in_row(full))
    expect(s, ESC, lambda: s.lines()[0], t["aborted"])
    s.send("x", settle=False)
    assert s.wait_exit() == 0
    assert (os.stat(table).st_ino, os.stat(table).st_mtime_ns) == (stat.st_ino, stat.st_mtime_ns)
    assert sorted(p.name for p in zor_dir.iterdir()) == ["OLD.TAB", "ZOR4.EXE"]
