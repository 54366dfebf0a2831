#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under ASan+UBSan and runs each for the given number of seconds
# (default 60). Corpora grow in fuzz-corpus/<target>/, seeded from fuzz/seeds/<name>/; a crash input is kept as
# fuzz-corpus/<target>-crash-* and the script fails. Usage: scripts/fuzz.sh [seconds] [target-name-filter]
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET="${1:-60}"
FILTER="${2:-}"
BUILD="${FUZZ_BUILD:-build-fuzz}"

command -v clang++ >/dev/null || bash scripts/deps.sh
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVATIN_BUILD_FUZZERS=ON -DCORVATIN_BUILD_TESTS=OFF -DCORVATIN_SANITIZE=address,undefined \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
targets=$(cmake --build "$BUILD" --target help | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\):.*/\1/p' | sort -u)
[ -n "$FILTER" ] && targets=$(echo "$targets" | grep -- "$FILTER" || true)
if [ -z "$targets" ]; then
  echo "fuzz: no targets" >&2
  exit 1
fi
# shellcheck disable=SC2086
cmake --build "$BUILD" -j "$(nproc 2>/dev/null || echo 2)" --target $targets

status=0
for t in $targets; do
  name="${t#fuzz_}"
  corpus="fuzz-corpus/$t"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "fuzz: running $t for ${SECONDS_PER_TARGET}s"
  if ! "$BUILD/fuzz/$t" "$corpus" "${seeds[@]}" -max_total_time="$SECONDS_PER_TARGET" -max_len=8192 \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="fuzz-corpus/$t-" \
      >"fuzz-corpus/$t.log" 2>&1; then
    echo "fuzz: $t found a problem; see fuzz-corpus/$t.log and fuzz-corpus/$t-crash-*" >&2
    tail -40 "fuzz-corpus/$t.log" >&2
    status=1
  else
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)|cov:' "fuzz-corpus/$t.log" | tail -3
  fi
done
exit $status
