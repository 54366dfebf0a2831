#!/usr/bin/env bash
# Throughput of the batch tool in a Release build: structures per second and peak memory (maximum resident set
# size) of the four heavy procedures over ≥4,000 drug-like structures (the 2,000-molecule SD fixture read twice,
# or the SD file given), at --jobs 1 and --jobs = all cores when the tool has that option. When RDKit is
# installed, its rate for comparable descriptor sets is measured in the same run as a yardstick (never a
# dependency). Each figure is the best of REPEAT runs (default 3), since the machine may be shared; the load
# average is printed with the figures.
#   scripts/bench-batch.sh [FILE.sdf]        environment: REPEAT, BENCH_BUILD (build folder), PROCEDURES
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# The shared fixtures sit beside the checkout (../shared), or beside the folder of worktrees (../../shared).
fixture=${1:-$top/../shared/fixtures/drugs-2000.sdf}
[ $# -ge 1 ] || [ -f "$fixture" ] || fixture=$top/../../shared/fixtures/drugs-2000.sdf
repeat=${REPEAT:-3}
build=${BENCH_BUILD:-$top/build-release}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target corvatin-batch >/dev/null
batch="$build/app/corvatin-batch"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sdf="$work/bench.sdf"
if [ $# -ge 1 ]; then cp "$fixture" "$sdf"; else cat "$fixture" "$fixture" > "$sdf"; fi
records=$(grep -c '^\$\$\$\$' "$sdf")

jobs_list=(1)
if "$batch" --help | grep -q -- '--jobs' && [ "$(nproc)" -gt 1 ]; then jobs_list+=("$(nproc)"); fi
if [ -n "${PROCEDURES:-}" ]; then
  IFS=';' read -r -a procedures <<< "$PROCEDURES"
else
  procedures=("Physicochemical descriptors" "Topological Indices" "TOPS-MODE" "TOPS-MODE Local Contributions")
fi

echo "== $records structures ($(basename "$fixture")$([ $# -ge 1 ] || echo ' twice')), best of $repeat runs"
echo "== uptime:$(uptime)"

# Best wall time and best processor time (user + system) over the runs of one procedure at one --jobs
# ("seconds cpu kb status"); the peak memory is the largest of the runs. On a loaded machine the wall time also
# holds the waits for the processor, the processor time does not. Quiet (-q) as a large run would be: the log's echo of every value is not measured.
measure() {
  local procedure=$1 jobs=$2 best="" cpu="" kb=0 status=0 extra=()
  [[ "$procedure" == TOPS-MODE* ]] && extra=(--weights all)
  [ "${#jobs_list[@]}" -gt 1 ] && extra+=(--jobs "$jobs")
  for _ in $(seq "$repeat"); do
    rm -rf "$work/out" && mkdir "$work/out"
    status=0
    /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$batch" -q -p "$procedure" "${extra[@]}" --results-dir "$work/out" \
      "$sdf" 2> "$work/log" >/dev/null || status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq 3 ] || { tail -5 "$work/log" >&2; exit 1; }
    read -r seconds runkb user system < <(tail -1 "$work/time")
    runcpu=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
    [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }' && best=$seconds
    [ -z "$cpu" ] || awk -v a="$runcpu" -v b="$cpu" 'BEGIN { exit !(a < b) }' && cpu=$runcpu
    [ "$runkb" -gt "$kb" ] && kb=$runkb
  done
  echo "$best $cpu $kb $([ "$status" -eq 0 ] && echo "all written" || echo "some skipped")"
}

declare -A rate cpurate
for procedure in "${procedures[@]}"; do
  for jobs in "${jobs_list[@]}"; do
    measure "$procedure" "$jobs" > "$work/measure"
    read -r seconds cpu kb outcome < "$work/measure"
    rate["$procedure/$jobs"]=$(awk -v n="$records" -v s="$seconds" 'BEGIN { printf "%.0f", n / s }')
    cpurate["$procedure/$jobs"]=$(awk -v n="$records" -v s="$cpu" 'BEGIN { printf "%.0f", n / s }')
    printf '%-31s --jobs %-2s %6.2f s %7s structures/s  (processor %5.2f s, %5s/s)  peak %6.1f MB  (%s)\n' \
      "$procedure" "$jobs" "$seconds" "${rate[$procedure/$jobs]}" "$cpu" "${cpurate[$procedure/$jobs]}" \
      "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')" "$outcome"
  done
done

if /usr/bin/python3 -c 'import rdkit' 2>/dev/null; then
  # The comparable sets: what our procedure computes that RDKit also computes, at one core each.
  compare() {
    local set=$1 label=$2 procedure=$3
    [ -n "${rate[$procedure/1]:-}" ] || return 0
    read -r n seconds cpu < <(/usr/bin/python3 "$top/scripts/bench_rdkit.py" "$sdf" "$set" "$repeat")
    awk -v n="$n" -v s="$seconds" -v c="$cpu" -v ours="${rate[$procedure/1]}" -v ourcpu="${cpurate[$procedure/1]}" \
      -v l="$label" -v p="$procedure" 'BEGIN {
      r = n / s; rc = n / c
      printf "RDKit %-29s %6.2f s %7.0f structures/s  (processor %5.2f s, %5.0f/s)\n", l, s, r, c, rc
      printf "  -> \"%s\" at --jobs 1: %.2fx RDKit (processor time: %.2fx)\n", p, ours / r, ourcpu / rc }'
  }
  compare physchem "logP+MR+TPSA+MW" "Physicochemical descriptors"
  compare topological "BalabanJ+Chi0-4(n,v)+Kappa1-3" "Topological Indices"
else
  echo "RDKit not installed (/usr/bin/python3 -c 'import rdkit' failed): no yardstick"
fi
echo "== uptime:$(uptime)"
