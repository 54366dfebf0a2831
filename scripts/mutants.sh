#!/usr/bin/env bash
# Plants the realistic single-line faults of scripts/mutants.tsv one at a time in a scratch copy of the tree,
# rebuilds incrementally, runs the test executables the entry names (with a timeout) and reports whether a test
# failed, naming the first failing test. An entry whose line text is no longer found (or found more than once) in
# its file is reported as stale: edit the list when code moves. Exit status 0 only when every mutation is caught.
#
# Usage: scripts/mutants.sh [PATTERN]      PATTERN (grep -E) keeps only entries whose file or line matches
# Environment: MUTANTS_DIR (scratch folder, default /tmp/corvatin-mutants-$USER), MUTANTS_TIMEOUT (seconds per
# test executable, default 300), JOBS (parallel compile jobs, default 2).
# MUTANTS_IN_PLACE=BUILD-DIR plants the faults in this tree itself and rebuilds that configured build folder,
# which saves the scratch copy's first full build; every file is restored after its run and on any exit.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
list="$top/scripts/mutants.tsv"
pattern=${1:-}
scratch=${MUTANTS_DIR:-/tmp/corvatin-mutants-${USER:-$(id -un)}}
limit=${MUTANTS_TIMEOUT:-300}
jobs=${JOBS:-2}
tree="$scratch/tree"
build="$scratch/build"
log="$scratch/log"
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}

# One run at a time per scratch folder and per tree: two runs would build over each other and put back each
# other's files.
mkdir -p "$scratch"
exec 9>"$scratch/lock"
flock -n 9 || { echo "mutants: another run holds $scratch/lock" >&2; exit 1; }
if [ -n "${MUTANTS_IN_PLACE:-}" ]; then
  exec 8>"$top/.mutants-lock"
  flock -n 8 || { echo "mutants: another run plants faults in $top" >&2; exit 1; }
fi
saved=$(mktemp "$scratch/original.XXXXXX")

if [ -n "${MUTANTS_IN_PLACE:-}" ]; then
  tree=$top
  build=$(cd "$MUTANTS_IN_PLACE" && pwd) || exit 1
  [ -f "$build/build.ninja" ] || { echo "mutants: $build is no configured build folder" >&2; exit 1; }
  mkdir -p "$log"
else
  mkdir -p "$tree" "$log"
  # The tree's files (tracked or not ignored) are compared by content and copied only when they differ: a changed
  # file gets a new time and is rebuilt, an unchanged one keeps its time (a restored mutant keeps the newer time it
  # was given below). Files gone from the tree are removed from the copy.
  (cd "$top" && git ls-files -co --exclude-standard -z) | python3 -c '
import os, shutil, sys
top, tree = sys.argv[1], sys.argv[2]
wanted = set(p for p in sys.stdin.buffer.read().decode().split("\0") if p and os.path.isfile(os.path.join(top, p)))
for path in wanted:
    source, copy = os.path.join(top, path), os.path.join(tree, path)
    with open(source, "rb") as f:
        data = f.read()
    if os.path.exists(copy):
        with open(copy, "rb") as f:
            if f.read() == data:
                continue
    os.makedirs(os.path.dirname(copy), exist_ok=True)
    with open(copy, "wb") as f:
        f.write(data)
    shutil.copymode(source, copy)
for root, _, files in os.walk(tree):
    for name in files:
        if os.path.relpath(os.path.join(root, name), tree) not in wanted:
            os.remove(os.path.join(root, name))' "$top" "$tree" || exit 1
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVATIN_BUILD_TOOLS=OFF >"$log/configure" ||
      { echo "mutants: configuring failed, see $log/configure" >&2; exit 1; }
  fi
fi
# The unmutated tree must build and pass; otherwise every verdict would be meaningless.
# Only the executables of the entries PATTERN keeps: a run over one module need not build the workbench.
targets=$(grep -v '^#' "$list" | grep -E -- "${pattern:-.}" | awk -F'\t' 'NF >= 4 { gsub(",", " ", $2); print $2 }' |
  tr ' ' '\n' | sort -u | tr '\n' ' ')
echo "building the unmutated tree ($targets)"
# shellcheck disable=SC2086
cmake --build "$build" -j "$jobs" --target $targets >"$log/build-base" 2>&1 ||
  { echo "mutants: the unmutated tree does not build, see $log/build-base" >&2; exit 1; }

run_tests() { # names of test executables, comma-separated; prints the first failing test or "-"
  local exe path out
  for exe in ${1//,/ }; do
    path=$(find "$build/tests" -name "$exe" -type f -perm -u+x | head -n 1)
    [ -n "$path" ] || { echo "missing:$exe"; return; }
    # QtTest executables (test_shell_*) take no gtest flags and run on the offscreen platform, as under ctest.
    local flags=(--gtest_brief=1)
    [[ $exe == test_shell_* ]] && flags=()
    out=$(cd "$(dirname "$path")" && QT_QPA_PLATFORM=offscreen timeout "$limit" "$path" "${flags[@]}" 2>&1)
    case $? in
      0) ;;
      124) echo "$exe (timeout after ${limit}s)"; return ;;
      *) echo "$exe: $(grep -m1 -oE '(\[  FAILED  \]|FAIL!  :) [A-Za-z0-9_/.:]*' <<<"$out" | sed -E 's/(\[  FAILED  \]|FAIL!  :) //' || true)"
         return ;;
    esac
  done
  echo "-"
}

for exe in $targets; do
  [ "$(run_tests "$exe")" = "-" ] || { echo "mutants: $exe fails on the unmutated tree" >&2; exit 1; }
done

# Puts the planted file back, with a new time so that the next build recompiles it.
restore() {
  if [ -s "$saved" ] && [ -n "${target:-}" ]; then
    cp "$saved" "$target" && touch "$target" && : >"$saved"
  fi
}
trap 'restore; rm -f "$saved"' EXIT
trap 'exit 130' INT TERM
total=0 caught=0 missed=0 stale=0 broken=0
while IFS=$'\t' read -r file tests find replace || [ -n "$file" ]; do
  [ -z "$file" ] || [[ $file == \#* ]] && continue
  [ -n "$pattern" ] && ! grep -qE -- "$pattern" <<<"$file $find" && continue
  total=$((total + 1))
  target="$tree/$file"
  count=$(grep -cF -- "$find" "$target" 2>/dev/null || true)
  if [ "${count:-0}" != 1 ]; then
    echo "STALE    $file: line found ${count:-0} times: $find"
    stale=$((stale + 1))
    continue
  fi
  cp -p "$target" "$saved"
  FIND="$find" REPLACE="$replace" python3 -c '
import os, sys
path = sys.argv[1]
text = open(path, encoding="utf-8").read()
open(path, "w", encoding="utf-8").write(text.replace(os.environ["FIND"], os.environ["REPLACE"], 1))' "$target"
  # shellcheck disable=SC2086
  if ! cmake --build "$build" -j "$jobs" --target ${tests//,/ } >"$log/build-$total" 2>&1; then
    echo "BROKEN   $file: the mutant does not compile ($log/build-$total): $replace"
    broken=$((broken + 1))
  else
    verdict=$(run_tests "$tests")
    if [ "$verdict" = "-" ]; then
      echo "MISSED   $file: $find  ->  $replace"
      missed=$((missed + 1))
    else
      echo "caught   $file by $verdict"
      caught=$((caught + 1))
    fi
  fi
  restore
done <"$list"

echo "mutants: $total tried, $caught caught, $missed missed, $stale stale, $broken not compiling"
if [ -z "$pattern" ]; then
  for module in "$top"/src/*/; do
    module=$(basename "$module")
    grep -q "^src/$module/" "$list" || echo "mutants: no entry plants a fault in src/$module yet"
  done
fi
[ "$caught" = "$total" ]
