#!/usr/bin/env bash
# Start and first lookup as a process, beside sdcv on the same data where it
# is installed: the median wall time of several runs, and the peak resident
# memory of one.
#   [KODRA_CLI=path/to/kodra-cli] scripts/compare_start.sh [RUNS]
# Needs the synthetic sets of scripts/make_synthetic.py in build/synthetic/.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
cli=${KODRA_CLI:-build/bin/kodra-cli}  # another build to compare with
synthetic=build/synthetic
word=ἵππος

median_ms() {  # command...: the median wall time in milliseconds
  python3 - "$runs" "$@" <<'PY'
import statistics, subprocess, sys, time
runs, command = int(sys.argv[1]), sys.argv[2:]
times = []
for _ in range(runs):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    times.append(time.perf_counter() - start)
print(f"{statistics.median(times) * 1000:.1f}")
PY
}

peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

printf '%-10s %14s %12s %14s %12s\n' set "kodra ms" "kodra KB" "sdcv ms" "sdcv KB"
for set in lsj lsj-forms big; do
  home=$synthetic/home-$set
  [ -d "$home" ] || continue
  kodra=("$cli" lookup --home "$home" --lang ancientgreek "$word")
  row=$(printf '%-10s %14s %12s' "$set" "$(median_ms "${kodra[@]}")" "$(peak_kb "${kodra[@]}")")
  if command -v sdcv >/dev/null; then
    data=$synthetic/stardict-$set
    if [ ! -d "$data" ]; then
      for kdb in "$home"/ancientgreek/*.kdb; do
        python3 scripts/stardict_export.py "$cli" "$kdb" "$data/dic" "$(basename "$kdb" .kdb)"
      done
      sdcv -n -e --data-dir "$data" "$word" >/dev/null 2>&1 || true  # builds sdcv's offset cache
    fi
    sdcv=(sdcv -n -e --data-dir "$data" "$word")
    row+=$(printf ' %14s %12s' "$(median_ms "${sdcv[@]}")" "$(peak_kb "${sdcv[@]}")")
  fi
  echo "$row"
done
