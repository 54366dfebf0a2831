#!/usr/bin/env bash
# The main job. Until the batch tool exists this lists what was built.
set -euo pipefail
build=${1:-build}
echo "Corvatin is built in $build. Libraries:"
find "$build/src" -name 'libcorvatin_*.a' -printf '  %f\n' | sort
echo "Run the tests with: make test"
