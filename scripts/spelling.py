#!/usr/bin/env python3
"""Spelling checks of the source dictionaries (.kds).

Three checks, each against an allow-list kept beside this script:

* Russian words: every run of Cyrillic letters (hyphenated words whole, or
  part by part) that `hunspell -d ru_RU` does not know and
  spelling_allow_ru.tsv does not list;
* Latin headwords: every keyword of a Latin dictionary that is no lemma of the
  Collatinus data (third_party/collatinus, lemmes.la and lem_ext.la; without
  quantity marks, i = j and u = v), nor for a keyword of several words ("_")
  a phrase of its forms, and that latin_headwords_allow.tsv does not list;
* mixed scripts: every word holding Cyrillic letters beside Latin or Greek ones.

Usage: spelling.py [--candidates] [--stale] [FILE.kds...]; without files, the
bundled dictionaries. It prints each unknown word with its count and where it
first stands; --candidates prints allow-list lines for them instead, with a
proposed reason ("typo?" where a known word is one edit away: read it), and
--stale the entries that no file needs any more. Exit status 1 where anything
is unknown, 77 without hunspell-ru.
"""
import argparse
import collections
import functools
import pathlib
import re
import shutil
import subprocess
import sys
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import gen_latin_forms  # noqa: E402
import kds_writer  # noqa: E402

SCRIPTS = pathlib.Path(__file__).resolve().parent
RUSSIAN_ALLOW = SCRIPTS / "spelling_allow_ru.tsv"
LATIN_ALLOW = SCRIPTS / "latin_headwords_allow.tsv"
COLLATINUS = kds_writer.REPOSITORY / "third_party" / "collatinus"
HUNSPELL_DICTIONARY = pathlib.Path("/usr/share/hunspell/ru_RU.dic")

DATA = kds_writer.REPOSITORY / "data"
BUNDLED = [DATA / "latin" / "main.kds", DATA / "latin" / "poliachev.kds", DATA / "ancientgreek" / "main.kds",
           DATA / "ancientgreek" / "ntglossary.kds", DATA / "ancientgreek" / "forms.kds"]

# The reasons a word may be allowed: a category, then free text if useful.
RUSSIAN_REASONS = {
    "abbreviation": "сокращение",
    "proper-name": "имя собственное",
    "archaic": "устаревшее или поэтическое слово",
    "rare": "редкое или специальное слово",
    "grammatical-term": "грамматический термин",
    "unknown-correct": "слово верное, но словарю проверки неизвестное",
    "variant": "допустимый вариант написания",
}
LATIN_REASONS = {
    "proper-name": "имя собственное",
    "post-classical": "позднее, средневековое или новолатинское слово",
    "variant": "вариант написания",
    "rare": "редкое или специальное слово",
    "form": "форма слова (инфинитив, страдательный залог, множественное число) в заглавии статьи",
    "abbreviation": "сокращение",
    "unknown-correct": "слово верное, но данным Collatinus неизвестное",
}

# --- reading a source dictionary ---------------------------------------------

Line = collections.namedtuple("Line", "keyword number text")

# Tags whose content is an abbreviation explained in the file's own sections.
ABBREVIATION_TAG = re.compile(r"<(m|a)>.*?</\1>")
TAG = re.compile(r"</?[a-z0-9]+>")
ESCAPE = re.compile(r"\\(.)")
PREFIX_IN_BRACKETS = re.compile(r"\((\w+)\)(?=\w)")


def read_kds(path):
    """(keywords, lines): the article keywords in order, and the text to
    check as Line(keyword or section, line number, text), the tags
    gone, the abbreviations of <m> and <a> left out, "~" as the keyword."""
    text = pathlib.Path(path).read_bytes().decode("utf-16-le").lstrip("\ufeff")
    keywords, lines = [], []
    section, keyword = None, None
    for number, line in enumerate(text.split("\r\n"), 1):
        if section is None and keyword is None:
            opening = re.fullmatch(r"<(\w+)>", line)
            if opening:
                section = opening.group(1)
                continue
        if section is not None:
            if line == f"</{section}>":
                section = None
            elif "=" in line:
                # header: name=text; marks and authors: abbreviation=explanation
                lines.append(Line(f"<{section}>", number, line.partition("=")[2]))
            continue
        if line.startswith("#"):
            keyword = line[1:]
            keywords.append(keyword)
            continue
        if not line or keyword is None:
            continue
        line = ABBREVIATION_TAG.sub(" ", line)
        line = TAG.sub(" ", line)
        # "~" is the keyword, escaped characters are themselves.
        line = re.sub(r"(?<!\\)~", keyword.replace("_", " "), line)
        line = ESCAPE.sub(r"\1", line)
        # "(пре)доставлять" is the word "предоставлять"
        line = PREFIX_IN_BRACKETS.sub(r"\1", line)
        lines.append(Line(keyword, number, unicodedata.normalize("NFC", line)))
    return keywords, lines


# --- words --------------------------------------------------------------------

# Letters with their combining marks (stress, quantities), hyphen-joined.
LETTERS = r"[^\W\d_][\u0300-\u036f]*"
WORD = re.compile(rf"(?:{LETTERS})+(?:-(?:{LETTERS})+)*")
STRESS = re.compile(r"[\u0300\u0301]")


def script(char):
    """cyrillic, latin, greek or None of a letter."""
    if "\u0400" <= char <= "\u052f":
        return "cyrillic"
    if char.isascii():
        return "latin" if char.isalpha() else None
    name = unicodedata.name(char, "")
    for kind in ("LATIN", "GREEK", "CYRILLIC"):
        if name.startswith(kind):
            return kind.lower()
    return None


def scripts_of(word):
    return {s for s in map(script, word) if s}


def is_mixed(word):
    """Cyrillic letters beside Latin or Greek ones in one word (each part of a
    hyphenated word on its own: "X-образный" is two words)."""
    return any("cyrillic" in found and len(found) > 1 for found in map(scripts_of, word.split("-")))


def words(text):
    return WORD.findall(text)


def russian_parts(word):
    """What hunspell is asked about a Russian word, without stress marks: one
    tuple of spellings for each part of a hyphenated word (hunspell reads a
    hyphen as a word break), the part known where one spelling is. The first
    part of a compound adjective is its adjective ("латинско-русский":
    латинский), "по-римски" is римский, and "-л." is "-либо"."""
    parts = [p for p in STRESS.sub("", word).split("-") if p]
    asked = []
    for i, part in enumerate(parts):
        if part == "л" and i:
            continue
        spellings = [part]
        if i < len(parts) - 1 and part[-1:] in ("о", "е"):
            spellings += [part[:-1] + ending for ending in ("ый", "ий", "ой")]
        if i and parts[0].lower() == "по" and part.endswith("и"):
            spellings.append(part[:-1] + "ий")
        asked.append(tuple(spellings))
    return asked


def context(line, word, width=90):
    """The line around the word, and where it stands."""
    text = " ".join(line.text.split())
    at = text.find(word)
    if len(text) > width and at >= 0:
        start = max(0, min(at - width // 3, len(text) - width))
        text = ("…" if start else "") + text[start:start + width] + ("…" if start + width < len(text) else "")
    return f"{line.keyword} (line {line.number}): {text}"


# --- hunspell -------------------------------------------------------------------

def hunspell_available():
    return shutil.which("hunspell") is not None and HUNSPELL_DICTIONARY.exists()


def hunspell_unknown(candidates):
    """The words of candidates hunspell's Russian dictionary does not know,
    in one run."""
    candidates = sorted(set(candidates))
    if not candidates:
        return set()
    run = subprocess.run(["hunspell", "-d", "ru_RU", "-i", "utf-8", "-l"], input="\n".join(candidates) + "\n",
                         capture_output=True, text=True, encoding="utf-8", check=True)
    return set(run.stdout.split())


def hunspell_suggestions(candidates):
    """word: hunspell's suggestions, for the words it does not know."""
    candidates = sorted(set(candidates))
    if not candidates:
        return {}
    # "^" keeps a word from being read as a command of the pipe mode.
    run = subprocess.run(["hunspell", "-d", "ru_RU", "-i", "utf-8", "-a"],
                         input="".join(f"^{w}\n" for w in candidates), capture_output=True, text=True,
                         encoding="utf-8", check=True)
    result = {}
    for line in run.stdout.splitlines():
        if line.startswith("& "):
            head, _, tail = line.partition(": ")
            result[head.split()[1]] = tail.split(", ")
        elif line.startswith("# "):
            result[line.split()[1]] = []
    return result


# --- allow-lists -----------------------------------------------------------------

Allowed = collections.namedtuple("Allowed", "word reason note line")


def read_allow(path, reasons):
    """word: Allowed of a list: "word<TAB>reason[<TAB>note]" lines, "#" comments.
    A ValueError names a line whose reason is none of reasons or whose word
    is listed twice."""
    allowed = {}
    path = pathlib.Path(path)
    if not path.exists():
        return allowed
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        word, reason, note = (line.split("\t") + ["", ""])[:3]
        if reason not in reasons:
            raise ValueError(f"{path.name}:{number}: reason {reason!r} of {word!r} is none of {sorted(reasons)}")
        if word in allowed:
            raise ValueError(f"{path.name}:{number}: {word!r} is listed twice")
        allowed[word] = Allowed(word, reason, note, number)
    return allowed


def is_allowed(word, allowed, used=None):
    """A listed word, or one listed in lowercase that begins a sentence; the
    entry that allows it goes to used."""
    for entry in (word, word.lower()):
        if entry in allowed:
            if used is not None:
                used.add(entry)
            return True
    return False


# --- the checks --------------------------------------------------------------------

Finding = collections.namedtuple("Finding", "word count context line")


def _findings(occurrences):
    """Findings of {word: [Line]}, commonest first."""
    return sorted((Finding(word, len(where), context(where[0], word), where[0])
                   for word, where in occurrences.items()), key=lambda f: (-f.count, f.word))


def unknown_russian(lines, allowed=None, used=None):
    """Findings of the Russian words hunspell does not know, nor the list
    (the entries needed go to used)."""
    allowed = read_allow(RUSSIAN_ALLOW, RUSSIAN_REASONS) if allowed is None else allowed
    occurrences = collections.defaultdict(list)
    for line in lines:
        for word in words(line.text):
            if scripts_of(word) == {"cyrillic"}:
                occurrences[word].append(line)
    asked = {word: russian_parts(word) for word in occurrences}
    unknown = hunspell_unknown(spelling for parts in asked.values() for part in parts for spelling in part)
    result = {}
    for word, where in occurrences.items():
        if all(any(spelling not in unknown for spelling in part) for part in asked[word]):
            continue
        if is_allowed(word, allowed, used) or is_allowed(STRESS.sub("", word), allowed, used):
            continue
        result[word] = where
    return _findings(result)


def mixed_scripts(lines):
    occurrences = collections.defaultdict(list)
    for line in lines:
        for word in words(line.text):
            if is_mixed(word):
                occurrences[word].append(line)
    return _findings(occurrences)


# --- Latin headwords -------------------------------------------------------------

ENCLITICS = ("que", "ne", "ve")


class Latin:
    """The lemmas and forms of the Collatinus data, folded (i = j, u = v,
    lowercase, without quantity marks)."""

    def __init__(self, folder=COLLATINUS):
        self.g = g = gen_latin_forms
        self.collatinus = g.Collatinus(folder)
        self.lemmas = set()
        for lemma in self.collatinus.lemmas + self.collatinus.extension:
            self.lemmas.add(g.fold(lemma.name))
            self.lemmas.update(g.fold(g.without_number(g.plain(c))) for c in lemma.canonical)

    @functools.cached_property
    def forms(self):
        g, collatinus = self.g, self.collatinus
        irregulars = collections.defaultdict(list)
        for irregular in collatinus.irregulars:
            irregulars[irregular.lemma].append(irregular)
        forms = set(self.lemmas)
        for lemma in collatinus.lemmas + collatinus.extension:
            model = collatinus.models.get(lemma.model_name)
            if model is not None:
                forms.update(g.fold(f) for f in g.inflect(lemma, model, irregulars.get(lemma.key, ()),
                                                           collatinus.spellings))
        return forms

    def is_lemma(self, word):
        return self.g.fold(word) in self.lemmas

    def is_form(self, word):
        folded = self.g.fold(word)
        if folded in self.forms:
            return True
        return any(folded.endswith(e) and folded[:-len(e)] in self.forms for e in ENCLITICS)

    @functools.cached_property
    def _deletions(self):
        index = collections.defaultdict(set)
        for lemma in self.lemmas:
            for i in range(len(lemma)):
                index[lemma[:i] + lemma[i + 1:]].add(lemma)
            index[lemma].add(lemma)
        return index

    def near(self, word):
        """A lemma one edit from the word, or None."""
        folded = self.g.fold(word)
        keys = [folded] + [folded[:i] + folded[i + 1:] for i in range(len(folded))]
        found = sorted({l for k in keys for l in self._deletions.get(k, ()) if within_one_edit(folded, l)})
        return found[0] if found else None

    def known(self, keyword):
        """A lemma, or a phrase of forms."""
        parts = [p for p in keyword.split("_") if p]
        if len(parts) == 1:
            return self.is_lemma(parts[0])
        return all(self.is_form(p) for p in parts)


def is_reference(line):
    """An article whose line sends the reader on to the headword it ends
    with, as an infinitive's "abalienare inf. от abalieno" does."""
    return line is not None and re.search(r"\sот\s+\S+\s*$", line.text) is not None


def unknown_headwords(keywords, latin, allowed=None, first_lines=None, used=None):
    """Findings of the keywords that are no lemma, nor a phrase of forms, nor
    listed. A multi-word keyword is also known when each unknown word of it is
    listed; a keyword whose article refers to another is known when it is a
    form, not a lemma, being no headword of its own."""
    allowed = read_allow(LATIN_ALLOW, LATIN_REASONS) if allowed is None else allowed
    first_lines = first_lines or {}
    result = {}
    for keyword in keywords:
        if keyword in result or latin.known(keyword) or is_allowed(keyword, allowed, used):
            continue
        line = first_lines.get(keyword)
        parts = [p for p in keyword.split("_") if p]
        # every part looked at, that used learns of each entry a phrase needs
        if len(parts) > 1 and all([latin.is_form(p) or is_allowed(p, allowed, used) for p in parts]):
            continue
        if len(parts) == 1 and is_reference(line) and latin.is_form(keyword):
            continue
        result[keyword] = [line or Line(keyword, 0, keyword)]
    return _findings(result)


# --- proposing allow-list lines ------------------------------------------------------

def within_one_edit(a, b):
    """a and b differ by one letter replaced, added, dropped, or two swapped."""
    if a == b or abs(len(a) - len(b)) > 1:
        return False
    if len(a) == len(b):
        diff = [i for i in range(len(a)) if a[i] != b[i]]
        return len(diff) == 1 or (len(diff) == 2 and diff[1] == diff[0] + 1
                                  and a[diff[0]] == b[diff[1]] and a[diff[1]] == b[diff[0]])
    if len(a) > len(b):
        a, b = b, a
    return any(b[:i] + b[i + 1:] == a for i in range(len(b)))


def russian_typo(word, suggestions):
    """A suggestion of hunspell one edit from the word (ё = е): likely a typo."""
    plain_word = word.lower().replace("ё", "е")
    return next((s for s in suggestions if " " not in s and "-" not in s
                 and within_one_edit(plain_word, s.lower().replace("ё", "е"))), None)


def propose_russian(finding, suggestions):
    """(reason, note) for an unknown Russian word; reason "typo?" is none of
    the list's, to be read before it goes there."""
    word = finding.word
    near = russian_typo(word, suggestions.get(STRESS.sub("", word), []))
    if near:
        return "typo?", f"hunspell: {near}"
    if re.search(rf"(?<!\w){re.escape(word)}\.", finding.line.text) or len(word) == 1:
        return "abbreviation", ""
    if word[:1].isupper():
        return "proper-name", ""
    return "rare", ""


# Spellings that vary between editions and ages, both ways.
VARIANTS = [("ae", "e"), ("oe", "e"), ("ti", "ci"), ("y", "i"), ("ph", "f"), ("th", "t"), ("ch", "c"), ("h", ""),
            ("mn", "mpn"), ("k", "c"), ("z", "s"), ("rh", "r"), ("qu", "c"), ("x", "cs")]
VARIANTS += [(b, a) for a, b in VARIANTS if b]
VARIANTS += [(c + c, c) for c in "bcdfglmnprst"] + [(c, c + c) for c in "bcdfglmnprst"]


def variant_of(word, latin):
    """A lemma the word is an orthographic variant of, or None."""
    folded = latin.g.fold(word)
    for old, new in VARIANTS:
        at = folded.find(old)
        while at >= 0:
            candidate = folded[:at] + new + folded[at + len(old):]
            if candidate in latin.lemmas:
                return candidate
            at = folded.find(old, at + 1)
    return None


def propose_latin(finding, latin):
    """(reason, note) for an unknown Latin keyword (or word of one)."""
    word = finding.word
    if latin.is_form(word):
        return "form", ""
    lemma = variant_of(word, latin)
    if lemma:
        return "variant", f"= {lemma}"
    near = latin.near(word) if len(word) >= 5 else None
    if near:
        return "typo?", f"Collatinus: {near}"
    if word[:1].isupper():
        return "proper-name", ""
    return "post-classical", ""


# --- the command -------------------------------------------------------------------

def is_latin_dictionary(path):
    head = pathlib.Path(path).read_bytes()[:4000].decode("utf-16-le", "replace")
    return "language=latin" in head


def first_lines(lines):
    """keyword: the first line of its article."""
    result = {}
    for line in lines:
        if not line.keyword.startswith("<"):
            result.setdefault(line.keyword, line)
    return result


def check_file(path, latin=None, used=None):
    """{check: findings} of one file: russian, mixed, and for a Latin
    dictionary given the Collatinus data, latin. used, given, is
    {"russian": set(), "latin": set()}: the allow-list entries needed go there."""
    used = used or {"russian": set(), "latin": set()}
    keywords, lines = read_kds(path)
    result = {"russian": unknown_russian(lines, used=used["russian"]), "mixed": mixed_scripts(lines)}
    if latin is not None and is_latin_dictionary(path):
        result["latin"] = unknown_headwords(keywords, latin, first_lines=first_lines(lines), used=used["latin"])
    return result


def candidates(check, findings, latin):
    """Allow-list lines for the findings, each after a comment with its
    context."""
    if check == "russian":
        suggestions = hunspell_suggestions(STRESS.sub("", f.word) for f in findings)
        proposed = [(f, propose_russian(f, suggestions)) for f in findings]
    else:
        allowed = read_allow(LATIN_ALLOW, LATIN_REASONS)
        words = {}
        for f in findings:
            for part in f.word.split("_"):
                if part and part not in words and not is_allowed(part, allowed) and (
                        "_" not in f.word or not latin.is_form(part)):
                    words[part] = f._replace(word=part)
        proposed = [(f, propose_latin(f, latin)) for f in words.values()]
    for f, (reason, note) in proposed:
        yield f"# {f.context}"
        yield "\t".join([f.word, reason] + ([note] if note else []))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("files", nargs="*", type=pathlib.Path, default=BUNDLED)
    parser.add_argument("--candidates", action="store_true",
                        help="print allow-list lines with a proposed reason for the unknown words "
                             "(\"typo?\" where a known word is one edit away)")
    parser.add_argument("--no-latin", action="store_true", help="leave out the Latin headword check")
    parser.add_argument("--stale", action="store_true",
                        help="also print the allow-list entries that none of the files needs")
    args = parser.parse_args()
    if not hunspell_available():
        print(f"hunspell or {HUNSPELL_DICTIONARY} is missing (Debian: hunspell hunspell-ru)", file=sys.stderr)
        return kds_writer.SKIPPED
    latin = None if args.no_latin else Latin()
    found = False
    used = {"russian": set(), "latin": set()}
    for path in args.files:
        for check, findings in check_file(path, latin, used).items():
            if not findings:
                continue
            found = True
            print(f"== {path.name}: {check}: {len(findings)} words, {sum(f.count for f in findings)} occurrences")
            if args.candidates and check != "mixed":
                print("\n".join(candidates(check, findings, latin)))
            else:
                for f in findings:
                    print(f"{f.word}\t{f.count}\t{f.context}")
    if args.stale:
        lists = [("russian", RUSSIAN_ALLOW, RUSSIAN_REASONS)] + ([] if latin is None else
                                                                 [("latin", LATIN_ALLOW, LATIN_REASONS)])
        for check, path, reasons in lists:
            stale = [entry for entry in read_allow(path, reasons) if entry not in used[check]]
            print(f"== {path.name}: {len(stale)} entries no file needs" + "".join(f"\n{w}" for w in stale))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
