#!/usr/bin/env bash
# Formats the C++ sources with the tree's .clang-format; `--check` only
# reports files that are not formatted and fails if there are any.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
  echo "${#files[@]} C++ files formatted as .clang-format says"
else
  clang-format -i "${files[@]}"
fi
