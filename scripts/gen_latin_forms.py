#!/usr/bin/env python3
"""Writes the Latin form dictionary, a source dictionary of kind "form": every
inflected form of the Latin lemmas of the Collatinus lexical data, its article
naming the lemma with the analysis, one line a lemma, e.g. for "fuit"

    3 <m>sg.</m> <m>perf.</m> <m>ind.</m> <m>act.</m> от sum

The lines go by the lemma's frequency, commonest first; a line's analyses are
separated by "; " and its last word is the lemma as the Latin–Russian
dictionaries key it (the lookup relies on that). A form that is only its own
lemma has no article: the reader lands on the lemma itself.

The forms are the paradigms of modeles.la applied to the lemmas of lemmes.la,
and to those of lem_ext.la that the Russian dictionaries key, with the
irregular forms of irregs.la, the contracted perfects of contractions.la and
both spellings of the prefixes of assimilations.la. The (form, lemma) pairs of
the Latin Dependency Treebank that the paradigms lack are added with the
treebank's analysis. A report goes to stderr.
"""
import argparse
import collections
import itertools
import pathlib
import re
import sys
import time
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import kds_writer  # noqa: E402

HEADER = {
    "caption": "Формы",
    "comment": "Словоформы латинских слов со ссылкой на исходную форму (лемму) и грамматическим разбором: "
               "падежные формы, формы глагола, степени сравнения. Создан автоматически программой "
               "scripts/gen_latin_forms.py по лексическим данным Collatinus (Yves Ouvrard, Philippe Verkerk; "
               "GNU GPL 2 или более поздняя версия), проверен по Латинскому трибанку "
               "(Latin Dependency Treebank, Perseus Digital Library, Tufts University).",
    "kind": "form",
    "language": "latin",
}

# The pairs that only the treebank gives keep the treebank's licence, which
# does not mix with the GNU GPL of the Collatinus data: a dictionary of their own.
TREEBANK_HEADER = {
    "caption": "Формы по трибанку",
    "comment": "Словоформы латинских слов с леммой и разбором, которых нет в лексических данных Collatinus, "
               "по Латинскому трибанку: Ancient Greek and Latin Dependency Treebank 2.1 (Giuseppe G. A. Celano, "
               "Gregory Crane, Bridget Almas и др.; Perseus Digital Library, Tufts University). Лицензия "
               "CC BY-SA 3.0 US (https://creativecommons.org/licenses/by-sa/3.0/us/): этот словарь "
               "распространяется на тех же условиях. Создан автоматически программой scripts/gen_latin_forms.py.",
    "kind": "form",
    "language": "latin",
}

# Each abbreviation of the analyses, explained for the reader.
MARKS = {
    "nom.": "именительный падеж",
    "gen.": "родительный падеж",
    "dat.": "дательный падеж",
    "acc.": "винительный падеж",
    "abl.": "отложительный падеж (аблатив)",
    "voc.": "звательный падеж",
    "loc.": "местный падеж (локатив)",
    "sg.": "единственное число",
    "pl.": "множественное число",
    "m.": "мужской род",
    "f.": "женский род",
    "n.": "средний род",
    "comp.": "сравнительная степень",
    "superl.": "превосходная степень",
    "praes.": "настоящее время",
    "impf.": "имперфект",
    "fut.": "будущее время",
    "perf.": "перфект",
    "plqperf.": "плюсквамперфект",
    "fut.ex.": "будущее второе (предбудущее время, futurum exactum)",
    "ind.": "изъявительное наклонение",
    "conjct.": "сослагательное наклонение (конъюнктив)",
    "imper.": "повелительное наклонение",
    "inf.": "инфинитив",
    "part.": "причастие",
    "gerund.": "герундий",
    "gerundiv.": "герундив",
    "sup.": "супин",
    "act.": "действительный залог",
    "pass.": "страдательный залог",
    "adv.": "наречие",
    "conj.": "союз",
    "praep.": "предлог",
    "interj.": "междометие",
    "num.": "числительное",
    "pron.": "местоимение",
    "indecl.": "несклоняемое слово",
}
ABBREVIATION = {"futex": "fut.ex."}

# The analysis of a form. kind is noun (case and number), adj (case, number,
# gender, degree), verb (finite: person, number, tense, mood, voice), inf,
# part, gerund, gerundive, supine, adv (degree of an adverb), loc, or word (an
# invariable word: word is its part of speech).
Analysis = collections.namedtuple("Analysis", "kind person number tense mood voice case gender degree word",
                                  defaults=(None,) * 9)

CASES = ("nom", "voc", "acc", "gen", "dat", "abl")  # the order of Collatinus's numbers
NUMBERS = ("sg", "pl")
GENDERS = ("m", "f", "n")
# The order of the analyses in a line: the case order of the grammars.
RANK = {value: i for i, value in enumerate(
    ("nom", "gen", "dat", "acc", "abl", "voc", "loc") + NUMBERS + GENDERS
    + ("praes", "impf", "fut", "perf", "plqperf", "futex") + ("ind", "conjct", "imper"))}
KINDS = ("noun", "loc", "adj", "verb", "inf", "part", "gerund", "gerundive", "supine", "adv", "word")
VOICES = {"act": 0, None: 1, "pass": 2}
DEGREES = {None: 0, "comp": 1, "superl": 2}


def _declined(kind, **fixed):
    return [Analysis(kind, number=number, case=case, **fixed) for number in NUMBERS for case in CASES]


def _gendered(kind, **fixed):
    return [a._replace(gender=gender) for gender in GENDERS for a in _declined(kind, **fixed)]


def _finite(mood, voice, tenses):
    return [Analysis("verb", person=person, number=number, tense=tense, mood=mood, voice=voice)
            for tense in tenses for number in NUMBERS for person in (1, 2, 3)]


def morphologies():
    """The analyses of Collatinus's morphology numbers 1..416 (its list of
    morphologies, in the order its data files number them)."""
    imperative = [(2, "sg", "praes"), (2, "pl", "praes"), (2, "sg", "fut"), (3, "sg", "fut"), (2, "pl", "fut"),
                  (3, "pl", "fut")]
    order = (_declined("noun")                                                      # 1-12
             + [a for degree in (None, "comp", "superl") for a in _gendered("adj", degree=degree)]  # 13-120
             + _finite("ind", "act", ("praes", "impf", "fut", "perf", "plqperf", "futex"))  # 121-156
             + _finite("conjct", "act", ("praes", "impf", "perf", "plqperf"))       # 157-180
             + [Analysis("verb", person=p, number=n, tense=t, mood="imper", voice="act")
                for p, n, t in imperative]                                          # 181-186
             + [Analysis("inf", tense="praes", voice="act"), Analysis("inf", tense="perf", voice="act")]
             + _gendered("part", tense="praes", voice="act")                        # 189-224
             + _gendered("part", tense="fut", voice="act")                          # 225-260
             + [Analysis("gerund", case=case) for case in ("acc", "gen", "dat", "abl")]
             + [Analysis("supine", case="acc"), Analysis("supine", case="abl")]     # 265, 266
             + _finite("ind", "pass", ("praes", "impf", "fut"))                     # 267-284
             + _finite("conjct", "pass", ("praes", "impf"))                         # 285-296
             + [Analysis("verb", person=p, number=n, tense=t, mood="imper", voice="pass")
                for p, n, t in imperative if (p, n, t) != (2, "pl", "fut")]         # 297-301
             + [Analysis("inf", tense="praes", voice="pass")]                       # 302
             + _gendered("part", tense="perf", voice="pass")                        # 303-338
             + _gendered("gerundive")                                               # 339-374
             + _gendered("part", tense="perf")                                      # 375-410, of deponents
             + [Analysis("adv", degree="comp"), Analysis("adv", degree="superl"), Analysis("loc"),
                Analysis("adv"), Analysis("inf", tense="fut", voice="act"), Analysis("word")])
    assert len(order) == 416
    return {number: analysis for number, analysis in enumerate(order, 1)}


MORPHOLOGY = morphologies()
PERFECT_SYSTEM = set(range(139, 157)) | set(range(169, 181)) | {188}


def sort_key(a):
    return (KINDS.index(a.kind), DEGREES[a.degree], VOICES[a.voice], RANK.get(a.mood, 0), RANK.get(a.tense, 0),
            RANK.get(a.number, 0), a.person or 0, RANK.get(a.case, 0), a.word or "")


RENDERED = {}


def render(analyses):
    """The analyses of one lemma as the text before " от ": those that differ
    only in gender are one, with the genders in a row; a noun's case is left
    out beside an adjective's (Romanus the noun and the adjective)."""
    analyses = frozenset(analyses)
    text = RENDERED.get(analyses)
    if text is None:
        text = RENDERED[analyses] = _render(analyses)
    return text


def _render(analyses):
    declined = {(a.case, a.number) for a in analyses if a.kind == "adj"}
    genders = collections.defaultdict(set)
    for a in analyses:
        if a.kind == "noun" and (a.case, a.number) in declined:
            continue
        genders[a._replace(gender=None)].add(a.gender)
    parts = []
    for a in sorted(genders, key=sort_key):
        shown = [g for g in GENDERS if g in genders[a]]
        parts.append(" ".join(_tokens(a, shown)))
    return "; ".join(parts)


def _tokens(a, genders):
    def mark(value):
        return [f"<m>{ABBREVIATION.get(value, value + '.')}</m>"] if value else []

    def declension():
        return mark(a.case) + mark(a.number) + [t for g in genders for t in mark(g)]

    if a.kind == "noun":
        return mark(a.case) + mark(a.number)
    if a.kind == "loc":
        return mark("loc")
    if a.kind == "adj":
        return declension() + mark(a.degree)
    if a.kind == "verb":
        return [str(a.person)] + mark(a.number) + mark(a.tense) + mark(a.mood) + mark(a.voice)
    if a.kind == "inf":
        return mark("inf") + mark(a.tense) + mark(a.voice)
    if a.kind == "part":
        return mark("part") + mark(a.tense) + mark(a.voice) + declension()
    if a.kind == "gerund":
        return mark("gerund") + mark(a.case)
    if a.kind == "gerundive":
        return mark("gerundiv") + declension()
    if a.kind == "supine":
        return mark("sup") + mark(a.case)
    if a.kind == "adv":
        return mark(a.degree or "adv")
    return mark(a.word or "indecl")


# --- spelling ---------------------------------------------------------------

# Letters of the data that keywords spell otherwise: Cyrillic y look-alikes,
# the dotted u of suavis, ligatures.
LETTERS = str.maketrans({"ў": "y", "Ў": "Y", "у": "y", "У": "Y", "ụ": "u", "æ": "ae", "Æ": "Ae", "œ": "oe",
                         "Œ": "Oe"})
KEYWORD = re.compile(r"[A-Za-z]+")
VOWEL = re.compile(r"[AEIOUYaeiouy]")


def plain(text):
    """The letters without quantity marks or diaeresis."""
    text = unicodedata.normalize("NFD", text.translate(LETTERS))
    return "".join(c for c in text if not unicodedata.combining(c))


def fold(word):
    """One spelling for i/j, u/v and capitals, as the lookup compares them."""
    return word.lower().replace("j", "i").replace("v", "u")


def without_number(key):
    """A lemma without its homograph digits (edo2: edo)."""
    return key.rstrip("0123456789")


def data_lines(path):
    """The lines of a Collatinus file that are neither empty nor comments."""
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\r\n") for line in f if line.strip() and not line.startswith("!")]


# --- paradigms --------------------------------------------------------------

def numbers(text):
    """"1-3,7" as [1, 2, 3, 7]."""
    result = []
    for piece in text.split(","):
        if "-" in piece:
            first, last = piece.split("-")
            result.extend(range(int(first), int(last) + 1))
        elif piece:
            result.append(int(piece))
    return result


def ending_text(text):
    """An ending as letters: "-" is the empty ending, a final digit its rarity."""
    if text and text[-1] in "123456789":
        text = text[:-1]
    return "" if text == "-" else plain(text)


class Model:
    """A paradigm: the rules that make its radicals from the lemma and its
    endings by morphology number, each on a radical number."""

    def __init__(self, name, parent):
        self.name = name
        self.parent = parent
        self.radicals = {}  # number: "K", "-" or "chars to drop,letters to add"
        self.endings = collections.defaultdict(list)  # morphology: [(ending, radical number)]
        self.absent = set()
        self.suffix = ""  # what every inherited ending is followed by (sufd)

    def is_a(self, name):
        return self.name == name or (self.parent is not None and self.parent.is_a(name))

    def add(self, morphology, ending, radical):
        pair = (ending, radical)
        if pair not in self.endings[morphology]:
            self.endings[morphology].append(pair)


# Numbers modeles.la gives wrong: eo's impersonal passive present itur is
# numbered as the second person's (268); it is the third's.
ERRATA = {"eo": {268: 269}}

VARIABLE = re.compile(r"[:;]([\w\u0300-\u036f]*)\+?(\$\w+)")


def expand(line, variables):
    """Writes out the constants of a line: what stands before a constant is
    repeated before each of its endings."""
    while match := VARIABLE.search(line):
        prefix, name = match.groups()
        value = variables.get(name, "")
        if prefix:
            value = value.replace(";", ";" + prefix)
        line = line.replace(name, value)
    return line


def read_models(path):
    variables, blocks = {}, []
    for line in data_lines(path):
        if line.startswith("$"):
            name, _, value = line.partition("=")
            variables[name] = value
        elif line.startswith("modele:"):
            blocks.append([line])
        elif blocks:
            blocks[-1].append(line)
    models = {}
    for block in blocks:
        model = build_model(block, variables, models)
        models[model.name] = model
    return models


def build_model(block, variables, models):
    model, suffixed = None, collections.defaultdict(set)
    for line in block:
        fields = " ".join(expand(line, variables).split()).split(":")
        key = fields[0]
        if key == "modele":
            model = Model(fields[1], None)
        elif key == "pere":
            model.parent = models[fields[1]]
        elif key in ("des", "des+"):
            fields += [""] * (4 - len(fields))
            morphs, radical, endings = numbers(fields[1]), int(fields[2]), fields[3].split(";")
            morphs = [ERRATA.get(model.name, {}).get(m, m) for m in morphs]
            # The deponents give the present imperative only (two endings for
            # 181-186); their future imperative is 299-301.
            if fields[1] == "181-186" and len(endings) == 2:
                morphs = morphs[:2]
            for i, morph in enumerate(morphs):
                # A list shorter than its numbers repeats its last ending.
                for ending in endings[min(i, len(endings) - 1)].split(","):
                    model.add(morph, ending_text(ending), radical)
            if key == "des+" and model.parent is not None:
                for morph in morphs:
                    for ending, radical in model.parent.endings.get(morph, ()):
                        model.add(morph, ending + model.suffix, radical)
        elif key == "R":
            model.radicals[int(fields[1])] = fields[2]
        elif key == "abs":
            model.absent = set(numbers(fields[1]))
        elif key == "abs+":
            model.absent |= set(numbers(fields[1]))
        elif key == "suf":
            suffixed[plain(fields[2])].update(numbers(fields[1]))
        elif key == "sufd" and model.parent is not None:
            # Every form of the parent, always followed by the suffix.
            model.suffix = plain(fields[1])
            for morph, endings in model.parent.endings.items():
                if morph not in model.absent:
                    for ending, radical in endings:
                        model.add(morph, ending + model.suffix, radical)
    model.absent |= set(ERRATA.get(model.name, ()))
    parent = model.parent
    if parent is not None:
        for morph, endings in parent.endings.items():
            if morph in model.endings or morph in model.absent:
                continue
            for ending, radical in endings:
                model.add(morph, ending + model.suffix, radical)
        # A radical without a rule along the chain, and the perfect and supine
        # rules of a parent whose present radical the model makes otherwise
        # (amo's -atum for moneo, lego, audio; imitor's for vereor), are
        # the lexicon's to give: no abnuatus for abnuo.
        remakes_present = 0 in model.radicals
        for endings in list(model.endings.values()):
            for _, radical in endings:
                if radical not in model.radicals:
                    inherited = parent.radicals.get(radical, "-")
                    if radical in (1, 2) and remakes_present:
                        inherited = "-"
                    model.radicals[radical] = inherited
    # The suffixes follow the endings the model has without them (hic: hice,
    # hicine, not hicecine).
    unsuffixed = {morph: list(endings) for morph, endings in model.endings.items()}
    for suffix in sorted(suffixed):
        for morph in sorted(suffixed[suffix] & set(unsuffixed)):
            for ending, radical in unsuffixed[morph]:
                model.add(morph, ending + suffix, radical)
    return model


# --- lemmas -----------------------------------------------------------------

class Lemma:
    """A line of lemmes.la: canonical form(s) with quantities, model, the
    radicals it gives (1 and 2), its grammatical information, frequency."""

    def __init__(self, line):
        fields = line.split("|")
        written, _, quantities = fields[0].partition("=")
        self.key = fold(plain(written))  # the data's own reference (irregs.la): homograph digit kept
        self.name = without_number(plain(written))
        canonical = quantities or without_number(written)
        self.canonical = [c for c in canonical.split(",") if c]
        self.model_name = fields[1]
        self.given = {number: [r for r in fields[number + 1].split(",") if r] for number in (1, 2)
                      if fields[number + 1]}
        self.info = fields[4]
        self.frequency = int(fields[5]) if fields[5].strip().isdigit() else 0

    def radicals(self, model):
        """Radical number: its letters."""
        result = {number: [plain(r) for r in given] for number, given in self.given.items()}
        for number, rule in sorted(model.radicals.items()):
            if number in self.given or rule == "-":
                continue
            for canonical in self.canonical:
                if rule == "K":
                    radical = canonical
                else:
                    drop, _, add = rule.partition(",")
                    radical = canonical[:-1] if canonical.endswith("\u0306") else canonical
                    if drop and int(drop):
                        radical = radical[:-int(drop)]
                    if add != "0":
                        radical += add
                result.setdefault(number, []).append(plain(radical))
        return result

    def word_class(self):
        """The part of speech of an invariable lemma, from its information."""
        info = self.info
        for needle, word in (("conj", "conj"), ("prép", "praep"), ("interj", "interj"), ("excl", "interj"),
                             ("adv", "adv"), ("pron", "pron"), ("num", "num")):
            if needle in info:
                return word
        return "indecl"


def read_lemmas(path):
    return [Lemma(line) for line in data_lines(path) if line.count("|") >= 5]


class Irregular:
    def __init__(self, line):
        form, lemma, morphs = line.split(":")
        self.exclusive = form.endswith("*")
        self.form = plain(form.rstrip("*"))
        self.lemma = fold(lemma)
        self.morphs = numbers(morphs)


def read_pairs(path):
    return [tuple(plain(p).lower() for p in line.split(":")[:2]) for line in data_lines(path)]


# The prefixes whose assimilation assimilations.la spells both ways.
PREFIXES = ("sub", "sup", "con", "ad", "ap", "ex", "in", "ob", "op")


class Spellings:
    """The contracted perfects and the assimilated prefixes."""

    def __init__(self, contractions, assimilations, known):
        self.contractions = contractions  # (contracted, full ending)
        # The full endings in every spelling of u/v, to pass over the other forms fast.
        tails = set()
        for _, full in contractions:
            tails.update("".join(p) for p in itertools.product(*[("u", "v") if c == "u" else c for c in fold(full)]))
        self.tails = tuple(sorted(tails))
        self.assimilations = assimilations  # (unassimilated, assimilated)
        self.known = known  # folded lemmas, to tell a prefixed word

    def prefix_change(self, lemma):
        """(prefix, other spelling) for the forms of a lemma, or None: an
        unassimilated prefix is always one (adfero: aff-); an assimilated
        spelling only where the word without the prefix is a lemma of the
        basic lexicon of four letters or more (affero: fero), and not in a
        name, so that asper, annus, summus (mus) or Attalus keep their
        letters. ex- has no exs- but where the lexicon writes it: the s of
        exsequor is no assimilation, and exitus is no exsitus."""
        words = [plain(c).lower() for c in lemma.canonical]
        for written, other in sorted(self.assimilations, key=lambda p: -len(p[0])):
            if any(w.startswith(written) and len(w) > len(written) for w in words):
                return written, other
        if lemma.name[:1].isupper():
            return None
        for written, other in sorted(((a, u) for u, a in self.assimilations), key=lambda p: -len(p[0])):
            if other.startswith(written):
                continue
            for w in words:
                if not w.startswith(written):
                    continue
                full = other + w[len(written):]
                prefix = next((p for p in PREFIXES if other.startswith(p)), None)
                base = fold(full[len(prefix):]) if prefix else ""
                if len(base) >= 4 and base in self.known:
                    return written, other
        return None

    def contracted(self, form, morph, radical, present):
        """The contracted spelling of a form, or None. The perfects contract
        where their v is the perfect's (amavisti: amasti, not cavisti); -uum
        is -uom in the nominative and accusative singular."""
        if not form.endswith(self.tails):
            return None
        folded = fold(form)
        for short, full in self.contractions:
            if not folded.endswith(fold(full)):
                continue
            if full[1:2] == "v":
                if morph not in PERFECT_SYSTEM:
                    continue
                r = fold(radical)
                if not (r.endswith("au") or r.endswith("eu")) or r in present:
                    continue
            else:
                a = MORPHOLOGY[morph]
                if a.number != "sg" or a.case not in ("nom", "voc", "acc"):
                    continue
            tail = form[len(form) - len(full):]
            if len(short) == len(full):
                # Only the letters that change: servum is servom.
                short = "".join(t if s == f else s for s, f, t in zip(short, full, tail))
            return form[:len(form) - len(full)] + short
        return None


def inflect(lemma, model, irregulars, spellings):
    """form: set of morphology numbers, the forms of one lemma."""
    forms = collections.defaultdict(set)
    radicals = lemma.radicals(model)
    present = {fold(r) for r in radicals.get(0, ())}
    excluded = {m for irregular in irregulars if irregular.exclusive for m in irregular.morphs}
    contracted = []
    for morph, endings in model.endings.items():
        if morph in excluded:
            continue
        for ending, number in endings:
            for radical in radicals.get(number, ()):
                form = radical + ending
                forms[form].add(morph)
                if spellings:
                    short = spellings.contracted(form, morph, radical, present)
                    if short:
                        contracted.append((short, morph))
    for short, morph in contracted:
        forms[short].add(morph)
    for irregular in irregulars:
        forms[irregular.form].update(irregular.morphs)
    change = spellings.prefix_change(lemma) if spellings else None
    if change:
        written, other = change
        for form, morphs in list(forms.items()):
            if form.lower().startswith(written):
                respelt = other + form[len(written):]
                if form[:1].isupper():
                    respelt = respelt[:1].upper() + respelt[1:]
                forms[respelt] |= morphs
    return forms


# --- the Russian dictionaries' keywords ---------------------------------------

def read_keywords(path):
    """The keywords of a source dictionary (UTF-16LE, lines "#keyword")."""
    text = pathlib.Path(path).read_bytes().decode("utf-16-le").lstrip("\ufeff")
    return [line[1:] for line in text.split("\r\n") if line.startswith("#") and KEYWORD.fullmatch(line[1:])]


class Keyed:
    """The lemmas as the Russian dictionaries key them: the first dictionary
    given first, whichever of the lemma's spellings it keys; where a dictionary
    keys two spellings, the one written alike, then the one with i. Lemmas they
    do not key are written with i for consonantal i, as Kodra's own dictionary
    does."""

    def __init__(self, dictionaries):
        self.by_fold = collections.defaultdict(list)
        for rank, keywords in enumerate(dictionaries):
            for keyword in keywords:
                self.by_fold[fold(keyword)].append((rank, keyword))

    def __contains__(self, word):
        return fold(word) in self.by_fold

    def name(self, candidates):
        """The keyword of a lemma written as candidates (its own spelling,
        then its canonical forms: a, ab, abs)."""
        best = None
        for candidate in candidates:
            for rank, keyword in self.by_fold.get(fold(candidate), ()):
                order = (rank, keyword[:1].isupper() != candidate[:1].isupper(), keyword != candidate,
                         "j" in keyword.lower(), keyword)
                best = min(best, order) if best else order
            if best and best[0] == 0:
                break
        return best[-1] if best else candidates[0].replace("j", "i").replace("J", "I")


# --- the treebank -------------------------------------------------------------

TB_CASE = {"n": "nom", "v": "voc", "a": "acc", "g": "gen", "d": "dat", "b": "abl", "l": "loc"}
TB_TENSE = {"p": "praes", "i": "impf", "f": "fut", "r": "perf", "l": "plqperf", "t": "futex"}
TB_MOOD = {"i": "ind", "s": "conjct", "m": "imper"}
TB_VOICE = {"a": "act", "p": "pass"}  # the deponents' d has no voice to show
TB_DEGREE = {"c": "comp", "s": "superl"}
TB_WORD = {"c": "conj", "r": "praep", "i": "interj", "e": "interj", "m": "num", "d": "adv", "p": "pron"}


def treebank_analysis(tag):
    """The analysis of a 9-position treebank tag, or None."""
    tag = (tag.replace("_", "-") + "-" * 9)[:9]
    pos, person, number, tense, mood, voice, gender, case, degree = tag
    number = {"s": "sg", "p": "pl"}.get(number)
    case = TB_CASE.get(case)
    gender = gender if gender in GENDERS else None
    tense = TB_TENSE.get(tense)
    if pos == "v":
        voice = TB_VOICE.get(voice)
        if mood in TB_MOOD:
            ok = person in "123" and number and tense
            return Analysis("verb", int(person), number, tense, TB_MOOD[mood], voice) if ok else None
        if mood == "n":
            return Analysis("inf", tense=tense, voice=voice) if tense else None
        if mood == "p":
            ok = tense and case and number
            return Analysis("part", tense=tense, voice=voice, case=case, number=number, gender=gender) if ok else None
        if mood == "d":
            return Analysis("gerund", case=case) if case else None
        if mood == "g":
            return Analysis("gerundive", case=case, number=number, gender=gender) if case and number else None
        if mood == "u":
            return Analysis("supine", case=case) if case else None
        return None
    if case == "loc":
        return Analysis("loc")
    if pos in "nap" and not case and (number or gender):
        # A declinable word's row without a case is an indeclinable's (nil, fas).
        return Analysis("word", word="pron" if pos == "p" else "indecl")
    if pos == "n":
        return Analysis("noun", number=number, case=case) if case and number else None
    if pos in "apm" and case and number:
        return Analysis("adj", number=number, case=case, gender=gender, degree=TB_DEGREE.get(degree))
    if pos == "d" and degree in TB_DEGREE:
        return Analysis("adv", degree=TB_DEGREE[degree])
    if pos in TB_WORD:
        return Analysis("word", word=TB_WORD[pos])
    return None


def read_treebank(path):
    """[(form, lemma without digits, tag, count)] of the words written in
    keyword letters."""
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 4:
                continue
            form, lemma = plain(fields[0]), without_number(plain(fields[1]))
            # Letters without a vowel are abbreviations or pieces of words (c of nec).
            if KEYWORD.fullmatch(form) and KEYWORD.fullmatch(lemma) and VOWEL.search(form):
                rows.append((form, lemma, fields[2], int(fields[3])))
    return rows


# --- the dictionary -------------------------------------------------------------

class Forms:
    """keyword: {lemma as keyed: set of analyses}, with each lemma's frequency."""

    def __init__(self):
        self.entries = collections.defaultdict(lambda: collections.defaultdict(set))
        self.frequency = collections.Counter()
        self.generated = 0

    def add(self, keyword, lemma, analyses):
        self.entries[keyword][lemma].update(analyses)

    def names(self, wanted):
        """folded keyword: folded lemmas, the pairs the dictionary makes for
        the folded keywords wanted; and folded keyword: its spelling here."""
        names, spelled = collections.defaultdict(set), {}
        for keyword, lemmas in self.entries.items():
            folded = fold(keyword)
            if folded in wanted:
                names[folded].update(fold(lemma) for lemma in lemmas)
                spelled[folded] = min(spelled.get(folded, keyword), keyword)
        return names, spelled

    def articles(self, explained=()):
        """(keyword, lines), in keyword order, without the forms that are only
        their own lemma where that lemma is explained (a keyword of the Russian
        dictionaries): elsewhere the analysis is all the reader gets. Keywords
        equal but for case are one article, keyed in lowercase unless all its
        lemmas are names."""
        cases = collections.defaultdict(list)
        for keyword in self.entries:
            cases[keyword.lower()].append(keyword)
        result = []
        for lower in sorted(cases):
            spellings = sorted(cases[lower])
            keyword = lower if lower in spellings else spellings[0]
            lemmas = collections.defaultdict(set)
            for spelling in spellings:
                for lemma, analyses in self.entries[spelling].items():
                    lemmas[lemma] |= analyses
            if all(fold(lemma) == lower and lemma in explained for lemma in lemmas):
                continue
            order = sorted(lemmas, key=lambda lemma: (-self.frequency[lemma], lemma.lower(), lemma))
            result.append((keyword, [f"{render(lemmas[lemma])} от {lemma}" for lemma in order]))
        return result


class Collatinus:
    """The data files of a folder: paradigms, lexicon and extension, irregular
    forms, contractions, assimilations (the last four may be missing)."""

    def __init__(self, folder):
        folder = pathlib.Path(folder)

        def optional(name, read, *args):
            return read(folder / name, *args) if (folder / name).exists() else []

        self.models = read_models(folder / "modeles.la")
        self.lemmas = read_lemmas(folder / "lemmes.la")
        self.extension = optional("lem_ext.la", read_lemmas)
        self.irregulars = [Irregular(line) for line in optional("irregs.la", data_lines)]
        self.spellings = Spellings(optional("contractions.la", read_pairs), optional("assimilations.la", read_pairs),
                                   {fold(lemma.name) for lemma in self.lemmas})

    def chosen(self, keyed):
        """The lemmas of the lexicon, and those of the extension that it lacks
        but the Russian dictionaries explain."""
        keys = {lemma.key for lemma in self.lemmas}
        chosen = list(self.lemmas)
        for lemma in self.extension:
            if lemma.key not in keys and (lemma.name in keyed or any(plain(c) in keyed for c in lemma.canonical)):
                keys.add(lemma.key)
                chosen.append(lemma)
        return chosen


def generate(collatinus, lemmas, keyed, skipped):
    """The forms of the lemmas."""
    irregulars = collections.defaultdict(list)
    keys = {lemma.key for lemma in lemmas}
    for irregular in collatinus.irregulars:
        if irregular.lemma in keys:
            irregulars[irregular.lemma].append(irregular)
        else:
            skipped.append((irregular.form, "irregular form of a lemma not chosen"))
    forms = Forms()
    cache = {}
    for lemma in lemmas:
        model = collatinus.models.get(lemma.model_name)
        if model is None:
            skipped.append((lemma.name, "model not in modeles.la"))
            continue
        candidates = [n for n in [lemma.name] + [plain(c) for c in lemma.canonical] if KEYWORD.fullmatch(n)]
        if not candidates:
            skipped.append((lemma.name, "lemma not in keyword letters"))
            continue
        name = keyed.name(candidates)
        forms.frequency[name] += lemma.frequency
        with_j = "j" in name.lower()
        flavour = (model.is_a("imitor"), model.name in ("ego", "tu", "nos", "uos", "se"), lemma.word_class())
        for form, morphs in inflect(lemma, model, irregulars.get(lemma.key, ()), collatinus.spellings).items():
            if not with_j:
                form = form.replace("j", "i").replace("J", "I")
            if not KEYWORD.fullmatch(form):
                skipped.append((form, "form not in keyword letters"))
                continue
            forms.generated += 1
            forms.add(form, name, [analysis_of(m, flavour, cache) for m in morphs])
    return forms


def analysis_of(morph, flavour, cache):
    """The analysis of a morphology number for a lemma: deponents show no
    voice, personal pronouns no gender, invariable words their part of speech."""
    key = (morph, flavour)
    if key not in cache:
        deponent, genderless, word_class = flavour
        a = MORPHOLOGY[morph]
        if deponent and a.voice:
            a = a._replace(voice=None)
        if genderless:
            a = a._replace(gender=None)
        if a.kind == "word":
            a = a._replace(word=word_class)
        cache[key] = a
    return cache[key]


def coverage(rows, names):
    """(covered words, all words, misses by count): a treebank word is covered
    when its form is a keyword naming its lemma, or is its lemma itself."""
    covered, total, misses = 0, 0, collections.Counter()
    for form, lemma, _, count in rows:
        total += count
        f, l = fold(form), fold(lemma)
        if f == l or l in names.get(f, ()):
            covered += count
        else:
            misses[(form.lower(), lemma)] += count
    return covered, total, misses


def complete(forms, rows, keyed, names, spelled, into=None):
    """Adds the treebank's (form, lemma) pairs that the paradigms lack, with the
    analyses of their tags, under the keyword the form has here if it has one,
    to forms or, given, to the forms into.
    A pair that is rare beside the form's other lemmas (a tenth of the
    commonest or less) is taken for noise. names is updated."""
    lemma_names = {}
    for lemma in sorted(forms.frequency):
        lemma_names.setdefault(fold(lemma), lemma)
    pairs = collections.defaultdict(collections.Counter)  # folded form: lemma: count
    tags = collections.defaultdict(collections.Counter)
    for form, lemma, tag, count in rows:
        pairs[fold(form)][fold(lemma)] += count
        tags[(fold(form), fold(lemma))][(form, lemma, tag)] += count
    added = 0
    for f in sorted(pairs):
        for l, count in sorted(pairs[f].items()):
            if f == l or l in names.get(f, ()):
                continue
            others = max((c for other, c in pairs[f].items() if other != l), default=0)
            if count * 10 <= others:
                continue
            written = tags[(f, l)]
            analyses = {treebank_analysis(tag) for (_, _, tag) in written} - {None}
            if not analyses:
                continue
            lemma = lemma_names.get(l) or keyed.name([max(written, key=lambda w: (written[w], w))[1]])
            form = spelled.get(f)
            if form is None:
                form = max(written, key=lambda w: (written[w], w))[0]
                form = form[:1].upper() + form[1:].lower() if lemma[:1].isupper() else form.lower()
                if "j" not in lemma.lower():
                    form = form.replace("j", "i")
                spelled[f] = form
            (forms if into is None else into).add(form, lemma, analyses)
            names[f].add(l)
            added += 1
    return added


def cross_check(forms, rows):
    """Treebank words whose pair the paradigms make: (words whose tag's
    analysis is among the pair's, all such words), gender aside."""
    def loose(a):
        kind = "nominal" if a.kind in ("noun", "adj") else a.kind
        return (kind, a.person, a.number, a.tense, a.mood, a.case, a.degree)

    wanted = {fold(form) for form, _, _, _ in rows}
    index = collections.defaultdict(set)
    for keyword, lemmas in forms.entries.items():
        folded = fold(keyword)
        if folded in wanted:
            for lemma, analyses in lemmas.items():
                index[(folded, fold(lemma))].update(loose(a) for a in analyses)
    agree = total = 0
    for form, lemma, tag, count in rows:
        made = index.get((fold(form), fold(lemma)))
        a = treebank_analysis(tag)
        if made is None or a is None or a.kind == "word":
            continue
        total += count
        agree += count if loose(a) in made else 0
    return agree, total


def build(data, russian, treebank, report=sys.stderr, separate=False):
    """The dictionary's bytes, and the words skipped with the reason; with
    separate, the pairs only the treebank gives are not among them but in a
    dictionary of their own, whose bytes come third (None without a treebank)."""
    started = time.monotonic()
    skipped = []
    keyed = Keyed([read_keywords(path) for path in russian])
    collatinus = Collatinus(data)
    forms = generate(collatinus, collatinus.chosen(keyed), keyed, skipped)
    print(f"forms generated: {forms.generated} (form, lemma) pairs, {len(forms.entries)} distinct forms", file=report)
    if treebank:
        rows = read_treebank(treebank)
        agree, total = cross_check(forms, rows)
        print(f"treebank words whose tag agrees with a generated analysis: {agree} of {total}", file=report)
        names, spelled = forms.names({fold(form) for form, _, _, _ in rows})
        before = coverage(rows, names)
        completion = Forms() if separate else None
        if completion is not None:
            completion.frequency = forms.frequency
        added = complete(forms, rows, keyed, names, spelled, completion)
        after = coverage(rows, names)
        for label, (covered, words, misses) in (("before", before), ("after", after)):
            print(f"treebank words whose form names their lemma {label} completion: {covered} of {words} "
                  f"({100 * covered / words:.1f} %)", file=report)
        print(f"treebank pairs added: {added}", file=report)
        print("commonest misses before completion: "
              + ", ".join(f"{form} ({lemma}) {n}" for (form, lemma), n in before[2].most_common(20)), file=report)
        print("commonest misses after completion: "
              + ", ".join(f"{form} ({lemma}) {n}" for (form, lemma), n in after[2].most_common(20)), file=report)
    articles = forms.articles(keyed)
    print(f"articles written: {len(articles)}", file=report)
    data = kds_writer.render(HEADER, MARKS, articles)
    extra = None
    if separate and treebank:
        extra_articles = completion.articles(keyed)
        print(f"articles of the treebank's own pairs: {len(extra_articles)}", file=report)
        extra = kds_writer.render(TREEBANK_HEADER, MARKS, extra_articles)
    print(f"generated in {time.monotonic() - started:.1f} s", file=report)
    return (data, skipped, extra) if separate else (data, skipped)


def default_treebank():
    """The vendored treebank word list, or the raw one beside the repository."""
    vendored = kds_writer.REPOSITORY / "third_party" / "agldt" / "latin-forms.tsv"
    return vendored if vendored.exists() else kds_writer.RAW / "agldt" / "latin-forms.tsv"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--data", type=pathlib.Path, default=kds_writer.REPOSITORY / "third_party" / "collatinus",
                        help="the folder of the Collatinus data files")
    parser.add_argument("--treebank", type=pathlib.Path, default=None,
                        help="the treebank's Latin word list (latin-forms.tsv: form, lemma, tag, count)")
    parser.add_argument("--no-treebank", action="store_true", help="neither check nor complete the forms")
    latin = kds_writer.REPOSITORY / "data" / "latin"
    parser.add_argument("--russian", type=pathlib.Path, nargs="*", default=[latin / "main.kds", latin / "poliachev.kds"],
                        help="the Latin–Russian source dictionaries whose keywords name the lemmas, first preferred")
    parser.add_argument("-o", "--output", type=pathlib.Path, required=True)
    parser.add_argument("--treebank-output", type=pathlib.Path,
                        help="write the pairs only the treebank gives to this dictionary (CC BY-SA) instead")
    args = parser.parse_args()
    treebank = None if args.no_treebank else args.treebank or default_treebank()
    if treebank is not None and not treebank.exists():
        print(f"no treebank at {treebank}: the forms are neither checked nor completed", file=sys.stderr)
        treebank = None
    if args.treebank_output:
        data, skipped, extra = build(args.data, args.russian, treebank, separate=True)
        args.treebank_output.parent.mkdir(parents=True, exist_ok=True)
        kds_writer.finish(extra or kds_writer.render(TREEBANK_HEADER, MARKS, []), args.treebank_output, False, [])
    else:
        data, skipped = build(args.data, args.russian, treebank)
    args.output.parent.mkdir(parents=True, exist_ok=True)
    return kds_writer.finish(data, args.output, False, skipped, "words")


if __name__ == "__main__":
    sys.exit(main())
