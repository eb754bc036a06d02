#!/usr/bin/env python3
"""Kodra beside sdcv and dictd on the same data: whole processes, runs paired
(kodra and the peer one after the other, the order alternating), the median
of each side's times and of the pairs' ratios, and the peak memory.

    scripts/compare_peers.py [--runs N] [--cli build/bin/kodra-cli] [--cases start,search,compile]

Cases:
  start    start and one lookup: kodra-cli lookup; sdcv; dictd answering one
           DEFINE on a pipe (--inetd), which is its start and lookup
  search   a full-text search that finds nothing: kodra-cli search; sdcv "|word"
  compile  kodra-cli compile of a source; dictfmt -c5 of the same articles

Sets (in build/synthetic, made with scripts/make_synthetic.py when absent):
  lsj        the partial LSJ of the corpora (../shared/corpora)
  lsj-forms  the same and a million form articles
  big        a main dictionary of about 200 MB

Each set is compiled into build/synthetic/home-<set>/ and exported once with
scripts/stardict_export.py into stardict-<set>/ and dictd-<set>/. "anon" is
the most anonymous memory seen while the process ran (sampled every
millisecond in three runs apart from the timed ones); "peak" is its peak resident size (the most of three runs under
/usr/bin/time).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import stardict_export  # noqa: E402

LANGUAGE = "ancientgreek"
WORD = "ἵππος"
ABSENT = "ζζζζζ"


class Measured:
    def __init__(self, seconds, peak_kb, anon_kb):
        self.seconds, self.peak_kb, self.anon_kb = seconds, peak_kb, anon_kb


def anonymous_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("RssAnon:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def run(command, stdin_bytes=None, sample=False):
    """One whole process: its wall time, and the most anonymous memory seen
    when sampled (the sampling takes a core of its own, so timed runs are
    not sampled)."""
    stdin = subprocess.PIPE if stdin_bytes is not None else subprocess.DEVNULL
    start = time.perf_counter()
    process = subprocess.Popen(command, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    most = [0]
    done = threading.Event()

    def sampling():
        while not done.is_set():
            most[0] = max(most[0], anonymous_kb(process.pid))
            time.sleep(0.001)

    sampler = threading.Thread(target=sampling)
    if sample:
        sampler.start()
    if stdin_bytes is not None:
        process.stdin.write(stdin_bytes)
        process.stdin.close()
    os.waitpid(process.pid, 0)
    elapsed = time.perf_counter() - start
    process.returncode = 0
    done.set()
    if sample:
        sampler.join()
    return Measured(elapsed, 0, most[0])


def peak_kb(command, stdin_bytes=None):
    """The peak resident size, as /usr/bin/time reports it: a child of this
    (larger) process would inherit its parent's peak."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, input=stdin_bytes,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return int(result.stderr.decode().strip().splitlines()[-1])


def paired(runs, ours, theirs):
    """Median times, median ratio of the pairs, and the largest memory figures of each side."""
    mine, peer, ratios = [], [], []
    run(ours[0], ours[1])  # caches warm for both
    run(theirs[0], theirs[1])
    for i in range(runs):
        if i % 2 == 0:
            a = run(*ours)
            b = run(*theirs)
        else:
            b = run(*theirs)
            a = run(*ours)
        mine.append(a)
        peer.append(b)
        ratios.append(a.seconds / b.seconds)
    for _ in range(3):
        mine[0].anon_kb = max(mine[0].anon_kb, run(*ours, sample=True).anon_kb)
        peer[0].anon_kb = max(peer[0].anon_kb, run(*theirs, sample=True).anon_kb)
    if os.path.exists("/usr/bin/time"):
        for _ in range(3):
            mine[0].peak_kb = max(mine[0].peak_kb, peak_kb(*ours))
            peer[0].peak_kb = max(peer[0].peak_kb, peak_kb(*theirs))
    return mine, peer, statistics.median(ratios)


def median_ms(measured):
    return statistics.median(m.seconds for m in measured) * 1000


def row(case, name, peer_name, mine, peer, ratio):
    my_peak = max(m.peak_kb for m in mine)
    peer_peak = max(m.peak_kb for m in peer)
    print(f"{case:8} {name:10} {median_ms(mine):9.1f} {peer_name:8} {median_ms(peer):9.1f} {ratio:6.2f}x"
          f" {my_peak:9d} {peer_peak:9d} {my_peak / max(peer_peak, 1):5.2f}x"
          f" {max(m.anon_kb for m in mine):8d} {max(m.anon_kb for m in peer):8d}", flush=True)


def compile_into(cli, source, target):
    if os.path.exists(target) and os.path.getmtime(target) >= os.path.getmtime(source):
        return
    os.makedirs(os.path.dirname(target), exist_ok=True)
    subprocess.run([cli, "compile", source, "-o", target], check=True, stdout=subprocess.DEVNULL)


def prepare(cli, synthetic, corpora):
    """The sets' program folders and their exports: {set: (home, stardict folder, dictd folder)}."""
    if not os.path.exists(os.path.join(synthetic, "main-big.kds")):
        subprocess.run([sys.executable, os.path.join(HERE, "make_synthetic.py"), "--corpora", corpora,
                        "--out", synthetic], check=True)
    members = {
        "lsj": {"main": os.path.join(corpora, "lsj-partial.kds")},
        "lsj-forms": {"main": os.path.join(corpora, "lsj-partial.kds"),
                      "forms": os.path.join(synthetic, "forms-random.kds")},
        "big": {"main": os.path.join(synthetic, "main-big.kds")},
    }
    sets = {}
    for name, dictionaries in members.items():
        home = os.path.join(synthetic, "home-" + name)
        folder = os.path.join(home, LANGUAGE)
        for member, source in dictionaries.items():
            compile_into(cli, source, os.path.join(folder, member + ".kdb"))
        with open(os.path.join(folder, "dictionaries.cfg"), "w", newline="") as f:
            f.write("".join(member + "\r\n" for member in dictionaries))
        stardict = os.path.join(synthetic, "stardict-" + name)
        dictd = os.path.join(synthetic, "dictd-" + name)
        if not os.path.exists(os.path.join(dictd, "done")):
            shutil.rmtree(stardict, ignore_errors=True)
            shutil.rmtree(dictd, ignore_errors=True)
            os.makedirs(dictd)
            for member in dictionaries:
                entries = stardict_export.read_articles(cli, os.path.join(folder, member + ".kdb"))
                stardict_export.write_stardict(entries, os.path.join(stardict, "dic"), member)
                source = os.path.join(dictd, member + ".c5")
                stardict_export.write_dictfmt_input(entries, source)
                if shutil.which("dictfmt"):
                    with open(source, "rb") as text:
                        subprocess.run(["dictfmt", "-c5", "--utf8", "--allchars", "--silent",
                                        os.path.join(dictd, member)], stdin=text, check=True)
            open(os.path.join(dictd, "done"), "w").close()
            if shutil.which("sdcv"):  # sdcv writes its offset cache on the first run
                subprocess.run(["sdcv", "-n", "-e", "-x", "--data-dir", stardict, WORD], stdout=subprocess.DEVNULL)
        sets[name] = (home, stardict, dictd, list(dictionaries))
    return sets


def dictd_configuration(dictd, names, scratch):
    path = os.path.join(scratch, "dictd-" + os.path.basename(dictd) + ".conf")
    with open(path, "w") as f:
        for name in names:
            f.write(f'database {name} {{ data "{os.path.join(dictd, name)}.dict" '
                    f'index "{os.path.join(dictd, name)}.index" }}\n')
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "bin", "kodra-cli"))
    parser.add_argument("--cases", default="start,search,compile")
    parser.add_argument("--synthetic", default=os.environ.get("KODRA_SYNTHETIC",
                                                              os.path.join(ROOT, "build", "synthetic")))
    parser.add_argument("--corpora", default=os.environ.get("KODRA_CORPORA",
                                                            os.path.join(ROOT, "..", "shared", "corpora")))
    args = parser.parse_args()
    cases = args.cases.split(",")
    cli = os.path.abspath(args.cli)
    sets = prepare(cli, args.synthetic, args.corpora)
    scratch = tempfile.mkdtemp(prefix="kodra-compare-")
    print(f"{'case':8} {'set':10} {'kodra ms':>9} {'peer':8} {'peer ms':>9} {'ratio':>7}"
          f" {'kodra KB':>9} {'peer KB':>9} {'ratio':>6} {'anon KB':>8} {'peer anon':>8}")
    try:
        for name, (home, stardict, dictd, members) in sets.items():
            if "start" in cases:
                kodra = ([cli, "lookup", "--home", home, "--lang", LANGUAGE, WORD], None)
                if shutil.which("sdcv"):
                    sdcv = (["sdcv", "-n", "-e", "-x", "--data-dir", stardict, WORD], None)
                    row("start", name, "sdcv", *paired(args.runs, kodra, sdcv))
                if shutil.which("dictd") and os.path.exists(os.path.join(dictd, members[0] + ".index")):
                    configuration = dictd_configuration(dictd, members, scratch)
                    request = f"DEFINE * {WORD}\r\nQUIT\r\n".encode()
                    daemon = (["dictd", "--inetd", "-c", configuration, "--locale", "C.UTF-8"], request)
                    row("start", name, "dictd", *paired(args.runs, kodra, daemon))
            if "search" in cases and name != "lsj-forms" and shutil.which("sdcv"):
                kodra = ([cli, "search", "--home", home, "--lang", LANGUAGE, ABSENT], None)
                sdcv = (["sdcv", "-n", "-x", "--data-dir", stardict, "|" + ABSENT], None)
                row("search", name, "sdcv", *paired(args.runs, kodra, sdcv))
        if "compile" in cases and shutil.which("dictfmt"):
            sources = [("lsj", os.path.join(args.corpora, "lsj-partial.kds"), "dictd-lsj/main.c5"),
                       ("forms", os.path.join(args.synthetic, "forms-random.kds"), "dictd-lsj-forms/forms.c5"),
                       ("big", os.path.join(args.synthetic, "main-big.kds"), "dictd-big/main.c5")]
            for name, source, text in sources:
                with open(os.path.join(args.synthetic, text), "rb") as f:
                    articles = f.read()
                kodra = ([cli, "compile", source, "-o", os.path.join(scratch, "out.kdb")], None)
                dictfmt = (["dictfmt", "-c5", "--utf8", "--allchars", "--silent", os.path.join(scratch, "out")],
                           articles)
                row("compile", name, "dictfmt", *paired(max(3, args.runs // 4), kodra, dictfmt))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
