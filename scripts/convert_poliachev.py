#!/usr/bin/env python3
"""Writes data/latin/poliachev.kds, a Latin–Russian dictionary made by turning
around Поляшев's Russian–Latin dictionary (poliachev2002-ru-la.txt).

The source is blocks separated by empty lines: a Russian headword line (";"
between variants), then definition lines of Latin equivalents separated by
";", each with its inflection in "[ ]", a line "1. label" before the
definition of a sense, examples on lines "+ russian latin" (or <ex> lines),
references "см. word". "%abbr.%" is an abbreviation, "_text_" italics.

Every equivalent becomes a keyword: the Latin words before its first comma,
without inflection, parentheses and marks, spaces as "_", quantity marks
dropped (keywords hold only the plain letters). Its article lists the Russian
headwords it translates, grouped by the equivalent as written, each group with
the examples of those headwords in which the equivalent occurs. Equivalents
whose words hold other characters are reported and skipped.
--check compares with the committed file.
"""
import argparse
import pathlib
import re
import sys
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import kds_writer  # noqa: E402

SOURCE = kds_writer.RAW / "poliachev2002-ru-la.txt"
OUTPUT = kds_writer.REPOSITORY / "data" / "latin" / "poliachev.kds"

HEADER = {
    "caption": "Латинско-русский словарь по Поляшеву",
    "comment": "Обращение словаря: М. П. Поляшев, Большой русско-латинский словарь, 2002 (общественное достояние). "
               "Латинские соответствия русских слов стали заглавными словами; при каждом перечислены русские "
               "слова, которые оно переводит, и примеры, в которых оно встречается. Обращён автоматически "
               "программой scripts/convert_poliachev.py, не вычитан.",
    "kind": "user",
    "language": "latin",
}
# The source's abbreviations and the grammatical codes of its inflections.
MARKS = {
    "adj.": "прилагательное",
    "inf.": "инфинитив",
    "interj.": "междометие",
    "verb.": "глагол",
    "m": "мужской род",
    "f": "женский род",
    "n": "средний род",
    "c": "общий род",
    "pl": "множественное число",
    "mpl": "мужской род, множественное число",
    "fpl": "женский род, множественное число",
    "npl": "средний род, множественное число",
}
LIGATURES = {"æ": "ae", "Æ": "Ae", "œ": "oe", "Œ": "Oe"}
CYRILLIC = re.compile(r"[А-Яа-яЁёЎў]")
# Cyrillic letters typed for their Latin look-alikes inside Latin words.
LOOK_ALIKES = str.maketrans("аеорсухўАВЕКМНОРСТХ", "aeopcyxyABEKMHOPCTX")


def split_top(text, separator):
    """Splits at the separator outside brackets and parentheses."""
    pieces, depth, start = [], 0, 0
    for i, c in enumerate(text):
        if c in "([":
            depth += 1
        elif c in ")]":
            depth = max(0, depth - 1)
        elif c == separator and depth == 0:
            pieces.append(text[start:i])
            start = i + 1
    pieces.append(text[start:])
    return pieces


def mend(line):
    """The few HTML tags as the source's own mark-up; words of both scripts
    are Latin words with Cyrillic look-alikes in them."""
    line = re.sub(r"</?b>", "", re.sub(r"<i>(.*?)</i>", r"_\1_", line))
    return re.sub(r"\w+", lambda m: m.group(0).translate(LOOK_ALIKES)
                  if CYRILLIC.search(m.group(0)) and re.search(r"[A-Za-z]", m.group(0)) else m.group(0), line)


def outside_groups(text):
    """The text without its parenthesised and bracketed parts."""
    kept, depth = [], 0
    for c in text:
        if c in "([":
            depth += 1
        elif c in ")]":
            depth = max(0, depth - 1)
            kept.append(" ")
        elif depth == 0:
            kept.append(c)
    return "".join(kept)


def read_blocks(path):
    lines = [line.rstrip() for line in path.read_text(encoding="utf-8").split("\n") if not line.startswith("###")]
    return [b.split("\n") for b in re.split(r"\n\s*\n", "\n".join(lines).strip("\n"))]


# --- article text ---------------------------------------------------------

def markup(text, in_comment=False):
    """Source mark-up as article text: %abbr.% as marks, _italics_ and
    top-level parentheses as comments, grammatical codes in [ ] as marks."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        end = text.find(c, i + 1) if c in "%_" else -1
        if c == "%" and end > i + 1:
            out.append(f"<m>{kds_writer.escape(text[i + 1:end])}</m>")
            i = end + 1
        elif c == "_" and end > i + 1:
            inner = markup(text[i + 1:end], True)
            out.append(inner if in_comment else f"<c>{inner}</c>")
            i = end + 1
        elif c == "(" and not in_comment and text.find(")", i) > i:
            end = text.find(")", i)
            out.append(f"<c>({markup(text[i + 1:end], True)})</c>")
            i = end + 1
        elif c == "[" and text.find("]", i) > i:
            end = text.find("]", i)
            codes = [f"<m>{p}</m>" if p in MARKS else markup(p, in_comment) for p in text[i + 1:end].split(", ")]
            out.append("[" + ", ".join(codes) + "]")
            i = end + 1
        else:
            out.append(kds_writer.escape(c))
            i += 1
    return "".join(out)


# --- keywords -------------------------------------------------------------

def plain(text):
    """Letters without quantity marks and ligatures."""
    text = "".join(LIGATURES.get(c, c) for c in text)
    return "".join(c for c in unicodedata.normalize("NFD", text) if not unicodedata.combining(c))


def keyword_of(equivalent):
    """The keyword of an equivalent, or None with the reason it cannot be one."""
    head = split_top(equivalent, ",")[0]
    head = re.sub(r"%[^%]*%|_[^_]*_", " ", outside_groups(head))
    words = plain(head.replace("*", " ")).split()
    while words and CYRILLIC.search(words[0]):
        words.pop(0)  # Russian words that a sense's equivalent may follow
    if not words:
        return None, "no Latin word"
    bad = sorted({c for w in words for c in w if not ("a" <= c <= "z" or "A" <= c <= "Z")})
    if bad:
        return None, "not keyword letters: " + " ".join(repr(c) for c in bad)
    return "_".join(words), None


# First-person endings that inflections of verbs begin with, as in "facere [io, feci, factum]".
PERSON_ENDINGS = ("o", "eo", "io", "or", "eor", "ior")


def first_person(infinitive, equivalent):
    """The dictionary form (first person) of a verb given in the infinitive
    with its inflection ("amare [1]", "habere [eo, ui, itum]",
    "effodere, o, fodi, fossum"), or None when the equivalent is no such verb."""
    bracket = re.match(r"\W*[^\s\[,(]+\s*\[([^\]]*)\]", equivalent)
    pieces = split_top(equivalent, ",")
    inflection = bracket.group(1) if bracket else pieces[1] if len(pieces) > 1 else ""
    first = plain(inflection.split(",")[0].strip())
    if first == "1":
        if infinitive.endswith("are"):
            return infinitive[:-3] + "o"
        return infinitive[:-3] + "or" if infinitive.endswith("ari") else None
    if first in PERSON_ENDINGS:
        if infinitive[-3:] in ("are", "ere", "ire", "ari", "eri", "iri"):
            return infinitive[:-3] + first
        return infinitive[:-1] + first if infinitive.endswith("i") and first.endswith("r") else None
    # A whole first person, as "inferre [infero, intuli, illatum]", "dare [do, dedi, datum]".
    if re.fullmatch(r"[a-z]+o", first) and infinitive.startswith(first[:max(1, len(first) - 3)]):
        return first
    return None


def stems(keyword):
    """What words of an example must begin with for the equivalent to occur
    in it: each word, its ending cut off when it is long enough to have one."""
    return [w.lower()[:-2] if len(w) >= 5 else w.lower() for w in keyword.split("_")]


def occurs(keywords, example):
    """Whether one of the keywords occurs in the example."""
    words = re.findall(r"[a-z]+", plain(example).lower())
    return any(all(any(w == s or (len(s) >= 3 and w.startswith(s)) for w in words) for s in stems(keyword))
               for keyword in keywords)


# --- the source -----------------------------------------------------------

def split_example(line):
    """An example line as (russian, latin): the Latin is the words after the last Cyrillic one."""
    if line.startswith("<ex>"):
        russian = re.search(r"<ex_orig>(.*?)</ex_orig>", line)
        latin = re.search(r"<ex_tran>(.*?)</ex_tran>", line)
        return (russian.group(1) if russian else ""), (latin.group(1) if latin else "")
    text = line[2:].strip()
    tokens = text.split(" ")
    last = max((k for k, t in enumerate(tokens) if CYRILLIC.search(t)), default=-1)
    return " ".join(tokens[:last + 1]), " ".join(tokens[last + 1:])


def equivalents(line):
    """The equivalents of a definition line, split at ";" and at "," between
    words that both have their inflection ("X [is, f], Y [i, m]")."""
    result = []
    for segment in (s for part in split_top(line, ";") for s in split_top(part, "/")):
        pieces = [p.strip() for p in split_top(segment, ",")]
        current = pieces[0]
        for piece in pieces[1:]:
            if current.endswith("]") and "[" in piece and keyword_of(piece)[0]:
                result.append(current)
                current = piece
            else:
                current += ", " + piece
        result.append(current)
    return [e.strip().rstrip(".:,").strip() for e in result if e.strip(" .:,")]


def read_entries(blocks):
    """(russian headword, sense label, equivalents, examples) of every sense."""
    entries = []
    for block in blocks:
        headword = ", ".join(w.strip() for w in block[0].split(";"))
        senses, examples, label = [], [], None
        for line in block[1:]:
            if line.startswith(("+ ", "<ex>")):
                examples.append(split_example(line))
            elif line.startswith("см.") or not line.strip():
                continue
            elif re.match(r"\d+\. ", line):
                label = line.split(". ", 1)[1].strip()
            else:
                senses.append((label, equivalents(mend(line))))
                label = None
        for label, found in senses:
            entries.append((headword, label, found, examples))
    return entries


def article_lines(keyword, forms, see):
    """One equivalent as written with its Russian words on the heading line,
    or the keyword as heading and the equivalents numbered; the examples
    follow each; an infinitive points to its verb's dictionary form."""
    heading = f"<h>{keyword.replace('_', ' ')}</h>"
    if see:
        heading += f" <m>inf.</m> → {', '.join(see)}"
    lines = [] if len(forms) == 1 and not see else [heading]
    for number, (form, senses) in enumerate(forms.items(), 1):
        translation = ", ".join(r for r, _ in senses)
        if not lines:
            lines.append(f"<h>{form}</h> {translation}")
        else:
            lines.append((f"<n>{number}</n> " if len(forms) > 1 else "") + f"{form} — {translation}")
        shown = []
        for _, examples in senses:
            shown += [e for e in examples if e not in shown]
        if shown:
            lines.append("; ".join(shown))
    return lines


def article_of(groups, keyword):
    return groups.setdefault(kds_writer.letters_key(keyword), {"keyword": keyword, "forms": {}, "see": []})


def convert(blocks):
    groups = {}  # letters key -> {"keyword": ..., "forms": {shown form: [(russian, examples)]}, "see": [...]}
    skipped = []
    entries = read_entries(blocks)
    for headword, label, found, examples in entries:
        russian = kds_writer.escape(headword) + (f" <c>({markup(label, True)})</c>" if label else "")
        for equivalent in found:
            keyword, reason = keyword_of(equivalent)
            if keyword is None:
                skipped.append((f"{equivalent} ({headword})", reason))
                continue
            infinitive = keyword
            lemma = first_person(keyword, equivalent) if "_" not in keyword else None
            if lemma:
                # Verbs stand under their dictionary form; the infinitive points there.
                keyword = lemma
                see = article_of(groups, infinitive)["see"]
                if lemma not in see:
                    see.append(lemma)
            article = article_of(groups, keyword)
            form = markup(equivalent.lstrip("*").strip())
            senses = article["forms"].setdefault(form, [])
            shown = [f"<e>{markup(r)} — {markup(l)}</e>" if r else f"<e>{markup(l)}</e>"
                     for r, l in examples if occurs((infinitive, keyword), l)]
            if all(russian != r for r, _ in senses):
                senses.append((russian, shown))
    articles = []
    for key in sorted(groups, key=lambda k: (k.lower(), k)):
        articles.append((groups[key]["keyword"], article_lines(**groups[key])))
    return articles, skipped, len(entries)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", type=pathlib.Path, default=SOURCE)
    parser.add_argument("--output", type=pathlib.Path, default=OUTPUT)
    parser.add_argument("--check", action="store_true", help="compare with the committed file instead of writing")
    args = parser.parse_args()
    if not args.source.exists():
        return kds_writer.missing_input(args.source)
    try:
        articles, skipped, senses = convert(read_blocks(args.source))
    except (OSError, UnicodeDecodeError, ValueError, KeyError, TypeError, AttributeError) as error:
        print(f"cannot convert {args.source}: {error!r}", file=sys.stderr)
        return 1
    data = kds_writer.render(HEADER, MARKS, articles)
    print(f"{senses} Russian senses, {len(articles)} Latin articles", file=sys.stderr)
    return kds_writer.finish(data, args.output, args.check, skipped, "equivalents")


if __name__ == "__main__":
    sys.exit(main())
