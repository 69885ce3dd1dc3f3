#!/usr/bin/env bash
# The window's memory as a user meets it: the program started on a log in a
# virtual X display, F12, the result page closed; the peak (VmHWM) above the
# same steps over a tiny log, per byte of the log.
#   bench/window_memory.sh [BUILD_DIR] [MEGABYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
megabytes=${2:-100}

if [ -z "${NAVOREL_IN_XVFB:-}" ]; then
  exec env NAVOREL_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$megabytes"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/nmeagen" --seconds 60 -o "$work/tiny.nmea"
"$build/bin/nmeagen" --megabytes "$megabytes" -o "$work/big.nmea"
version=$("$build/bin/navorel-filter" --version | cut -d ' ' -f 2)

# Prints the peak resident kilobytes of a run over the log.
peak_after_run() {
  local log=$1
  export NAVOREL_INSTANCE="navorel-memory-$$"
  # A settings file of its own, so that no first-start notice comes first.
  HOME="$work/home" "$build/bin/navorel" "$log" &
  local app=$!
  local main
  main=$(timeout 60 bash -c "until w=\$(xdotool search --onlyvisible --name '^Navorel $version\$' 2>/dev/null); do
    box=\$(xdotool search --onlyvisible --name '^Navorel\$' 2>/dev/null | head -n 1)
    [ -n \"\$box\" ] && xdotool windowfocus --sync \"\$box\" key Return
    sleep 0.3; done; echo \"\$w\" | head -n 1")
  # The log is in once the caption names it.
  sleep 2
  xdotool windowfocus --sync "$main" key F12
  local page
  page=$(timeout 120 bash -c "until xdotool search --onlyvisible --name '^Result Page\$'; do sleep 0.2; done" | head -n 1)
  sleep 0.5
  xdotool windowfocus --sync "$page" key Return
  sleep 1
  awk '/^VmHWM:/ { print $2 }' "/proc/$app/status"
  xdotool windowfocus --sync "$main" key ctrl+q
  wait "$app" || true
}

mkdir -p "$work/home"
tiny=$(peak_after_run "$work/tiny.nmea")
big=$(peak_after_run "$work/big.nmea")
bytes=$(stat -c %s "$work/big.nmea")
awk -v tiny="$tiny" -v big="$big" -v bytes="$bytes" 'BEGIN {
  printf "peak after a run: tiny log %d kB, %.0f MB log %d kB: %.2f bytes per log byte (target <= 1.5)\n",
         tiny, bytes / 1e6, big, (big - tiny) * 1024 / bytes
}'
