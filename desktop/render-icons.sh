#!/usr/bin/env bash
# Renders the icon's PNG sizes from its SVG (ImageMagick); run after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 64 128 256; do
  convert -background none org.prask.Kodra.svg -resize "${size}x${size}" "icons/${size}/org.prask.Kodra.png"
done
