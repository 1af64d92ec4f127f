"""The program's texts and the steps of a run, shared by the scenarios. When the flow
gains a screen, the step that passes it changes here, not in every scenario."""

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
}

LANGUAGES = {"en": EN, "de": DE}

YELLOW_ON_BLUE, LIGHT_RED_ON_BLACK, WHITE_ON_BLACK = 0x1E, 0x0C, 0x0F


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
