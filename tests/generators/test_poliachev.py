"""scripts/convert_poliachev.py: the Latin–Russian dictionary turned around from Поляшев's Russian–Latin one."""
import pathlib
import re
import sys
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "scripts"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from kds_fixture import parse, verify_with_cli  # noqa: E402
import convert_poliachev  # noqa: E402

# A few entries of the source's shape, each showing a fault of a plain turn-around.
SOURCE = """\
### a fixture in the mark-up of poliachev2002-ru-la.txt

болезнь
morbus [i, m]; aegrotatio [onis, f]; causa [ae, f]

жаждать
sitire [4]

ждать
ex(s)pectare [1]

книга
liber [bri, m]

луб
cortex [icis, m]; liber [bri, m]

из
e(x); de

любить
amare [1]; diligere [o, lexi, lectum]

мир
pax [pacis, f]; res [rei, f]
+ восстановить мир pacem restituere
+ мир вещей rerum natura

немногo
paulum

обожать
amare

отпадать
abscedere [o, cessi, cessum]

отступать
abscedere [o, cedi, cessum]; recedere [o, cessi, cessum]

подходить
subire [eo, ii, itum]
+ подходить к стенам subire muros
+ подниматься subrigere; succedere

причина
causa [ae, f]; ratio [onis, f]
+ по этой причине hac de causa

работатать
laborare [1]

свободный
liber [era, erum]

студент
studiosus [i, m], a [ae, f]; scholasticus [i, m]

уходить
abscedere [o, cedi, cessum] (procul)
+ уходить далеко procul abscedere
"""
ERRATA = [("работатать", "работать", "a doubled syllable")]


def senses(lines):
    """The Russian words of an article's numbered senses, in order."""
    return [re.sub(r"<c>.*?</c>", "", line.split("</n> ", 1)[1]).split(" — ")[-1].strip()
            for line in lines if line.startswith("<n>")] or [lines[1]]


class Fixture(unittest.TestCase):
    """The converter on the fixture, with the vendored Collatinus lexicon."""

    @classmethod
    def setUpClass(cls):
        lexicon = convert_poliachev.Lexicon(REPOSITORY / "third_party" / "collatinus")
        articles, cls.skipped, _, cls.converter, cls.mender = convert_poliachev.convert(SOURCE, lexicon, ERRATA)
        cls.data = convert_poliachev.kds_writer.render(convert_poliachev.HEADER, convert_poliachev.MARKS, articles)
        _, _, cls.articles = parse(cls.data)

    def test_one_article_a_verb_with_its_parts_once(self):
        # Two spellings of abscedo's parts, the odd one the commoner: the
        # lexicon's perfect abscessi decides, and the verb has one article.
        lines = self.articles["abscedo"]
        self.assertEqual(lines[0], "<h>abscedo</h> abscedere [o, cessi, cessum]")
        self.assertEqual(sorted(senses(lines)), ["отпадать", "отступать", "уходить"])
        self.assertFalse(any("[o, " in line for line in lines[1:]), lines)

    def test_senses_go_by_centrality_not_by_the_alphabet(self):
        # causa is the first equivalent of причина but the third of болезнь.
        self.assertEqual(senses(self.articles["causa"]), ["причина", "болезнь"])

    def test_another_word_of_the_keywords_letters_follows_its_senses(self):
        # The adjective liber is as central to свободный as the noun to книга,
        # yet its sense comes after all of the noun's, not between them.
        self.assertEqual(senses(self.articles["liber"]), ["книга", "луб", "свободный"])
        self.assertIn("liber [era, erum] — свободный", self.articles["liber"][-1])

    def test_infinitives_name_their_verb(self):
        cases = {
            "amare": ["<h>amare</h> <m>inf.</m> от amo"],
            "abscedere": ["<h>abscedere</h> <m>inf.</m> от abscedo"],
            "diligere": ["<h>diligere</h> <m>inf.</m> от diligo"],
            # a conjugation number as the inflection
            "sitire": ["<h>sitire</h> <m>inf.</m> от sitio"],
        }
        for keyword, lines in cases.items():
            with self.subTest(keyword=keyword):
                self.assertEqual(self.articles.get(keyword), lines)
        # The sense the source gives under the bare infinitive is the verb's.
        self.assertEqual(senses(self.articles["amo"]), ["любить", "обожать"])
        for keyword, lines in self.articles.items():
            for target in re.findall(r"<m>inf\.</m> от (\S+)", "\n".join(lines)):
                self.assertIn(target, self.articles, keyword)

    def test_examples_hold_the_keyword_as_a_whole_word(self):
        res = "\n".join(self.articles["res"])
        self.assertIn("rerum natura", res)
        self.assertNotIn("restituere", res)
        self.assertIn("pacem restituere", "\n".join(self.articles["pax"]))
        subeo = "\n".join(self.articles["subeo"])
        self.assertIn("subire muros", subeo)
        self.assertNotIn("subrigere", subeo)
        # An inflected form of the verb, not only its infinitive.
        self.assertIn("procul abscedere", "\n".join(self.articles["abscedo"]))

    def test_optional_letters_give_both_spellings(self):
        for full, short in (("ex", "e"), ("exspecto", "expecto")):
            with self.subTest(full=full):
                self.assertEqual(self.articles[full], self.articles[short])
                self.assertIn("<h>", self.articles[full][0])
        self.assertEqual(self.articles["exspecto"][0], "<h>exspecto, expecto</h> exspectare [1]")
        self.assertEqual(self.articles["expectare"], ["<h>expectare</h> <m>inf.</m> от expecto"])
        self.assertTrue(all(len(part) > 1 for keyword in self.articles for part in keyword.split("_")
                            if keyword != "e"), sorted(self.articles))

    def test_an_ending_is_no_keyword(self):
        self.assertNotIn("a", self.articles)
        self.assertIn("студент", "\n".join(self.articles["studiosus"]))

    def test_typos_are_mended(self):
        # From the errata given, and the Latin o typed inside a Russian word.
        self.assertIn("работать", self.articles["laboro"][1])
        self.assertEqual(self.articles["paulum"][1], "немного")
        self.assertEqual(self.mender.applied["работатать"], 1)
        self.assertEqual(self.mender.look_alikes["latin in russian"], 1)

    def test_the_verifier_accepts_it(self):
        verify_with_cli(self, self.data)


# Entries whose verbs the source gives in the wrong conjugation, or whose
# inflection letters stand in the wrong place.
FAULTS = """\
### a fixture in the mark-up of poliachev2002-ru-la.txt

надежда
spes [ei, f]
+ подающий бóльшие надежды in quo certior spes est

миновать
transire [4]

осмеивать
deridēre [o, risi, risum]

ошибаться
lab [or, lapsus sum]i

платить
solvere [eo, lvi, lutum]

стричь
tondere [o, totondi, tonsum]

течь
ferri [or, latus sum]

требоваться
requiri [or, requisitus sum]
"""


class SourceFaults(unittest.TestCase):
    """Conjugations and inflections the source gets wrong, set right."""

    @classmethod
    def setUpClass(cls):
        lexicon = convert_poliachev.Lexicon(REPOSITORY / "third_party" / "collatinus")
        articles, _, _, cls.converter, cls.mender = convert_poliachev.convert(FAULTS, lexicon)
        data = convert_poliachev.kds_writer.render(convert_poliachev.HEADER, convert_poliachev.MARKS, articles)
        _, _, cls.articles = parse(data)

    def test_the_first_person_of_the_right_conjugation(self):
        cases = {
            "derideo": "осмеивать",  # the long ē of deridēre, though the source writes [o, ...]
            "solvo": "платить",  # no mark: the lexicon's verb, though the source writes [eo, ...]
            "tondeo": "стричь",
            "transeo": "миновать",  # [4] for a compound of eo
            # a passive under its active verb: ferri is fero's, not a verb ferro's
            "fero": "течь",
            "requiro": "требоваться",
        }
        for verb, russian in cases.items():
            with self.subTest(verb=verb):
                self.assertIn(verb, self.articles)
                self.assertIn(russian, "\n".join(self.articles[verb]))
        for wrong in ("derido", "solveo", "tondo", "transio", "ferror", "feror", "requor", "requiror"):
            self.assertNotIn(wrong, self.articles)
        self.assertEqual(self.articles["deridere"], ["<h>deridere</h> <m>inf.</m> от derideo"])
        self.assertEqual(self.articles["ferri"], ["<h>ferri</h> <m>inf.</m> от fero"])
        # The parts shown name the verb's own person ending.
        for verb, heading in (("derideo", "deridere [eo, risi, risum]"), ("solvo", "solvere [o, lvi, lutum]"),
                              ("requiro", "requiri [or, requisitus sum]")):
            self.assertEqual(self.articles[verb][0], f"<h>{verb}</h> {heading}")

    def test_letters_after_the_inflection_go_back_to_their_word(self):
        self.assertEqual(self.articles["labor"][0], "<h>labor</h> labi [or, lapsus sum]")
        self.assertNotIn("lab_i", self.articles)
        self.assertEqual(self.mender.moved_endings, 1)

    def test_a_latin_stress_mark_in_a_russian_word_becomes_cyrillic(self):
        spes = "\n".join(self.articles["spes"])
        self.assertIn("бо\u0301льшие", spes)
        self.assertNotIn("ó", spes)


class Errata(unittest.TestCase):
    def test_the_table_reads_and_each_erratum_has_a_reason(self):
        errata = convert_poliachev.read_errata(convert_poliachev.ERRATA)
        self.assertTrue(errata)
        for source, correction, reason in errata:
            self.assertNotEqual(source, correction)
            self.assertTrue(reason)

    def test_kinds(self):
        cases = [("singularierga", "singulari erga", "glued words"), ("заслугиуслуги", "заслуги / услуги", "glued words"),
                 ("culcare", "calcare", "Latin typos"), ("сумашествие", "сумасшествие", "Russian typos")]
        for source, correction, kind in cases:
            self.assertEqual(convert_poliachev.erratum_kind(source, correction), kind)


@unittest.skipUnless(convert_poliachev.SOURCE.exists(),
                     f"no raw Russian–Latin dictionary at {convert_poliachev.SOURCE}: the bundled file is not checked")
class Bundled(unittest.TestCase):
    """The committed data/latin/poliachev.kds, read as a classicist would."""

    @classmethod
    def setUpClass(cls):
        _, _, cls.articles = parse(convert_poliachev.OUTPUT.read_bytes())

    def test_first_senses(self):
        for keyword, first in (("causa", "причина"), ("locus", "место"), ("pars", "часть")):
            with self.subTest(keyword=keyword):
                self.assertEqual(senses(self.articles[keyword])[0], first)

    def test_one_verb_one_article(self):
        lines = self.articles["abscedo"]
        self.assertEqual(lines[0], "<h>abscedo</h> abscedere [o, cessi, cessum]")
        self.assertEqual(self.articles["abscedere"], ["<h>abscedere</h> <m>inf.</m> от abscedo"])

    def test_examples_by_whole_word(self):
        for keyword, stranger in (("res", "restituere"), ("subeo", "subrigere"), ("subeo", "succedere")):
            with self.subTest(keyword=keyword, stranger=stranger):
                self.assertNotIn(stranger, "\n".join(self.articles[keyword]))

    def test_no_keyword_of_a_lone_ending(self):
        self.assertNotIn("студент", "\n".join(self.articles["a"]))
        self.assertIn("студент", "\n".join(self.articles["studiosus"]))

    def test_references_lead_to_an_article(self):
        keys = {keyword.replace("_", "") for keyword in self.articles}
        for keyword, lines in self.articles.items():
            for target in re.findall(r"<m>inf\.</m> от (\S+)", "\n".join(lines)):
                self.assertIn(target.replace("_", ""), keys, keyword)


if __name__ == "__main__":
    unittest.main()
