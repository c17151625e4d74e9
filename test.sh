#!/usr/bin/env bash
# Installs what is missing, builds Kintra and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
kintra_install_deps

jobs=$(nproc)

if git rev-parse --git-dir >/dev/null 2>&1; then
  echo "== Formatting"
  tools/check_format.sh
fi

echo "== Layers"
tools/check_layers.sh

echo "== Release build and tests"
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

if [ -x tools/fuzz.sh ]; then
  echo "== Short fuzzing of the chart loader"
  tools/fuzz.sh 30
fi

echo "== Core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset debug
cmake --build --preset debug -j "$jobs" --target kintra_core_tests
ctest --preset debug -j "$jobs" -L core
