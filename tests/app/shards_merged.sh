#!/bin/bash
# Shards merged by scripts/merge-shards.py equal the single run byte for byte, with broken records among the
# input. Arguments: the batch tool, the source tree.
set -euo pipefail
batch=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CORVATIN_SETTINGS=$work/settings.ini
# The bundled sample with a SMILES that does not parse after its third record, then an SD file.
awk 'NR == 7 { print "unclosed ring"; print "C1CC(" } { print }' "$src/data/samples/drugs.sml2" >"$work/mixed.sml2"
inputs=("$work/mixed.sml2" "$src/tests/data/inputs/drugs-excerpt.sdf")
for procedure in "TOPS-MODE" "TOPS-MODE Local Contributions"; do
  rm -rf "$work/single" "$work/merged" "$work"/shard-*
  status=0
  "$batch" -q -p "$procedure" --weights all --jobs 1 --results-dir "$work/single" "${inputs[@]}" 2>/dev/null || status=$?
  [ "$status" = 3 ] || { echo "single run of $procedure: exit $status, expected 3"; exit 1; }
  for k in 1 2 3; do
    "$batch" -q -p "$procedure" --weights all --shard "$k/3" --jobs 2 --results-dir "$work/shard-$k" "${inputs[@]}" 2>/dev/null || true
  done
  python3 "$src/scripts/merge-shards.py" "$work/merged" "$work/shard-1" "$work/shard-2" "$work/shard-3"
  for file in "$work/single"/*; do
    cmp "$file" "$work/merged/$(basename "$file")" || { echo "$procedure: $(basename "$file") differs"; exit 1; }
  done
  [ "$(ls "$work/merged" | wc -l)" = "$(ls "$work/single" | wc -l)" ] || { echo "$procedure: other files"; exit 1; }
done
status=0
"$batch" --shard 4/3 "${inputs[@]}" 2>/dev/null || status=$?
[ "$status" = 2 ] || { echo "--shard 4/3: exit $status, expected 2"; exit 1; }
echo "shards merged equal the single run"
