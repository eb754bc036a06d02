#!/usr/bin/env python3
"""Writes the Ancient Greek form dictionary from the word forms of the Ancient
Greek Dependency Treebank 2.1, merged with the hand-written forms.

Input: the treebank's forms (third_party/agldt/greek-forms.tsv: form, lemma,
9-position tag, count; lines starting with "#" are comments), the hand-written
data/ancientgreek/forms.kds, and the keywords of the Russian dictionaries the
lemmas should lead to. Output: one source dictionary of kind "form" whose
articles have one line per lemma, "analysis; analysis от lemma".

Keywords are the forms composed, with tonos written as oxia, grave as acute,
elision marks, editorial brackets and stray marks on consonants dropped; a
form is keyed in lowercase unless its lemma is a proper name. Keywords equal
but for case are one article.

Lemmas lose their homograph digits and are spelled as keywords are. They are
named as the dictionaries name them where the treebank differs in spelling
only: an ill-formed spelling (no accent on a word that is no clitic, a
breathing inside the word or missing on its opening vowel) is the most
frequent well-formed lemma of the same letters; a small capital variant is
the capitalised name (ζεύς, Ζεύς); diaeresis, the breathings of ῤῥ and iota
subscript are as the dictionaries write them. LEMMA_OF files suppletive
principal parts under their verb (εἶπον under λέγω, as the hand-written forms
do) and corrects a few spellings; the middle and passive forms of a verb
filed by the dictionaries under its middle are that middle's (αἱρέω →
αἱρέομαι).

Weighing, by the words of the treebank, within one keyword:
  - a lemma spelled like one MERGE_RATIO times as frequent but for accents,
    breathings and case is that lemma (είμί beside εἰμί);
  - a lemma, and within a lemma an analysis, is noise when it is seen at most
    RARE times and the top one NOISE_RATIO times as often, or when the top one
    is SHARE_RATIO times as frequent at any count; an ill-formed lemma is
    noise beside a more frequent well-formed one;
  - lemmas and analyses are ordered by count.
A keyword equal to its only lemma gets no article: the lookup finds the lemma.

The hand-written articles are kept as written; a keyword in both gets, after
the hand-written lines, the treebank's lines for the lemmas they do not name.
"""
import argparse
import collections
import functools
import os
import pathlib
import re
import sys
import tempfile
import time
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import gen_greek_tables  # noqa: E402  the keyword letters and tonos forms of the program itself
import kds_writer  # noqa: E402

REPOSITORY = kds_writer.REPOSITORY
TREEBANK = REPOSITORY / "third_party" / "agldt" / "greek-forms.tsv"
HANDWRITTEN = REPOSITORY / "data" / "ancientgreek" / "forms.kds"
DICTIONARIES = [REPOSITORY / "data" / "ancientgreek" / "main.kds",
                REPOSITORY / "data" / "ancientgreek" / "ntglossary.kds"]

HEADER_COMMENT = (
    "Формы древнегреческих слов с их грамматическим разбором и словарной формой. Созданы программой "
    "scripts/gen_greek_forms.py по Ancient Greek Dependency Treebank 2.1 (Perseus Digital Library, "
    "Tufts University), лицензия CC BY-SA 3.0 US, и объединены с формами, составленными вручную. "
    "Словарь распространяется на тех же условиях (CC BY-SA 3.0).")

MERGE_RATIO = 10
RARE, NOISE_RATIO, SHARE_RATIO = 2, 10, 50

# The tag's positions 2-9 and the abbreviations of their values; a value
# outside these is not of the Greek tag set and its row is skipped.
PERSON = {"1": "1", "2": "2", "3": "3"}
NUMBER = {"s": "sg.", "p": "pl.", "d": "du."}
TENSE = {"p": "praes.", "i": "impf.", "r": "perf.", "l": "plqperf.", "t": "fut.perf.", "f": "fut.", "a": "aor."}
MOOD = {"i": "ind.", "s": "subj.", "o": "opt.", "n": "inf.", "m": "imper.", "p": "ptc."}
VOICE = {"a": "act.", "m": "med.", "p": "pass.", "e": "med.-pass."}
GENDER = {"m": "m.", "f": "f.", "n": "n."}
CASE = {"n": "nom.", "g": "gen.", "d": "dat.", "a": "acc.", "v": "voc."}
DEGREE = {"c": "comp.", "s": "superl."}
POSITIONS = [PERSON, NUMBER, TENSE, MOOD, VOICE, GENDER, CASE, DEGREE]
FINITE = ("ind.", "subj.", "opt.", "imper.")
# Parts of speech (position 1); the uninflected ones are named.
PART_OF_SPEECH = {"n": None, "v": None, "a": None, "p": None, "l": None, "x": None, "-": None,
                  "m": "num.", "d": "adv.", "c": "conj.", "r": "praep.", "g": "partic.", "i": "interj.",
                  "e": "interj."}
MARKS = {
    "sg.": "единственное число", "pl.": "множественное число", "du.": "двойственное число",
    "praes.": "настоящее время", "impf.": "имперфект", "perf.": "перфект", "plqperf.": "плюсквамперфект",
    "fut.": "будущее время", "fut.perf.": "будущее совершенное время", "aor.": "аорист",
    "ind.": "изъявительное наклонение", "subj.": "сослагательное наклонение (конъюнктив)",
    "opt.": "желательное наклонение (оптатив)", "imper.": "повелительное наклонение",
    "inf.": "инфинитив", "ptc.": "причастие",
    "act.": "действительный залог", "med.": "средний залог", "pass.": "страдательный залог",
    "med.-pass.": "средний или страдательный залог (формы у них общие)",
    "m.": "мужской род", "f.": "женский род", "n.": "средний род",
    "nom.": "именительный падеж", "gen.": "родительный падеж", "dat.": "дательный падеж",
    "acc.": "винительный падеж", "voc.": "звательный падеж",
    "comp.": "сравнительная степень", "superl.": "превосходная степень",
    "num.": "числительное", "adv.": "наречие", "conj.": "союз", "praep.": "предлог", "partic.": "частица",
    "interj.": "междометие",
}

# Lemmas the treebank files otherwise than the dictionaries (and the
# hand-written forms) do.
LEMMA_OF = {
    # Suppletive principal parts filed as verbs of their own, and a future
    # perfect made the lemma of the forms of ἀφίστημι.
    "εἶπον": "λέγω", "ἐρῶ": "λέγω", "εἶδον": "ὁράω", "ἀφεστήξω": "ἀφίστημι",
    # Misplaced accents.
    "Ἀθήναιος": "Ἀθηναῖος", "πάτηρ": "πατήρ", "θέος": "θεός", "πέρ": "περ",
    # Older accentuation, poetic and Ionic spellings of the same word.
    "ἑτοῖμος": "ἕτοιμος", "ἐρῆμος": "ἔρημος", "ὁμοῖος": "ὅμοιος", "ᾍδης": "ᾅδης", "νόος": "νοῦς",
    "κεῖνος": "ἐκεῖνος",
}

# Unaccented lemmas that are words in their own right (proclitics, enclitics).
UNACCENTED = ("ὁ ἡ οἱ αἱ ἐν εἰς ἐς ἐκ ἐξ εἰ ὡς οὐ οὐκ οὐχ τε γε τοι τις τι πως πω που ποι πη ποθεν ποθι "
              "ποτε μιν νιν σφε σφιν σφισι μοι μου με σοι σου σε νυ νυν θην κε κεν περ ῥα δε").split()

ELISION_MARKS = {"\u2019", "\u2018", "'", "\u02BC", "\u02BD", "\u1FBD", "\u1FBF", "\u1FFE", "\u00B4", "\u2032"}
BRACKETS = set("[](){}⟨⟩<>")
ACCENTS = {"\u0301", "\u0342"}  # acute (a grave is made acute first), circumflex
BREATHINGS = {"\u0313", "\u0314"}
# Marks that only spell a word one way or another: diaeresis, the breathings of ῤῥ, iota subscript.
ORTHOGRAPHIC = {"\u0308", "\u0345"}
# Latin letters typed for their Greek look-alikes in a few lemmas (Βυζάντιοv).
LOOKALIKES = {"a": "α", "o": "ο", "v": "ν", "n": "ν", "K": "Κ", "M": "Μ"}
LEMMA_PUNCTUATION = set(",.;·%?!\u0387\u037E")


def keyword_letters():
    """The letters a Greek keyword may hold: the rule of gen_greek_tables.build()
    on Python's own character names, so that the build needs no UnicodeData.txt."""
    letters = {chr(gen_greek_tables.KORONIS)}
    for lo, hi in gen_greek_tables.RANGES:
        for cp in range(lo, hi + 1):
            if cp > 0x1FFC or cp in gen_greek_tables.TONOS_TO_OXIA or cp == 0x03CF:
                continue
            letter = gen_greek_tables.parse_letter(unicodedata.name(chr(cp), ""))
            if letter and not {"VRACHY", "MACRON"} & set(letter[3]):
                letters.add(chr(cp))
    return letters


LETTERS = keyword_letters()


def is_vowel(base):
    return base.lower() in "αεηιουω"


def clusters_of(word):
    """[base, [marks]] of a word decomposed; marks before any letter open the list with base ""."""
    clusters = []
    for c in unicodedata.normalize("NFD", word):
        if unicodedata.combining(c):
            if not clusters:
                clusters.append(["", []])
            clusters[-1][1].append(c)
        else:
            clusters.append([c, []])
    return clusters


def spelling(text):
    """The keyword spelling of a word as written: composed, tonos as oxia, grave
    as acute, without elision marks, brackets and marks on consonants. A breathing
    written before a capital (̓Ασία) goes onto it; ῥ and ῤῥ keep theirs."""
    if all(ord(c) in PLAIN for c in text):
        return text.translate(PLAIN)
    text = "".join(c for c in text.strip() if c not in ELISION_MARKS and c not in BRACKETS)
    clusters = clusters_of(text)
    for cluster in clusters:
        cluster[1] = ["\u0301" if m == "\u0300" else m for m in cluster[1]]
    if clusters and clusters[0][0] == "":
        leading = clusters.pop(0)[1]
        if clusters:
            clusters[0][1] = [m for m in leading if m not in clusters[0][1]] + clusters[0][1]
    out = []
    for k, (base, marks) in enumerate(clusters):
        if base.lower() == "ρ":
            before = clusters[k - 1][0].lower() if k else ""
            after = clusters[k + 1][0].lower() if k + 1 < len(clusters) else ""
            # A psili on a final ρ is an elision mark (ἄῤ for ἄρ’).
            keep = {"\u0314"} if k == 0 or before == "ρ" else {"\u0313"} if after == "ρ" else set()
            marks = [m for m in marks if m in keep]
        elif base.isalpha() and not is_vowel(base):
            marks = []  # a psili on a consonant is an elision mark (δ̓), an accent there a slip
        else:
            # A breathing comes before the accent: a psili after it is an elision mark (δύ̓, οἷ̓).
            marks = [m for k, m in enumerate(marks) if m != "\u0313" or k == 0]
        out.append(base + "".join(marks))
    return unicodedata.normalize("NFC", "".join(out)).translate(NORMALISE)


NORMALISE = {cp: chr(to) for cp, to in gen_greek_tables.NORMALISATION.items()}


def letter_by_letter():
    """The letters most words are made of alone, and their spellings: keyword
    letters as they are, tonos as oxia, grave as acute. ῤ and the koronis, which
    may be elision marks, are left to the long way."""
    table = {c: c for c in LETTERS - {"\u1FE4", chr(gen_greek_tables.KORONIS)}}
    table.update({chr(cp): to for cp, to in NORMALISE.items() if to in LETTERS})
    for c in map(chr, range(0x1F00, 0x2000)):
        decomposed = unicodedata.normalize("NFD", c)
        acute = unicodedata.normalize("NFC", decomposed.replace("\u0300", "\u0301")).translate(NORMALISE)
        if "\u0300" in decomposed and acute in LETTERS:
            table[c] = acute
    return str.maketrans(table)


PLAIN = letter_by_letter()


def lowercase(word):
    lowered = word.lower()
    return lowered[:-1] + "ς" if lowered.endswith("σ") and len(lowered) > 1 else lowered


@functools.lru_cache(maxsize=None)
def skeleton(word):
    """The letters of a word without accents, breathings and case."""
    plain = "".join(c for c in unicodedata.normalize("NFD", word) if not unicodedata.combining(c))
    return plain.lower().replace("ς", "σ")


def orthographic(word):
    """A word without the marks that only spell it one way or another."""
    clusters = clusters_of(word)
    out = []
    for base, marks in clusters:
        if base.lower() == "ρ":
            marks = []
        out.append(base + "".join(m for m in marks if m not in ORTHOGRAPHIC))
    return unicodedata.normalize("NFC", "".join(out))


def well_formed(lemma):
    """Whether a lemma's accent and breathing are where Greek puts them: an
    accent unless it is a clitic, a breathing on an opening vowel (or the second
    of an opening diphthong) and nowhere else but on ρ."""
    clusters = clusters_of(lemma)
    if not clusters or clusters[0][0] == "":
        return False
    marks = {m for _, ms in clusters for m in ms}
    if not ACCENTS & marks and len(clusters) > 1 and lowercase(lemma) not in UNACCENTED_SPELT:
        return False
    breathing_at = [k for k, (_, ms) in enumerate(clusters) if BREATHINGS & set(ms)]
    if is_vowel(clusters[0][0]):
        diphthong = (len(clusters) > 1 and clusters[1][0] in "ιυ" and not clusters[0][1]
                     and clusters[0][0].lower() in "αεηου")
        return breathing_at == [1 if diphthong else 0]
    return all(clusters[k][0].lower() == "ρ" for k in breathing_at)


# Typed with tonos here; keywords are spelled with oxia.
LEMMA_OF = {spelling(lemma): spelling(name) for lemma, name in LEMMA_OF.items()}
UNACCENTED_SPELT = {spelling(word) for word in UNACCENTED}


@functools.lru_cache(maxsize=None)
def clean_lemma(raw):
    """(lemma, None) or (None, reason)."""
    text = unicodedata.normalize("NFC", raw.strip())
    text = re.sub(r"\d+$", "", text)
    if not text.strip("".join(LEMMA_PUNCTUATION)):
        return None, "no lemma"
    if "-" in text or "," in text.strip(",") or " " in text:
        return None, "compound lemma written in parts"
    if text[-1] in ELISION_MARKS or (len(text) > 1 and text[-1] == "\u0313"):
        return None, "elided lemma"
    text = "".join(LOOKALIKES.get(c, c) for c in text if c not in LEMMA_PUNCTUATION)
    lemma = spelling(text.replace("~", "\u0342"))  # Beta Code's circumflex in a few lemmas
    if not lemma or any(c not in LETTERS for c in lemma):
        return None, "lemma is not Greek letters"
    return lemma, None


@functools.lru_cache(maxsize=None)
def analysis(tag):
    """The abbreviations of a tag ("" for none), or None when a value is outside the Greek tag set."""
    if len(tag) != 9 or tag[0] not in PART_OF_SPEECH:
        return None
    pos, marks = tag[0], []
    for value, table in zip(tag[1:], POSITIONS):
        if value != "-" and value not in table:
            return None
        marks.append(table.get(value))
    person, number, tense, mood, voice, gender, case, degree = marks
    if pos == "n":
        gender = None  # a noun's gender is its lemma's, not its form's
    if pos == "v" and mood in FINITE:
        parts = [number, tense, mood, voice]
    elif pos == "v" and mood == "inf.":
        parts = [tense, mood, voice]
    elif pos == "v" and mood == "ptc.":
        parts = [case, number, gender, tense, mood, voice]
    else:
        parts = [case, number, gender, degree]
        if PART_OF_SPEECH[pos] and (pos == "d" or not any(parts)):
            parts.insert(0, PART_OF_SPEECH[pos])
    text = " ".join(f"<m>{p}</m>" for p in parts if p)
    if pos == "v" and person and mood in FINITE:
        text = f"{person} {text}"
    return text


Entry = collections.namedtuple("Entry", "keyword lemma analysis middle count")


class Treebank:
    """The treebank's rows as entries, and the rows skipped by reason."""

    def __init__(self):
        self.rows = self.words = 0
        self.skipped = collections.Counter()        # reason -> rows
        self.skipped_words = collections.Counter()  # reason -> words
        self.entries = []
        self.skipped_rows = []                      # (form, lemma, reason, words)

    def read(self, path):
        with open(path, encoding="utf-8") as tsv:
            for line in tsv:
                if line.startswith("#") or not line.strip():
                    continue
                self.rows += 1
                fields = line.rstrip("\r\n").split("\t")
                try:
                    form, lemma, tag, count = fields
                    count = int(count)
                except ValueError:
                    self._skip("malformed row", 0)
                    continue
                self.words += count
                self.add(form, lemma, tag, count)
        return self

    def _skip(self, reason, count, form="", lemma=""):
        self.skipped[reason] += 1
        self.skipped_words[reason] += count
        self.skipped_rows.append((form, lemma, reason, count))

    def add(self, form, raw_lemma, tag, count):
        if tag[:1] == "u":
            return self._skip("punctuation tag", count, form, raw_lemma)
        text = analysis(tag)
        if text is None:
            return self._skip("tag outside the Greek tag set", count, form, raw_lemma)
        if "-" in form:
            return self._skip("part of a word split with a hyphen (crasis)", count, form, raw_lemma)
        lemma, reason = clean_lemma(raw_lemma)
        if lemma is None:
            return self._skip(reason, count, form, raw_lemma)
        keyword = spelling(form)
        if not keyword:
            return self._skip("no letters", count, form, raw_lemma)
        if any(c not in LETTERS for c in keyword):
            return self._skip("form is not Greek letters", count, form, raw_lemma)
        if not lemma[0].isupper():
            keyword = lowercase(keyword)
        self.entries.append(Entry(keyword, lemma, text, tag[5] in "mpe", count))


def lemma_names(entries, keywords):
    """(name, ill_formed): name(lemma, middle) is the name a treebank lemma is
    given in the articles; ill_formed holds the names still spelled amiss."""
    totals = collections.Counter()
    for entry in entries:
        totals[entry.lemma] += entry.count
    by_frequency = sorted(totals.items(), key=lambda item: (-item[1], item[0]))
    formed = {lemma: well_formed(lemma) for lemma in totals}
    best, capital = {}, {}
    for lemma, count in by_frequency:
        if formed[lemma]:
            best.setdefault(skeleton(lemma), lemma)
        if lemma[0].isupper():
            capital.setdefault(lowercase(lemma), (lemma, count))
    names = {}
    for lemma, count in totals.items():
        name = lemma
        if not formed[lemma] and skeleton(lemma) in best:
            name = best[skeleton(lemma)]
        elif name in capital and capital[name][1] >= MERGE_RATIO * count:
            name = capital[name][0]  # ζεύς beside Ζεύς
        names[lemma] = LEMMA_OF.get(name, name)
    spelt = {orthographic(keyword): keyword for keyword in sorted(keywords)}
    middles = {}
    for keyword in keywords:
        if keyword.endswith("ομαι"):
            middles.setdefault(skeleton(keyword)[:-4] + "ω", keyword)
    for lemma, name in names.items():
        if name not in keywords and orthographic(name) in spelt:
            names[lemma] = spelt[orthographic(name)]

    def name(lemma, middle=False):
        named = names[lemma]
        if middle and named not in keywords and named.endswith("ω"):
            return middles.get(skeleton(named), named)
        return named

    return name, {named for named in names.values() if named in formed and not formed[named]}


def is_noise(count, top):
    return (count <= RARE and top >= NOISE_RATIO * count) or top >= SHARE_RATIO * count


def ranked(counter):
    return sorted(counter.items(), key=lambda item: (-item[1], item[0]))


Form = collections.namedtuple("Form", "keyword lemmas alias")  # lemmas: [(lemma, [analyses])]


def build_forms(entries, name, ill_formed):
    """{keyword in lowercase: Form}; alias maps each name of the treebank's lemmas
    to the lemma its words are counted under (None when dropped as noise)."""
    groups = collections.defaultdict(lambda: (collections.Counter(), collections.defaultdict(collections.Counter)))
    for entry in entries:
        spellings, lemmas = groups[lowercase(entry.keyword)]
        spellings[entry.keyword] += entry.count
        lemmas[name(entry.lemma, entry.middle)][entry.analysis] += entry.count
    forms = {}
    for folded, (spellings, lemmas) in groups.items():
        totals = {lemma: sum(analyses.values()) for lemma, analyses in lemmas.items()}
        merged, alias = {}, {}
        for lemma, total in ranked(totals):
            major = next((m for m in merged if skeleton(m) == skeleton(lemma)
                          and totals[m] >= MERGE_RATIO * total), None)
            if major:
                merged[major].update(lemmas[lemma])
            else:
                merged[lemma] = collections.Counter(lemmas[lemma])
            alias[lemma] = major or lemma
        totals = {lemma: sum(analyses.values()) for lemma, analyses in merged.items()}
        top = max(totals.values())
        top_formed = max((t for lemma, t in totals.items() if lemma not in ill_formed), default=0)
        kept = []
        for lemma, total in ranked(totals):
            if is_noise(total, top) or (lemma in ill_formed and top_formed > total):
                continue
            best = max(merged[lemma].values())
            kept.append((lemma, [a for a, c in ranked(merged[lemma]) if not is_noise(c, best)]))
        names_kept = {lemma for lemma, _ in kept}
        alias = {lemma: major if major in names_kept else None for lemma, major in alias.items()}
        forms[folded] = Form(ranked(spellings)[0][0], kept, alias)
    return forms


def line_of(lemma, analyses):
    """A lemma's line. The lemma is keyword letters alone, so it needs no escaping,
    and is left spelled as keyed (escaping would compose oxia back into tonos)."""
    shown = [a for a in analyses if a]
    return ("; ".join(shown) + " от " if shown else "от ") + lemma


def lemma_of_line(line):
    """The lemma a line names: its last word (the convention the lookup relies on)."""
    words = line.split()
    return spelling(words[-1]) if words else ""


class Handwritten:
    """A form dictionary as written: header, marks and articles (keyword, lines)."""

    def __init__(self, path):
        text = pathlib.Path(path).read_bytes().decode("utf-16-le").lstrip("\ufeff")
        self.header, self.marks, self.articles = {}, {}, []
        section, article = None, None
        for line in text.replace("\r\n", "\n").split("\n"):
            if section:
                if line == f"</{section}>":
                    section = None
                elif "=" in line:
                    key, value = line.split("=", 1)
                    (self.header if section == "header" else self.marks)[key] = value
            elif line in ("<header>", "<mark>"):
                section = line[1:-1]
            elif line.startswith("#"):
                article = (line[1:], [])
                self.articles.append(article)
            elif not line.strip():
                article = None
            elif article:
                article[1].append(line)


def generate(treebank, handwritten, keywords):
    """(header, marks, articles, details for the report)."""
    name, ill_formed = lemma_names(treebank.entries, keywords)
    forms = build_forms(treebank.entries, name, ill_formed)
    articles = {}  # keyword in lowercase -> (keyword, lines, lemmas named)
    stats = collections.Counter()
    for folded, form in forms.items():
        if not form.lemmas:
            continue
        # A form that is its only lemma needs no article where a dictionary
        # explains the lemma; elsewhere its analysis is all the reader gets.
        if len(form.lemmas) == 1 and lowercase(form.lemmas[0][0]) == folded and form.lemmas[0][0] in keywords:
            stats["keywords equal to their only lemma, left out"] += 1
            continue
        articles[folded] = (form.keyword, [line_of(lemma, analyses) for lemma, analyses in form.lemmas],
                            [lemma for lemma, _ in form.lemmas])
    stats["articles from the treebank"] = len(articles)
    written = set()
    for keyword, lines in handwritten.articles:
        folded = lowercase(spelling(keyword))
        named = [lemma_of_line(line) for line in lines]
        if folded in written:  # keywords equal but for case: one article, as for the treebank's
            first, first_lines, first_named = articles[folded]
            articles[folded] = (first, first_lines + lines, first_named + named)
        elif folded in articles:
            stats["hand-written articles that the treebank adds to"] += 1
            _, tree_lines, tree_lemmas = articles[folded]
            extra = [(line, lemma) for line, lemma in zip(tree_lines, tree_lemmas) if lemma not in named]
            articles[folded] = (keyword, lines + [line for line, _ in extra], named + [lemma for _, lemma in extra])
        else:
            stats["hand-written articles alone"] += 1
            articles[folded] = (keyword, list(lines), named)
        written.add(folded)
    ordered = sorted(articles.values(), key=lambda article: (skeleton(article[0]), article[0]))
    used = {mark for _, lines, _ in ordered for line in lines for mark in re.findall(r"<m>(.*?)</m>", line)}
    marks = dict(handwritten.marks)
    marks.update({mark: MARKS[mark] for mark in used if mark not in marks and mark in MARKS})
    header = {"caption": handwritten.header.get("caption", "Формы"), "comment": HEADER_COMMENT,
              "kind": "form", "language": "ancientgreek"}
    details = {"forms": forms, "articles": articles, "name": name, "stats": stats}
    return header, marks, [(keyword, lines) for keyword, lines, _ in ordered], details


def coverage(treebank, details, keywords):
    """Words by where their form leads: "named" (its keyword's article names its
    lemma), "itself" (the keyword is the lemma), "reached" (either, and the lemma
    is a keyword of the dictionaries); and the words missed, by (form, lemma, cause)."""
    forms, articles, name = details["forms"], details["articles"], details["name"]
    figures = collections.Counter()
    misses = collections.Counter()
    for entry in treebank.entries:
        folded = lowercase(entry.keyword)
        named = name(entry.lemma, entry.middle)
        lemma = forms[folded].alias.get(named)
        if folded in articles and lemma in articles[folded][2]:
            figures["named"] += entry.count
        elif lemma and lowercase(lemma) == folded:
            figures["itself"] += entry.count
        else:
            top = forms[folded].lemmas[0][0] if forms[folded].lemmas else "-"
            misses[(entry.keyword, entry.lemma, f"noise beside {top}")] += entry.count
            continue
        if lemma in keywords:
            figures["reached"] += entry.count
    for form, lemma, reason, count in treebank.skipped_rows:
        misses[(form, lemma, reason)] += count
    return figures, misses


def dictionary_keywords(paths):
    keywords = set()
    for path in paths:
        text = pathlib.Path(path).read_bytes().decode("utf-16-le")
        keywords.update(spelling(m.group(1)) for m in re.finditer(r"(?m)^#([^\r\n]+)", text))
    return keywords


def write(data, output):
    """The file replaced whole, never left half-written."""
    output.parent.mkdir(parents=True, exist_ok=True)
    with tempfile.NamedTemporaryFile(dir=output.parent, prefix=output.name + ".", delete=False) as temporary:
        temporary.write(data)
    os.chmod(temporary.name, 0o644)
    os.replace(temporary.name, output)


def report(treebank, details, keywords, misses_shown, out):
    def share(part, whole):
        return f"{100.0 * part / whole:.1f}%" if whole else "-"

    print(f"read {treebank.rows} rows ({treebank.words} words)", file=out)
    for reason, rows in sorted(treebank.skipped.items(), key=lambda item: (-item[1], item[0])):
        print(f"  skipped {rows} rows ({treebank.skipped_words[reason]} words): {reason}", file=out)
    print(f"{len(details['forms'])} keywords from the treebank; {len(details['articles'])} articles", file=out)
    for what, n in sorted(details["stats"].items()):
        print(f"  {what}: {n}", file=out)
    figures, misses = coverage(treebank, details, keywords)
    named, itself = figures["named"], figures["itself"]
    print(f"words whose keyword's article names their lemma: {named} of {treebank.words} "
          f"({share(named, treebank.words)}); with the words that are their lemma: "
          f"{named + itself} ({share(named + itself, treebank.words)})", file=out)
    if keywords:
        words = collections.Counter()
        for entry in treebank.entries:
            words[details["name"](entry.lemma, entry.middle)] += entry.count
        plain = {skeleton(keyword) for keyword in keywords}
        exact = [lemma for lemma in words if lemma in keywords]
        close = [lemma for lemma in words if lemma not in keywords and skeleton(lemma) in plain]
        print(f"lemmas that are keywords of the dictionaries: {len(exact)} of {len(words)}, with "
              f"{share(sum(words[lemma] for lemma in exact), treebank.words)} of the words; "
              f"{len(close)} more alike but for accents, breathings or case, with "
              f"{share(sum(words[lemma] for lemma in close), treebank.words)}", file=out)
        print(f"words led so to an article of the dictionaries: {figures['reached']} "
              f"({share(figures['reached'], treebank.words)})", file=out)
    for (form, lemma, cause), count in misses.most_common(misses_shown):
        print(f"  missed {count:5} {form} ({lemma}): {cause}", file=out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--treebank", type=pathlib.Path, default=TREEBANK)
    parser.add_argument("--handwritten", type=pathlib.Path, default=HANDWRITTEN)
    parser.add_argument("--dictionaries", type=pathlib.Path, nargs="*", default=DICTIONARIES,
                        help="source dictionaries whose keywords name the lemmas where spellings differ")
    parser.add_argument("-o", "--output", type=pathlib.Path, required=True)
    parser.add_argument("--misses", type=int, default=0, metavar="N",
                        help="list the N commonest words whose keyword's article does not name their lemma")
    args = parser.parse_args()
    started = time.perf_counter()
    try:
        treebank = Treebank().read(args.treebank)
        handwritten = Handwritten(args.handwritten)
        keywords = dictionary_keywords(args.dictionaries)
    except (OSError, UnicodeDecodeError) as error:
        print(f"cannot read the input: {error}", file=sys.stderr)
        return 1
    header, marks, articles, details = generate(treebank, handwritten, keywords)
    data = kds_writer.render(header, marks, articles)
    write(data, args.output)
    print(f"wrote {args.output}: {len(articles)} articles, {len(data)} bytes, "
          f"in {time.perf_counter() - started:.1f} s", file=sys.stderr)
    report(treebank, details, keywords, args.misses, sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
