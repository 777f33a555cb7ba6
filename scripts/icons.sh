#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG sizes of the icon from app/icons/veldo.svg; run after changing the drawing and
# commit the PNGs (the build does not render them, so it needs no SVG tools).
set -euo pipefail
cd "$(dirname "$0")/../app/icons"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt install librsvg2-bin" >&2; exit 1; }
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" veldo.svg -o "veldo-$size.png"
done
