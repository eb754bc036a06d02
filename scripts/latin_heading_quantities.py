#!/usr/bin/env python3
"""Vowel quantities for the headings of the Latin main dictionary, from Collatinus.

Collatinus's lemma field (lemmes.la) marks each vowel long (macron), short
(breve) or common (both). A heading carries only the long marks, as the
principal parts after it do. Collatinus marks a vowel before two consonants
long by position, whatever its nature (ārma, ēx, cōrpus): such a mark says
nothing of the vowel itself, so it is only proposed for review, and a heading
may keep it (nūllus) or not (arma), unless the stem of the other cases shows
the vowel before one consonant (vōx, vōcis; but dux, dŭcis). The first vowel of a diphthong (ae, au,
oe), which Collatinus marks as well, never carries a mark in a heading.

    latin_heading_quantities.py [--write] [data/latin/main.kds]

prints the headings whose marks differ from the proposal and the positional
marks left to the reader; --write puts the proposed natural longs into the
headings that carry no mark yet.
"""
import argparse
import pathlib
import re
import sys
import unicodedata

REPOSITORY = pathlib.Path(__file__).resolve().parent.parent
LEMMES = REPOSITORY / "third_party" / "collatinus" / "lemmes.la"
MAIN = REPOSITORY / "data" / "latin" / "main.kds"

MACRON, BREVE = "\u0304", "\u0306"
VOWELS = set("aeiouy")
DIPHTHONGS = ("ae", "au", "oe")
# A mute before a liquid leaves the syllable before it open (pă-trem).
MUTE_LIQUID = re.compile(r"[bcdgpt][lr]")

LONG, SHORT, COMMON, UNMARKED = "long", "short", "common", "unmarked"


def plain(text):
    """The letters without marks, as keywords spell them."""
    return "".join(c for c in unicodedata.normalize("NFD", text) if not unicodedata.combining(c))


def key(text):
    """What a heading and a Collatinus lemma share: small letters, i for j, u for v."""
    return plain(text).lower().translate(str.maketrans("jv", "iu"))


def quantities(form):
    """(plain letters, the mark of each letter) of a marked form."""
    letters, marks = [], []
    for c in unicodedata.normalize("NFD", form):
        if unicodedata.combining(c):
            if not letters:
                continue
            had = marks[-1]
            mark = LONG if c == MACRON else SHORT if c == BREVE else None
            if mark:
                marks[-1] = mark if had == UNMARKED else COMMON
        else:
            letters.append(c)
            marks.append(UNMARKED)
    return "".join(letters), marks


def by_position(word, i):
    """Whether the vowel at i stands before two consonants (x and z count as two)."""
    rest = word[i + 1:].lower().replace("qu", "q").replace("h", "")
    if rest[:1] in ("x", "z"):
        return True
    consonants = re.match(r"[^aeiouy]*", rest).group(0)
    return len(consonants) >= 2 and not MUTE_LIQUID.fullmatch(consonants)


def opens_diphthong(word, i):
    return word[i:i + 2].lower() in DIPHTHONGS


def classify(form, stem=""):
    """(plain word, vowels marked long by nature, vowels marked long only by position).
    stem is the lemma's stem of the other cases (vōc of vōx), where lemmes.la gives one."""
    word, marks = quantities(form)
    stem_word, stem_marks = quantities(stem)
    natural, positional = set(), set()
    for i, mark in enumerate(marks):
        if mark != LONG or word[i].lower() not in VOWELS or opens_diphthong(word, i):
            continue
        # Only a final x is read against the stem: a verb's stems are its perfect's
        # and supine's, whose vowels may differ from the present's (vīcī, vinco).
        shown_by_stem = (word[i + 1:].lower() == "x" and stem_word[:i + 1].lower() == word[:i + 1].lower()
                         and len(stem_word) > i + 1 and stem_marks[i] == LONG and not by_position(stem_word, i))
        (positional if by_position(word, i) and not shown_by_stem else natural).add(i)
    return word, natural, positional


def collatinus(path=LEMMES):
    """{key: [(marked form, stem)]} of every lemma of lemmes.la and of the other
    spellings it lists (ā=ā,ăb,ābs), homograph digits dropped."""
    forms = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("!"):
            continue
        fields = line.split("|")
        name, _, marked = fields[0].partition("=")
        stem = fields[2].split(",")[0] if len(fields) > 2 and fields[1] != "inv" else ""
        for form in marked.split(",") if marked else [name]:
            form = re.sub(r"\d+$", "", form)
            entry = (form, stem if key(form) == key(re.sub(r"\d+$", "", name)) else "")
            if entry not in forms.setdefault(key(form), []):
                forms[key(form)].append(entry)
    return forms


def heading_word(heading):
    """The word a heading names: "-que" is que, "C." is C."""
    return heading.strip().strip("-.")


def agrees(heading, form, stem=""):
    """Whether a heading's long marks are the form's: every natural long marked,
    none that the form does not mark long."""
    word, marks = quantities(heading_word(heading))
    _, natural, positional = classify(form, stem)
    longs = {i for i, mark in enumerate(marks) if mark == LONG}
    return natural <= longs <= natural | positional


def propose(heading, form, stem=""):
    """The heading with the form's natural longs, its own letters kept."""
    word, _ = quantities(heading_word(heading))
    _, natural, _ = classify(form, stem)
    marked = "".join(c + MACRON if i in natural else c for i, c in enumerate(word))
    return heading.replace(heading_word(heading), unicodedata.normalize("NFC", marked))


def headings(text):
    """Every <h> heading of the dictionary's articles, with its keyword."""
    keyword = None
    for line in text.splitlines():
        if line.startswith("#"):
            keyword = line[1:]
        for heading in re.findall(r"<h>(.*?)</h>", line):
            yield keyword, heading


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dictionary", nargs="?", type=pathlib.Path, default=MAIN)
    parser.add_argument("--write", action="store_true", help="mark the unmarked headings as proposed")
    options = parser.parse_args()
    forms = collatinus()
    text = options.dictionary.read_bytes().decode("utf-16-le")
    replacements = {}
    for keyword, heading in headings(text):
        candidates = forms.get(key(heading_word(heading)), [])
        if not candidates:
            print(f"{keyword}: {heading}: no Collatinus lemma")
            continue
        for form, stem in candidates:
            _, _, positional = classify(form, stem)
            if positional:
                print(f"{keyword}: {heading}: {form} marks long by position only: "
                      + ", ".join(quantities(form)[0][i] + str(i + 1) for i in sorted(positional)))
        if any(agrees(heading, form, stem) for form, stem in candidates):
            continue
        proposals = sorted({propose(heading, form, stem) for form, stem in candidates})
        print(f"{keyword}: {heading}: proposed {' or '.join(proposals)}")
        if len(proposals) == 1 and heading == plain(heading):
            replacements[heading] = proposals[0]
    if options.write and replacements:
        text = re.sub(r"<h>(.*?)</h>", lambda m: f"<h>{replacements.get(m.group(1), m.group(1))}</h>", text)
        options.dictionary.write_bytes(text.encode("utf-16-le"))
        print(f"headings marked: {len(replacements)}", file=sys.stderr)


if __name__ == "__main__":
    main()
