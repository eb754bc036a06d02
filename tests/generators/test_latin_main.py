"""data/latin/main.kds, the hand-written Latin main dictionary, against Collatinus's lemmas."""
import pathlib
import re
import sys
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "scripts"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from kds_fixture import parse, verify_with_cli  # noqa: E402
import latin_heading_quantities as quantities  # noqa: E402

MAIN = REPOSITORY / "data" / "latin" / "main.kds"
COMMONEST = 300

# Headings whose long marks differ from Collatinus's lemma, and why.
HEADINGS_UNLIKE_COLLATINUS = {
    "hic": "the pronoun's i is short, its syllable long (hicc); Collatinus marks the syllable",
    "ita": "the final a is short (ĭtă); Collatinus marks it long",
    "ac": "the a is short; Collatinus marks the syllable, which comes before a consonant",
    "oportet": "the impersonal verb is headed by its third person, Collatinus lemmatises oporteo",
    "coepī": "Collatinus lemmatises the perfect coepi under an unused present coepio",
    "pūblicus": "the ending -us is short; Collatinus marks it long",
    "-que": "an enclitic, not a lemma of Collatinus",
    "-ve": "an enclitic, not a lemma of Collatinus",
}

# Commonest lemmas that need no article of their own, and why: none today (the
# praenomen abbreviations C and M and the spellings servos, liceo, oporteo have
# short articles that name the main one).
COMMONEST_WITHOUT_ARTICLE = {}

CYRILLIC = re.compile("[а-яё]", re.I)


def gloss(line):
    """The line's own Russian: what stands outside its heading, sense label, examples and comments."""
    return CYRILLIC.search(re.sub(r"<(h|e|c)>.*?</\1>|<n2?>.*?</n>", "", line))


def commonest_lemmas(count):
    """Collatinus's most frequent lemmas, as lemmes.la spells them (homograph digits kept)."""
    rows = []
    for line in quantities.LEMMES.read_text(encoding="utf-8").splitlines():
        fields = line.split("|")
        if line.startswith("!") or not fields[-1].isdigit():
            continue
        rows.append((-int(fields[-1]), quantities.plain(fields[0].split("=")[0])))
    return [lemma for _, lemma in sorted(rows)[:count]]


def article_keyword(lemma):
    """The keyword the lemma's article stands under: no homograph digit; the dictionary
    writes i for Collatinus's j (iubeo, ius) but keeps v (video)."""
    return re.sub(r"\d+$", "", lemma).replace("j", "i").replace("J", "I")


class LatinMain(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = MAIN.read_bytes()
        _, _, cls.articles = parse(cls.data)
        cls.collatinus = quantities.collatinus()

    def test_verifies(self):
        verify_with_cli(self, self.data)

    def test_headings_carry_collatinus_quantities(self):
        wrong = []
        for keyword, lines in self.articles.items():
            for heading in re.findall(r"<h>(.*?)</h>", "\n".join(lines)):
                if heading in HEADINGS_UNLIKE_COLLATINUS:
                    continue
                candidates = self.collatinus.get(quantities.key(quantities.heading_word(heading)), [])
                if not any(quantities.agrees(heading, form, stem) for form, stem in candidates):
                    wrong.append(f"{keyword}: {heading} (Collatinus: {', '.join(f for f, _ in candidates) or '-'})")
        self.assertEqual(wrong, [])

    def test_allowed_headings_are_still_there(self):
        present = {h for lines in self.articles.values() for h in re.findall(r"<h>(.*?)</h>", "\n".join(lines))}
        self.assertEqual(set(HEADINGS_UNLIKE_COLLATINUS) - present, set())

    def test_quantity_rule(self):
        cases = [
            # (heading, Collatinus form, stem, agrees)
            ("vōx", "vōx", "vōc", True),       # the stem shows the o long before one consonant
            ("vox", "vōx", "vōc", False),
            ("dux", "dūx", "dŭc", True),       # long before x only by position
            ("dūx", "dūx", "dŭc", True),       # ...which a heading may still mark
            ("arma", "ārma", "", True),
            ("amīcus", "ămīcus", "", True),
            ("amicus", "ămīcus", "", False),   # a natural long left out
            ("āmīcus", "ămīcus", "", False),   # a long the form calls short
            ("causa", "cāusa", "", True),      # a diphthong carries no mark...
            ("cāusa", "cāusa", "", False),     # ...even where Collatinus marks it
            ("ego", "ĕgō̆", "", True),          # a common vowel is not marked
            ("C.", "C", "", True),
            ("-que", "quĕ", "", True),
        ]
        for heading, form, stem, expected in cases:
            with self.subTest(heading=heading, form=form):
                self.assertEqual(quantities.agrees(heading, form, stem), expected)

    def test_numbered_senses_have_a_gloss(self):
        bare = [f"{keyword}: {line}" for keyword, lines in self.articles.items() for line in lines
                if re.match(r"<n2?>", line) and "<h>" not in line and not gloss(line)]
        self.assertEqual(bare, [])

    def test_commonest_lemmas_have_articles(self):
        """Each of Collatinus's commonest lemmas has an article with a sense and an example."""
        missing = []
        for lemma in commonest_lemmas(COMMONEST):
            if lemma in COMMONEST_WITHOUT_ARTICLE:
                continue
            lines = self.articles.get(article_keyword(lemma), [])
            if not any(gloss(line) for line in lines) or not any("<e>" in line for line in lines):
                missing.append(lemma)
        self.assertEqual(missing, [])


if __name__ == "__main__":
    unittest.main()
