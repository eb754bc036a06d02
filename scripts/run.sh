#!/usr/bin/env bash
# Builds the program and starts it on the bundled dictionaries.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"
if [ -x build/bin/kodra ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/bin/kodra "$@"
fi
echo "No display, or no window program yet: showing the bundled example with kodra-cli." >&2
build/bin/kodra-cli info tests/data/pinned.kdb
build/bin/kodra-cli dump tests/data/pinned.kdb
