#!/usr/bin/env python3
"""Writes the Ancient Greek typing tables in data/ancientgreek/.

keyboardlayout.tbl: Latin keys to Greek letters (key=hex code point).

inputmethod.tbl: breathings, accents, iota subscript and diaeresis typed
after a vowel (or rho) compose into the precomposed letter, found by its
Unicode name. Marks may be typed in any order: every letter with marks is
reachable from each of its letters with one mark less, and those stay in the
text between keys, so each one that takes a further mark needs a byte that
stands for it in the table's keys (the table's single-character section maps
those bytes, from 0x80 up, to the letters).

    )  smooth breathing      (  rough breathing     /  acute
    \\  grave                 =  circumflex          |  iota subscript
    +  diaeresis

"=" separates a key from its value in the table, so keys spell the
circumflex with "~" and the single-character section maps "~" to "=".

Run with --check to verify that the committed files are current.
"""
import argparse
import itertools
import pathlib
import re
import sys

UNICODE_DATA = "/usr/share/unicode/UnicodeData.txt"
FOLDER = pathlib.Path(__file__).resolve().parent.parent / "data" / "ancientgreek"

# Latin key to Greek small letter, as in Beta code; capitals likewise. w and
# v both give omega; j gives the final sigma, and its capital the ordinary
# capital sigma, there being no final one.
KEYS = {
    "a": "ALPHA", "b": "BETA", "g": "GAMMA", "d": "DELTA", "e": "EPSILON", "z": "ZETA",
    "h": "ETA", "q": "THETA", "i": "IOTA", "k": "KAPPA", "l": "LAMDA", "m": "MU", "n": "NU",
    "c": "XI", "o": "OMICRON", "p": "PI", "r": "RHO", "s": "SIGMA", "j": "FINAL SIGMA",
    "t": "TAU", "u": "UPSILON", "f": "PHI", "x": "CHI", "y": "PSI", "w": "OMEGA", "v": "OMEGA",
}
# Letters that take marks.
MARKED_BASES = ["ALPHA", "EPSILON", "ETA", "IOTA", "OMICRON", "UPSILON", "OMEGA", "RHO"]

# Name word of a mark, the key typed for it, the byte that spells it in the table.
MARKS = {
    "PSILI": (")", ")"), "DASIA": ("(", "("), "OXIA": ("/", "/"), "VARIA": ("\\", "\\"),
    "PERISPOMENI": ("=", "~"), "YPOGEGRAMMENI": ("|", "|"), "PROSGEGRAMMENI": ("|", "|"),
    "DIALYTIKA": ("+", "+"),
}
# Forms left out: tonos letters (the oxia ones are the language's), vowel length.
SKIPPED_MARKS = {"TONOS", "VRACHY", "MACRON"}
RANGES = [(0x0370, 0x03FF), (0x1F00, 0x1FFF)]
NAME = re.compile(r"GREEK (SMALL|CAPITAL) LETTER ([A-Z ]+?)(?: WITH (.*))?$")
# Bytes that may stand for letters with marks, in order of use.
SPARE_BYTES = list(range(0x80, 0x100))


def read_letters():
    """(case, base, marks) -> code point for the Greek letters of RANGES."""
    letters = {}
    with open(UNICODE_DATA, encoding="ascii") as data:
        for line in data:
            fields = line.split(";")
            code = int(fields[0], 16)
            if not any(low <= code <= high for low, high in RANGES):
                continue
            match = NAME.match(fields[1])
            if not match:
                continue
            case, base, marks = match.group(1), match.group(2), match.group(3)
            words = marks.split(" AND ") if marks else []
            if any(w in SKIPPED_MARKS for w in words):
                continue
            if any(w not in MARKS for w in words):
                raise ValueError(f"unknown mark in {fields[1]}")
            key = (case, base, frozenset(MARKS[w][0] for w in words))
            if key in letters:
                raise ValueError(f"two letters for {fields[1]}")
            letters[key] = code
    return letters


def keyboard_layout(letters):
    lines = []
    for key, base in KEYS.items():
        lines.append(f"{key}={letters[('SMALL', base, frozenset())]:X}")
    for key, base in KEYS.items():
        capital = "SIGMA" if base == "FINAL SIGMA" else base
        lines.append(f"{key.upper()}={letters[('CAPITAL', capital, frozenset())]:X}")
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def input_method(letters):
    spelling = {typed: byte for typed, byte in MARKS.values()}
    base_bytes = {}
    for key, base in KEYS.items():
        if base in MARKED_BASES:
            base_bytes[("SMALL", base)] = key
            base_bytes[("CAPITAL", base)] = key.upper()

    # Every marked letter from each letter with one mark less.
    compositions = []
    for (case, base, marks), code in letters.items():
        if not marks or base not in MARKED_BASES:
            continue
        for mark in sorted(marks):
            previous = (case, base, marks - {mark})
            if previous in letters:
                compositions.append((previous, mark, code))

    intermediates = sorted({p for p, _, _ in compositions if p[2]}, key=lambda p: letters[p])
    if len(intermediates) > len(SPARE_BYTES):
        raise ValueError(f"{len(intermediates)} letters with marks need bytes; {len(SPARE_BYTES)} are spare")
    letter_bytes = {(case, base, frozenset()): key.encode("ascii")
                    for (case, base), key in base_bytes.items()}
    for letter, byte in zip(intermediates, SPARE_BYTES):
        letter_bytes[letter] = bytes([byte])

    out = bytearray()
    out += "".join(sorted(set(spelling.values()) - {"~"})).encode("ascii") + b"\r\n"
    out += b"~=3D\r\n"
    for (case, base), key in sorted(base_bytes.items(), key=lambda item: item[1]):
        out += f"{key}={letters[(case, base, frozenset())]:X}\r\n".encode("ascii")
    for letter in intermediates:
        out += letter_bytes[letter] + f"={letters[letter]:X}\r\n".encode("ascii")
    out += b"=\r\n"
    for previous, mark, code in sorted(compositions, key=lambda c: (c[2], c[1])):
        out += letter_bytes[previous] + spelling[mark].encode("ascii") + f"={code:X}\r\n".encode("ascii")
    return bytes(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="fail when the committed files differ")
    args = parser.parse_args()
    letters = read_letters()
    files = {"keyboardlayout.tbl": keyboard_layout(letters), "inputmethod.tbl": input_method(letters)}
    stale = []
    for name, content in files.items():
        path = FOLDER / name
        if args.check:
            if not path.exists() or path.read_bytes() != content:
                stale.append(name)
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)
    if stale:
        print(f"out of date: {', '.join(stale)}; run {pathlib.Path(__file__).name}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
