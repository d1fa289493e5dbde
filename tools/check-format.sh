#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what .clang-format makes of
# it, naming each such file. (tools/msvc/ is kept as it is: see its own file.)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || tools/ensure-deps.sh clang-format
unformatted=0
while IFS= read -r file; do
  if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (clang-format -i $file)"
    unformatted=1
  fi
done < <(git ls-files '*.cpp' '*.h' ':!tools/msvc/')
exit $unformatted
