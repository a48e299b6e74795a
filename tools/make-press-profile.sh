#!/usr/bin/env bash
# Remakes assets/color/coated-fogra39.icc, the CMYK press profile the
# print-shop PDF converts into, from FOGRA's published measurements of
# offset printing on coated paper (FOGRA39L.ti3, shipped by Debian's
# icc-profiles-free under the zlib licence). ArgyllCMS's colprof turns the
# measurements into an ICC output profile with a total ink limit of 300 %.
# Needs: apt-get install icc-profiles-free argyll
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
data=/usr/share/color/icc/FOGRA39L.ti3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$data" "$work/coated-fogra39.ti3"
cd "$work"
colprof -qm -l300 -L100 \
  -D "Penlark coated FOGRA39 (300%)" \
  -C "Made from FOGRA39L measurements (zlib licence) with ArgyllCMS colprof" \
  coated-fogra39
cp coated-fogra39.icc "$here/assets/color/coated-fogra39.icc"
