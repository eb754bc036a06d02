"""data/ancientgreek/main.kds: the hand-written Greek-Russian dictionary the program ships."""
import collections
import pathlib
import re
import sys
import tempfile
import unicodedata
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "scripts"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from kds_fixture import parse, verify_with_cli  # noqa: E402
import gen_greek_tables  # noqa: E402

DICTIONARY = REPOSITORY / "data" / "ancientgreek" / "main.kds"
TREEBANK = REPOSITORY / "third_party" / "agldt" / "greek-forms.tsv"

# A reader of classical texts meets these lemmas on most pages: each has an article.
COMMONEST = 300

# Treebank lemmas that are its annotators' slips rather than words, with the word meant.
SLIPS = {
    "Ἀθήναιος": "Ἀθηναῖος with its accent misplaced",
}

GREEK_WORD = re.compile(r"[\u0370-\u03FF\u1F00-\u1FFF][\u0300-\u036F\u0370-\u03FF\u1F00-\u1FFF]*")
VOWELS = set("αεηιουω")
GRAVE = "\u0300"
CYRILLIC = re.compile(r"[А-Яа-яЁё]")
EXAMPLE = re.compile(r"<e>(.*?)</e>")
TAGGED = re.compile(r"<(h|e|c|m|a)>.*?</\1>")

KEYWORD_SPELLING = {cp: chr(to) for cp, to in gen_greek_tables.TONOS_TO_OXIA.items()}


def keyword(word):
    """A word spelled as keywords are: composed, tonos written as oxia."""
    return unicodedata.normalize("NFC", word).translate(KEYWORD_SPELLING)


def misplaced_graves(text):
    """The words of text with a grave before their last syllable. A grave only
    ever replaces the acute of a last syllable, so no vowel may follow it."""
    found = []
    for match in GREEK_WORD.finditer(unicodedata.normalize("NFD", text)):
        word = match.group()
        grave = word.find(GRAVE)
        if grave >= 0 and any(c.lower() in VOWELS for c in word[grave:]):
            found.append(unicodedata.normalize("NFC", word))
    return found


def article_faults(lines):
    """What an article of a commonly met word lacks: a sense (Russian text outside
    the heading, examples, comments, marks and authors) and an example translated
    ("Greek — Russian")."""
    faults = []
    if not any(CYRILLIC.search(TAGGED.sub("", line)) for line in lines):
        faults.append("no sense")
    examples = [e for line in lines for e in EXAMPLE.findall(line)]
    if not any(" — " in e and CYRILLIC.search(e.rpartition(" — ")[2]) for e in examples):
        faults.append("no translated example")
    return faults


def commonest_lemmas(path, count):
    """The lemmas with the most words in the treebank, counts summed over their
    forms; lemmas of equal count keep the order the treebank lists them in."""
    totals = collections.Counter()
    with open(path, encoding="utf-8") as rows:
        for row in rows:
            if row.startswith("#"):
                continue
            fields = row.rstrip("\n").split("\t")
            totals[unicodedata.normalize("NFC", fields[1])] += int(fields[3])
    return [lemma for lemma, _ in totals.most_common(count)]


class Checks(unittest.TestCase):
    """The checks themselves, on small cases that show each fault."""

    def test_misplaced_graves(self):
        cases = [
            ("ὃτι τάχιστα", ["ὃτι"]),               # grave on the first of two syllables
            ("ἡ πὸλις ἐψηφίσατο", ["πὸλις"]),
            ("ἒτι καὶ νῦν", ["ἒτι"]),
            ("πρὸς τὸν βασιλέα", []),               # the last syllable's grave before another word
            ("καὶ οὓς αὐτοὺς", []),                 # on a diphthong, written over its second vowel
            ("τῇ ἀληθείᾳ", []),
            ("ἀγαθός.", []),                        # an acute before punctuation is no concern here
            ("ο\u0300τι", ["ὸτι"]),                 # decomposed as well as composed
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(misplaced_graves(text), expected)

    def test_article_faults(self):
        cases = [
            (["<h>λύω</h>", "<n>1</n> развязывать <e>λύειν ἵππους — распрягать коней</e>"], []),
            (["<h>ἄγω</h> <c>(<m>fut.</m> ἄξω)</c>", "<n>1</n> вести"], ["no translated example"]),
            (["<h>ἄγω</h>", "<n>1</n> вести <e>ἄγειν στρατόν</e>"], ["no translated example"]),
            (["<h>ἄγω</h>", "<e>ἄγειν στρατόν — вести войско</e>"], ["no sense"]),
            (["<h>ἄγω</h> <c>(<m>fut.</m> ἄξω)</c>"], ["no sense", "no translated example"]),
        ]
        for lines, expected in cases:
            with self.subTest(lines=lines):
                self.assertEqual(article_faults(lines), expected)

    def test_commonest_lemmas(self):
        rows = ["# form\tlemma\tpostag\tcount",
                "λόγος\tλόγος\tn-s---mn-\t3", "λόγου\tλόγος\tn-s---mg-\t4",
                "ἄγει\tἄγω\tv3spia---\t6", "ἦγε\tἄγω\tv3siia---\t1",
                "καί\tκαί\tc--------\t2", "ὁ\tὁ\tl-s---mn-\t5"]
        with tempfile.TemporaryDirectory() as folder:
            path = pathlib.Path(folder) / "forms.tsv"
            path.write_text("\n".join(rows) + "\n", encoding="utf-8")
            # counts summed over a lemma's forms; equal counts in the treebank's order
            self.assertEqual(commonest_lemmas(path, 3), ["λόγος", "ἄγω", "ὁ"])


class Dictionary(unittest.TestCase):
    """The bundled dictionary itself."""

    @classmethod
    def setUpClass(cls):
        cls.data = DICTIONARY.read_bytes()
        _, _, cls.articles = parse(cls.data)

    def test_verifies(self):
        verify_with_cli(self, self.data)

    def test_graves_stand_on_last_syllables(self):
        faults = {k: misplaced_graves("\n".join(lines)) for k, lines in self.articles.items()}
        self.assertEqual({k: words for k, words in faults.items() if words}, {})

    def test_commonest_lemmas_have_articles(self):
        by_keyword = {keyword(k): lines for k, lines in self.articles.items()}
        missing, poor = [], {}
        for lemma in commonest_lemmas(TREEBANK, COMMONEST):
            if lemma in SLIPS:
                continue
            lines = by_keyword.get(keyword(lemma))
            if lines is None:
                missing.append(lemma)
            elif article_faults(lines):
                poor[lemma] = article_faults(lines)
        self.assertEqual(poor, {})
        self.assertEqual(missing, [], f"{len(missing)} of the {COMMONEST} commonest treebank lemmas have no article")

    def test_slips_are_treebank_lemmas_without_articles(self):
        # A slip that left the list, or that the dictionary took in, needs no excuse any more.
        commonest = set(commonest_lemmas(TREEBANK, COMMONEST))
        keywords = {keyword(k) for k in self.articles}
        for slip in SLIPS:
            with self.subTest(slip=slip):
                self.assertIn(slip, commonest)
                self.assertNotIn(keyword(slip), keywords)


if __name__ == "__main__":
    unittest.main()
