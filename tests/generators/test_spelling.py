"""scripts/spelling.py: the spelling of the bundled dictionaries, and the checker itself."""
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "scripts"))
import kds_writer  # noqa: E402
import spelling  # noqa: E402

CORPORA = REPOSITORY.parent / "shared" / "corpora"
FIXTURES = REPOSITORY / "tests" / "data" / "generators" / "latin"
SCRIPT = REPOSITORY / "scripts" / "spelling.py"


def require_tools(test):
    if not spelling.hunspell_available():
        test.skipTest(f"hunspell or its Russian dictionary {spelling.HUNSPELL_DICTIONARY} is missing "
                      "(Debian packages hunspell, hunspell-ru; scripts/deps.sh installs them)")
    if not CORPORA.is_dir():
        test.skipTest(f"no test corpora at {CORPORA}")


def listing(findings):
    """One line a finding: the word, its count, where it first stands."""
    return "\n".join(f"  {f.word} ({f.count}×) — {f.context}" for f in findings)


def write_kds(folder, articles, language="latin"):
    path = pathlib.Path(folder) / "fixture.kds"
    header = {"caption": "Проба", "kind": "user", "language": language}
    path.write_bytes(kds_writer.render(header, {"f": "женский род"}, articles))
    return path


class Checker(unittest.TestCase):
    """The checks on a small dictionary written here."""

    ARTICLES = [
        ("amo", ["<h>amo</h>, āvī, ātum, āre любить <e>~ te — люблю тебя</e>"]),
        ("amicus", ["<m>f</m> друг, приятель; Кодра — товарищ по детским забавам"]),
        # a typo, a Latin o in a Russian word, a Cyrillic о in a Latin one
        ("servus", ["раб, слуга, малако; мoлоко <e>sеrvus — раб</e>"]),
        ("amoo", ["опечатка в заглавном слове"]),
        ("amare", ["<h>amare</h> <m>inf.</m> от amo"]),
        ("amicus_bonus", ["добрый друг"]),
        ("amicus_Kodrae", ["друг Кодры"]),
        ("servus_xyzzy", ["раб чего-то неведомого"]),
    ]

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.path = write_kds(cls.folder.name, cls.ARTICLES)
        cls.keywords, cls.lines = spelling.read_kds(cls.path)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def setUp(self):
        require_tools(self)

    def test_reading(self):
        self.assertEqual(self.keywords, [keyword for keyword, _ in self.ARTICLES])
        text = " ".join(line.text for line in self.lines)
        # "~" is the keyword; the abbreviations of <m> are the marks section's, not text
        self.assertIn("amo te — люблю тебя", text)
        self.assertNotIn("женский род", " ".join(line.text for line in self.lines if line.keyword == "amicus"))

    def test_russian_words(self):
        allowed = {"Кодра": spelling.Allowed("Кодра", "proper-name", "", 1)}
        found = {f.word: f for f in spelling.unknown_russian(self.lines, allowed)}
        self.assertIn("малако", found)
        self.assertIn("servus (line", found["малако"].context)
        self.assertIn("раб, слуга, малако", found["малако"].context)
        for known in ("Кодра", "любить", "детским", "чего-то", "мoлоко"):
            self.assertNotIn(known, found)  # the mixed word is the other check's
        # an allowed word in lowercase allows it capitalised, not the other way round
        allowed = {"малако": spelling.Allowed("малако", "rare", "", 1)}
        self.assertNotIn("малако", {f.word for f in spelling.unknown_russian(self.lines, allowed)})

    def test_mixed_scripts(self):
        self.assertEqual({f.word for f in spelling.mixed_scripts(self.lines)}, {"мoлоко", "sеrvus"})
        cases = {"мoлоко": True, "sеrvus": True, "Х-образный": False, "молоко": False, "servus": False,
                 "ἀγαθός": False, "αγаθός": True}
        for word, mixed in cases.items():
            with self.subTest(word=word):
                self.assertEqual(spelling.is_mixed(word), mixed)

    def test_latin_headwords(self):
        latin = spelling.Latin(FIXTURES)
        allowed = {"Kodrae": spelling.Allowed("Kodrae", "proper-name", "", 1)}
        found = spelling.unknown_headwords(self.keywords, latin, allowed, spelling.first_lines(self.lines))
        # a lemma, a reference that is a form, a phrase of forms, a phrase whose
        # unknown word is allowed pass; a misspelt lemma and a phrase of an
        # unknown word do not
        self.assertEqual([f.word for f in found], ["amoo", "servus_xyzzy"])
        self.assertIn("опечатка в заглавном слове", found[0].context)

    def test_hyphens_stress_and_brackets(self):
        with tempfile.TemporaryDirectory() as folder:
            path = write_kds(folder, [("amo", ["русско-латинский, какой-то, вода́, (пере)писать, лю́бит, "
                                               "северо-запаный"])])
            found = [f.word for f in spelling.unknown_russian(spelling.read_kds(path)[1], {})]
        # the parts of a hyphenated word are words; a stress mark is no letter
        self.assertEqual(found, ["северо-запаный"])


class Command(unittest.TestCase):
    def setUp(self):
        require_tools(self)

    def run_script(self, *args):
        return subprocess.run([sys.executable, str(SCRIPT), "--no-latin", *args], capture_output=True, text=True,
                              env=dict(os.environ, PYTHONIOENCODING="utf-8"))

    def test_report_and_candidates(self):
        with tempfile.TemporaryDirectory() as folder:
            path = write_kds(folder, [("amo", ["молако, молако; Заратустрина"])])
            report = self.run_script(str(path))
            candidates = self.run_script("--candidates", str(path))
        self.assertEqual(report.returncode, 1, report.stderr)
        self.assertIn("fixture.kds: russian: 2 words, 3 occurrences", report.stdout)
        self.assertIn("молако\t2\tamo (line", report.stdout)
        lines = candidates.stdout.splitlines()
        # a word one edit from a known one is left for a reader to tell, a
        # capitalised one is taken for a name
        self.assertIn("молако\ttypo?\thunspell: молоко", lines)
        self.assertIn("Заратустрина\tproper-name", lines)
        self.assertTrue(any(line.startswith("# amo (line") for line in lines), candidates.stdout)


class AllowLists(unittest.TestCase):
    def test_lists_read_and_hold_words(self):
        for path, reasons, letters in ((spelling.RUSSIAN_ALLOW, spelling.RUSSIAN_REASONS, "cyrillic"),
                                       (spelling.LATIN_ALLOW, spelling.LATIN_REASONS, "latin")):
            with self.subTest(path=path.name):
                allowed = spelling.read_allow(path, reasons)  # a bad reason or a word twice raises
                self.assertTrue(allowed)
                odd = [w for w in allowed if spelling.scripts_of(w) != {letters} or not w.replace("-", "").isalpha()]
                self.assertEqual(odd, [], f"{path.name}: not words of one script")

    def test_a_bad_line_is_named(self):
        with tempfile.TemporaryDirectory() as folder:
            path = pathlib.Path(folder) / "allow.tsv"
            for text, told in (("слово\tопечатка\n", "reason 'опечатка'"), ("слово\trare\nслово\trare\n", "twice")):
                path.write_text(text, encoding="utf-8")
                with self.subTest(told=told), self.assertRaisesRegex(ValueError, told):
                    spelling.read_allow(path, spelling.RUSSIAN_REASONS)


class Bundled(unittest.TestCase):
    """The dictionaries the program ships: every Russian word known to hunspell
    or allowed, every Latin headword a Collatinus lemma or allowed, no word of
    mixed scripts."""

    @classmethod
    def setUpClass(cls):
        cls.read = {path: spelling.read_kds(path) for path in spelling.BUNDLED}

    def setUp(self):
        require_tools(self)

    def test_russian_words(self):
        for path, (_, lines) in self.read.items():
            with self.subTest(dictionary=path.name):
                found = spelling.unknown_russian(lines)
                if found:
                    self.fail(f"{path.name}: {len(found)} Russian words neither hunspell's nor in "
                              f"{spelling.RUSSIAN_ALLOW.name}:\n{listing(found)}")

    def test_no_mixed_scripts(self):
        for path, (_, lines) in self.read.items():
            with self.subTest(dictionary=path.name):
                found = spelling.mixed_scripts(lines)
                if found:
                    self.fail(f"{path.name}: words of mixed scripts:\n{listing(found)}")

    def test_latin_headwords(self):
        latin = spelling.Latin()
        for path, (keywords, lines) in self.read.items():
            if not spelling.is_latin_dictionary(path):
                continue
            with self.subTest(dictionary=path.name):
                found = spelling.unknown_headwords(keywords, latin, first_lines=spelling.first_lines(lines))
                if found:
                    self.fail(f"{path.name}: {len(found)} headwords neither Collatinus lemmas nor in "
                              f"{spelling.LATIN_ALLOW.name}:\n{listing(found)}")


if __name__ == "__main__":
    unittest.main()
