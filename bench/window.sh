#!/usr/bin/env bash
# The window opening, filtering and charting generated logs of 100 and
# 250 MB (gui_bench), each figure the best of several runs, with the time
# and memory per megabyte to show how they grow with the log.
#   bench/window.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-3}
export QT_QPA_PLATFORM=offscreen

printf '%-8s %8s %8s %8s %8s %12s %10s\n' log open filter charts total "B/log byte" "ms per MB"
for megabytes in 100 250; do
  for ((i = 0; i < rounds; i++)); do
    "$build/bin/gui_bench" "$megabytes" 2>/dev/null
  done | awk -v mb="$megabytes" '
    function keep(name, value) { if (!(name in best) || value < best[name]) best[name] = value }
    $1 == "open" || $1 == "filter" || $1 == "charts" || $1 == "total" { keep($1, $2) }
    $1 == "peak" { keep("bytes", $4) }
    END {
      printf "%-8s %8d %8d %8d %8d %12.2f %10.2f\n", mb " MB", best["open"], best["filter"],
             best["charts"], best["total"], best["bytes"], best["total"] / mb
    }'
done
echo "targets at 100 MB: total <= 600 ms, <= 1.5 bytes per log byte; both sizes about the same per MB"
