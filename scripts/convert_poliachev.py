#!/usr/bin/env python3
"""Writes data/latin/poliachev.kds, a Latin–Russian dictionary made by turning
around Поляшев's Russian–Latin dictionary (poliachev2002-ru-la.txt).

The source is blocks separated by empty lines: a Russian headword line (";"
between variants), then definition lines of Latin equivalents separated by
";", each with its inflection in "[ ]", a line "1. label" before the
definition of a sense, examples on lines "+ russian latin" (or <ex> lines),
references "см. word". "%abbr.%" is an abbreviation, "_text_" italics.

The source's typos and glued words are mended first from the errata table
beside this script (poliachev_errata.tsv); Latin look-alike letters inside
Russian words (an accented ó as a stressed о) and Cyrillic ones inside Latin
words are mended everywhere, and a word's last letters typed after its
inflection ("lab [or, lapsus sum]i") go back to it.

Every equivalent becomes a keyword: the Latin words before its first comma,
without inflection, parentheses and marks, spaces as "_", quantity marks
dropped; letters in parentheses inside a word ("ex(s)pectare") give both
spellings, one article under each. A verb given with its principal parts
stands under its first person, the parts written once: the spellings of the
same parts are one verb, the form the Collatinus lexicon confirms (else the
commoner) shown, another confirmed form after «или». The source often
gives the wrong conjugation: a long ē in the infinitive makes the first
person the second conjugation's (deridēre: derideo), else the lexicon's
verb with that infinitive decides (solvere: solvo), and a passive infinitive
stands under its active verb (ferri: fero). The infinitive's
article only names the verb ("<h>amare</h> <m>inf.</m> от amo", as the form
dictionaries do), and what the source gives under a bare infinitive goes to
the verb.

An article lists the Russian words its keyword translates, the most central
first: the one where the keyword stands earliest among the equivalents, then
in the earliest sense, then with the most examples, then the commoner Russian
word; never by the Russian alphabet. Under each stand the examples of that
Russian word that hold a form of the keyword as a whole word (the Collatinus
paradigms where the lexicon has the lemma, else its stem and a Latin ending).
--check compares with the committed file.
"""
import argparse
import collections
import functools
import itertools
import pathlib
import re
import sys
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import kds_writer  # noqa: E402
import gen_latin_forms  # noqa: E402

SOURCE = kds_writer.RAW / "poliachev2002-ru-la.txt"
OUTPUT = kds_writer.REPOSITORY / "data" / "latin" / "poliachev.kds"
ERRATA = pathlib.Path(__file__).resolve().parent / "poliachev_errata.tsv"
COLLATINUS = kds_writer.REPOSITORY / "third_party" / "collatinus"

HEADER = {
    "caption": "Латинско-русский словарь по Поляшеву",
    "comment": "Обращение словаря: М. П. Поляшев, Большой русско-латинский словарь, 2002 (общественное достояние). "
               "Латинские соответствия русских слов стали заглавными словами; глагол стоит под первым лицом "
               "с основными формами, инфинитив отсылает к нему. При каждом слове перечислены русские слова, "
               "которые оно переводит, первым самое употребительное (где латинское слово стоит в русской статье "
               "первым), и примеры, в которых встречается его форма. Опечатки источника исправлены по списку "
               "scripts/poliachev_errata.tsv. Формы слов проверены по лексическим данным Collatinus. "
               "Обращён автоматически программой scripts/convert_poliachev.py, не вычитан.",
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
LATIN = re.compile(r"[A-Za-z]")
# Cyrillic letters typed for their Latin look-alikes inside Latin words, and back.
LOOK_ALIKES = str.maketrans("аеорсухўАВЕКМНОРСТХ", "aeopcyxyABEKMHOPCTX")
CYRILLIC_LOOK_ALIKES = str.maketrans("aeopcyxABEKMHOPCTX", "аеорсухАВЕКМНОРСТХ")


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


# --- mending the source -----------------------------------------------------

# A word's last letters typed after its inflection: "lab [or, lapsus sum]i",
# "collaborato [oris, m]r" are labi, collaborator.
WORD_END_AFTER_INFLECTION = re.compile(r"(?<![\w\[])([a-z]+) \[([^\[\]\n]*)\]([a-z]{1,2})(?!\w)")


class Mender:
    """The errata table and the look-alike letters, with what each mended."""

    def __init__(self, errata):
        self.errata = errata  # [(source text, correction, reason)]
        self.patterns = [(re.compile(r"(?<!\w)" + re.escape(s) + r"(?!\w)"), c) for s, c, _ in errata]
        self.applied = collections.Counter()  # source text: times
        self.look_alikes = collections.Counter()  # "latin in russian" / "cyrillic in latin": words
        self.moved_endings = 0  # words whose last letters stood after their inflection

    def text(self, text):
        """The raw text with the errata applied (before it is split in blocks:
        some glue words across a line)."""
        for (source, _, _), (pattern, correction) in zip(self.errata, self.patterns):
            text, count = pattern.subn(correction.replace("\\", "\\\\"), text)
            self.applied[source] += count
        text, self.moved_endings = WORD_END_AFTER_INFLECTION.subn(r"\1\3 [\2]", text)
        return text

    def line(self, line):
        """The few HTML tags as the source's own mark-up; a word of both
        scripts is written in the one most of its letters are."""
        line = re.sub(r"</?b>", "", re.sub(r"<i>(.*?)</i>", r"_\1_", line))
        return re.sub(r"\w+", self._word, line)

    def _word(self, match):
        word = match.group(0)
        # An accented Latin letter counts as its letter: "бóльшие" has a Latin ó
        # for a stressed о, which becomes о with a combining acute.
        decomposed = unicodedata.normalize("NFD", word)
        cyrillic, latin = len(CYRILLIC.findall(decomposed)), len(LATIN.findall(decomposed))
        if not cyrillic or not latin:
            return word
        if cyrillic > latin:
            mended = unicodedata.normalize("NFC", decomposed.translate(CYRILLIC_LOOK_ALIKES))
            if not LATIN.search(unicodedata.normalize("NFD", mended)):
                self.look_alikes["latin in russian"] += 1
                return mended
            return word
        self.look_alikes["cyrillic in latin"] += 1
        return word.translate(LOOK_ALIKES)

    def kinds(self):
        """Errata applied by kind: glued words, Russian typos, Latin typos."""
        kinds = collections.Counter()
        for source, correction, _ in self.errata:
            if self.applied[source]:
                kinds[erratum_kind(source, correction)] += self.applied[source]
        return kinds


def erratum_kind(source, correction):
    if re.sub(r"[\s/,]", "", correction) == source.replace(" ", "") and correction.count(" ") > source.count(" "):
        return "glued words"
    return "Russian typos" if len(CYRILLIC.findall(source)) > len(LATIN.findall(source)) else "Latin typos"


def read_errata(path):
    """(source text, correction, reason) of the errata table: tab-separated,
    "#" lines comments."""
    if not path.exists():
        return []
    errata = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 3 or not all(f.strip() for f in fields):
            raise ValueError(f"{path}:{number}: want source, correction and reason separated by tabs")
        errata.append(tuple(f.strip() for f in fields))
    return errata


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


def read_blocks(text):
    lines = [line.rstrip() for line in text.split("\n") if not line.startswith("###")]
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


# Letters in parentheses inside a word, or before one: the word's optional letters.
OPTIONAL = re.compile(r"(?<=[^\W\d_])\(([a-z]{1,5})\)|\(([a-z]{1,5})\)(?=[^\W\d_])")


def spellings(text):
    """The text with and without each group of optional letters, the full
    spelling first (at most a few groups)."""
    groups = list(OPTIONAL.finditer(text))[:3]
    if not groups:
        return [text]
    result = []
    for choice in itertools.product((True, False), repeat=len(groups)):
        out, at = [], 0
        for keep, group in zip(choice, groups):
            out.append(text[at:group.start()])
            out.append(group.group(1) or group.group(2) if keep else "")
            at = group.end()
        out.append(text[at:])
        result.append("".join(out))
    return result


def keyword_of(equivalent):
    """The keywords of an equivalent (more than one where it has optional
    letters), or None with the reason it has none."""
    head = split_top(equivalent, ",")[0]
    result = []
    for spelled in spellings(head):
        spelled = re.sub(r"%[^%]*%|_[^_]*_", " ", outside_groups(spelled))
        words = plain(spelled.replace("*", " ")).split()
        while words and CYRILLIC.search(words[0]):
            words.pop(0)  # Russian words that a sense's equivalent may follow
        if not words:
            return None, "no Latin word"
        bad = sorted({c for w in words for c in w if not ("a" <= c <= "z" or "A" <= c <= "Z")})
        if bad:
            return None, "not keyword letters: " + " ".join(repr(c) for c in bad)
        if len(words) == 1 and is_lone_ending(words[0], equivalent):
            return None, "an inflection ending, not a word"
        keyword = "_".join(words)
        if keyword not in result:
            result.append(keyword)
    return result, None


# Endings that the source writes after a word's inflection for its other
# gender ("studiosus [i, m], a [ae, f]"); with an inflection that declines
# them they are never a word of their own.
LONE_ENDINGS = {"a": ("ae",), "ae": ("arum",), "um": ("i",), "us": ("i",), "ra": ("rae",), "rum": ("ri",),
                "trix": ("tricis", "icis"), "ix": ("icis",), "e": ("is",), "is": ("e",)}


def is_lone_ending(word, equivalent):
    inflection = re.search(r"\[([^\]]*)\]", equivalent)
    first = inflection.group(1).split(",")[0].strip() if inflection else ""
    return word in LONE_ENDINGS and first in LONE_ENDINGS[word]


# First-person endings that inflections of verbs begin with, as in "facere [io, feci, factum]".
PERSON_ENDINGS = ("o", "eo", "io", "or", "eor", "ior")
INFINITIVE_ENDINGS = ("are", "ere", "ire", "ari", "eri", "iri")


def inflection_of(equivalent):
    """The inflection of an equivalent: what its brackets hold, or the parts
    after the head's comma ("effodere, o, fodi, fossum")."""
    core, _ = core_and_comments(equivalent)
    words = core.split(" ")
    while words and CYRILLIC.search(words[0]):
        words.pop(0)  # Russian words that a sense's equivalent may follow
    core = OPTIONAL.sub("", " ".join(words))
    bracket = re.match(r"\W*[^\s\[,(]+\s*\[([^\]]*)\]", core)
    pieces = split_top(core, ",")
    if bracket:
        return bracket.group(1)
    return ", ".join(p.strip() for p in pieces[1:4]) if len(pieces) > 1 else ""


def first_person(infinitive, equivalent, lexicon=None):
    """The dictionary form (first person) of a verb given in the infinitive
    with its inflection ("amare [1]", "habere [eo, ui, itum]",
    "effodere, o, fodi, fossum"), or None when the equivalent is no such verb.
    With a lexicon, the conjugation the source gives is checked: it often
    writes "o" for "eo" and back (deridēre [o, ...], solvere [eo, ...])."""
    given = given_first_person(infinitive, equivalent)
    if given is None or lexicon is None:
        return given
    return settled_first_person(given, infinitive, equivalent, lexicon)


def settled_first_person(given, infinitive, equivalent, lexicon):
    """The first person of the verb whose infinitive this is: a long ē in
    the source's infinitive is the second conjugation's; else the given one
    where the lexicon has it, else the lexicon's verb with that infinitive:
    a passive infinitive stands under its active verb (ferri, requiri: fero,
    requiro), as a Latin dictionary gives it."""
    if infinitive.endswith(("ere", "eri")) and not given.endswith(("eo", "eor")) \
            and long_e_infinitive(infinitive, equivalent):
        return infinitive[:-3] + ("eo" if infinitive.endswith("ere") else "eor")
    if lexicon.has_infinitive(given, infinitive):
        return given
    if given.endswith("r"):
        verb = lexicon.verb_of_passive(infinitive)
        return verb or given
    return lexicon.verb_of_infinitive(infinitive) or given


def long_e_infinitive(infinitive, equivalent):
    """Whether the source writes the infinitive with a long ē (habēre)."""
    head = unicodedata.normalize("NFC", split_top(equivalent, ",")[0].split("[")[0])
    return any(word.endswith(("ēre", "ēri")) and plain(word) == infinitive for word in re.findall(r"\w+", head))


def settled_inflection(inflection, infinitive, lemma):
    """The inflection with its person ending that of the verb it stands
    under ("o, risi, risum" of derideo is "eo, risi, risum")."""
    parts = inflection.split(",")
    base = verb_base(infinitive)
    ending = lemma[len(base):] if lemma.startswith(base) else None
    first = plain(parts[0].strip())
    # A passive's parts stay as given under its active verb (collocari [or, atus sum]: colloco).
    if first in PERSON_ENDINGS and ending in PERSON_ENDINGS and first.endswith("r") == ending.endswith("r"):
        parts[0] = parts[0][:len(parts[0]) - len(parts[0].lstrip())] + ending
    return ",".join(parts)


def given_first_person(infinitive, equivalent):
    first = plain(inflection_of(equivalent).split(",")[0].strip())
    if first == "1":
        if infinitive.endswith("are"):
            return infinitive[:-3] + "o"
        return infinitive[:-3] + "or" if infinitive.endswith("ari") else None
    if first == "4" and infinitive.endswith(("ire", "iri")):
        return infinitive[:-3] + ("io" if infinitive.endswith("ire") else "ior")
    if first in PERSON_ENDINGS:
        if infinitive[-3:] in INFINITIVE_ENDINGS:
            return infinitive[:-3] + first
        return infinitive[:-1] + first if infinitive.endswith("i") and first.endswith("r") else None
    # A whole first person, as "inferre [infero, intuli, illatum]", "dare [do, dedi, datum]", "fari [for, fatus sum]".
    if re.fullmatch(r"[a-z]+or?", first) and infinitive.startswith(first[:max(1, len(first) - 3)]):
        return first
    return None


GENDER_CODES = {"m", "f", "n", "c", "pl", "mpl", "fpl", "npl"}


def nominal(equivalent):
    """Whether the equivalent's inflection is a noun's or an adjective's."""
    codes = [plain(c).strip(" .") for c in re.split(r"[,\s]+", inflection_of(equivalent)) if c.strip()]
    return any(c in GENDER_CODES for c in codes) or codes[:2] == ["a", "um"] or codes[:1] == ["um"]


def verb_base(infinitive):
    for ending in INFINITIVE_ENDINGS + ("i",):
        if infinitive.endswith(ending) and len(infinitive) > len(ending):
            return infinitive[:-len(ending)]
    return infinitive


def attach(base, tail):
    """A principal part written as its tail ("cessi" of abscedere) in full:
    the tail takes the place of the stem's letters from where they agree
    (abs-cessi), else follows the stem (hab-ui, duc-xi as duxi)."""
    for length in (2, 1):
        at = base.rfind(tail[:length])
        if at >= 0 and len(tail) >= length:
            return base[:at] + tail
    if tail.startswith("x") and base.endswith(("c", "g", "h")):
        return base[:-1] + tail
    if tail.startswith("x") and base.endswith(("qu", "gu")):
        return base[:-2] + tail
    return base + tail


# Collatinus's morphology numbers of the first person of the perfect and of
# the supine or perfect participle.
PERFECTS = {139}
SUPINES = {265} | set(range(303, 339)) | set(range(375, 411))
CONJUGATIONS = {"1": ("avi", "atum"), "4": ("ivi", "itum"), "2": ("ui", "itum")}


def principal_parts(infinitive, lemma, equivalent):
    """(infinitive, perfect, supine stem) in full, None where not given
    ("-"); the supine's stem, as the source writes a deponent's participle,
    or a supine in -us, in its place."""
    inflection = plain(inflection_of(equivalent))
    parts = [p.strip() for p in inflection.split(",")]
    base = verb_base(infinitive)
    if parts[0] in CONJUGATIONS:
        perfect, supine = CONJUGATIONS[parts[0]]
        if infinitive.endswith(("ari", "iri")):
            return (infinitive, None, base + supine[:-2])
        return (infinitive, base + perfect, base + supine[:-2])
    perfect = supine = None
    for part in parts[1:3]:
        part = part.replace(" sum", "").strip()
        if not part or not re.fullmatch(r"[a-z]+", part):
            continue
        if not (part.startswith(lemma[:max(2, len(lemma) - 3)]) and len(part) >= len(lemma) - 1):
            part = attach(base, part)  # else written in full: dedi, datum
        if part.endswith(("um", "us")):
            supine = supine or part[:-2]
        else:
            perfect = perfect or part
    return (infinitive, perfect, supine)


# --- the Collatinus lexicon -------------------------------------------------

class Lexicon:
    """The lemmas of the Collatinus data and their forms, made on demand with
    the paradigms gen_latin_forms.py reads."""

    def __init__(self, folder):
        self.data = gen_latin_forms.Collatinus(folder)
        self.by_name = collections.defaultdict(list)
        keys = set()
        for lemma in self.data.lemmas + self.data.extension:
            if lemma.key in keys and lemma in self.data.extension:
                continue
            keys.add(lemma.key)
            for name in {lemma.name} | {gen_latin_forms.plain(c) for c in lemma.canonical}:
                self.by_name[gen_latin_forms.fold(name)].append(lemma)
        self.irregulars = collections.defaultdict(list)
        for irregular in self.data.irregulars:
            self.irregulars[irregular.lemma].append(irregular)
        # The lexicon keys a prefix unassimilated (adstringo); the source often
        # writes it assimilated (astringere).
        self.assimilated = sorted(((gen_latin_forms.fold(a), gen_latin_forms.fold(u))
                                   for u, a in self.data.spellings.assimilations), key=lambda p: -len(p[0]))

    def key(self, word):
        """The lexicon's folded name for the word, or None."""
        folded = gen_latin_forms.fold(word)
        if folded in self.by_name:
            return folded
        for assimilated, written in self.assimilated:
            if folded.startswith(assimilated) and written + folded[len(assimilated):] in self.by_name:
                return written + folded[len(assimilated):]
        return None

    def __contains__(self, word):
        return self.key(word) is not None

    @functools.lru_cache(maxsize=None)
    def forms(self, word):
        """folded form: morphology numbers, of all the lemmas written so."""
        result = collections.defaultdict(set)
        for lemma in self.by_name.get(self.key(word), ()):
            model = self.data.models.get(lemma.model_name)
            if model is None:
                continue
            made = gen_latin_forms.inflect(lemma, model, self.irregulars.get(lemma.key, ()), self.data.spellings)
            for form, morphs in made.items():
                result[gen_latin_forms.fold(form)] |= morphs
        return result

    def has_infinitive(self, verb, infinitive):
        """Whether the lexicon's verb has this present infinitive, active or passive."""
        return bool(self.forms(verb).get(gen_latin_forms.fold(infinitive), set()) & {187, 302})

    def verb_of_passive(self, infinitive):
        """The active first person of the lexicon's verb whose present passive
        infinitive this is (ferri: fero, requiri: requiro), or None."""
        for lemma in (infinitive[:-1] + "o", infinitive[:-2] + "o", infinitive[:-3] + "o", infinitive[:-3] + "eo",
                      infinitive[:-3] + "io"):
            if len(lemma) > 2 and 302 in self.forms(lemma).get(gen_latin_forms.fold(infinitive), set()):
                return lemma
        return None

    def verb_of_infinitive(self, infinitive):
        """The first person of the lexicon's verb that has this present
        infinitive, or None."""
        base = verb_base(infinitive)
        if base == infinitive or len(base) < 2:
            return None
        candidates = {"are": ("o",), "ere": ("eo", "o", "io"), "ire": ("io", "eo"), "ari": ("or", "o"),
                      "eri": ("eor", "or", "eo", "o"), "iri": ("ior", "io"),
                      "i": ("or", "ior", "o", "io")}[infinitive[len(base):]]
        for ending in candidates:
            lemma = base + ending
            morphs = self.forms(lemma).get(gen_latin_forms.fold(infinitive), set())
            if morphs & {187, 302}:
                return lemma
        # A compound the lexicon lacks conjugates as its verb (circumvehere: veho).
        for prefix in PREFIXES:
            rest = infinitive[len(prefix):]
            if infinitive.startswith(prefix) and len(rest) >= 5:
                verb = self.verb_of_infinitive(rest)
                if verb:
                    return prefix + verb
        return None


# Prefixes of compound verbs, longest first.
PREFIXES = ("circum", "super", "trans", "inter", "intro", "contra", "praeter", "prae", "post", "retro", "subter",
            "ante", "dis", "per", "pro", "sub", "con", "com", "co", "de", "ex", "in", "ob", "ab", "ad", "re", "se")


class NoLexicon:
    """Where the Collatinus data are missing: every word is unknown."""

    def __contains__(self, word):
        return False

    def forms(self, word):
        return {}

    def verb_of_infinitive(self, infinitive):
        return None

    def verb_of_passive(self, infinitive):
        return None

    def has_infinitive(self, verb, infinitive):
        return False


# Endings a word unknown to the lexicon may take on its stem in an example.
ENDINGS = sorted({
    "", "a", "ae", "am", "arum", "as", "is", "ibus", "e", "em", "es", "i", "o", "orum", "os", "um", "us", "u",
    "ua", "uum", "ui", "ium", "ia", "ei", "ebus", "erum", "ibus", "ique", "ae", "abus", "ior", "ius", "ioris",
    "iori", "iorem", "iore", "iores", "iorum", "ioribus", "issimus", "issima", "issimum", "e", "er", "ter",
    "t", "nt", "mus", "tis", "s", "tur", "ntur", "re", "ri", "ndum", "ndi", "ndo", "ndus", "nda", "ndae",
    "ns", "ntis", "nti", "ntem", "nte", "ntes", "ntium", "ntibus", "tum", "tus", "ta", "to", "tae", "ti",
    "bat", "bant", "bit", "bunt", "at", "ant", "et", "ent", "it", "unt", "ere", "are", "ire", "eri", "ari",
    "iri", "isse", "it", "erunt", "avit", "averunt", "atus", "atum", "ata", "ando", "andi", "andum", "ans",
    "antis", "endo", "endi", "endum", "ens", "entis", "atur", "antur", "etur", "entur", "itur", "untur",
    "amus", "atis", "emus", "etis", "imus", "itis"}, key=len, reverse=True)
STEM_ENDINGS = ("ius", "ium", "ia", "us", "um", "is", "es", "or", "er", "ae", "a", "e", "o", "i", "x", "s")


def stem(word):
    for ending in STEM_ENDINGS:
        if word.endswith(ending) and len(word) - len(ending) >= 3:
            return word[:-len(ending)]
    return word


def form_of(word, lemma, lexicon, also=()):
    """Whether the example's word is a form of the lemma (or of the words
    also given, an infinitive's own spelling)."""
    folded = gen_latin_forms.fold(word)
    for name in (lemma,) + tuple(also):
        if folded == gen_latin_forms.fold(name):
            return True
        if name in lexicon:
            if folded in lexicon.forms(name):
                return True
            continue
        base = gen_latin_forms.fold(stem(name))
        if len(base) >= 3 and folded.startswith(base) and folded[len(base):] in ENDINGS:
            return True
    return False


def occurs(keyword, example, lexicon, also=()):
    """Whether each word of the keyword stands in the example as a whole word,
    in one of its forms."""
    words = re.findall(r"[a-z]+", plain(example).lower())
    alternates = [a.split("_") for a in also]
    for i, part in enumerate(keyword.lower().split("_")):
        others = tuple(a[i].lower() for a in alternates if len(a) > i)
        if not any(form_of(w, part, lexicon, others) for w in words):
            return False
    return True


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
    words that both have their inflection ("X [is, f], Y [i, m]"), but not
    before an ending of the other gender ("studiosus [i, m], a [ae, f]")."""
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


Entry = collections.namedtuple("Entry", "headword label sense equivalents examples order")


def read_entries(blocks, mender):
    """The senses of the source: Russian headword, its label, the sense's
    number in its entry, the equivalents, the entry's examples, source order."""
    entries = []
    for block in blocks:
        headword = ", ".join(w.strip() for w in mender.line(block[0]).split(";"))
        senses, examples, label = [], [], None
        for line in block[1:]:
            line = mender.line(line)
            if line.startswith(("+ ", "<ex>")):
                examples.append(split_example(line))
            elif line.startswith("см.") or not line.strip():
                continue
            elif re.match(r"\d+\. ", line):
                label = line.split(". ", 1)[1].strip()
            else:
                senses.append((label, equivalents(line)))
                label = None
        for number, (label, found) in enumerate(senses, 1):
            entries.append(Entry(headword, label, number, found, examples, len(entries)))
    return entries


# --- the articles -----------------------------------------------------------

def russian_frequencies(entries):
    """How often each Russian word stands in the examples: a commoner word
    names the commoner sense."""
    counts = collections.Counter()
    seen = set()
    for entry in entries:
        if id(entry.examples) in seen:
            continue
        seen.add(id(entry.examples))
        for russian, _ in entry.examples:
            counts.update(w.lower() for w in re.findall(r"[а-яё]+", russian.lower()))
    by_stem = collections.Counter()
    for word, count in counts.items():
        for length in range(3, len(word) + 1):
            by_stem[word[:length]] += count
    return by_stem


def russian_stem(headword):
    word = (re.findall(r"[а-яё]+", headword.lower()) or [""])[0]
    return word[:-1] if len(word) >= 5 else word


class Article:
    """What the converter gathers for one keyword (a lemma or a phrase)."""

    def __init__(self, keyword):
        self.keyword = keyword
        self.spellings = [keyword]  # the keywords written with this content
        self.verbs = collections.Counter()  # infinitive: count, where the keyword is a verb's first person
        self.parts = collections.Counter()  # verb: (infinitive, perfect, supine stem): count
        self.shown_parts = {}  # verb: (infinitive, perfect, supine stem): inflections as written
        self.written = collections.Counter()  # core as written: count
        self.senses = {}  # (russian, label): Sense

    @property
    def verb(self):
        """The commonest infinitive (dico: dicere beside dicare), or None."""
        return min(self.verbs, key=lambda v: -self.verbs[v]) if self.verbs else None


class Sense:
    def __init__(self, russian, rank, core):
        self.russian = russian
        self.rank = rank
        self.core = core  # the equivalent without its comments
        self.comments = []
        self.examples = []  # (russian, latin)


def core_and_comments(equivalent):
    """The equivalent without its top-level parenthesised comments, and those."""
    core, comments, depth, start = [], [], 0, 0
    optional = {m.start() for m in OPTIONAL.finditer(equivalent)}
    for i, c in enumerate(equivalent):
        if i in optional and depth == 0:
            depth = -1  # letters of the word, not a comment
        if depth < 0:
            core.append(c)
            depth = 0 if c == ")" else -1
            continue
        if c == "(":
            if depth == 0:
                start = i
            depth += 1
        elif c == ")" and depth:
            depth -= 1
            if depth == 0:
                comments.append(equivalent[start:i + 1])
        elif depth == 0:
            core.append(c)
    return " ".join("".join(core).split()), comments


class Converter:
    def __init__(self, lexicon, spelled):
        self.lexicon = lexicon
        self.spelled = spelled  # letters key: keyword as the source spells it
        self.articles = {}  # letters key: Article
        self.infinitives = collections.defaultdict(collections.Counter)  # infinitive key: verb key: count
        self.aliases = {}  # letters key of a spelling: letters key of its article
        self.skipped = []
        self.counts = collections.Counter()
        self.changed_persons = set()  # (first person the source gives, the one set instead)

    def root(self, key):
        while self.aliases.get(key, key) != key:
            key = self.aliases[key]
        return key

    def article(self, keyword):
        key = self.root(kds_writer.letters_key(keyword))
        if key not in self.articles:
            self.articles[key] = Article(keyword)
        return self.articles[key]

    def first_person(self, infinitive, equivalent):
        given = given_first_person(infinitive, equivalent)
        lemma = first_person(infinitive, equivalent, self.lexicon)
        if lemma != given:
            self.changed_persons.add((given, lemma))
        return lemma

    def convert(self, entries):
        frequencies = russian_frequencies(entries)
        plan = []
        for entry in entries:
            for position, equivalent in enumerate(entry.equivalents):
                keywords, reason = keyword_of(equivalent)
                if keywords is None:
                    self.skipped.append((f"{equivalent} ({entry.headword})", reason))
                    continue
                plan.append((entry, position, equivalent.lstrip("*").strip(), keywords))
        # The verbs first, so that a bare infinitive anywhere finds its verb.
        for entry, position, equivalent, keywords in plan:
            if "_" in keywords[0]:
                continue
            for keyword in keywords:
                lemma = self.first_person(keyword, equivalent)
                if lemma:
                    self.infinitives[kds_writer.letters_key(keyword)][lemma] += 1
        for entry, position, equivalent, keywords in plan:
            rank = (position, entry.sense, entry.order)
            self.add(entry, rank, equivalent, keywords, frequencies)
        return self.render()

    def verb_for(self, infinitive, equivalent):
        """The first person an equivalent stands under, or None: its own
        parts, else the verb the source or the lexicon gives the infinitive
        written bare or with parts mistyped ("[uo, ui, utum]")."""
        if "_" in infinitive:
            return None  # a phrase keeps its own article
        lemma = self.first_person(infinitive, equivalent)
        if lemma or nominal(equivalent):
            return lemma
        known = self.infinitives.get(kds_writer.letters_key(infinitive))
        if known:
            return known.most_common(1)[0][0]
        verb = self.lexicon.verb_of_infinitive(infinitive)
        if verb is None and infinitive.endswith("are") and len(infinitive) >= 6 and infinitive[:1].islower() \
                and infinitive not in self.lexicon and infinitive[:-1] + "us" not in self.lexicon:
            # -are is the first conjugation's (aggravare: aggravo) where it is
            # neither a word of the lexicon (altare) nor the adverb of an
            # adjective in -arus (avare).
            verb = infinitive[:-3] + "o"
            self.counts["verbs in -are taken for the first conjugation"] += 1
        return verb

    def add(self, entry, rank, equivalent, keywords, frequencies):
        lemmas = [self.verb_for(k, equivalent) for k in keywords]
        targets = [lemma or keyword for lemma, keyword in zip(lemmas, keywords)]
        if lemmas[0]:
            lemmas = [lemmas[0]] + [respell(lemmas[0], keywords[0], k) for k in keywords[1:]]
            targets = lemmas
        if len(keywords) > 1:
            self.counts["equivalents with optional letters"] += 1
            if OPTIONAL.match(split_top(equivalent, ",")[0].lstrip("*")):
                # Optional letters before the word are a prefix, and make another word:
                # (de)siccare is desicco or sicco; each has its own article.
                shorter = equivalent.replace(OPTIONAL.match(equivalent.lstrip("*")).group(0), "", 1)
                for keyword in keywords[1:]:
                    self.add(entry, rank, shorter, [keyword], frequencies)
                keywords, lemmas, targets = keywords[:1], lemmas[:1], targets[:1]
            else:
                self.join(targets)
        article = self.article(targets[0])
        core, comments = core_and_comments(equivalent)
        if lemmas[0]:
            # The heading names the infinitives given with their parts.
            article.verbs[keywords[0]] += 1 if self.first_person(keywords[0], equivalent) else 0
            for keyword, lemma in zip(keywords, lemmas):
                # The infinitive's reference is written with the others at the end.
                if lemma:
                    self.infinitives[kds_writer.letters_key(keyword)].setdefault(lemma, 0)
            if self.first_person(keywords[0], equivalent):
                parts = principal_parts(keywords[0], lemmas[0], equivalent)
                article.parts[parts] += 1
                shown = article.shown_parts.setdefault(parts, collections.Counter())
                inflection = settled_inflection(inflection_of(equivalent), keywords[0], lemmas[0])
                shown[markup(f"[{inflection}]")] += 1
            elif not re.search(r"\[", equivalent):
                self.counts["senses moved from a bare infinitive to its verb"] += 1
            core = keywords[0]
        else:
            article.written[core] += 1
        russian = kds_writer.escape(entry.headword) + (f" <c>({markup(entry.label, True)})</c>" if entry.label else "")
        key = (entry.headword, entry.label)
        also = tuple(k for k in keywords[1:]) + tuple(k for k, l in zip(keywords, lemmas) if l)
        word = lemmas[0] or keywords[0]
        found = [e for e in entry.examples if occurs(word, e[1], self.lexicon, also)]
        sense = article.senses.get(key)
        centrality = (rank[0], rank[1], -len(found), -frequencies[russian_stem(entry.headword)], rank[2])
        if sense is None:
            sense = article.senses[key] = Sense(russian, centrality, core)
        elif centrality < sense.rank:
            sense.rank, sense.core = centrality, core
        for comment in comments:
            shown = markup(comment)
            if shown not in sense.comments:
                sense.comments.append(shown)
        sense.examples += [e for e in found if e not in sense.examples]

    def join(self, keywords):
        """Spellings of one word share one article."""
        article = self.article(keywords[0])
        main = self.root(kds_writer.letters_key(keywords[0]))
        for keyword in keywords[1:]:
            other_key = self.root(kds_writer.letters_key(keyword))
            if other_key != main:
                self.aliases[other_key] = main
                other = self.articles.pop(other_key, None)
                if other is not None:
                    self.merge(article, other)
            if keyword not in article.spellings:
                article.spellings.append(keyword)

    @staticmethod
    def merge(article, other):
        for spelling in other.spellings:
            if spelling not in article.spellings:
                article.spellings.append(spelling)
        article.verbs.update(other.verbs)
        article.parts.update(other.parts)
        for parts, shown in other.shown_parts.items():
            article.shown_parts.setdefault(parts, collections.Counter()).update(shown)
        article.written.update(other.written)
        for key, sense in other.senses.items():
            mine = article.senses.get(key)
            if mine is None:
                article.senses[key] = sense
            else:
                mine.rank = min(mine.rank, sense.rank)
                mine.comments += [c for c in sense.comments if c not in mine.comments]
                mine.examples += [e for e in sense.examples if e not in mine.examples]

    # --- rendering ---

    def parts_shown(self, article, infinitive):
        """The verb's inflection as written, the one the lexicon confirms or the
        commonest; another confirmed one after «или». Spellings of the same
        parts (one lacking what another gives) count as one."""
        clusters = []  # [[(parts, count)]]
        mine = collections.Counter({p: c for p, c in article.parts.items() if p[0] == infinitive})
        for parts, count in mine.most_common():
            for cluster in clusters:
                if all(compatible(parts, other) for other, _ in cluster):
                    cluster.append((parts, count))
                    break
            else:
                clusters.append([(parts, count)])
        if len(mine) > 1:
            self.counts["verbs whose parts the source spells differently"] += 1
        forms = self.lexicon.forms(article.keyword) if article.keyword in self.lexicon else None

        def confirmed(cluster):
            _, perfect, supine = fullest(cluster)
            return (forms is not None
                    and (perfect is None or bool(forms.get(gen_latin_forms.fold(perfect), set()) & PERFECTS))
                    and (supine is None or any(forms.get(gen_latin_forms.fold(supine + e), set()) & SUPINES
                                               for e in ("um", "us"))))

        def weight(cluster):
            return (confirmed(cluster), sum(c for _, c in cluster))

        clusters.sort(key=weight, reverse=True)
        kept = [clusters[0]] + [c for c in clusters[1:] if confirmed(c) or (forms is None and weight(c)[1] >= 2)]
        if len(clusters) > 1:
            self.counts["verbs whose odd parts were dropped"] += len(clusters) > len(kept)
            self.counts["verbs with two real sets of parts"] += len(kept) > 1
        shown = []
        for cluster in kept:
            text = article.shown_parts[fullest(cluster)].most_common(1)[0][0]
            if text not in shown:
                shown.append(text)
        return " <c>или</c> ".join(shown)

    def heading(self, article):
        names = ", ".join(s.replace("_", " ") for s in article.spellings)
        heading = f"<h>{kds_writer.escape(names)}</h>"
        if article.verb:
            # Verbs of one first person and two infinitives (dicere, dicare) are homographs.
            verbs = []
            for infinitive, count in article.verbs.most_common():
                if count == 0 and infinitive != article.verb:
                    continue
                parts = self.parts_shown(article, infinitive) if any(p[0] == infinitive for p in article.parts) else ""
                verbs.append(kds_writer.escape(infinitive.replace("_", " ")) + (f" {parts}" if parts else ""))
            return heading + " " + "; ".join(verbs), None
        core = majority_core(article.written)
        head, _, rest = core.partition(" [")
        if rest and "_".join(plain(head.lstrip("*")).split()) in article.spellings:
            return heading + f" {markup('[' + rest)}", core
        return heading, core

    def lines(self, article):
        heading, main_core = self.heading(article)
        lines = [heading]
        def other_word(sense):
            """The core of a sense that belongs to another word of the keyword's
            letters or to a phrase of it (defectus [a, um] beside the noun,
            demergi beside demergo), or None for the keyword's own."""
            if article.verb:
                return sense.core if sense.core and sense.core not in (article.verb, *article.spellings) else None
            if sense.core and not same_inflection(sense.core, main_core) and not same_word(sense.core, article):
                return sense.core
            return None

        # The keyword's own senses first, then each other word's together, in
        # the order of its most central sense.
        first_rank = {}
        for sense in sorted(article.senses.values(), key=lambda s: s.rank):
            first_rank.setdefault(other_word(sense), sense.rank)
        senses = sorted(article.senses.values(),
                        key=lambda s: (other_word(s) is not None, first_rank[other_word(s)], s.rank))
        shown = set()  # an example of two senses of one Russian word, under the first
        for number, sense in enumerate(senses, 1):
            text = sense.russian
            if sense.comments:
                text += " " + " ".join(f"<c>{c}</c>" if not c.startswith("<c>") else c for c in sense.comments)
            if other_word(sense):
                core = sense.core.replace("_", " ") if article.verb else sense.core
                text = f"{markup(core)} — {text}"
            lines.append((f"<n>{number}</n> " if len(senses) > 1 else "") + text)
            examples = [e for e in sense.examples if e not in shown]
            shown.update(examples)
            if examples:
                lines.append("; ".join(f"<e>{markup(r)} — {markup(l)}</e>" if r else f"<e>{markup(l)}</e>"
                                       for r, l in examples))
        return lines

    def render(self):
        # The infinitives: a reference to their verb, which has an article.
        references = {}
        for key, verbs in self.infinitives.items():
            targets = []
            for verb, _ in sorted(verbs.items(), key=lambda v: (-v[1], v[0])):
                target = self.articles.get(self.root(kds_writer.letters_key(verb)))
                if target is not None and target.verb:
                    name = target.keyword if kds_writer.letters_key(verb) == kds_writer.letters_key(target.keyword) \
                        else verb
                    if name not in targets:
                        targets.append(name)
            if targets:
                references[key] = targets
        written = {}  # letters key: (keyword, lines)
        for key, article in self.articles.items():
            lines = self.lines(article)
            for spelling in article.spellings:
                if kds_writer.letters_key(spelling) in written:
                    self.skipped.append((spelling, "a keyword of another article"))
                    continue
                written[kds_writer.letters_key(spelling)] = (spelling, list(lines))
            if len(article.spellings) > 1:
                self.counts["keywords from optional letters"] += len(article.spellings) - 1
        for key, targets in references.items():
            if key in written:
                # A word spelt as the infinitive (plantare, se dare) keeps its
                # article; the reference follows it.
                self.counts["infinitives that are also another word"] += 1
                written[key][1].extend(f"<m>inf.</m> от {kds_writer.escape(t)}" for t in targets)
                continue
            spelling = self.infinitive_spelling(key)
            lines = [f"<h>{spelling}</h> <m>inf.</m> от {kds_writer.escape(targets[0])}"]
            lines += [f"<m>inf.</m> от {kds_writer.escape(t)}" for t in targets[1:]]
            written[key] = (spelling, lines)
            self.counts["infinitive references"] += 1
        written = list(written.values())
        written.sort(key=lambda a: (a[0].lower(), a[0]))
        return written

    def infinitive_spelling(self, key):
        return self.spelled.get(key, key)


def majority_core(written):
    """The commonest inflection, the spellings of the same one counted together."""
    groups = []
    for core, count in written.most_common():
        for group in groups:
            if same_inflection(core, group[0]):
                group[1] += count
                break
        else:
            groups.append([core, count])
    return max(groups, key=lambda g: g[1])[0] if groups else ""


def compatible(a, b):
    return all(x is None or y is None or x == y for x, y in zip(a, b))


def fullest(cluster):
    return max(cluster, key=lambda pc: (sum(p is not None for p in pc[0]), pc[1]))[0]


def respell(lemma, infinitive, other):
    """The first person of another spelling of the infinitive (expectare: expecto)."""
    common = len(common_prefix(lemma, infinitive))
    return other[:len(other) - (len(infinitive) - common)] + lemma[common:]


def common_prefix(a, b):
    n = 0
    while n < min(len(a), len(b)) and a[n] == b[n]:
        n += 1
    return a[:n]


def inflection_parts(core):
    """(head, [inflection codes]) of a core "pars [partis, f]"."""
    head, _, rest = core.partition("[")
    return " ".join(head.split()), [p.strip() for p in rest.split("]")[0].split(",") if p.strip()]


def same_inflection(a, b):
    """Cores that write the same inflection, one genitive in full and one by
    its ending (pars [partis, f], pars [rtis, f])."""
    if not a or not b:
        return a == b
    (head_a, parts_a), (head_b, parts_b) = inflection_parts(a), inflection_parts(b)
    if head_a != head_b or len(parts_a) != len(parts_b) or "]" in a.split("[", 1)[-1].split("]", 1)[-1]:
        return a == b
    return all(x == y or x.endswith(y) or y.endswith(x) for x, y in zip(parts_a, parts_b))


def same_word(core, article):
    """A core that is only the keyword (no inflection): nothing to show."""
    return "_".join(plain(core.lstrip("*")).split()) in article.spellings


def convert(text, lexicon, errata=()):
    """(articles, skipped, number of senses, converter, mender)."""
    mender = Mender(list(errata))
    entries = read_entries(read_blocks(mender.text(text)), mender)
    converter = Converter(lexicon, spelled_keywords(entries))
    articles = converter.convert(entries)
    converter.counts["first persons that the quantity mark or the lexicon set otherwise"] = len(
        converter.changed_persons)
    return articles, converter.skipped, len(entries), converter, mender


def spelled_keywords(entries):
    """letters key: the keyword as the source spells it (capitals kept)."""
    spelled = {}
    for entry in entries:
        for equivalent in entry.equivalents:
            keywords, _ = keyword_of(equivalent)
            for keyword in keywords or ():
                spelled.setdefault(kds_writer.letters_key(keyword), keyword)
    return spelled


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", type=pathlib.Path, default=SOURCE)
    parser.add_argument("--output", type=pathlib.Path, default=OUTPUT)
    parser.add_argument("--errata", type=pathlib.Path, default=ERRATA)
    parser.add_argument("--collatinus", type=pathlib.Path, default=COLLATINUS,
                        help="the folder of the Collatinus data files")
    parser.add_argument("--check", action="store_true", help="compare with the committed file instead of writing")
    args = parser.parse_args()
    if not args.source.exists():
        return kds_writer.missing_input(args.source)
    try:
        lexicon = Lexicon(args.collatinus) if (args.collatinus / "lemmes.la").exists() else NoLexicon()
        articles, skipped, senses, converter, mender = convert(
            args.source.read_text(encoding="utf-8"), lexicon, read_errata(args.errata))
    except (OSError, UnicodeDecodeError, ValueError, KeyError, TypeError, AttributeError) as error:
        print(f"cannot convert {args.source}: {error!r}", file=sys.stderr)
        return 1
    data = kds_writer.render(HEADER, MARKS, articles)
    print(f"{senses} Russian senses, {len(articles)} Latin articles", file=sys.stderr)
    for what, count in sorted(converter.counts.items()):
        print(f"{what}: {count}", file=sys.stderr)
    for kind, count in sorted(mender.kinds().items()):
        print(f"errata applied ({kind}): {count}", file=sys.stderr)
    print(f"words whose last letters stood after their inflection: {mender.moved_endings}", file=sys.stderr)
    for kind, count in sorted(mender.look_alikes.items()):
        print(f"look-alike letters mended ({kind}): {count} words", file=sys.stderr)
    unused = [s for s, _, _ in mender.errata if not mender.applied[s]]
    if unused:
        print(f"errata that match nothing: {', '.join(unused)}", file=sys.stderr)
    return kds_writer.finish(data, args.output, args.check, skipped, "equivalents")


if __name__ == "__main__":
    sys.exit(main())
