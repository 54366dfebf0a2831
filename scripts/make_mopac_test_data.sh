#!/usr/bin/env bash
# Regenerates the MOPAC 22 outputs of tests/data/mopac from the .mop inputs kept there (Debian's `mopac`
# package, MOPAC 22.0.6). Not part of the build or the tests: the outputs are frozen in the repository, and the
# tests compare the reader with the numbers printed in them (printed.tsv, remade at the end by
# scripts/mopac_printed.py). The run date in the outputs changes; nothing else
# should. Usage: scripts/make_mopac_test_data.sh [folder]   (default tests/data/mopac)
set -euo pipefail
cd "$(dirname "$0")/.."
folder="${1:-tests/data/mopac}"
command -v mopac >/dev/null || { echo "mopac is not installed (apt-get install mopac)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for input in "$folder"/*.mop; do
  name=$(basename "$input" .mop)
  [ "$name" = acetone ] && continue # the fixture's own output, kept as delivered
  cp "$input" "$work/$name.mop"
  (cd "$work" && mopac "$name.mop" >/dev/null 2>&1)
  cp "$work/$name.out" "$folder/$name.out"
done
python3 scripts/mopac_printed.py "$folder"
