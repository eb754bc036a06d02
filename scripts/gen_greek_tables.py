#!/usr/bin/env python3
"""Writes language/uGreekTables.inc: the Greek character tables.

The Greek Extended letters get their weights from their Unicode names: the
base letter gives the letter number, the diacritics in the name give the
variant code. Run with --check to verify that the committed file is current.
"""
import argparse
import pathlib
import sys

UNICODE_DATA = "/usr/share/unicode/UnicodeData.txt"
OUTPUT = pathlib.Path(__file__).resolve().parent.parent / "language" / "uGreekTables.inc"

LETTERS = ["ALPHA", "BETA", "GAMMA", "DELTA", "EPSILON", "ZETA", "ETA", "THETA", "IOTA", "KAPPA",
           "LAMDA", "MU", "NU", "XI", "OMICRON", "PI", "RHO", "FINAL SIGMA", "SIGMA", "TAU",
           "UPSILON", "PHI", "CHI", "PSI", "OMEGA"]
LETTER_NUMBER = {name: k + 2 for k, name in enumerate(LETTERS)}

# Variant codes of the capital forms (small forms add 0x30).
BASE_VARIANTS = {
    (): 0x00, ("VRACHY",): 0x01, ("MACRON",): 0x02, ("VARIA",): 0x03, ("OXIA",): 0x04,
    ("PERISPOMENI",): 0x05, ("PSILI",): 0x06, ("DASIA",): 0x07, ("PSILI", "VARIA"): 0x08,
    ("DASIA", "VARIA"): 0x09, ("PSILI", "OXIA"): 0x0A, ("DASIA", "OXIA"): 0x0B,
    ("PSILI", "PERISPOMENI"): 0x0C, ("DASIA", "PERISPOMENI"): 0x0D, ("DIALYTIKA",): 0x10,
    ("DIALYTIKA", "VARIA"): 0x13, ("DIALYTIKA", "OXIA"): 0x14, ("DIALYTIKA", "PERISPOMENI"): 0x15,
}
IOTA_SUBSCRIPTS = {"YPOGEGRAMMENI", "PROSGEGRAMMENI"}

CAPITAL, SMALL, SIGN, DIACRITIC, KEYWORD = 0x001, 0x002, 0x004, 0x010, 0x100
KORONIS = 0x1FBD
TONOS_TO_OXIA = {0x03AC: 0x1F71, 0x03AD: 0x1F73, 0x03AE: 0x1F75, 0x03AF: 0x1F77, 0x03CC: 0x1F79,
                 0x03CD: 0x1F7B, 0x03CE: 0x1F7D, 0x0390: 0x1FD3, 0x03B0: 0x1FE3}
TONOS_BASE = {0x03AC: "ALPHA", 0x03AD: "EPSILON", 0x03AE: "ETA", 0x03AF: "IOTA", 0x03CC: "OMICRON",
              0x03CD: "UPSILON", 0x03CE: "OMEGA", 0x0390: "IOTA", 0x03B0: "UPSILON"}
NORMALISATION = {0x0386: 0x1FBB, 0x0388: 0x1FC9, 0x0389: 0x1FCB, 0x038A: 0x1FDB, 0x038C: 0x1FF9,
                 0x038E: 0x1FEB, 0x038F: 0x1FFB, 0x0374: 0xF000, 0x0375: 0xF001, **TONOS_TO_OXIA}
RANGES = [(0x0390, 0x03CF), (0x1F00, 0x1FFF)]


def read_names():
    names = {}
    with open(UNICODE_DATA, encoding="ascii") as data:
        for line in data:
            fields = line.split(";")
            names[int(fields[0], 16)] = fields[1]
    return names


def variant_of(diacritics):
    """The capital variant code of a list of diacritic words from a name."""
    iota = any(d in IOTA_SUBSCRIPTS for d in diacritics)
    rest = tuple(d for d in diacritics if d not in IOTA_SUBSCRIPTS)
    code = BASE_VARIANTS[rest]
    if iota:
        if code > 0x0D or code in (0x01, 0x02):
            raise ValueError(f"no variant for {diacritics}")
        code += 0x20
    return code


def parse_letter(name):
    """(is_capital, letter number, capital variant code) of a Greek letter name, or None."""
    for prefix, capital in (("GREEK CAPITAL LETTER ", True), ("GREEK SMALL LETTER ", False)):
        if name.startswith(prefix):
            rest = name[len(prefix):]
            base, _, with_part = rest.partition(" WITH ")
            if base not in LETTER_NUMBER:
                return None
            diacritics = with_part.split(" AND ") if with_part else []
            return capital, LETTER_NUMBER[base], variant_of(diacritics), diacritics
    return None


def build():
    names = read_names()
    flags, weight, fold_plain, fold_kept = {}, {}, {}, {}

    def small_plain(number):
        return 0x03B1 + number - 2

    for lo, hi in RANGES:
        for cp in range(lo, hi + 1):
            flags[cp] = weight[cp] = fold_plain[cp] = fold_kept[cp] = 0
            name = names.get(cp)
            if cp == KORONIS:
                flags[cp], weight[cp] = SIGN | KEYWORD, 0x010E
                fold_plain[cp] = fold_kept[cp] = cp
                continue
            if name is None or (cp > 0x1FFC) or cp in TONOS_TO_OXIA or cp == 0x03CF:
                continue
            letter = parse_letter(name)
            if letter is None:
                continue
            capital, number, variant, diacritics = letter
            f = CAPITAL if capital else SMALL
            if diacritics:
                f |= DIACRITIC
            if not ({"VRACHY", "MACRON"} & set(diacritics)):
                f |= KEYWORD
            flags[cp] = f
            weight[cp] = number * 256 + variant + (0 if capital else 0x30)
            fold_plain[cp] = small_plain(number)
            fold_kept[cp] = cp
    for cp, base in TONOS_BASE.items():
        fold_plain[cp] = small_plain(LETTER_NUMBER[base])
        fold_kept[cp] = TONOS_TO_OXIA[cp]
    char_list = [0x0387] + [cp for lo, hi in RANGES for cp in range(lo, hi + 1) if flags[cp]]
    normalisation = [NORMALISATION.get(cp, cp) for cp in range(0x0370, 0x03D0)]
    return flags, weight, fold_plain, fold_kept, char_list, normalisation


def array(ctype, name, values, per_line=8, width=4):
    lines = [f"constexpr {ctype} {name}[{len(values)}] = {{"]
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(f"0x{v:0{width}X}" for v in values[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def render():
    flags, weight, fold_plain, fold_kept, char_list, normalisation = build()
    out = ["// Generated by scripts/gen_greek_tables.py from the Unicode character names. Do not edit.",
           "// Ranges: [0] U+0390-U+03CF, [1] U+1F00-U+1FFF; normalisation covers U+0370-U+03CF.", ""]
    for index, (lo, hi) in enumerate(RANGES):
        cps = range(lo, hi + 1)
        out.append(array("uint32_t", f"kGreekFlags{index}", [flags[c] for c in cps], 8, 3))
        out.append(array("uint32_t", f"kGreekWeight{index}", [weight[c] for c in cps]))
        out.append(array("char16_t", f"kGreekFoldPlain{index}", [fold_plain[c] for c in cps]))
        out.append(array("char16_t", f"kGreekFoldKept{index}", [fold_kept[c] for c in cps]))
        out.append("")
    out.append(array("char16_t", "kGreekNormalisation", normalisation))
    out.append(array("char16_t", "kGreekCharList", char_list))
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true", help="compare with the committed file instead of writing")
    args = parser.parse_args()
    text = render()
    if args.check:
        if OUTPUT.read_text(encoding="ascii") != text:
            print(f"{OUTPUT} is not what the generator writes; run {sys.argv[0]}", file=sys.stderr)
            return 1
        print("Greek tables are current")
        return 0
    OUTPUT.write_text(text, encoding="ascii")
    return 0


if __name__ == "__main__":
    sys.exit(main())
