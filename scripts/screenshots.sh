#!/usr/bin/env bash
# Writes PNGs of every window and view state to screenshots/: the workbench tests draw them on the offscreen
# platform when CORVATIN_SCREENSHOTS names a folder.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
OUT="$PWD/screenshots"
mkdir -p "$OUT"
export QT_QPA_PLATFORM=offscreen CORVATIN_SCREENSHOTS="$OUT"
for t in "$BUILD"/tests/shell/test_shell_*; do
  [ -f "$t" ] && [ -x "$t" ] || continue
  (cd "$BUILD/tests/shell" && "./$(basename "$t")" >/dev/null)
done
echo "== screenshots in $OUT:"
ls -1 "$OUT"
