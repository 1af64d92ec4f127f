"""The table of settings as the program's sources hold it: its rows, the record's
defaults and the menu's labels, so that the scenarios follow the table instead of
copying it. Read once, when the scenarios are collected."""
import codecs
import re
from pathlib import Path

SRC = Path(__file__).resolve().parents[2] / "src"


def _c_string(literal):
    """A C string literal's bytes (OEM code page 437), as text."""
    return codecs.decode(literal, "unicode_escape").encode("latin-1").decode("cp437")


def _defaults():
    text = (SRC / "settings/settings.h").read_text()
    body = re.search(r"struct Settings \{(.*?)\n\};", text, re.S).group(1)
    values = {}
    for kind, name, value in re.findall(r"^\s*(Flag|std::int8_t|std::int32_t|Str) (\w+)(?: = (-?\d+))?;", body, re.M):
        values[name] = "" if kind == "Str" else int(value)
    return values


def _texts():
    """Every single-line text of the language tables by its name: (English, German)."""
    text = (SRC / "texts/tables.cpp").read_text()
    return {name: (_c_string(en), _c_string(de))
            for name, en, de in re.findall(r'\{(\w+), \{"((?:[^"\\]|\\.)*)", "((?:[^"\\]|\\.)*)"\}\}', text)}


def _rows():
    text = (SRC / "settings/setting_table.h").read_text()
    body = re.search(r"settingTable\[\] = \{(.*?\n)\};", text, re.S).group(1)
    rows = []
    for row in re.findall(r"\{(\.kind = .*?)\},\n", body, re.S):
        def field(name, pattern=r"([^,}]+)"):
            found = re.search(r"\." + name + r" = " + pattern, row)
            return found.group(1).strip() if found else None
        member = re.search(r"\.(?:flag|number|text) = &Settings::(\w+)", row)
        rows.append({
            "kind": field("kind").split("::")[1],
            "letters": field("letters", r'"([^"]*)"'),
            "written_at": int(field("writtenAt") or 0),
            "key": field("key", r"'(.)'"),
            "shown_at": int(field("shownAt") or 0),
            "label": (field("label") or "").split("::")[-1] or None,
            "name": field("name", r'"([^"]*)"'),
            "field": member.group(1) if member else ("screenMode" if field("kind") == "Kind::screenMode" else None),
            "only_when_set": field("onlyWhenSet") == "true",
        })
    return rows


DEFAULT_VALUES = _defaults()
TEXTS = _texts()
ROWS = _rows()
WRITTEN = sorted((r for r in ROWS if r["written_at"]), key=lambda r: r["written_at"])
SHOWN = sorted((r for r in ROWS if r["shown_at"]), key=lambda r: r["shown_at"])
assert WRITTEN and SHOWN and all(r["field"] in DEFAULT_VALUES for r in WRITTEN + SHOWN), "the table was not read"
