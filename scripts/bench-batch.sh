#!/usr/bin/env bash
# Throughput of the batch tool: "TOPS-MODE" with all fifteen weights over the 2,000-molecule SD fixture
# (../shared/fixtures/drugs-2000.sdf, or the path given), in a Release build. Prints molecules per second and the
# peak memory (maximum resident set size).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sdf=${1:-$top/../shared/fixtures/drugs-2000.sdf}
procedure=${2:-TOPS-MODE}
build="$top/build-release"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target corvatin-batch >/dev/null
out=$(mktemp -d)
records=$(grep -c '^\$\$\$\$' "$sdf")
extra=()
[ "$procedure" = "TOPS-MODE" ] && extra=(--weights all)
/usr/bin/time -f "%e %M" -o "$out/time" "$build/app/corvatin-batch" -q -p "$procedure" "${extra[@]}" \
  --results-dir "$out" "$sdf" 2> "$out/log" || { tail -5 "$out/log"; exit 1; }
read -r seconds kb < "$out/time"
lines=$(($(wc -l < "$out/$(ls "$out" | grep -v -e Results.txt -e time -e log | head -1)") - 1))
awk -v n="$records" -v w="$lines" -v s="$seconds" -v kb="$kb" -v p="$procedure" 'BEGIN {
  printf "%s: %d records (%d written) in %.2f s: %.0f molecules/s, peak memory %.1f MB\n", p, n, w, s, n / s, kb / 1024 }'
rm -rf "$out"
