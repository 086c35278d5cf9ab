#!/usr/bin/env bash
# Runs every fuzz target in DIR for SECONDS each, seeded from its corpus folder when there is one.
set -euo pipefail
dir=${1:?usage: run-fuzzers.sh FUZZ_BIN_DIR SECONDS}
seconds=${2:-20}
root="$(cd "$(dirname "$0")/.." && pwd)"
testdata="${AZUZ_TESTDATA_DIR:-$root/../shared/testdata}"
status=0
for target in "$dir"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  seeds=()
  # Seeds: the corpus files each target understands (copied, never modified in place).
  case "$name" in
    fuzz_bwi_reader|fuzz_render) [ -d "$testdata/gdiref" ] && cp "$testdata"/gdiref/*.bwi "$work"/ 2>/dev/null || true ;;
    fuzz_bmp) [ -d "$testdata/images/bmp" ] && cp "$testdata"/images/bmp/*.bmp "$work"/ 2>/dev/null || true ;;
    fuzz_jpeg) [ -d "$testdata/images/jpeg" ] && cp "$testdata"/images/jpeg/*.jp*g "$work"/ 2>/dev/null || true ;;
    fuzz_gif) [ -d "$testdata/images/gif" ] && cp "$testdata"/images/gif/*.gif "$work"/ 2>/dev/null || true ;;
  esac
  [ -d "$root/fuzz/corpus/$name" ] && cp "$root/fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true
  echo "== $name (${seconds}s)"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=262144 \
       -print_final_stats=0 "$work" > "$work.log" 2>&1; then
    tail -n 40 "$work.log"
    status=1
  else
    grep -E '^#[0-9]+.*DONE' "$work.log" | tail -n 1 || true
  fi
  rm -rf "$work" "$work.log"
done
exit $status
