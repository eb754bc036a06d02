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
echo "No display, or no window program: looking words up in the bundled dictionaries with kodra-cli." >&2
build/bin/kodra-cli lookup "${1:-ανθρωπος}"
build/bin/kodra-cli lookup --lang latin amo
