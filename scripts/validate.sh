#!/usr/bin/env bash
# Cross-checks against independent tools (RDKit from Debian's python3-rdkit, MOPAC from Debian's mopac; pandas or
# R for the reading examples of docs/formats.md). None of them is needed by `make test`: their reference values
# are frozen in tests/data. This rebuilds the dump tools in a Release build and runs every comparison; each
# prints its own agreement figures.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
build=build-validate
py=/usr/bin/python3
status=0
# The reading examples of docs/formats.md need only the batch tool and pandas or R, not RDKit.
echo "== docs/formats.md reading examples"
{ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_TOOLS=ON >/dev/null &&
    cmake --build "$build" --target corvatin-batch >/dev/null &&
    bash scripts/validate_doc_snippets.sh "$build/app/corvatin-batch"; } || status=1
if ! $py -c "import rdkit" 2>/dev/null; then
  echo "validate: RDKit is missing (apt-get install python3-rdkit); nothing to compare against" >&2
  exit 1
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" --target smiles_dump sdf_dump classify_dump topol_dump quantum_dump completion_dump >/dev/null || exit 1
run() { echo "== $*"; "$@" || status=1; }
run $py scripts/validate_smiles.py --dump "$build/tools/smiles_dump"
run $py scripts/validate_sdf.py --dump "$build/tools/sdf_dump"
run $py scripts/validate_hydrogens.py --dump "$build/tools/completion_dump"
run $py scripts/validate_gasteiger.py --dump "$build/tools/classify_dump"
run $py scripts/validate_properties.py
run $py scripts/validate_topological.py --dump "$build/tools/topol_dump"
if command -v mopac >/dev/null; then
  run $py scripts/validate_quantum.py --dump "$build/tools/quantum_dump"
else
  echo "== MOPAC is missing (apt-get install mopac): quantum-chemical comparison skipped"
fi
run env GEOMETRY_BUILD="$build" bash scripts/validate_geometry.sh 300
exit $status
