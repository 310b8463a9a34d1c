#!/bin/sh
# Renders each program's scalable icon to the PNG sizes the icon theme installs. The PNGs are kept in the
# repository so that building needs no SVG renderer; run this (it needs rsvg-convert, Debian package
# librsvg2-bin) after changing an icon.
set -eu
cd "$(dirname "$0")/.."
for p in calamo aracnide travaso; do
  mkdir -p "$p/data/icons"
  for n in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$n" -h "$n" "$p/data/org.suiteweb.$p.svg" -o "$p/data/icons/$n.png"
  done
done
