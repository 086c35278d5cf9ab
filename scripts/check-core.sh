#!/usr/bin/env bash
# Static checks of the core (document, render, printer, connection, cli) against a configured
# build folder: clang-tidy with the committed checks, every finding fatal; and the layering that
# include paths alone cannot stop (a relative include reaching into another folder).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"

if grep -rnE '#include "\.\./' --include='*.cpp' --include='*.h' \
     document render printer connection cli view dialogs app; then
  echo "error: a product source includes another folder's file by a relative path" >&2
  exit 1
fi

mapfile -t sources < <(git ls-files 'document/*.cpp' 'render/*.cpp' 'printer/*.cpp' \
                         'connection/*.cpp' 'cli/*.cpp')
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${sources[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy-14 -p "$build" --quiet >"$log" 2>/dev/null || status=$?
if grep -E '(warning|error):' "$log"; then
  echo "error: clang-tidy findings in the core" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  cat "$log"
  echo "error: clang-tidy failed (status $status)" >&2
  exit 1
fi
echo "clang-tidy: ${#sources[@]} core sources clean"
