#!/usr/bin/env bash
# Runs the pandas and R examples of docs/formats.md on a data file the batch tool has just written, so that the
# page never shows a way of reading the results that fails. A language whose tools are missing is skipped with a
# message. Usage: scripts/validate_doc_snippets.sh [BATCH]   (BATCH: build/app/corvatin-batch)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
batch=${1:-$top/build/app/corvatin-batch}
page="$top/docs/formats.md"
py=/usr/bin/python3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'CCO ethanol\nOc1ccccc1 phenol\nCC(=O)Nc1ccc(O)cc1 paracetamol\n' > "$work/sample.smi"
if ! CORVATIN_SETTINGS="$work/settings.ini" "$batch" -q --procedure TOPS-MODE --weights all \
    --results-dir "$work" "$work/sample.smi"; then
  echo "snippets: the batch tool did not write the sample's results" >&2
  exit 1
fi
# The values of the sample: every header cell but the name (the line-final tab leaves an empty one out).
values=$(head -1 "$work/TOPS-MODE.txt" | tr -d '\r' | tr '\t' '\n' | grep -c .)
values=$((values - 1))

# The fenced block of a language, as the page shows it.
extract() { awk -v fence="\`\`\`$1" '$0 == fence { on = 1; next } on && $0 == "```" { on = 0 } on' "$page"; }

status=0
if ! $py -c "import pandas" 2>/dev/null; then
  echo "== pandas is missing (apt-get install python3-pandas): the Python example of docs/formats.md is not run"
else
  { extract python
    cat <<EOF
assert data.shape == (3, $values), data.shape
assert data.columns[0] == "µ0" and data.index[0] == "ethanol", (data.columns[0], data.index[0])
assert data.notna().all().all()
print("the Python example reads", data.shape[0], "structures of", data.shape[1], "values")
EOF
  } > "$work/read.py"
  echo "== Python example of docs/formats.md"
  (cd "$work" && $py read.py) || status=1
fi
if ! command -v Rscript > /dev/null; then
  echo "== R is missing (apt-get install r-base-core): the R example of docs/formats.md is not run"
else
  { extract r
    cat <<EOF
stopifnot(identical(dim(data), c(3L, ${values}L)), colnames(data)[1] == "\u00b50", rownames(data)[1] == "ethanol",
          !anyNA(data))
cat("the R example reads", nrow(data), "structures of", ncol(data), "values\n")
EOF
  } > "$work/read.R"
  echo "== R example of docs/formats.md"
  (cd "$work" && LANG=C.UTF-8 Rscript read.R) || status=1
fi
exit $status
