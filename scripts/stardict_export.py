#!/usr/bin/env python3
"""Writes a compiled dictionary as a plain StarDict dictionary (.ifo, .idx,
.dict), and optionally as dictfmt's input, for timing other dictionary
programs on the same data.

    stardict_export.py KODRA_CLI FILE.kdb OUTDIR NAME [--dictfmt FILE]
"""
import json
import os
import struct
import subprocess
import sys


def ascii_lower(data: bytes) -> bytes:
    return bytes(b + 32 if 65 <= b <= 90 else b for b in data)


def read_articles(cli, kdb):
    """(keyword, body) pairs of a compiled dictionary, UTF-8 encoded."""
    dump = json.loads(subprocess.run([cli, "dump", "--json", kdb], check=True, capture_output=True).stdout)
    return [(a["keyword"].encode("utf-8"), a["body"].encode("utf-8")) for a in dump["articleList"]]


def write_stardict(entries, outdir, name):
    # The index is sorted as StarDict readers expect: ASCII case folded first, then bytes.
    entries = sorted(entries, key=lambda e: (ascii_lower(e[0]), e[0]))
    os.makedirs(outdir, exist_ok=True)
    base = os.path.join(outdir, name)
    index = bytearray()
    with open(base + ".dict", "wb") as bodies:
        offset = 0
        for keyword, body in entries:
            bodies.write(body)
            index += keyword + b"\0" + struct.pack(">II", offset, len(body))
            offset += len(body)
    with open(base + ".idx", "wb") as f:
        f.write(index)
    with open(base + ".ifo", "w", encoding="utf-8") as f:
        f.write("StarDict's dict ifo file\nversion=2.4.2\n")
        f.write(f"wordcount={len(entries)}\nidxfilesize={len(index)}\nbookname={name}\nsametypesequence=m\n")


def write_dictfmt_input(entries, path):
    """dictfmt -c5 input: a line of underscores, the headword, the body."""
    with open(path, "wb") as f:
        for keyword, body in entries:
            f.write(b"_____\n\n" + keyword + b"\n" + body.replace(b"\r\n", b"\n").rstrip(b"\n") + b"\n\n")


def main() -> None:
    cli, kdb, outdir, name = sys.argv[1:5]
    entries = read_articles(cli, kdb)
    write_stardict(entries, outdir, name)
    if len(sys.argv) > 6 and sys.argv[5] == "--dictfmt":
        write_dictfmt_input(entries, sys.argv[6])


if __name__ == "__main__":
    main()
