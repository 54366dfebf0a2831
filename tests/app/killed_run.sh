#!/bin/bash
# A batch run killed with SIGKILL at any moment leaves only whole lines once the next run has opened the files.
# Each structure's text goes to a file in one write, but Linux lets SIGKILL end a write between two pages it
# copies, so a long section (all weights) may stop in mid-line; the next run cuts such a line off before it reads
# the header or appends, says so in its log, keeps every whole line and appends its own after them.
# Arguments: the batch tool, the source tree.
set -euo pipefail
batch=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CORVATIN_SETTINGS=$work/settings.ini
run() { "$batch" -q -p TOPS-MODE --weights all --results-dir "$@"; }
input=$work/many.sml2
for i in $(seq 1 40); do cat "$src/data/samples/drugs.sml2"; done >"$input"
# What a run over one structure writes into empty files: the header, its row and its section.
head -2 "$src/data/samples/drugs.sml2" >"$work/one.sml2"
run "$work/reference" "$work/one.sml2" 2>/dev/null
cut=0
for round in 1 2 3 4 5 6; do
  # Started directly, not through run: $! is then the batch tool itself.
  "$batch" -q -p TOPS-MODE --weights all --results-dir "$work/out" --jobs 2 "$input" 2>/dev/null &
  pid=$!
  # A random moment within the run (which takes seconds): milliseconds after the start.
  sleep "0.$(( (RANDOM % 900) + 100 ))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -s "$work/out/TOPS-MODE.txt" ] || continue
  # A kill lands inside a write that spans pages too rarely to count on: every other round cuts the files short
  # at a random byte of their last lines, as such a kill would.
  if [ $((round % 2)) = 0 ]; then
    for file in "$work/out/TOPS-MODE.txt" "$work/out/Results.txt"; do
      truncate -s "-$(( (RANDOM % 3000) + 1 ))" "$file"
    done
  fi
  rm -rf "$work/killed" && cp -r "$work/out" "$work/killed"
  # The next run, over one structure, mends what the killed one left and appends that structure.
  run "$work/out" "$work/one.sml2" 2>"$work/next.log" ||
    { echo "round $round: the run after the kill failed"; cat "$work/next.log"; exit 1; }
  n=$(python3 - "$work" "$round" <<'EOF'
import os, sys
work, round_ = sys.argv[1], sys.argv[2]
log = open(os.path.join(work, "next.log"), encoding="utf-8", errors="replace").read()
read = lambda *path: open(os.path.join(work, *path), "rb").read()
cut = 0
for name in ("TOPS-MODE.txt", "Results.txt"):
    before, after, reference = read("killed", name), read("out", name), read("reference", name)
    whole = before[: before.rfind(b"\n") + 1]  # every line the killed run finished
    tail = before[len(whole):]
    header = reference[: reference.find(b"\n") + 1]
    if tail.endswith(b"\r"):  # stopped between CR and LF
        kept = tail + b"\n"
    elif name == "TOPS-MODE.txt" and whole and tail.count(b"\t") == header.count(b"\t"):  # a row with every cell
        kept = tail + b"\r\n"
    else:
        kept = b""
    appended = reference[len(header):] if name == "TOPS-MODE.txt" and whole + kept else reference
    if after != whole + kept + appended:
        sys.exit(f"round {round_}: {name} is not the killed run's whole lines followed by the next run's; "
                 f"it ended in {tail[-80:]!r}, now ends in {after[-200:]!r}")
    if name == "TOPS-MODE.txt":
        for n, line in enumerate(after.split(b"\r\n")[:-1], 1):
            if line.count(b"\t") != header.count(b"\t"):
                sys.exit(f"round {round_}: {name}: line {n} has not the header's cells: {line[:80]!r}")
    if tail and not kept:
        cut += 1
        warning = f'"{os.path.join(work, "out", name)}" ended in an unfinished line ({len(tail)} bytes'
        if warning not in log:
            sys.exit(f"round {round_}: {name}: {len(tail)} bytes cut without a warning; the log:\n{log}")
print(cut)
EOF
  ) || { echo "$n"; exit 1; }
  cut=$((cut + n))
done
echo "killed runs left whole lines only ($cut unfinished lines cut off by the next run)"
