#!/bin/bash
# A batch run killed with SIGKILL at any moment leaves only whole lines: every data line has the header's cells
# and both files end with a line end. Each structure's text goes to a file in one write; Linux lets SIGKILL cut a
# write only between two pages it copies, so the sections are kept small (one weight): a kill then lands inside a
# write that spans pages too rarely to flake. Arguments: the batch tool, the source tree.
set -euo pipefail
batch=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CORVATIN_SETTINGS=$work/settings.ini
input=$work/many.sml2
for i in $(seq 1 40); do cat "$src/data/samples/drugs.sml2"; done >"$input"
for round in 1 2 3 4 5 6; do
  "$batch" -q -p TOPS-MODE --weights Hydrophobicity --jobs 2 --results-dir "$work/out" "$input" 2>/dev/null &
  pid=$!
  # A random moment within the run (which takes seconds): milliseconds after the start.
  sleep "0.$(( (RANDOM % 900) + 100 ))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  for file in "$work/out/TOPS-MODE.txt" "$work/out/Results.txt"; do
    [ -s "$file" ] || continue
    [ "$(tail -c 2 "$file" | od -An -c | tr -d ' ')" = '\r\n' ] || { echo "round $round: $file ends mid-line"; tail -c 300 "$file" | od -c | tail -5; exit 1; }
  done
  if [ -s "$work/out/TOPS-MODE.txt" ]; then
    awk -F'\t' 'NR == 1 { n = NF } NF != n { print "line " NR " has " NF " cells, the header " n; bad = 1 }
                END { exit bad }' "$work/out/TOPS-MODE.txt" || { echo "round $round: a broken line"; exit 1; }
  fi
done
echo "killed runs left whole lines only"
