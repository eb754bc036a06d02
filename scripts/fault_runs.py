#!/usr/bin/env python3
"""Kills, races and a full disk against kodra-cli's writers.

Each writer (compile, import) is killed at a random moment many times: the
target must then hold either its old bytes or the complete new ones, and
the next finished run must leave no temporary beside it. Compiles of one
target run at once; lookups read a dictionary while compiles replace it;
writes fail for want of room. Prints one line of figures per run.

  scripts/fault_runs.py [--cli build/bin/kodra-cli] [--kills 300]
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run(cli, *args, **kw):
    return subprocess.run([cli, *args], capture_output=True, text=True, **kw)


def temporaries(folder):
    return sorted(n for n in os.listdir(folder) if ".kodra-" in n or n.endswith(".tmp"))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def make_dsl(path, entries):
    with open(path, "w", encoding="utf-8") as f:
        f.write('#NAME "Kill test"\n#INDEX_LANGUAGE "Latin"\n#CONTENTS_LANGUAGE "Russian"\n\n')
        for i in range(entries):
            f.write(f"verbum{i:06d}\n\t[m1][b]verbum{i}[/b] [i]n[/i] слово номер {i}[/m]\n\n")


def kill_runs(cli, name, command, target, kills, span):
    """Kills command at random moments up to span seconds; checks target."""
    old = read(target)
    subprocess.run(command, check=True, capture_output=True)
    new = read(target)
    assert old != new, "the writer must change the target"

    with open(target, "wb") as f:
        f.write(old)
    outcomes = {"old": 0, "new": 0, "other": 0}
    left = 0
    for i in range(kills):
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0, span))
        process.send_signal(signal.SIGKILL)
        process.wait()
        now = read(target)
        outcomes["old" if now == old else "new" if now == new else "other"] += 1
        left = max(left, len(temporaries(os.path.dirname(target))))
        if now == new:
            with open(target, "wb") as f:
                f.write(old)
    # A finished run removes what the killed ones left.
    subprocess.run(command, check=True, capture_output=True)
    remaining = temporaries(os.path.dirname(target))
    ok = outcomes["other"] == 0 and not remaining and read(target) == new
    print(f"{name}: {kills} SIGKILLs: target old {outcomes['old']}, new {outcomes['new']}, "
          f"other {outcomes['other']}; at most {left} temporaries left by kills, "
          f"{len(remaining)} after the next run -> {'ok' if ok else 'FAILED'}")
    return ok


def term_runs(cli, name, command, target, runs, span):
    """SIGTERM removes the writer's own temporary at once."""
    left = 0
    for i in range(runs):
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0, span))
        process.send_signal(signal.SIGTERM)
        process.wait()
        left += len(temporaries(os.path.dirname(target)))
    print(f"{name}: {runs} SIGTERMs: {left} temporaries left -> {'ok' if left == 0 else 'FAILED'}")
    return left == 0


def concurrent_compiles(cli, source, target, count):
    expected_run = run(cli, "compile", source, "-o", target)
    expected = read(target)
    os.remove(target)
    processes = [subprocess.Popen([cli, "compile", source, "-o", target], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL) for _ in range(count)]
    codes = [p.wait() for p in processes]
    ok = expected_run.returncode == 0 and all(c == 0 for c in codes) and read(target) == expected \
        and not temporaries(os.path.dirname(target))
    print(f"{count} compiles of one target at once: exit codes {sorted(set(codes))}, target complete "
          f"{read(target) == expected}, temporaries {len(temporaries(os.path.dirname(target)))} -> "
          f"{'ok' if ok else 'FAILED'}")
    return ok


def lookups_while_replaced(cli, home, sources, seconds):
    """kodra-cli lookup - reads words while compiles rename and copy over main.kdb."""
    main = os.path.join(home, "latin", "main.kdb")
    lookup = subprocess.Popen([cli, "lookup", "--home", home, "--lang", "latin", "-"], stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    replaced = copied = 0
    end = time.time() + seconds
    words = ["amo", "puer", "verbum", "rosa", "liber", "res"]
    built = []
    for i, source in enumerate(sources):
        out = os.path.join(home, f"built{i}.kdb")
        subprocess.run([cli, "compile", source, "-o", out], check=True, capture_output=True)
        built.append(out)
    while time.time() < end and lookup.poll() is None:
        for w in words:
            lookup.stdin.write(w + "\n")
        lookup.stdin.flush()
        chosen = random.choice(built)
        if random.random() < 0.5:
            subprocess.run([cli, "compile", sources[built.index(chosen)], "-o", main], capture_output=True)
            replaced += 1
        else:
            shutil.copyfile(chosen, main)  # in place, as cp does
            copied += 1
    lookup.stdin.close()
    status = lookup.wait()
    said = lookup.stderr.read().count("changed on disk")
    ok = status in (0, 1)  # 1: some word had no article; a signal would be negative
    print(f"lookup - while main.kdb was compiled over {replaced} times and copied over in place {copied} "
          f"times: exit {status}, 'changed on disk' said {said} times -> {'ok' if ok else 'FAILED'}")
    return ok


def full_disk(cli, source, dsl, folder):
    """Writes into a 64 KB file system: refused, old target kept, no temporary."""
    disk = os.path.join(folder, "disk")
    os.makedirs(disk)
    if os.geteuid() != 0 or subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", disk],
                                           capture_output=True).returncode != 0:
        print("full disk: skipped (needs the superuser to mount a small tmpfs)")
        return True
    try:
        ok = True
        for name, args, target in (("compile", ["compile", source, "-o"], "x.kdb"),
                                   ("import", ["import", "--from", "dsl", "--language", "latin", dsl, "-o"],
                                    "x.kds")):
            path = os.path.join(disk, target)
            with open(path, "wb") as f:
                f.write(b"old")
            result = run(cli, *args, path)
            kept = read(path) == b"old"
            clean = not temporaries(disk)
            good = result.returncode != 0 and kept and clean and "No space" in (result.stdout + result.stderr)
            ok &= good
            message = (result.stdout + result.stderr).strip().splitlines()[-1:] or [""]
            print(f"full disk, {name}: exit {result.returncode}, old target kept {kept}, temporaries none {clean}, "
                  f"said \"{message[0][:120]}\" -> {'ok' if good else 'FAILED'}")
            os.remove(path)
        return ok
    finally:
        subprocess.run(["umount", disk])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "bin", "kodra-cli"))
    parser.add_argument("--kills", type=int, default=300)
    args = parser.parse_args()
    cli = os.path.abspath(args.cli)
    random.seed(20261211)
    with tempfile.TemporaryDirectory(prefix="kodra-faults-") as folder:
        source = os.path.join(ROOT, "data", "latin", "poliachev.kds")
        other = os.path.join(ROOT, "data", "latin", "main.kds")
        target = os.path.join(folder, "out", "poliachev.kdb")
        os.makedirs(os.path.dirname(target))
        subprocess.run([cli, "compile", other, "-o", target], check=True, capture_output=True)
        started = time.time()
        subprocess.run([cli, "compile", source, "-o", target + ".timed"], check=True, capture_output=True)
        os.remove(target + ".timed")
        compile_time = time.time() - started
        dsl = os.path.join(folder, "big.dsl")
        make_dsl(dsl, 40000)
        imported = os.path.join(folder, "imp", "big.kds")
        os.makedirs(os.path.dirname(imported))
        with open(imported, "wb") as f:
            f.write(b"old")
        started = time.time()
        import_command = [cli, "import", "--from", "dsl", "--language", "latin", dsl, "-o", imported]
        subprocess.run(import_command, check=True, capture_output=True)
        import_time = time.time() - started
        with open(imported, "wb") as f:
            f.write(b"old")
        results = [
            kill_runs(cli, "compile", [cli, "compile", source, "-o", target], target, args.kills, compile_time * 2.5),
            kill_runs(cli, "import", import_command, imported, args.kills, import_time * 2),
            term_runs(cli, "compile", [cli, "compile", source, "-o", target], target, 50, compile_time * 0.8),
            concurrent_compiles(cli, source, target, 8),
        ]
        home = os.path.join(folder, "home")
        os.makedirs(os.path.join(home, "latin"))
        subprocess.run([cli, "compile", other, "-o", os.path.join(home, "latin", "main.kdb")], check=True,
                       capture_output=True)
        results.append(lookups_while_replaced(cli, home, [other, source], 20))
        results.append(full_disk(cli, source, dsl, folder))
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
