#!/usr/bin/env python3
"""Synthetic dictionaries at the scale of real use, made from the corpora.

  scripts/make_synthetic.py [--corpora DIR] [--out DIR] [--forms N] [--main-articles N]

writes into OUT (build/synthetic by default):
  forms-random.kds   N form articles (1,000,000 by default) in random order:
                     inflected-looking forms of the LSJ and NT keywords, each
                     pointing to its lemma, the way Greek form dictionaries are
                     (the benchmarks save it once to get the same articles
                     in keyword order)
  main-big.kds       a main dictionary of N articles (800,000 by default, about
                     200 MB compiled): the LSJ bodies cycled under suffixed keywords

Sources are UTF-16LE with CR LF line breaks and no byte-order mark. The same
arguments always give the same files (fixed seeds).
"""
import argparse
import os
import random

HEADER = ("<header>\r\ncaption={caption}\r\ncomment={comment}\r\nkind={kind}\r\n"
          "language=ancientgreek\r\n</header>\r\n")
LETTERS = "αβγδεζηθικλμνξοπρστυφχψω"
ENDINGS = ["ς", "ν", "υ", "ι", "οις", "ων", "ους", "αι", "ας", "ες", "ῃ", "ῳ", "ην", "ης", "ου", "ον",
           "οιν", "αιν", "ε", "α", "ῶν", "οῖς", "ῷ", "ῇ"]


def read_articles(path):
    """(keyword, body) pairs of a source, body with its CR LF line breaks."""
    with open(path, "rb") as f:
        text = f.read().decode("utf-16-le")
    articles = []
    for chunk in text.split("\r\n#")[1:]:
        keyword, _, body = chunk.partition("\r\n")
        articles.append((keyword, body.rstrip("\r\n") + "\r\n"))
    return articles


def write_source(path, header, articles):
    with open(path, "wb") as f:
        f.write(header.encode("utf-16-le"))
        buffer = []
        for keyword, body in articles:
            buffer.append("#" + keyword + "\r\n" + body + "\r\n")
            if len(buffer) >= 10000:
                f.write("".join(buffer).encode("utf-16-le"))
                buffer = []
        f.write("".join(buffer).encode("utf-16-le"))


def suffix(n):
    """A letter suffix for the n-th round (0: none)."""
    s = ""
    while n > 0:
        s += LETTERS[n % len(LETTERS)]
        n //= len(LETTERS)
    return s


def forms(lemmas, count):
    seen = set()
    result = []
    round_ = 0
    while len(result) < count:
        for lemma in lemmas:
            stem = lemma.rstrip("ςνυιαεοη")[:12] or lemma
            for ending in ENDINGS:
                form = stem + suffix(round_) + ending
                if form in seen:
                    continue
                seen.add(form)
                result.append((form, "<m>form</m> of " + lemma + "\r\n"))
                if len(result) == count:
                    return result
        round_ += 1
    return result


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--corpora", default=os.path.join(here, "..", "..", "shared", "corpora"))
    parser.add_argument("--out", default=os.path.join(here, "..", "build", "synthetic"))
    parser.add_argument("--forms", type=int, default=1_000_000)
    parser.add_argument("--main-articles", type=int, default=800_000)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)

    lsj = read_articles(os.path.join(args.corpora, "lsj-partial.kds"))
    nt = read_articles(os.path.join(args.corpora, "greek-russian-nt.kds"))
    lemmas = sorted({k for k, _ in lsj + nt if "_" not in k})

    made = forms(lemmas, args.forms)
    random.Random(1).shuffle(made)
    write_source(os.path.join(args.out, "forms-random.kds"),
                 HEADER.format(caption="Forms", comment=f"{len(made)} forms", kind="form"), made)

    bodies = [b for _, b in lsj]
    articles = []
    seen = set()  # keywords as the keyword order tells them apart (low lines aside)
    for i in range(args.main_articles):
        keyword = lsj[i % len(lsj)][0] + suffix(i // len(lsj))
        while keyword.replace("_", "") in seen:
            keyword += "ζ"
        seen.add(keyword.replace("_", ""))
        articles.append((keyword, bodies[(i * 7919) % len(bodies)]))
    write_source(os.path.join(args.out, "main-big.kds"),
                 HEADER.format(caption="Big", comment=f"{len(articles)} articles", kind="main"), articles)
    print(f"wrote {len(made)} forms and {len(articles)} main articles into {args.out}")


if __name__ == "__main__":
    main()
