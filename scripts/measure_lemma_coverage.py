#!/usr/bin/env python3
"""What a reader gets from the words of real texts: every word of a treebank
table (form, lemma, tag, count) is looked up as it stands in the text, through
kodra-cli's batch lookup, and counted by its number of occurrences as

  lemma    the lookup landed on a keyword of the lemma's letters, or on a form
           whose article names the lemma;
  meaning  besides, an article of a dictionary that is not a form dictionary
           is shown for the lemma (the keyword's own, or one shown via the form);
  miss     anything else, the nearest keyword included.

  measure_lemma_coverage.py --cli build/bin/kodra-cli --lang latin TABLE [--misses 20]
"""
import argparse
import collections
import json
import re
import subprocess
import sys
import unicodedata

FORM_LINE_LEMMA = re.compile(r"(?:^|\s)(?:от|of)\s+(\S+)\s*$")


def letters(word, language):
    """The letters of a word, as keywords of the language compare primarily."""
    text = unicodedata.normalize("NFD", word)
    text = "".join(c for c in text if not unicodedata.combining(c) and c.isalpha())
    text = text.lower()
    if language == "latin":
        return text.replace("j", "i").replace("v", "u")
    return text.replace("ς", "σ")


def lemma_letters(lemma, language):
    return letters(re.sub(r"\d+$", "", lemma), language)


def named_lemmas(text):
    """The lemmas a form article names: the last word of each line after от/of."""
    names = []
    for line in text.split("\n"):
        match = FORM_LINE_LEMMA.search(line)
        if match:
            names.append(match.group(1).strip(".,;"))
    return names


def read_table(path):
    rows = collections.Counter()
    with open(path, encoding="utf-8") as table:
        for line in table:
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 4:
                continue
            form, lemma, tag, count = fields[:4]
            if tag.startswith("u") or not any(c.isalpha() for c in form):
                continue  # punctuation
            rows[(form, lemma)] += int(count)
    return rows


def classify(answer, lemma, language, form_captions):
    want = lemma_letters(lemma, language)
    if answer.get("match") == "nearest" or not answer.get("keyword"):
        return "miss"
    landed = letters(answer["keyword"], language) == want
    named = False
    meaning = False
    for article in answer.get("articles", []):
        is_form = article.get("kind") == "form" or article.get("dictionary") in form_captions
        if is_form and any(lemma_letters(n, language) == want for n in named_lemmas(article["text"])):
            named = True
        # A lemma's article shown through the form (its text starts with the
        # dictionary's caption, then the headword), or the keyword's own.
        if not is_form and (landed or ("via" in article and want in letters(article["text"][:200], language))):
            meaning = True
    if not (landed or named):
        return "miss"
    return "meaning" if meaning else "lemma"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("table")
    parser.add_argument("--cli", default="build/bin/kodra-cli")
    parser.add_argument("--lang", default="ancientgreek")
    parser.add_argument("--home")
    parser.add_argument("--misses", type=int, default=20)
    parser.add_argument("--form-caption", action="append", default=[],
                        help="caption of a form dictionary, for a tool that does not name the kind")
    args = parser.parse_args()

    rows = read_table(args.table)
    forms = sorted({form for form, _ in rows})
    command = [args.cli, "lookup", "--json", "--lang", args.lang]
    if args.home:
        command += ["--home", args.home]
    result = subprocess.run(command + ["-"], input="\n".join(forms) + "\n", capture_output=True, text=True)
    answers = [json.loads(line) for line in result.stdout.splitlines() if line.strip()]
    if len(answers) != len(forms):
        sys.exit(f"expected {len(forms)} answers, got {len(answers)}: {result.stderr[:500]}")
    by_form = dict(zip(forms, answers))
    captions = set(args.form_caption)

    totals = collections.Counter()
    misses = collections.Counter()
    for (form, lemma), count in rows.items():
        kind = classify(by_form[form], lemma, args.lang, captions)
        totals[kind] += count
        if kind == "miss":
            misses[(form, lemma, by_form[form].get("keyword") or "")] += count
    words = sum(totals.values())
    landed = totals["lemma"] + totals["meaning"]
    print(f"{args.table}: {words} words, {len(forms)} distinct forms")
    print(f"  lands on its lemma: {landed} ({100.0 * landed / words:.1f} %)")
    print(f"  with the lemma's meaning: {totals['meaning']} ({100.0 * totals['meaning'] / words:.1f} %)")
    print(f"  misses: {totals['miss']} ({100.0 * totals['miss'] / words:.1f} %)")
    for (form, lemma, keyword), count in misses.most_common(args.misses):
        print(f"    {count:6}  {form}  (lemma {lemma}; landed on {keyword or '-'})")


if __name__ == "__main__":
    main()
