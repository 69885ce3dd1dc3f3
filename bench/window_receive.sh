#!/usr/bin/env bash
# The window receiving as a user has it: a four-system receiver with about
# ten fixes a second (190 lines/s, nmeagen --talkers gn --systems 4) sent over
# TCP, F2 pressed in the window under Xvfb, and the processor time the
# window takes over 30 s of it, in per cent of one core; navorel-record on
# the same stream beside it, and an older navorel (a binary) when given.
#   bench/window_receive.sh [BUILD_DIR] [BASELINE_NAVOREL]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
baseline=${2:-}
for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "install $tool" >&2; exit 1; }
done
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
seconds=30
"$build/bin/nmeagen" --talkers gn --systems 4 --seconds 1200 -o "$work/gn.nmea"

# Sends the log at 190 lines/s, for as long as the measurement and a bit.
feed() {
  python3 "$root/bench/paced_receiver.py" "$work/gn.nmea" "$1" &
  pids+=($!)
  sleep 0.5
}

# Processor seconds a process takes over the next $seconds.
cpu_of() {
  local ticks before after
  ticks=$(getconf CLK_TCK)
  before=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  sleep "$seconds"
  after=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  awk -v a="$before" -v b="$after" -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * (b - a) / t / s }'
}

port=$((40000 + RANDOM % 20000))
display=:$((50 + RANDOM % 50))
Xvfb "$display" -screen 0 1400x1000x24 >/dev/null 2>&1 &
pids+=($!)
sleep 1

# Per cent of a core that the window given takes while receiving.
window_cpu() {
  local port=$2 app=$work/app-$2
  mkdir "$app"
  cp "$1" "$app/navorel"
  printf '[COM]\nPortName=tcp://127.0.0.1:%d\n' "$port" >"$app/navorel.conf"
  feed "$port"
  DISPLAY=$display "$app/navorel" >/dev/null 2>&1 &
  local window=$!
  pids+=($window)
  sleep 3
  # A first start has no settings file yet: its note is answered first.
  DISPLAY=$display xdotool key Return
  sleep 1
  local id
  id=$(DISPLAY=$display xdotool search --onlyvisible --pid "$window" | tail -n 1)
  DISPLAY=$display xdotool windowfocus --sync "$id" key --window "$id" F2
  sleep 2
  cpu_of "$window"
  kill "$window"
}

windowCpu=$(window_cpu "$build/bin/navorel" "$port")
baseCpu=
[ -n "$baseline" ] && baseCpu=$(window_cpu "$baseline" $((port + 1)))
port=$((port + 2))

feed "$port"
"$build/bin/navorel-record" "tcp://127.0.0.1:$port" "$work/out.nmea" >/dev/null 2>&1 &
recorder=$!
pids+=($recorder)
sleep 2
recordCpu=$(cpu_of "$recorder")
printf 'receiving 190 lines/s for %d s, in per cent of a core:\n' "$seconds"
printf '  %-34s %5s %%\n' "the window, survey on" "$windowCpu"
[ -n "$baseCpu" ] && printf '  %-34s %5s %%\n' "the baseline window" "$baseCpu"
printf '  %-34s %5s %%\n' "navorel-record" "$recordCpu"
[ -s "$work/out.nmea" ] || echo "  !! navorel-record received nothing"
echo "  target: the window with the survey at or below 5 %"
