#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev libicu-dev
          qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libxcb1-dev libxcb-xkb-dev libxkbcommon-x11-dev xvfb xauth unicode-data
          xdotool xclip python3-fonttools desktop-file-utils appstream dpkg-dev file
          qt6-translations-l10n hunspell hunspell-ru)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
