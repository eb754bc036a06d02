#!/usr/bin/env python3
"""Writes data/ancientgreek/ntglossary.kds from the Greek–Russian glossary of
New Testament words (nt-greek-russian.js, a JavaScript object literal
`var GREEK = {"words": [{"lexeme", "short_def", "synonyms"}, ...]}`).

Each lexeme is an article in the glossary's (Strong's) order: its keyword is
the lexeme composed, with tonos written as oxia, spaces as "_", elision marks
as the koronis and parentheses left out; lexemes that still hold other
characters are reported and skipped. Lexemes that give one keyword are one
article with numbered senses. --check compares with the committed file.
"""
import argparse
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

HEADER = {
    "caption": "Греческо-русский словарь Нового Завета",
    "comment": "Краткий греческо-русский словарь слов Нового Завета в порядке нумерации Стронга, из "
               "src/data/dictionary_greek_rus.js проекта BibleAllusions (github.com/karnauhov/BibleAllusions), "
               "лицензия GNU GPL v3. Преобразован автоматически программой scripts/convert_ntglossary.py.",
    "kind": "user",
    "language": "ancientgreek",
}
ELISION = {"\u2019": "\u1FBD", "\u02BC": "\u1FBD", "'": "\u1FBD"}


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
    parser.add_argument("--check", action="store_true", help="compare with the committed file instead of writing")
    args = parser.parse_args()
    if not args.source.exists():
        return kds_writer.missing_input(args.source)
    try:
        articles, skipped = convert(read_words(args.source))
    except (OSError, UnicodeDecodeError, ValueError, KeyError, TypeError, AttributeError) as error:
        print(f"cannot convert {args.source}: {error!r}", file=sys.stderr)
        return 1
    data = kds_writer.render(HEADER, {}, articles)
    print(f"{len(articles)} articles", file=sys.stderr)
    return kds_writer.finish(data, args.output, args.check, skipped)


if __name__ == "__main__":
    sys.exit(main())
