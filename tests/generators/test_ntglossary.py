"""scripts/convert_ntglossary.py: the New Testament glossary mended by its errata."""
import csv
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "scripts"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from kds_fixture import parse, verify_with_cli  # noqa: E402
import convert_ntglossary  # noqa: E402

FIXTURES = REPOSITORY / "tests" / "data" / "generators" / "ntglossary"
SCRIPT = REPOSITORY / "scripts" / "convert_ntglossary.py"
ALLOWED = REPOSITORY / "scripts" / "ntglossary_short_glosses.tsv"


def oxia(text):
    """A keyword as the program writes it: with oxia for tonos (article text is NFC, with tonos)."""
    return convert_ntglossary.shown_form(text)


def run(errata, output):
    return subprocess.run([sys.executable, str(SCRIPT), "--source", str(FIXTURES / "glossary.js"),
                           "--errata", str(errata), "--output", str(output)], capture_output=True, text=True)


class Errata(unittest.TestCase):
    """The converter on a few raw entries and tables of errata."""

    def test_errata_are_applied_and_told(self):
        with tempfile.TemporaryDirectory() as folder:
            output = pathlib.Path(folder) / "ntglossary.kds"
            result = run(FIXTURES / "errata.tsv", output)
            self.assertEqual(result.returncode, 0, result.stderr)
            data = output.read_bytes()
        self.assertIn("applied 3 errata (1 accent, 1 gloss, 1 short, 0 typo)", result.stderr)
        _, _, articles = parse(data)
        cases = {"ἀγαθός": "<h>ἀγαθός</h> добрый, благой", "βέλτιον": "<h>βέλτιον</h> лучше",
                 "εἶ": "<h>εἶ</h> ты есть",
                 # what no erratum names stays as the raw data has it
                 "εἰ": "<h>εἰ</h> если", "καί": "<h>καί</h> и"}
        for keyword, line in cases.items():
            with self.subTest(keyword):
                self.assertEqual(articles.get(oxia(keyword)), [line])
        self.assertNotIn(oxia("βελτίον"), articles)
        verify_with_cli(self, data)

    def test_a_stale_erratum_stops_the_conversion(self):
        with tempfile.TemporaryDirectory() as folder:
            output = pathlib.Path(folder) / "ntglossary.kds"
            result = run(FIXTURES / "stale.tsv", output)
            self.assertFalse(output.exists())
        self.assertEqual(result.returncode, 1)
        self.assertIn("1 errata in", result.stderr)
        self.assertIn("no longer match the raw data", result.stderr)
        self.assertIn("line 4: ἀγαθός short_def 'внутрь' -> 'добрый, благой'", result.stderr)
        self.assertNotIn("εἶ short_def", result.stderr)

    def test_malformed_tables_are_refused(self):
        header = "lexeme\tfield\tkind\twrong\tright\treason\n"
        cases = {
            "no reason": "ἀγαθός\tshort_def\tgloss\tвнутр\tдобрый\t\n",
            "right as wrong": "ἀγαθός\tshort_def\tgloss\tвнутр\tвнутр\tsame\n",
            "unknown kind": "ἀγαθός\tshort_def\tstyle\tвнутр\tдобрый\twhy\n",
            "unknown field": "ἀγαθός\tweight\tgloss\t1\t2\twhy\n",
            "a column short": "ἀγαθός\tshort_def\tgloss\tвнутр\tдобрый\n",
            "twice": "εἶ\tshort_def\tshort\tесли\tты есть\twhy\nεἶ\tshort_def\tshort\tесли\tесть\twhy\n",
        }
        with tempfile.TemporaryDirectory() as folder:
            for name, rows in cases.items():
                with self.subTest(name):
                    table = pathlib.Path(folder) / "errata.tsv"
                    table.write_text(header + rows, encoding="utf-8")
                    result = run(table, pathlib.Path(folder) / "out.kds")
                    self.assertEqual(result.returncode, 1, result.stderr)
                    self.assertIn("errata.tsv", result.stderr)

    def test_bare_glosses(self):
        cases = {"и": True, "о!": True, "в, на, к": True, "то же": True, "(на)против": True, "о если бы!": True,
                 "чтобы что-либо не": False, "встреча": False, "добрый, благой": False, "мне (дат. п. от ἐγώ)": False}
        for gloss, bare in cases.items():
            with self.subTest(gloss):
                self.assertEqual(convert_ntglossary.is_bare_gloss(gloss), bare)


def glosses(lines):
    """The glosses of an article's lines, without heading, sense numbers and cross-references."""
    for line in lines:
        gloss = re.sub(r"<h>.*?</h>|<n>.*?</n>|<c>.*?</c>", "", line).strip()
        if gloss:
            yield re.sub(r"\\(.)", r"\1", gloss)


class BundledGlossary(unittest.TestCase):
    """The glossary converted from the raw data with the committed errata."""

    @classmethod
    def setUpClass(cls):
        source = convert_ntglossary.SOURCE
        if not source.exists():
            raise unittest.SkipTest(f"no raw glossary at {source}: the bundled glossary's glosses are not checked")
        words, _ = convert_ntglossary.apply_errata(convert_ntglossary.read_words(source),
                                                   convert_ntglossary.read_errata(convert_ntglossary.ERRATA))
        articles, _ = convert_ntglossary.convert(words)
        cls.articles = dict(articles)
        letters = convert_ntglossary.keyword_letters()
        with open(ALLOWED, encoding="utf-8", newline="") as table:
            rows = [row for row in csv.reader(table, delimiter="\t", quoting=csv.QUOTE_NONE)
                    if row and not row[0].startswith("#")][1:]
        cls.allowed = {(convert_ntglossary.keyword_of(convert_ntglossary.shown_form(lexeme), letters)[0], gloss):
                       reason for lexeme, gloss, reason in rows}

    def test_no_bare_gloss_unless_allowed(self):
        bare = [(keyword, gloss) for keyword, lines in self.articles.items() for gloss in glosses(lines)
                if convert_ntglossary.is_bare_gloss(gloss) and (keyword, gloss) not in self.allowed]
        self.assertEqual(bare, [], "bare glosses neither mended by an erratum nor allowed")

    def test_every_allowed_gloss_is_there_with_a_reason(self):
        present = {(keyword, gloss) for keyword, lines in self.articles.items() for gloss in glosses(lines)}
        self.assertEqual(sorted(set(self.allowed) - present), [], "allowed short glosses the glossary no longer has")
        self.assertEqual([entry for entry, reason in self.allowed.items() if not reason.strip()], [])

    def test_no_word_mixes_cyrillic_and_latin_letters(self):
        mixed = [(keyword, word) for keyword, lines in self.articles.items() for gloss in glosses(lines)
                 for word in re.findall(r"\w+", gloss)
                 if re.search("[а-яёА-ЯЁ]", word) and re.search("[a-zA-Z]", word)]
        self.assertEqual(mixed, [])

    def test_named_faults_are_mended(self):
        cases = {
            "ἀγαθός": ["<h>ἀγαθός</h> добрый, благой, хороший"],
            "τοῦ": ["<h>τοῦ</h> его, этого (род. п. от ὁ в значении местоимения)"],
            "εἶ": ["<h>εἶ</h> ты есть (2 л. ед. ч. от εἰμί)"],
            "ἐμοί": ["<h>ἐμοί</h> мне (дат. п. от ἐγώ)"],
            "ὑπάντησις": ["<h>ὑπάντησις</h> встреча"],
            "ἐξουθενέω": ["<h>ἐξουθενέω</h> уничижать, ни во что ставить"],
            "πτύον": ["<h>πτύον</h> веялка, веяльная лопата"],
            "βέλτιον": ["<h>βέλτιον</h> лучше"],
            "ἐστί": ["<h>ἐστί</h> есть (3 л. ед. ч. от εἰμί)"],
        }
        for keyword, lines in cases.items():
            with self.subTest(keyword):
                self.assertEqual(self.articles.get(oxia(keyword)), lines)
        self.assertNotIn(oxia("βελτίον"), self.articles)


if __name__ == "__main__":
    unittest.main()
