#!/usr/bin/env bash
# Draws the icon's PNG sizes from resources/icons/marvane.svg into resources/icons/NxN/marvane.png, for the
# desktops and menus that want pictures rather than SVG. The PNGs are kept in the repository, so a build needs
# no SVG renderer; run this again after changing the SVG. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
icons=$root/resources/icons
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (apt install librsvg2-bin)" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" "$icons/marvane.svg" --output "$icons/${size}x${size}/marvane.png"
done
echo "icons written to $icons"
