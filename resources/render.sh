#!/bin/sh
# Renders the SVG sources into the PNGs compiled into the program (at twice
# their display size, for high-density screens). Run after editing an SVG;
# the PNGs are kept in the tree so that a build needs no converter.
set -e
cd "$(dirname "$0")"
mkdir -p images
for src in svg/*.svg; do
  name=$(basename "$src" .svg)
  rsvg-convert --zoom 2 --format png --output "images/$name.png" "$src"
done
