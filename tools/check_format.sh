#!/usr/bin/env bash
# Fails when a C++ source of Kintra drifts from .clang-format, naming the files to reformat
# (clang-format -i FILE ...).
set -euo pipefail
cd "$(dirname "$0")/.."
drift=()
while IFS= read -r f; do
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || drift+=("$f")
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp' 'tools/*.cpp')
if [ ${#drift[@]} -gt 0 ]; then
  echo "These files are not formatted as .clang-format says (run clang-format -i on them):"
  printf '  %s\n' "${drift[@]}"
  exit 1
fi
echo "Formatting: every source file is as .clang-format says."
