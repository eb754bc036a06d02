"""scripts/gen_greek_forms.py: the Greek form dictionary made from the treebank's forms."""
import pathlib
import re
import subprocess
import sys
import tempfile
import unicodedata
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "scripts"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from kds_fixture import parse, verify_with_cli  # noqa: E402
import gen_greek_forms  # noqa: E402
import gen_greek_tables  # noqa: E402

FIXTURES = REPOSITORY / "tests" / "data" / "generators" / "greek"
SCRIPT = REPOSITORY / "scripts" / "gen_greek_forms.py"
TONOS_TO_OXIA = {tonos: chr(oxia) for tonos, oxia in gen_greek_tables.TONOS_TO_OXIA.items()}


def keyed(text):
    """Greek as typed here (composed, so with tonos) spelled as keywords are: with oxia."""
    return unicodedata.normalize("NFC", text).translate(TONOS_TO_OXIA)



def marks_used(articles):
    return {mark for lines in articles.values() for line in lines for mark in re.findall(r"<m>(.*?)</m>", line)}


def generate(treebank, handwritten, dictionaries=()):
    tree = gen_greek_forms.Treebank().read(treebank)
    header, marks, articles, _ = gen_greek_forms.generate(
        tree, gen_greek_forms.Handwritten(handwritten), gen_greek_forms.dictionary_keywords(dictionaries))
    return gen_greek_forms.kds_writer.render(header, marks, articles)



class Spelling(unittest.TestCase):
    def test_keywords_are_spelled_as_the_program_keys_them(self):
        cases = [
            ("τὴν", "τήν"),            # grave → acute
            ("λέγει", "λέγει"),        # tonos → oxia
            ("Ἀθῆναι", "Ἀθῆναι"),      # capital kept: the lemma decides the case
            ("δ̓", "δ"),                # psili after a consonant: elision
            ("ἀλλ’", "ἀλλ"),           # elision marks of every kind
            ("ἀλλ'", "ἀλλ"),
            ("ἀλλ᾽", "ἀλλ"),
            ("ἀλλʼ", "ἀλλ"),
            ("δύ̓", "δύ"),              # a psili after the accent: elision
            ("ἄῤ", "ἄρ"),              # ῤ ending a word is ἄρ’
            ("ἄῤῥητος", "ἄῤῥητος"),    # ...but ῤῥ inside one is spelling
            ("̓Ασία", "Ἀσία"),          # a breathing written before the capital
            ("[καὶ]", "καί"),          # editorial brackets
            ("ἀθανά]τοισιν", "ἀθανάτοισιν"),
            ("Δημ́ητριος", "Δημητριος"),  # an accent on a consonant is a slip
        ]
        for written, keyword in cases:
            with self.subTest(written=written):
                spelled = gen_greek_forms.spelling(written)
                self.assertEqual(spelled, keyed(keyword))
                self.assertTrue(set(spelled) <= gen_greek_forms.LETTERS, spelled)

    def test_lemmas_are_named_as_the_dictionaries_name_them(self):
        keywords = {keyed(k) for k in ("λέγω", "ὁράω", "αἱρέομαι", "προΐστημι", "οὔτε")}
        tree = gen_greek_forms.Treebank()
        rows = [("εἶπε", "εἶπον", "v3saia---", 5), ("ἰδεῖν", "εἶδον", "v--ana---", 5),
                ("εἵλετο", "αἱρέω", "v3saim---", 5), ("εἷλε", "αἱρέω", "v3saia---", 5),
                ("προστάς", "προίστημι", "v-sapamn-", 5), ("οὔτε", "οὔτε", "c--------", 9),
                ("οὔτε", "οὐτε", "d--------", 4), ("εἰμί", "εἰμί1", "v1spia---", 5)]
        for row in rows:
            tree.add(*row)
        name, _ = gen_greek_forms.lemma_names(tree.entries, keywords)
        named = [name(entry.lemma, entry.middle) for entry in tree.entries]
        expected = ["λέγω", "ὁράω",             # principal parts filed under their verb
                    "αἱρέομαι", "αἱρέω",        # the middle under the dictionaries' middle verb
                    "προΐστημι",                # diaeresis
                    "οὔτε", "οὔτε",             # an unaccented lemma is a slip for the accented one
                    "εἰμί"]                     # homograph digits
        self.assertEqual(named, [keyed(lemma) for lemma in expected])

    def test_keyword_letters_are_the_programs(self):
        if not pathlib.Path(gen_greek_tables.UNICODE_DATA).exists():
            self.skipTest("no UnicodeData.txt to build the program's tables from")
        flags = gen_greek_tables.build()[0]
        program = {chr(cp) for cp, f in flags.items() if f & gen_greek_tables.KEYWORD}
        self.assertEqual(gen_greek_forms.LETTERS, program)


class Fixture(unittest.TestCase):
    """The generator run as the build runs it, on a few rows and a few hand-written articles."""

    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as folder:
            output = pathlib.Path(folder) / "forms.kds"
            cls.run_result = subprocess.run(
                [sys.executable, str(SCRIPT), "--treebank", str(FIXTURES / "forms.tsv"),
                 "--handwritten", str(FIXTURES / "forms.kds"), "--dictionaries", "-o", str(output)],
                capture_output=True, text=True)
            cls.data = output.read_bytes() if output.exists() else b""
        cls.header, cls.marks, cls.articles = parse(cls.data)
        cls.by_keyword = {unicodedata.normalize("NFC", k): v for k, v in cls.articles.items()}

    def article(self, keyword):
        lines = self.by_keyword.get(unicodedata.normalize("NFC", keyword))
        return None if lines is None else [unicodedata.normalize("NFC", line) for line in lines]

    def test_runs_and_reports(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stderr)
        for told in ("read 24 rows (309 words)", "skipped 1 rows (2 words): compound lemma",
                     "skipped 1 rows (3 words): part of a word split", "14 articles",
                     "words whose keyword's article names their lemma: 303 of 309"):
            self.assertIn(told, self.run_result.stderr)

    def test_articles(self):
        cases = {
            # grave → acute; the relative pronoun seen once beside fifty articles is noise
            "τήν": ["<m>acc.</m> <m>sg.</m> <m>f.</m> от ὁ"],
            # a sentence-initial capital is the same word; the subjunctive seen once is noise
            "λέγει": ["3 <m>sg.</m> <m>praes.</m> <m>ind.</m> <m>act.</m> от λέγω"],
            "ἔχει": ["3 <m>sg.</m> <m>praes.</m> <m>ind.</m> <m>act.</m> от ἔχω"],
            # a proper name keeps its capital
            "Κύρου": ["<m>gen.</m> <m>sg.</m> от Κῦρος"],
            # elided forms, keyed by their letters; analyses by count
            "δ": ["<m>partic.</m>; <m>conj.</m> от δέ"],
            "ἀλλ": ["<m>conj.</m> от ἀλλά"],
            # a misspelt lemma of the form (λογός) counts as its much more frequent lemma
            "λόγου": ["<m>gen.</m> <m>sg.</m> от λόγος"],
            # a form of two lemmas: a line each, by count
            "θεῶν": ["<m>gen.</m> <m>pl.</m> от θεός", "<m>gen.</m> <m>pl.</m> от θεά"],
            # the hand-written line stays; the treebank adds the lemma it lacks, and
            # counts its misspelt είμί as εἰμί rather than adding a line for it
            "ἦν": ["<m>impf.</m> 3 л. <m>sg.</m> от εἰμί", "1 <m>sg.</m> <m>impf.</m> <m>ind.</m> <m>act.</m> от ἠμί"],
            # εἶπον is λέγω's, as the hand-written article has it: nothing to add
            "εἶπε": ["<m>aor.</m> 3 л. <m>sg.</m> от λέγω"],
            # a hand-written article the treebank does not know
            "θάττων": ["<m>comp.</m> (<m>атт.</m>) от ταχύς"],
            # the form is a lemma, and a form of another one too
            "ὅτι": ["<m>conj.</m> от ὅτι", "<m>acc.</m> <m>sg.</m> <m>n.</m> от ὅστις"],
            # a form that is its only lemma, which no dictionary explains here:
            # the analysis is all the reader gets ([καὶ] is καί)
            "λόγος": ["<m>nom.</m> <m>sg.</m> от λόγος"], "καί": ["<m>conj.</m> от καί"],
            # no article: a capital or grave spelling, the crasis part κ-
            "Λέγει": None, "Ἔχει": None, "τὴν": None, "κ": None,
        }
        for keyword, lines in cases.items():
            with self.subTest(keyword=keyword):
                self.assertEqual(self.article(keyword), lines)
        self.assertEqual(len(self.articles), sum(1 for lines in cases.values() if lines))

    def test_keywords_and_lemmas_are_spelled_as_keyed(self):
        for keyword, lines in self.articles.items():
            self.assertTrue(set(keyword) <= gen_greek_forms.LETTERS, keyword)
            for line in lines:
                lemma = line.split()[-1]
                self.assertEqual(lemma, gen_greek_forms.spelling(lemma), line)
        self.assertIn(keyed("τήν"), self.articles)  # oxia, as the program keys it

    def test_every_abbreviation_is_explained(self):
        used = marks_used(self.articles)
        self.assertLessEqual(used, set(self.marks))
        self.assertEqual(self.marks["атт."], "аттическая форма")  # the hand-written ones as written
        self.assertIn("comp.", self.marks)  # used only by a hand-written article, explained all the same

    def test_header(self):
        self.assertEqual(self.header["caption"], "Формы")
        self.assertEqual((self.header["kind"], self.header["language"]), ("form", "ancientgreek"))
        for credit in ("Ancient Greek Dependency Treebank 2.1", "Perseus Digital Library", "Tufts University",
                       "CC BY-SA 3.0 US"):
            self.assertIn(credit, self.header["comment"])

    def test_output_is_deterministic_and_verifies(self):
        again = generate(FIXTURES / "forms.tsv", FIXTURES / "forms.kds")
        self.assertEqual(again, self.data)
        verify_with_cli(self, self.data)


class Treebank(unittest.TestCase):
    """The form dictionary the build makes of the vendored treebank forms."""

    @classmethod
    def setUpClass(cls):
        cls.data = generate(gen_greek_forms.TREEBANK, gen_greek_forms.HANDWRITTEN, gen_greek_forms.DICTIONARIES)
        _, cls.marks, articles = parse(cls.data)
        cls.articles = {keyword: lines for keyword, lines in articles.items()}
        cls.handwritten = gen_greek_forms.Handwritten(gen_greek_forms.HANDWRITTEN)

    def test_common_forms_lead_to_their_lemma(self):
        cases = [("εἶπεν", "λέγω"), ("ἔχει", "ἔχω"), ("οὐκ", "οὐ"), ("φησιν", "φημί"), ("δ", "δέ"),
                 ("ἀλλ", "ἀλλά"), ("ἰδών", "ὁράω"), ("τοῖς", "ὁ"), ("ἐστιν", "εἰμί")]
        for form, lemma in cases:
            with self.subTest(form=form):
                lines = self.articles.get(keyed(form), [])
                self.assertEqual(lines[0].split()[-1] if lines else None, keyed(lemma))

    def test_words_that_are_their_lemma_are_left_to_the_dictionaries(self):
        # An article here would stand beside the main dictionaries' own article.
        for word in ("λόγος", "ἄνθρωπος", "καί"):
            self.assertNotIn(keyed(word), self.articles)

    def test_hand_written_articles_are_kept(self):
        for keyword, lines in self.handwritten.articles:
            with self.subTest(keyword=keyword):
                self.assertEqual(self.articles.get(keyword, [])[:len(lines)], lines)

    def test_verifies(self):
        used = marks_used(self.articles)
        self.assertLessEqual(used, set(self.marks))
        verify_with_cli(self, self.data)


if __name__ == "__main__":
    unittest.main()
