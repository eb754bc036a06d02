"""Writing source dictionaries (.kds) from the converters in this folder.

A source dictionary is UTF-16LE without a byte-order mark, lines ended by
CR LF: the header, the marks section, then the articles separated by one
empty line. Keywords hold only the keyword letters of their language and "_"
for spaces; article text escapes the metacharacters.
"""
import os
import pathlib
import sys
import tempfile
import unicodedata

REPOSITORY = pathlib.Path(__file__).resolve().parent.parent
RAW = REPOSITORY.parent / "shared" / "corpora" / "raw"

# The exit code CTest reads as "skipped" (SKIP_RETURN_CODE).
SKIPPED = 77


def escape(text):
    """Article text: NFC, with "\\", "$", "<" and "~" escaped."""
    text = unicodedata.normalize("NFC", text)
    for meta in "\\$<~":
        text = text.replace(meta, "\\" + meta)
    if "{{" in text or "}}" in text:
        raise ValueError(f"double brace in {text!r}: the format has no escape for it")
    return text


def section(tag, attributes):
    lines = [f"<{tag}>"] + [f"{name}={value}" for name, value in sorted(attributes.items())] + [f"</{tag}>"]
    return "\r\n".join(lines) + "\r\n"


def render(header, marks, articles):
    """The file's bytes. articles is a list of (keyword, list of text lines)."""
    parts = [section("header", header) + "\r\n"]
    if marks:
        parts.append(section("mark", marks) + "\r\n")
    parts.append("\r\n".join(f"#{keyword}\r\n" + "".join(line + "\r\n" for line in lines)
                             for keyword, lines in articles))
    return "".join(parts).encode("utf-16-le")


def letters_key(keyword):
    """Keywords equal but for "_" are one keyword to the dictionary."""
    return keyword.replace("_", "")


def finish(data, output, check, skipped, what="headwords"):
    """Writes the file, or with check compares it with the committed one byte for byte.
    skipped lists (headword, reason): reasons that many share are told once."""
    by_reason = {}
    for headword, reason in skipped:
        by_reason.setdefault(reason, []).append(headword)
    for reason, headwords in by_reason.items():
        if len(headwords) > 3:
            print(f"skipped {len(headwords)} {what} ({reason}): {', '.join(headwords)}", file=sys.stderr)
        else:
            for headword in headwords:
                print(f"skipped {headword!r}: {reason}", file=sys.stderr)
    if check:
        if not output.exists() or output.read_bytes() != data:
            print(f"{output} is not what the converter writes; run {sys.argv[0]}", file=sys.stderr)
            return 1
        print(f"{output.name} is current ({len(data)} bytes, {len(skipped)} {what} skipped)")
        return 0
    # A temporary file beside the target, synced and renamed over it: the
    # target is the old file or the whole new one.
    with tempfile.NamedTemporaryFile(dir=output.parent, prefix=output.name + ".", delete=False) as temporary:
        temporary.write(data)
        temporary.flush()
        os.fsync(temporary.fileno())
    os.chmod(temporary.name, 0o644)
    os.replace(temporary.name, output)
    print(f"wrote {output} ({len(data)} bytes, {len(skipped)} {what} skipped)")
    return 0


def missing_input(path):
    print(f"no raw data at {path}: nothing to convert", file=sys.stderr)
    return SKIPPED
