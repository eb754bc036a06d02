#!/usr/bin/env python3
"""Writes data/ancientgreek/ntglossary.kds from the Greek–Russian glossary of
New Testament words (nt-greek-russian.js, a JavaScript object literal
`var GREEK = {"words": [{"lexeme", "short_def", "synonyms"}, ...]}`).

Each lexeme is an article in the glossary's (Strong's) order: its keyword is
the lexeme composed, with tonos written as oxia, spaces as "_", elision marks
as the koronis and parentheses left out; lexemes that still hold other
characters are reported and skipped. Lexemes that give one keyword are one
article with numbered senses. --check compares with the committed file.

The raw glossary has faults (glosses copied from a neighbour, cut off or
misspelt, misplaced accents); ntglossary_errata.tsv beside this script mends
them before conversion. Each erratum names the lexeme, the field and the
exact wrong text, so one the raw data no longer holds stops the conversion
rather than being dropped unnoticed.
"""
import argparse
import collections
import csv
import json
import pathlib
import re
import sys
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import gen_greek_tables  # noqa: E402  the keyword letters and tonos forms of the program itself
import kds_writer  # noqa: E402

SOURCE = kds_writer.RAW / "nt-greek-russian.js"
OUTPUT = kds_writer.REPOSITORY / "data" / "ancientgreek" / "ntglossary.kds"
ERRATA = pathlib.Path(__file__).resolve().parent / "ntglossary_errata.tsv"

HEADER = {
    "caption": "Греческо-русский словарь Нового Завета",
    "comment": "Краткий греческо-русский словарь слов Нового Завета в порядке нумерации Стронга, из "
               "src/data/dictionary_greek_rus.js проекта BibleAllusions (github.com/karnauhov/BibleAllusions), "
               "лицензия GNU GPL v3. Преобразован автоматически программой scripts/convert_ntglossary.py; "
               "ошибки исходных данных исправлены по таблице scripts/ntglossary_errata.tsv.",
    "kind": "user",
    "language": "ancientgreek",
}
ELISION = {"\u2019": "\u1FBD", "\u02BC": "\u1FBD", "'": "\u1FBD"}

ERRATA_COLUMNS = ["lexeme", "field", "kind", "wrong", "right", "reason"]
ERRATA_FIELDS = {"lexeme", "short_def"}
# accent: a misplaced or missing accent of a lexeme; gloss: a gloss that says
# something else than the word; short: a gloss too bare to translate it
# (one to three letters, or only prepositions, particles, pronouns); typo: a
# misspelt or cut-off gloss.
ERRATA_KINDS = ("accent", "gloss", "short", "typo")

# Russian words that alone do not say what a content word means: a gloss
# made only of these is either right for a preposition, particle or pronoun
# (and listed in ntglossary_short_glosses.tsv) or a fault.
FUNCTION_WORDS = frozenset("""
    в во на к ко с со из от до по о об обо у при за под над перед пред через сквозь без для ради про между
    среди вне около возле мимо после вместо кроме против ото изо из-за
    и а но или либо да же ж ли ни не бы ведь вот вон уже еще ещё лишь только даже то что чтобы как так если
    хотя ибо нет тоже также то же
    я ты он она оно мы вы они мой твой свой наш ваш его ее её их сам себя тот этот сей сия сие сии сих кто
    который какой всякий весь меня мне мной тебя тебе тобой нас нам вас вам ему ей им ими него нее неё них нему
    ней те эти это
""".split())


def normal_lexeme(lexeme):
    return unicodedata.normalize("NFC", lexeme.strip())


def normal_gloss(text):
    return " ".join(text.split())


def is_bare_gloss(gloss):
    """A gloss short enough or bare enough that it must be known right: one to
    three letters, or made only of function words."""
    words = [w for w in re.split(r"[\s,;.:()!?«»\"]+", gloss.lower()) if w]
    return 0 < len(gloss.strip()) <= 3 or (bool(words) and all(w in FUNCTION_WORDS for w in words))


class Erratum(collections.namedtuple("Erratum", ERRATA_COLUMNS + ["line"])):
    def __str__(self):
        return f"line {self.line}: {self.lexeme} {self.field} {self.wrong!r} -> {self.right!r}"


class StaleErrata(ValueError):
    """Errata the raw data no longer holds."""

    def __init__(self, path, errata):
        self.errata = errata
        super().__init__(f"{len(errata)} errata in {path} no longer match the raw data (mend or remove them):\n"
                         + "\n".join(f"  {e}" for e in errata))


def read_errata(path):
    """The errata of a tab-separated table with a header line; lines starting with "#" are comments."""
    errata = []
    with open(path, encoding="utf-8", newline="") as table:
        rows = csv.reader((line for line in table), delimiter="\t", quoting=csv.QUOTE_NONE)
        header = None
        for number, row in enumerate(rows, 1):
            if not row or row[0].startswith("#"):
                continue
            if header is None:
                header = row
                if header != ERRATA_COLUMNS:
                    raise ValueError(f"{path}:{number}: the header must be {' '.join(ERRATA_COLUMNS)}")
                continue
            if len(row) != len(ERRATA_COLUMNS):
                raise ValueError(f"{path}:{number}: {len(row)} columns, not {len(ERRATA_COLUMNS)}")
            erratum = Erratum(*row, line=number)
            if erratum.field not in ERRATA_FIELDS or erratum.kind not in ERRATA_KINDS:
                raise ValueError(f"{path}:{number}: unknown field {erratum.field!r} or kind {erratum.kind!r}")
            if not erratum.reason.strip() or not erratum.right.strip() or erratum.wrong == erratum.right:
                raise ValueError(f"{path}:{number}: an erratum needs a reason and a right text other than the wrong one")
            errata.append(erratum)
    return errata


def apply_errata(words, errata, path=ERRATA):
    """The words mended, and how many errata of each kind were applied. Errata
    are matched on the raw lexeme and the field's raw text (blanks folded), so
    their order does not matter; all that match nothing are reported at once."""
    by_key = {}
    for erratum in errata:
        key = (normal_lexeme(erratum.lexeme), erratum.field, normal_gloss(erratum.wrong))
        if key in by_key:
            raise ValueError(f"{path}: {erratum} repeats line {by_key[key].line}")
        by_key[key] = erratum
    used = set()
    mended = []
    for word in words:
        word = dict(word)
        lexeme = normal_lexeme(word["lexeme"])
        for field in ("short_def", "lexeme"):
            raw = lexeme if field == "lexeme" else normal_gloss(word[field])
            erratum = by_key.get((lexeme, field, raw))
            if erratum:
                word[field] = erratum.right
                used.add(erratum)
        mended.append(word)
    stale = [e for e in errata if e not in used]
    if stale:
        raise StaleErrata(path, stale)
    return mended, collections.Counter(e.kind for e in errata)


def read_words(path):
    text = path.read_text(encoding="utf-8")
    literal = text[text.index("{"):text.rindex("}") + 1]
    # JavaScript allows a comma before "]" and "}"; JSON does not. Strings are kept as they are.
    literal = re.sub(r'("(?:[^"\\]|\\.)*")|,(\s*[\]}])', lambda m: m.group(1) or m.group(2), literal)
    return json.loads(literal)["words"]


def keyword_letters():
    flags = gen_greek_tables.build()[0]
    return {chr(cp) for cp, f in flags.items() if f & gen_greek_tables.KEYWORD}


def shown_form(lexeme):
    """The lexeme composed, with the program's forms of the tonos letters."""
    composed = unicodedata.normalize("NFC", lexeme.strip())
    return "".join(chr(gen_greek_tables.NORMALISATION.get(ord(c), ord(c))) for c in composed)


def keyword_of(shown, letters):
    """The keyword of a lexeme, or None with the reason it cannot be one."""
    word = "".join(ELISION.get(c, c) for c in shown if c not in "()")
    word = "_".join(word.split())
    bad = sorted({c for c in word if c != "_" and c not in letters})
    if not word:
        return None, "empty lexeme"
    if bad:
        return None, "not keyword letters: " + " ".join(f"{c!r} U+{ord(c):04X}" for c in bad)
    return word, None


def convert(words):
    letters = keyword_letters()
    articles = {}  # letters key -> [keyword, shown form, definitions]
    skipped = []
    for word in words:
        shown = shown_form(word["lexeme"])
        definition = " ".join(word["short_def"].split())
        synonyms = [shown_form(s) for s in word.get("synonyms") or [] if isinstance(s, str) and s.strip()]
        if not shown and not definition:
            skipped.append((word["id"], "empty entries, gaps of the numbering"))
            continue
        keyword, reason = keyword_of(shown, letters)
        if keyword is None:
            skipped.append((f"{word['id']} {word['lexeme']}", reason))
            continue
        if not definition:
            skipped.append((f"{word['id']} {word['lexeme']}", "no definition"))
            continue
        text = kds_writer.escape(definition)
        if synonyms:
            text += " <c>(ср. " + kds_writer.escape(", ".join(synonyms)) + ")</c>"
        article = articles.setdefault(kds_writer.letters_key(keyword), [keyword, shown, []])
        if text not in article[2]:
            article[2].append(text)
    result = []
    for keyword, shown, senses in articles.values():
        heading = f"<h>{kds_writer.escape(shown)}</h>"
        if len(senses) == 1:
            result.append((keyword, [f"{heading} {senses[0]}"]))
        else:
            result.append((keyword, [heading] + [f"<n>{k}</n> {s}" for k, s in enumerate(senses, 1)]))
    return result, skipped


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", type=pathlib.Path, default=SOURCE)
    parser.add_argument("--output", type=pathlib.Path, default=OUTPUT)
    parser.add_argument("--errata", type=pathlib.Path, default=ERRATA)
    parser.add_argument("--check", action="store_true", help="compare with the committed file instead of writing")
    args = parser.parse_args()
    if not args.source.exists():
        return kds_writer.missing_input(args.source)
    try:
        words, applied = apply_errata(read_words(args.source), read_errata(args.errata), args.errata)
    except StaleErrata as error:
        print(f"cannot convert {args.source}: {error}", file=sys.stderr)
        return 1
    except (OSError, UnicodeDecodeError, ValueError, KeyError, TypeError, AttributeError) as error:
        print(f"cannot convert {args.source}: {error!r}", file=sys.stderr)
        return 1
    print(f"applied {sum(applied.values())} errata ("
          + ", ".join(f"{applied[kind]} {kind}" for kind in ERRATA_KINDS) + ")", file=sys.stderr)
    try:
        articles, skipped = convert(words)
    except (OSError, UnicodeDecodeError, ValueError, KeyError, TypeError, AttributeError) as error:
        print(f"cannot convert {args.source}: {error!r}", file=sys.stderr)
        return 1
    data = kds_writer.render(HEADER, {}, articles)
    print(f"{len(articles)} articles", file=sys.stderr)
    return kds_writer.finish(data, args.output, args.check, skipped)


if __name__ == "__main__":
    sys.exit(main())
