#!/usr/bin/env bash
# Checks that every C++ file in the repository is laid out as .clang-format says; names the
# files that are not and exits non-zero. With --fix, lays them out instead.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=clang-format-14
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')

if [ "${1:-}" = --fix ]; then
  "$formatter" -i "${files[@]}"
  exit 0
fi

unformatted=()
for file in "${files[@]}"; do
  "$formatter" "$file" | cmp -s - "$file" || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not laid out as .clang-format says (scripts/check-format.sh --fix lays them out):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
