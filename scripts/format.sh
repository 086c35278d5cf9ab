#!/usr/bin/env bash
# Formats every C++ source of the tree with the committed style; --check only reports (and fails
# on) files that differ from it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  exec clang-format-14 --dry-run --Werror "${files[@]}"
fi
clang-format-14 -i "${files[@]}"
