#!/usr/bin/env bash
# Installs what is missing, builds Kintra and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
kintra_install_deps

cmake --preset default
cmake --build --preset default -j "$(nproc)"

bin=build/default/src/shell/kintra
cli=build/default/src/cli/kintra-cli
example=examples/spring-mass.cht

if [ -x "$bin" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  if [ -f "$example" ]; then
    exec "$bin" "$example" "$@"
  fi
  exec "$bin" "$@"
fi

if [ -x "$bin" ]; then
  echo "Kintra is built ($bin), but there is no display to show its window."
fi
if [ -x "$cli" ] && [ -f "$example" ]; then
  echo "Running $example with kintra-cli instead:"
  out=$(mktemp --suffix=.tsv)
  "$cli" run "$example" --export "$out"
  cat "$out"
  rm -f "$out"
  exit 0
fi
echo "Built: the core library and its tests (build/default). Run ./test.sh to run them."
