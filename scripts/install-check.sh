#!/usr/bin/env bash
# Packs the program as a Debian package, unpacks it into a staging folder and
# runs it from there as an ordinary user whose home is a fresh folder:
# kodra-cli looks words up in the shipped dictionaries, kodra starts under a
# virtual display and ends on SIGTERM. Nothing may be written under the
# staging prefix; the user's files must land in the user's folders.
#   scripts/install-check.sh [BUILD_DIR]     (default build/; configured and built when needed)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${1:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$(nproc)"

work=$(mktemp -d /tmp/kodra-install-check.XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
fail() { echo "install-check: $*" >&2; exit 1; }

echo "== package"
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/*.deb)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Depends Recommends

echo "== unpack and validate"
stage="$work/stage"
dpkg-deb -x "$deb" "$stage"
prefix="$stage/usr"
desktop-file-validate "$prefix/share/applications/org.prask.Kodra.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.prask.Kodra.metainfo.xml"
for file in bin/kodra bin/kodra-cli share/kodra/ancientgreek/main.kdb share/kodra/latin/main.kdb \
            share/kodra/help share/kodra/KodraSp.ttf share/icons/hicolor/scalable/apps/org.prask.Kodra.svg \
            share/icons/hicolor/256x256/apps/org.prask.Kodra.png share/doc/kodra/LICENSE; do
  [ -e "$prefix/$file" ] || fail "the package lacks $file"
done
snapshot() { (cd "$stage" && find . -printf '%p %s %T@ %m\n' | sort); }
snapshot > "$work/before"
chmod -R a-w "$stage"

# An ordinary user: root drops to nobody; anyone else stays who they are.
home="$work/home"
mkdir -p "$home/run"
chmod 700 "$home/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
user_env=(env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="$home/run")

echo "== kodra-cli from the staging prefix"
greek=$("${as_user[@]}" "${user_env[@]}" "$prefix/bin/kodra-cli" lookup λόγος) || fail "kodra-cli lookup λόγος failed"
head -3 <<< "$greek"
# The keyword is shown as the dictionary spells it: omicron with oxia (U+1F79), not tonos.
grep -q "λ"$'\xe1\xbd\xb9'"γος" <<< "$greek" || fail "λόγος not found in the shipped Greek dictionaries"
latin=$("${as_user[@]}" "${user_env[@]}" "$prefix/bin/kodra-cli" lookup --lang latin amo) || fail "kodra-cli lookup amo failed"
grep -q "amo" <<< "$latin" || fail "amo not found in the shipped Latin dictionaries"

echo "== kodra under a virtual display"
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -ac -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
"${as_user[@]}" "${user_env[@]}" DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$prefix/bin/kodra" λόγος \
  > "$work/kodra.log" 2>&1 &
kodra_pid=$!
shown=""
for _ in $(seq 100); do
  if DISPLAY=":$display" xdotool search --onlyvisible --name "Kodra" >/dev/null 2>&1; then shown=yes; break; fi
  kill -0 "$kodra_pid" 2>/dev/null || break
  sleep 0.2
done
[ -n "$shown" ] || { cat "$work/kodra.log" >&2; fail "the window of kodra did not show"; }
sleep 1
kill -TERM "$kodra_pid"
status=0
wait "$kodra_pid" || status=$?
[ "$status" -eq 0 ] || { cat "$work/kodra.log" >&2; fail "kodra ended with status $status on SIGTERM"; }

echo "== what was written"
chmod -R u+w "$stage"
snapshot > "$work/after"
if ! diff "$work/before" "$work/after" >&2; then fail "something was written under the staging prefix"; fi
echo "nothing under the staging prefix"
(cd "$home" && find . -type f ! -path './run/*' ! -path './.cache/*' | sort)
[ -f "$home/.config/kodra/kodra3.ini" ] || fail "the settings were not written to the user's configuration folder"
[ -f "$home/.local/share/kodra/ancientgreek/saves.dat" ] || fail "the search text was not kept in the user's data folder"
grep -m1 "DefFontName" "$home/.config/kodra/kodra3.ini" || true
echo "install-check: passed"
