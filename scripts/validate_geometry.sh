#!/usr/bin/env bash
# Quality of generated geometries over the drug-like fixture set: builds the geometry_check tool (Release) and
# runs it over the first COUNT molecules of the SMILES list. Prints the share of atoms with coordinates, of bonds
# within 10 % of the sum of covalent radii, of molecules without a non-bonded pair under 0.8 angstrom and of
# aromatic rings within 0.1 angstrom of their plane; -v lists the molecules that miss a criterion.
#
# Usage: scripts/validate_geometry.sh [COUNT] [-v]     (COUNT defaults to 2000, the whole set)
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-2000}
shift || true
build=${GEOMETRY_BUILD:-build-geometry-check}
smiles=${GEOMETRY_SMILES:-../shared/fixtures/drugs-2000.smi}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVATIN_BUILD_TESTS=OFF -DCORVATIN_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" -j 2 --target geometry_check >/dev/null
"$build/tools/geometry_check" "$smiles" "$count" 0 "$@"
