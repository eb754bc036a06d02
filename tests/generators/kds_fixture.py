"""What the generators' tests read back of a source dictionary they made."""
import os
import pathlib
import re
import subprocess
import tempfile


def parse(data):
    """(header, marks, {keyword: lines}) of a source dictionary's bytes."""
    text = data.decode("utf-16-le")
    sections = dict(re.findall(r"<(header|mark)>\r\n(.*?)</\1>", text, re.S))
    header, marks = ({k: v for k, _, v in (line.partition("=") for line in sections.get(name, "").splitlines())}
                     for name in ("header", "mark"))
    articles = {}
    for block in re.findall(r"(?ms)^#.*?(?=\r\n\r\n|\Z)", text):
        keyword, *lines = block.split("\r\n")
        articles[keyword[1:]] = [line for line in lines if line]
    return header, marks, articles


def verify_with_cli(test, data):
    """The program's own verifier accepts the file (where ctest names kodra-cli)."""
    cli = os.environ.get("KODRA_CLI")
    if not cli:
        test.skipTest("KODRA_CLI names no kodra-cli (run through ctest)")
    with tempfile.TemporaryDirectory() as folder:
        path = pathlib.Path(folder) / "forms.kds"
        path.write_bytes(data)
        run = subprocess.run([cli, "verify", str(path)], capture_output=True, text=True)
        test.assertEqual(run.returncode, 0, run.stdout + run.stderr)
