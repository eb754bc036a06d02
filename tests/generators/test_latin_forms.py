"""scripts/gen_latin_forms.py: the Latin form dictionary made from the Collatinus data."""
import io
import os
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
import gen_latin_forms  # noqa: E402

FIXTURES = REPOSITORY / "tests" / "data" / "generators" / "latin"
SCRIPT = REPOSITORY / "scripts" / "gen_latin_forms.py"
VENDORED = REPOSITORY / "third_party" / "collatinus"




def m(*abbreviations):
    return " ".join(a if a.isdigit() else f"<m>{a}</m>" for a in abbreviations)


class Fixture(unittest.TestCase):
    """The generator run as the build runs it, on a few lemmas and paradigms."""

    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as folder:
            output = pathlib.Path(folder) / "forms.kds"
            cls.run_result = subprocess.run(
                [sys.executable, str(SCRIPT), "--data", str(FIXTURES), "--treebank", str(FIXTURES / "forms.tsv"),
                 "--russian", str(FIXTURES / "russian.kds"), "-o", str(output)],
                capture_output=True, text=True, env=dict(os.environ, PYTHONHASHSEED="1"))
            cls.data = output.read_bytes() if output.exists() else b""
        cls.header, cls.marks, cls.articles = parse(cls.data)

    def test_runs_and_reports(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stderr)
        for told in ("treebank words whose form names their lemma before completion: 24 of 47",
                     "treebank words whose form names their lemma after completion: 46 of 47",
                     "treebank pairs added: 2", "commonest misses after completion: amat (amor) 1",
                     f"articles written: {len(self.articles)}"):
            self.assertIn(told, self.run_result.stderr)

    def test_articles(self):
        cases = {
            # a noun of the second declension; the vocative
            "domine": [m("voc.", "sg.") + " от dominus"],
            # the third declension: a list of endings shorter than its numbers repeats its last
            "amoribus": [m("dat.", "pl.") + "; " + m("abl.", "pl.") + " от amor"],
            # an adjective: the comparative and superlative on the radicals lemmes.la gives
            "melior": [m("nom.", "sg.", "m.", "comp.") + "; " + m("voc.", "sg.", "m.", "comp.") + " от bonus"],
            "optumi": ["; ".join([m("gen.", "sg.", "m.", "n.", "superl."), m("nom.", "pl.", "m.", "superl."),
                                  m("voc.", "pl.", "m.", "superl.")]) + " от bonus"],
            # homographs (a noun and an adjective, digits dropped) are one lemma; the
            # noun's cases stand under the adjective's
            "amici": ["; ".join([m("gen.", "sg.", "m.", "n."), m("nom.", "pl.", "m."), m("voc.", "pl.", "m.")])
                      + " от amicus"],
            # a regular verb: perfect, supine and participle on its radicals
            "amat": [m("3", "sg.", "praes.", "ind.", "act.") + " от amo"],
            "amatum": [m("part.", "perf.", "pass.", "acc.", "sg.", "m.") + "; " + m("sup.", "acc.") + " от amo"],
            # a verb of another conjugation has the supine its lemma gives, none here
            "abnuit": [m("3", "sg.", "praes.", "ind.", "act.") + "; " + m("3", "sg.", "perf.", "ind.", "act.")
                       + " от abnuo"],
            "abnuatus": None, "abnuatum": None,
            # contracted perfects, the v of the perfect gone
            "amasti": [m("2", "sg.", "perf.", "ind.", "act.") + " от amo"],
            "amarat": [m("3", "sg.", "plqperf.", "ind.", "act.") + " от amo"],
            "lavisti": [m("2", "sg.", "perf.", "ind.", "act.") + " от lavo"],
            "lasti": None,  # the v of lavi is its present's
            # ...and -uom for -uum in the accusative, not in the genitive plural
            "servom": [m("acc.", "sg.") + " от servus"],
            "servorom": None,
            # a form of two lemmas, the more frequent first
            "amor": [m("nom.", "sg.") + "; " + m("voc.", "sg.") + " от amor",
                     m("1", "sg.", "praes.", "ind.", "pass.") + " от amo"],
            # sum: radicals of its own, the perfect on the radical lemmes.la gives, an irregular form
            "es": [m("2", "sg.", "praes.", "ind.", "act.") + " от sum"],
            "fuit": [m("3", "sg.", "perf.", "ind.", "act.") + " от sum"],
            "essem": [m("1", "sg.", "impf.", "conjct.", "act.") + " от sum"],
            "forem": [m("1", "sg.", "impf.", "conjct.", "act.") + " от sum"],
            "fore": [m("inf.", "fut.", "act.") + " от sum"],
            # an irregular form that replaces the paradigm's, and one beside it
            "bobus": [m("dat.", "pl.") + "; " + m("abl.", "pl.") + " от bos"],
            "bovibus": None,
            "boum": [m("gen.", "pl.") + " от bos"],
            "bovum": [m("gen.", "pl.") + " от bos"],
            # a deponent shows no voice; its present imperative is not its future's
            "hortamini": [m("2", "pl.", "praes.", "ind.") + "; " + m("2", "pl.", "praes.", "imper.") + " от hortor"],
            "hortatus": [m("part.", "perf.", "nom.", "sg.", "m.") + " от hortor"],
            # both spellings of a prefix; an assimilated one only where the rest is a word
            "adfirmat": [m("3", "sg.", "praes.", "ind.", "act.") + " от adfirmo"],
            "affirmat": [m("3", "sg.", "praes.", "ind.", "act.") + " от adfirmo"],
            "adparat": [m("3", "sg.", "praes.", "ind.", "act.") + " от apparo"],
            "adnus": None,
            # the lemma as the Russian dictionaries key it: ab for a, ab, abs; iudico;
            # jugulo with j, and its forms with it; i where they key neither
            "a": [m("praep.") + " от ab"],
            "abs": [m("praep.") + " от ab"],
            "iudicat": [m("3", "sg.", "praes.", "ind.", "act.") + " от iudico"],
            "jugulat": [m("3", "sg.", "praes.", "ind.", "act.") + " от jugulo"],
            "iugulat": None,
            "iactat": [m("3", "sg.", "praes.", "ind.", "act.") + " от iacto"],
            # the extension's lemma that the Russian dictionaries key, not the other one
            "abaculi": ["; ".join([m("gen.", "sg."), m("nom.", "pl."), m("voc.", "pl.")]) + " от abaculus"],
            "abactorem": None,
            # the treebank's pairs that the paradigms lack; the one seen once beside
            # twelve of another lemma is noise
            "ac": [m("conj.") + " от ac", m("conj.") + " от atque"],
            "mecum": [m("abl.", "sg.", "m.") + " от ego"],
            # no article: a form that is its only lemma
            "ab": None, "sum": None, "dominus": None, "amo": None,
        }
        for keyword, lines in cases.items():
            with self.subTest(keyword=keyword):
                self.assertEqual(self.articles.get(keyword), lines)

    def test_keywords_and_lemmas_are_plain_letters(self):
        for keyword, lines in self.articles.items():
            self.assertRegex(keyword, r"^[A-Za-z]+$")
            for line in lines:
                self.assertRegex(line, r" от [A-Za-z]+$")

    def test_every_abbreviation_is_explained(self):
        used = {mark for lines in self.articles.values() for line in lines
                for mark in re.findall(r"<m>(.*?)</m>", line)}
        self.assertLessEqual(used, set(self.marks))
        self.assertLessEqual(set(gen_latin_forms.MARKS), set(self.marks))

    def test_header(self):
        self.assertEqual((self.header["kind"], self.header["language"]), ("form", "latin"))
        for credit in ("Collatinus", "Yves Ouvrard", "Philippe Verkerk", "GNU GPL", "Latin Dependency Treebank",
                       "Perseus Digital Library", "Tufts University"):
            self.assertIn(credit, self.header["comment"])

    def test_treebank_pairs_apart_keep_their_licence(self):
        # The build writes the pairs only the treebank gives to a dictionary of
        # their own: the GNU GPL data and the CC BY-SA data are not mixed.
        data, _, extra = gen_latin_forms.build(FIXTURES, [FIXTURES / "russian.kds"], FIXTURES / "forms.tsv",
                                               report=io.StringIO(), separate=True)
        _, _, own = parse(data)
        header, _, added = parse(extra)
        self.assertEqual(own.get("ac"), [m("conj.") + " от ac"])  # ac is its own lemma, unexplained here
        self.assertEqual(added.get("ac"), [m("conj.") + " от atque"])
        self.assertNotIn("mecum", own)
        self.assertEqual(added.get("mecum"), [m("abl.", "sg.", "m.") + " от ego"])
        self.assertEqual(set(own) | set(added), set(self.articles))
        self.assertEqual((header["kind"], header["language"]), ("form", "latin"))
        for credit in ("Dependency Treebank", "Perseus Digital Library", "Tufts University", "CC BY-SA 3.0 US"):
            self.assertIn(credit, header["comment"])
        verify_with_cli(self, extra)

    def test_output_is_deterministic_and_verifies(self):
        again, _ = gen_latin_forms.build(FIXTURES, [FIXTURES / "russian.kds"], FIXTURES / "forms.tsv",
                                         report=io.StringIO())
        self.assertEqual(again, self.data)
        verify_with_cli(self, self.data)


class Analyses(unittest.TestCase):
    def test_morphology_numbers(self):
        # Collatinus's numbers: nouns, adjectives by gender and degree, the verb by
        # voice, mood and tense, its nominal forms, then a few of their own.
        cases = {
            1: m("nom.", "sg."), 8: m("voc.", "pl."), 12: m("abl.", "pl."),
            13: m("nom.", "sg.", "m."), 28: m("gen.", "sg.", "f."), 45: m("acc.", "pl.", "n."),
            52: m("gen.", "sg.", "m.", "comp."), 120: m("abl.", "pl.", "n.", "superl."),
            121: m("1", "sg.", "praes.", "ind.", "act."), 132: m("3", "pl.", "impf.", "ind.", "act."),
            135: m("3", "sg.", "fut.", "ind.", "act."), 141: m("3", "sg.", "perf.", "ind.", "act."),
            149: m("2", "pl.", "plqperf.", "ind.", "act."), 151: m("1", "sg.", "fut.ex.", "ind.", "act."),
            159: m("3", "sg.", "praes.", "conjct.", "act."), 165: m("3", "sg.", "impf.", "conjct.", "act."),
            170: m("2", "sg.", "perf.", "conjct.", "act."), 180: m("3", "pl.", "plqperf.", "conjct.", "act."),
            182: m("2", "pl.", "praes.", "imper.", "act."), 184: m("3", "sg.", "fut.", "imper.", "act."),
            187: m("inf.", "praes.", "act."), 188: m("inf.", "perf.", "act."),
            192: m("part.", "praes.", "act.", "gen.", "sg.", "m."),
            249: m("part.", "fut.", "act.", "nom.", "sg.", "n."),
            262: m("gerund.", "gen."), 265: m("sup.", "acc."), 266: m("sup.", "abl."),
            269: m("3", "sg.", "praes.", "ind.", "pass."), 290: m("3", "pl.", "praes.", "conjct.", "pass."),
            296: m("3", "pl.", "impf.", "conjct.", "pass."), 297: m("2", "sg.", "praes.", "imper.", "pass."),
            301: m("3", "pl.", "fut.", "imper.", "pass."), 302: m("inf.", "praes.", "pass."),
            303: m("part.", "perf.", "pass.", "nom.", "sg.", "m."), 339: m("gerundiv.", "nom.", "sg.", "m."),
            375: m("part.", "perf.", "nom.", "sg.", "m."), 411: m("comp."), 412: m("superl."), 413: m("loc."),
            415: m("inf.", "fut.", "act."),
        }
        for number, text in cases.items():
            with self.subTest(number=number):
                self.assertEqual(gen_latin_forms.render({gen_latin_forms.MORPHOLOGY[number]}), text)

    def test_treebank_tags_read_as_the_numbers(self):
        cases = [("n-p---ma-", 9), ("a-s---fnc", 61), ("p-s---ng-", 40), ("v3sria---", 141), ("v1pfia---", 136),
                 ("v2spma---", 181), ("v3slsa---", 177), ("v3stia---", 153), ("v--pna---", 187), ("v--rna---", 188),
                 ("v--pnp---", 302), ("v-srppmn-", 303), ("v-pfpafa-", 245), ("v-sppamb-", 194),
                 ("v___d_-g-", 262), ("v-s-g-mn-", 339), ("v3spip---", 269), ("d-------c", 411)]
        for tag, number in cases:
            with self.subTest(tag=tag):
                self.assertEqual(gen_latin_forms.treebank_analysis(tag), gen_latin_forms.MORPHOLOGY[number])

    def test_genders_are_one_analysis(self):
        analyses = {gen_latin_forms.MORPHOLOGY[n] for n in (19, 40, 28, 16)}  # gen. sg. m. f. n.; nom. pl. m.
        self.assertEqual(gen_latin_forms.render(analyses),
                         m("gen.", "sg.", "m.", "f.", "n.") + "; " + m("nom.", "pl.", "m."))


class Vendored(unittest.TestCase):
    """The paradigms of the vendored data, on the lemmas of the words readers look up."""

    @classmethod
    def setUpClass(cls):
        cls.collatinus = gen_latin_forms.Collatinus(VENDORED)
        wanted = {"sum", "edo", "hostis", "romanus", "romanus2", "uita", "amo", "eo", "possum", "magnus"}
        lemmas = [lemma for lemma in cls.collatinus.lemmas if lemma.key in wanted]
        keyed = gen_latin_forms.Keyed([["edo", "eo", "hostis", "magnus", "possum", "Romanus", "sum", "vita"]])
        forms = gen_latin_forms.generate(cls.collatinus, lemmas, keyed, [])
        cls.articles = dict(forms.articles())

    def test_forms_of_common_words(self):
        cases = {
            "esset": [m("3", "sg.", "impf.", "conjct.", "act.") + " от sum",
                      m("3", "sg.", "impf.", "conjct.", "act.") + " от edo"],
            "fuit": [m("3", "sg.", "perf.", "ind.", "act.") + " от sum"],
            "hostes": ["; ".join([m("nom.", "pl."), m("acc.", "pl."), m("voc.", "pl.")]) + " от hostis"],
            "vitam": [m("acc.", "sg.") + " от vita"],
            "amasti": [m("2", "sg.", "perf.", "ind.", "act.") + " от amo"],
            "itur": [m("3", "sg.", "praes.", "ind.", "pass.") + " от eo"],
            "potuisse": [m("inf.", "perf.", "act.") + " от possum"],
            "maior": [m("nom.", "sg.", "m.", "f.", "comp.") + "; " + m("voc.", "sg.", "m.", "f.", "comp.")
                      + " от magnus"],
        }
        for keyword, lines in cases.items():
            with self.subTest(keyword=keyword):
                self.assertEqual(self.articles.get(keyword), lines)
        self.assertEqual(self.articles["Romani"][0].split()[-1], "Romanus")

    def test_every_morphology_number_is_known(self):
        numbers = {n for model in self.collatinus.models.values() for n in model.endings}
        self.assertLessEqual(numbers, set(gen_latin_forms.MORPHOLOGY))


if __name__ == "__main__":
    unittest.main()
