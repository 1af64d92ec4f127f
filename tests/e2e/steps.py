"""The program's texts and the steps of a run, shared by the scenarios. When the flow
gains a screen, the step that passes it changes here, not in every scenario."""

import re

from harness import ENTER
import table

EN = {
    "lang": "en_US.UTF-8",
    "title": "config program for Zor",
    "missing": "abort : ZOR4.EXE not in current directory!",
    "drive_question": " This is not not a copy-program! Do You allways want start ZOR of drive A: ?",
    "yes_no": " Y/N : ",
    "yes": "y",
    "copy_me": "then copy me to harddisk!",
    "path_choice": "choice of path for ZO.BAT",
    "save_and_exit": "save and exit",
    "aborted": "abort ...",
    "closing": ["successful exit", "", 'help          : "ZO -?"', 'program start : "ZO"'],
    "written": "written: ",
    "nothing_written": "nothing written",
    "launcher_not_written": "launcher not written; written: ",
}

DE = {
    "lang": "de_DE.UTF-8",
    "title": "Einrichtungsprogramm zu Zor",
    "missing": "Abbruch : ZOR4.EXE nicht im aktuellen Verzeichnis!",
    "drive_question": " Dies ist kein Kopierprogramm! Wollen Sie ZOR immer von Laufwerk A: starten?",
    "yes_no": " J/N : ",
    "yes": "j",
    "copy_me": "Dann kopiern Sie mich auf die Festplatte!",
    "path_choice": "Pfadauswahl für ZO.BAT",
    "save_and_exit": "Speichern",
    "aborted": "Abbruch ...",
    "closing": ["erfolgreicher Abschluß.", "", 'Hilfe         : "ZO -?"', 'Programmstart : "ZO"'],
    "written": "geschrieben: ",
    "nothing_written": "nichts geschrieben",
    "launcher_not_written": "Startdatei nicht geschrieben; geschrieben: ",
}

LANGUAGES = {"en": EN, "de": DE}

YELLOW_ON_BLUE, LIGHT_RED_ON_BLACK, WHITE_ON_BLACK = 0x1E, 0x0C, 0x0F


def written_line(t, *paths, head="written"):
    """The line below the closing screen naming the files written, as a pattern: each DOS
    path, then on POSIX the file's own path in parentheses."""
    return re.escape(t[head]) + ", ".join(re.escape(dos(p)) + f"(?: {re.escape(f'({p})')})?"
                                               for p in paths)


def closing(s, t, *written):
    """The run ended well: the four closing rows white on black and, below them, the line
    naming the files written. The text it returns goes on in the rows below as far as it
    takes; a blank where it wrapped stays."""
    assert s.wait_exit() == 0
    lines = s.lines()
    assert lines[:4] == t["closing"]
    assert all(s.attributes(r) == {WHITE_ON_BLACK} for r in range(1, 5))
    below = "".join(s.row(r) for r in range(5, len(lines) + 1)).rstrip()
    assert re.fullmatch(written_line(t, *written), below), below
    return below


def reach_menu(s, t=EN):
    """From wherever the run stands to the settings menu: without a launcher on PATH the
    choice of path comes first, answered with Enter (the current directory)."""
    seen, _, _ = s.wait_any(t["path_choice"], t["save_and_exit"])
    if seen == t["path_choice"]:
        s.wait_settle()
        s.send(ENTER)
        s.wait_text(t["save_and_exit"])
    s.wait_settle()


def save_and_exit(s, t=EN):
    """From wherever the run stands to the closing screen; returns the exit code."""
    reach_menu(s, t)
    s.send(ENTER, settle=False)
    return s.wait_exit()



def shows(s, read, expected):
    """Waits until read() gives what is expected (ten seconds at most) and asserts it:
    faster than waiting for the screen to settle, and as sure."""
    s.wait_for(lambda: read() == expected)
    assert read() == expected


def expect(s, keys, read, expected):
    """Types keys, then as shows()."""
    s.send(keys, settle=False)
    shows(s, read, expected)

# --- the settings menu ------------------------------------------------------------------

EN.update({
    "menu_title": "config program for Zor",
    "off": "off", "on": "on ",
    "create_table": "create color table",
    "exit_no_save": "exit without save",
    "modes": ["16*16 colors CGA+    (fast)", "16*16 colors Ansi    (slow)",
              " no   colors Ascii   (medium)", " no   colors Ascii   (filtered)",
              " no   colors HTML    (file output)"],
    "ask_table": "   color table? (old:",
    "ask_memory": "   upper limit memory usage (KB)? (old:",
    "ask_lines": ["   desired screen display? 80 columns, 25,28,43,50,60 lines?",
                  "   (00=do not change row count)"],
    "reserved": "REM * reserved line * please do not remove *",
    "recommend": "<-recommend!",
    "which_path": "in with path [1..{n}] may i ZO.BAT create? ",
    "reading": "reading ",
})

DE.update({
    "menu_title": "Einrichtungsprogramm zu Zor",
    "off": "aus", "on": "ein",
    "create_table": "Farbtabelle erstellen",
    "exit_no_save": "Programmabbruch",
    "modes": ["16*16 Farben CGA+    (schnell)", "16*16 Farben Ansi    (lahm)",
              " farblos     Ascii   (mäßig)", " farblos     Ascii   (gefiltert)",
              " farblos     HTML    (für Dateiausgabe)"],
    "ask_table": "   Farbtabellenname? (alt:",
    "ask_memory": "   Obergrenze Nutzung RAM (KB)? (alt:",
    "ask_lines": ["   gewünschte Bildschirmdarstellung? 80 Spalten, 25,28,43,50,60 Zeilen?",
                  "   (00=benutze vorhandene Bildschirmeinstellung)"],
    "reserved": "REM * reserviert Zeile * nicht entfernen *",
    "recommend": "Bitte dieses!",
    "which_path": "In welchem Pfad [1..{n}] darf ich ZO.BAT anlegen? ",
    "reading": "Auslesen von ",
})

# The menu's rows from the table of settings: each setting's label in both languages, and
# its value with nothing changed (flags 1/0, the screen mode 0..4 for the letters CEAFH,
# the colour-table name, the numbers).
MENU_ROWS = [r for r in table.SHOWN if r["label"]]
for _t, _column in ((EN, 0), (DE, 1)):
    _t["labels"] = {r["key"]: table.TEXTS[r["label"]][_column].rstrip() for r in MENU_ROWS}
    _t["labels"]["*"] = _t["create_table"]
DEFAULTS = {r["key"]: table.DEFAULT_VALUES[r["field"]] for r in MENU_ROWS}
FLAG_KEYS = "".join(r["key"] for r in MENU_ROWS if r["kind"] == "flag")
MODE_LETTERS = "CEAFH"
ENTER_SIGN = "[<─┘]"  # "[", "<", 196, 217, "]" in code page 437


def in_row(value):
    """A value as its menu row shows it: whole when it fits columns 52 to 79, else "..." and
    its end."""
    return value if len(value) <= 28 else "..." + value[-25:]


def menu_rows(t, **changes):
    """Rows 5 on of the menu as they should read (trailing blanks removed), for the
    default settings with the changes given."""
    v = dict(DEFAULTS, **changes)

    def key_row(key, value=""):
        return (" " * 21 + f"[{key}]  .. " + t["labels"][key].ljust(22) + value).rstrip()

    def flag(key):
        return key_row(key, t["on"] if v[key] else t["off"])

    shown = []
    for row in MENU_ROWS:
        key = row["key"]
        if row["kind"] == "flag":
            shown.append(flag(key))
        elif row["kind"] == "screenMode":
            shown += [key_row(key, MODE_LETTERS[v[key]]), (" " * 29 + t["modes"][v[key]]).rstrip()]
        else:
            shown.append(key_row(key, in_row(str(v[key]))))
    return shown + [
        key_row("*"),
        " " * 20 + "[Esc] .. " + t["exit_no_save"],
        " " * 20 + ENTER_SIGN + " .. " + t["save_and_exit"],
    ]


def menu_screen(t, **changes):
    """The whole menu screen (25 rows, trailing blanks removed), as menu_rows."""
    return (["", " " * 23 + t["menu_title"], "", ""] + menu_rows(t, **changes) + [""] * 25)[:25]


def menu_row_of(sign):
    """The screen row of the default menu that shows sign ("[f]", ENTER_SIGN)."""
    return 1 + next(i for i, line in enumerate(menu_screen(EN)) if sign in line)


# The row the cursor waits in below the menu: after the title's four rows, the menu's rows
# and an empty one.
CURSOR_ROW = 4 + len(menu_rows(EN)) + 2


def rows(s, first=1, last=25):
    """Rows first to last as shown, trailing blanks removed."""
    return [s.row(r).rstrip() for r in range(first, last + 1)]


def read_menu(s):
    """The menu's values by key letter as the screen shows them (in_row), and "mode" for
    the row under the screen setting."""
    values, last = {}, None
    for line in s.lines():
        if len(line) > 29 and line[21] == "[" and line[23:29] == "]  .. ":
            last = line[22]
            values[last] = line[51:]
        elif last == "b" and "mode" not in values:
            values["mode"] = line[29:]
        else:
            last = None
    return values


# --- the launcher ---------------------------------------------------------------------

def dos(path):
    """A POSIX path as the program shows it: drive Z: is the root."""
    return "Z:" + str(path).replace("/", "\\")


def option_items(**changes):
    """The switches written after ZOR4.EXE in the table's order, each as ZOR receives it:
    the defaults, with items replaced by their letters (bang for "!", B, C, F, ICO, ...); an
    item written only when set (F, N, R) is left out when empty or off."""
    items = []
    for row in table.WRITTEN:
        key = "bang" if row["letters"] == "!" else row["letters"]
        value = table.DEFAULT_VALUES[row["field"]]
        if key in changes:
            value = str(changes[key])
        elif row["kind"] == "flag":
            value = "+" if value else "-"
        elif row["kind"] == "screenMode":
            value = MODE_LETTERS[value]
        if row["only_when_set"] and value in ("", "-"):
            continue
        items.append(f"-{row['letters']}{value}")
    return items


def option_line(**changes):
    """The option line with the items of option_items (names that need no quotes)."""
    return "".join(" " + item for item in option_items(**changes)) + " %1 %2 %3 %4 %5 %6 %7 %8 %9"


def launcher_bytes(reserved, program, options):
    """A launcher file: three lines, the last one without a line end."""
    return ("@ECHO OFF\r\n" + reserved + "\r\n" + program + options).encode("cp437")


# --- the colour-table editor ----------------------------------------------------------

EN.update({
    "table_file": "name of color table file? [ {name} ] ",
    "comment": "comment? ",
    "legend": ["[s] save", "[v] drop", "[a]..[o] modify textcolor", "[A]..[O] modify background color"],
    "categories": ["normal", "compiler", "archiver", "exe-compressor", "sound ang graphic",
                   "overlays and fragments", "file errors", "viruses",
                   "DOS, Windows, OS/2, DOS-extender", "descriptions", "sign", "librarys",
                   "savegames", "colourless", "status line"],
})

DE.update({
    "table_file": "Name der Farbdatei? [ {name} ] ",
    "comment": "Kommentar? ",
    "legend": ["[s] Speichern", "[v] Verwerfen", "[a]..[o] Verändern der Vordergrundfarbe",
               "[A]..[O] Verändern der Hintergrundfarbe"],
    "categories": ["normal", "Compiler", "Archivprogramme", "Laufzeitkomprimierer", "Ton und Grafik",
                   "Overlay und Bruchstücke", "Dateifehler", "Viren",
                   "DOS, Windows, OS/2, DOS-Extender", "Beschreibungen", "Signatur", "Bibliotheken",
                   "Spielstände", "farblos", "Statuszeile"],
})

# The colour pairs (foreground byte, background byte) a run starts with, categories A to O.
DEFAULT_PAIRS = [(0x00, 0x20), (0x0A, 0x20), (0x0B, 0x20), (0x0E, 0x20), (0x0D, 0x20),
                 (0x0A, 0x20), (0x0E, 0x00), (0x02, 0xC0), (0x0B, 0x20), (0x0E, 0x20),
                 (0x0F, 0x20), (0x0A, 0x20), (0x0D, 0x20), (0x0F, 0x00), (0x0E, 0x80)]


def colour_table(comment, pairs, filler=b" "):
    """A colour-table file's 67 bytes: magic, comment length, the comment filled up to 30
    bytes, then the 15 pairs."""
    text = comment.encode("cp437")
    return (b"QXZoFa" + bytes([len(text)]) + text + filler * (30 - len(text))
            + bytes(b for pair in pairs for b in pair))
