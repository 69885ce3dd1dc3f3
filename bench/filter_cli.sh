#!/usr/bin/env bash
# navorel-filter as a user runs it, on generated logs, against GPSBabel and,
# when given, against an older navorel-filter (a binary, or a git revision
# that is built for the comparison). Each figure is the best of several runs.
#   bench/filter_cli.sh [BUILD_DIR] [BASELINE_BINARY_OR_REVISION]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
baseline=${2:-}
rounds=${NAVOREL_BENCH_ROUNDS:-5}
filter=$build/bin/navorel-filter

# The peer and the peak-memory meter belong to the benchmark, not to the
# program's own packages.
need=()
command -v gpsbabel >/dev/null || need+=(gpsbabel)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -n "$baseline" ] && [ ! -x "$baseline" ]; then
  echo "building navorel-filter of $baseline ..."
  mkdir "$work/base"
  git -C "$root" archive "$baseline" | tar -x -C "$work/base"
  cmake -S "$work/base" -B "$work/base/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNAVOREL_BUILD_GUI=OFF -DNAVOREL_BUILD_TESTS=OFF -DNAVOREL_BUILD_BENCH=OFF >/dev/null
  cmake --build "$work/base/build" --target navorel-filter >/dev/null
  baseline=$work/base/build/bin/navorel-filter
fi

"$build/bin/nmeagen" --megabytes 100 -o "$work/100mb.nmea"
# seven sentences a second: a million lines, about 61 MB
"$build/bin/nmeagen" --seconds 142857 -o "$work/1m.nmea"
# The result file is synced to disk before it replaces the old one: the
# generated logs' own write-back must not be timed with it.
sync

# Prints the best wall time and the best processor time (user + system) in
# seconds, and the highest peak in kB. On a busy machine the processor time
# is the steadier figure.
measure() {
  local count=$1 best=999 cpu=999 peak=0 start end kb used
  shift
  for ((i = 0; i < count; i++)); do
    start=$EPOCHREALTIME # no process of its own, unlike date
    /usr/bin/time -f '%M %U %S' -o "$work/peak" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
    end=$EPOCHREALTIME
    read -r kb used < <(tail -n 1 "$work/peak" | awk '{ print $1, $2 + $3 }')
    best=$(awk -v a="$best" -v b="$start" -v c="$end" 'BEGIN { print (c - b < a ? c - b : a) }')
    cpu=$(awk -v a="$cpu" -v b="$used" 'BEGIN { print (b < a ? b : a) }')
    [ "$kb" -gt "$peak" ] && peak=$kb
  done
  echo "$best $cpu $peak"
}

row() { # name seconds cpu kB bytes
  awk -v n="$1" -v s="$2" -v c="$3" -v k="$4" -v b="$5" 'BEGIN {
    printf "  %-30s %7.3f s wall  %6.2f s cpu  %7.1f MB  %5.2f B per log byte\n", n, s, c, k / 1024, k * 1024 / b }'
}

for log in 100mb 1m; do
  file=$work/$log.nmea
  bytes=$(stat -c %s "$file")
  printf '%s log: %.1f MB, %d lines (best of %d runs)\n' "$log" "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" \
    "$(wc -l <"$file")" "$rounds"
  read -r now nowCpu nowKb < <(measure "$rounds" "$filter" --quiet --csv "$work/now.csv" "$file")
  row "navorel-filter --quiet --csv" "$now" "$nowCpu" "$nowKb" "$bytes"
  if [ -n "$baseline" ]; then
    read -r base baseCpu baseKb < <(measure "$rounds" "$baseline" --quiet --csv "$work/base.csv" "$file")
    row "baseline navorel-filter" "$base" "$baseCpu" "$baseKb" "$bytes"
    cmp -s "$work/now.csv" "$work/base.csv" || echo "  !! the result files differ"
    awk -v a="$base" -v b="$now" -v c="$baseCpu" -v d="$nowCpu" \
      'BEGIN { printf "  faster than the baseline: %.1f x wall, %.1f x cpu\n", a / b, c / d }'
  fi
  if [ "$log" = 1m ]; then
    read -r babel babelCpu babelKb < <(measure 1 gpsbabel -t -i nmea -f "$file" -x transform,wpt=trk -o unicsv \
      -F "$work/babel.csv")
    row "gpsbabel (one run)" "$babel" "$babelCpu" "$babelKb" "$bytes"
    awk -v a="$babel" -v b="$now" -v c="$babelCpu" -v d="$nowCpu" \
      'BEGIN { printf "  faster than GPSBabel: %.0f x wall, %.0f x cpu (target >= 100 x)\n", a / b, c / d }'
  else
    awk -v s="$now" -v k="$nowKb" -v b="$bytes" 'BEGIN { printf "  targets: <= 0.12 s (%s), <= 0.3 B per log byte (%s)\n",
      s <= 0.12 ? "met" : "missed", k * 1024 / b <= 0.3 ? "met" : "missed" }'
  fi
done
