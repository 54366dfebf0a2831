#!/usr/bin/env bash
# The main job: the "TOPS-MODE" procedure with all fifteen weights over the bundled sample, into results/.
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/results"
mkdir -p "$out"
rm -f "$out/TOPS-MODE.txt" "$out/Results.txt"
echo "== corvatin-batch --procedure TOPS-MODE --weights all --results-dir results data/samples/drugs.sml2"
"$top/$build/app/corvatin-batch" --procedure "TOPS-MODE" --weights all --quiet --results-dir "$out" \
  "$top/data/samples/drugs.sml2"
echo "== Results in $out:"
ls -l "$out"
echo "== First lines of TOPS-MODE.txt (tab-separated; first columns shown):"
head -n 4 "$out/TOPS-MODE.txt" | cut -f 1-8 | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'
