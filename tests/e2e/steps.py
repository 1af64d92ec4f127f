"""The program's texts and the steps of a run, shared by the scenarios. When the flow
gains a screen, the step that passes it changes here, not in every scenario."""

import re

from harness import ENTER

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
    "labels": {
        "u": "subdirectorys", "p": "partition table", "s": "boot sectors", "l": "verbose format",
        "b": "screen", "h": "hexadecimal numbers", "m": "mouse usage", "c": "CPU-emulator",
        "r": "list resource table", "i": "display icons", "f": "use color table",
        "x": "upper memory limit", "z": "lines", "*": "create color table",
    },
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
    "labels": {
        "u": "Unterverzeichnisse", "p": "Partitionstabelle", "s": "Startsektoren", "l": "Langformat",
        "b": "Bildschirm", "h": "hexadezimale Zahlen", "m": "Mausbenutzung", "c": "CPU-Emulator",
        "r": "Resourcen anzeigen", "i": "Symbole anzeigen", "f": "Farbtabelle benutzen",
        "x": "RAM-Obergrenze", "z": "Zeilenzahl", "*": "Farbtabelle erstellen",
    },
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

# The settings as the menu shows them with nothing changed: flags 1/0, the screen mode
# 0..4 (letters CEAFH), the colour-table name, the memory limit and the line count.
DEFAULTS = {"u": 1, "p": 0, "s": 0, "l": 1, "b": 0, "h": 1, "m": 1, "c": 1, "r": 0, "i": 1,
            "f": "", "x": 3000, "z": 0}
FLAG_KEYS = "upslhmcri"
MODE_LETTERS = "CEAFH"
ENTER_SIGN = "[<─┘]"  # "[", "<", 196, 217, "]" in code page 437


def menu_rows(t, **changes):
    """Rows 5 to 21 of the menu as they should read (trailing blanks removed), for the
    default settings with the changes given."""
    v = dict(DEFAULTS, **changes)

    def key_row(key, value=""):
        return (" " * 21 + f"[{key}]  .. " + t["labels"][key].ljust(22) + value).rstrip()

    def flag(key):
        return key_row(key, t["on"] if v[key] else t["off"])

    return [
        flag("u"), flag("p"), flag("s"), flag("l"),
        key_row("b", MODE_LETTERS[v["b"]]),
        (" " * 29 + t["modes"][v["b"]]).rstrip(),
        flag("h"), flag("m"), flag("c"), flag("r"), flag("i"),
        key_row("f", in_row(v["f"])), key_row("x", str(v["x"])), key_row("z", str(v["z"])),
        key_row("*"),
        " " * 20 + "[Esc] .. " + t["exit_no_save"],
        " " * 20 + ENTER_SIGN + " .. " + t["save_and_exit"],
    ]


def menu_screen(t, **changes):
    """The whole menu screen (25 rows, trailing blanks removed), as menu_rows."""
    return ["", " " * 23 + t["menu_title"], "", ""] + menu_rows(t, **changes) + ["", "", "", ""]


def rows(s, first=1, last=25):
    """Rows first to last as shown, trailing blanks removed."""
    return [s.row(r).rstrip() for r in range(first, last + 1)]


def in_row(value):
    """A value as its menu row shows it: whole when it fits columns 52 to 79, else "..." and
    its end."""
    return value if len(value) <= 28 else "..." + value[-25:]


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


def option_line(**changes):
    """The switches written after ZOR4.EXE: the defaults, with items replaced by keyword
    (bang, B, C, F, G, H, L, ICO, M, N, P, S, U, X, Z); F and N are left out when empty."""
    items = {"bang": "-", "B": "C", "C": "+", "F": "", "G": "+", "H": "+", "L": "+", "ICO": "+",
             "M": "+", "N": "", "P": "-", "S": "-", "U": "+", "X": "3000", "Z": "0"}
    items.update({k: str(v) for k, v in changes.items()})
    line = ""
    for key, value in items.items():
        if key in "FN" and not value:
            continue
        line += f" -{'!' if key == 'bang' else key}{value}"
    return line + " %1 %2 %3 %4 %5 %6 %7 %8 %9"


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
