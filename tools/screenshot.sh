#!/usr/bin/env bash
# Takes a screenshot of the main window after a filter run of the sample
# log, in a virtual X display (Xvfb), as a user would see it.
#   tools/screenshot.sh [OUT.png] [LOG]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/main-window.png}
log=${2:-$root/samples/sample-1h.nmea}
navorel=$root/build/bin/navorel
[ -x "$navorel" ] || { echo "build the program first (scripts/test or scripts/run)" >&2; exit 1; }
# The window title carries the version of the build.
version=$("$root/build/bin/navorel-filter" --version | cut -d ' ' -f 2)

if [ -z "${NAVOREL_IN_XVFB:-}" ]; then
  exec env NAVOREL_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$out" "$log"
fi

# Its own single-instance name, so that a running copy is left alone.
export NAVOREL_INSTANCE="navorel-screenshot-$$"
"$navorel" "$log" &
app=$!
trap 'kill $app 2>/dev/null || true' EXIT

# There is no window manager: windows are found by name and focused by hand.
find_window() { xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
main=$(timeout 30 bash -c "until w=\$(xdotool search --onlyvisible --name '^Navorel $version\$' 2>/dev/null); do
  # A first start without a settings file says so before the window shows.
  box=\$(xdotool search --onlyvisible --name '^Navorel\$' 2>/dev/null | head -n 1)
  [ -n \"\$box\" ] && xdotool windowfocus --sync \"\$box\" key Return
  sleep 0.3; done; echo \"\$w\" | head -n 1")
sleep 1
xdotool windowfocus --sync "$main" key F12
page=$(timeout 30 bash -c "until xdotool search --onlyvisible --name '^Result Page\$'; do sleep 0.2; done" | head -n 1)
sleep 0.5
xdotool windowfocus --sync "$page" key Return
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
/usr/bin/import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
xdotool windowfocus --sync "$main" key ctrl+q
wait $app || true
trap - EXIT
echo "$out"
