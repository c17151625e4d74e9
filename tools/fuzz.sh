#!/usr/bin/env bash
# Fuzzes a chart's life for SECONDS (default 60): builds fuzz/fuzz_load with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz, then runs it on a copy of the
# example charts, the sample charts in tests/data and the seeds in fuzz/corpus, bounded in time
# and memory. Each input is loaded, drawn in every window, printed, run, saved and read back.
# Fails when any of that crashes, leaks, hangs or allocates too much; the input that did it is
# kept in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=build/fuzz
jobs=${KINTRA_FUZZ_JOBS:-2}

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DKINTRA_FUZZ=ON -DKINTRA_SANITIZE=ON \
  -DKINTRA_BUILD_GUI=OFF -DKINTRA_BUILD_TESTS=OFF -DKINTRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_load -j "$jobs"

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp examples/*.cht tests/data/*.cht fuzz/corpus/*.cht "$corpus"/
mkdir -p "$build/artifacts"

ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1} \
"$build/fuzz/fuzz_load" "$corpus" \
  -max_total_time="$seconds" \
  -rss_limit_mb=1024 \
  -malloc_limit_mb=128 \
  -timeout=10 \
  -max_len=65536 \
  -artifact_prefix="$build/artifacts/" \
  -print_final_stats=1
