#!/usr/bin/env bash
# navorel-record as a survey runs it: the same stream of a stationary
# receiver (a day at 1 Hz, replayed over TCP at full speed) recorded plainly
# and recorded while the goal is looked at with every fix (a goal that is
# never reached, so both take every line, ended by --lines). Prints the processor time of
# each (user + system, best of several runs) and their ratio.
#   bench/record_survey.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${NAVOREL_BENCH_ROUNDS:-5}
record=$build/bin/navorel-record
[ -x /usr/bin/time ] || { echo "install the time package" >&2; exit 1; }
command -v socat >/dev/null || { echo "install socat" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${feeder:-}" ] && kill "$feeder" 2>/dev/null; true' EXIT
"$build/bin/nmeagen" --stationary 20 --error 1.0 --white 0.3 --decimals 6 --seconds 86400 \
  --lat 48.1174 --lon 11.5167 -o "$work/day.nmea"
lines=$(wc -l <"$work/day.nmea")
port=$((40000 + RANDOM % 20000))

# Processor seconds of one recording of the whole stream.
record_once() {
  socat -u "FILE:$work/day.nmea" "TCP-LISTEN:$port,reuseaddr" &
  feeder=$!
  sleep 0.2
  rm -f "$work/out.nmea"
  /usr/bin/time -f '%U %S' -o "$work/cpu" "$record" "tcp://127.0.0.1:$port" "$work/out.nmea" --lines "$lines" "$@" \
    >/dev/null 2>"$work/err" || [ $? -eq 3 ] || { cat "$work/err" >&2; exit 1; }
  wait "$feeder" 2>/dev/null || true
  feeder=
  [ "$(wc -l <"$work/out.nmea")" -eq "$lines" ] || { echo "not every line was recorded" >&2; exit 1; }
  tail -n 1 "$work/cpu" | awk '{ print $1 + $2 }'
}

best() {
  local b=999 t
  for ((i = 0; i < rounds; i++)); do
    t=$(record_once "$@")
    b=$(awk -v a="$b" -v c="$t" 'BEGIN { print (c < a ? c : a) }')
  done
  echo "$b"
}

# At a receiver's own pace: a stream of ten fixes a second from four
# systems (about 190 lines/s) for 30 s, paced by a small feeder.
paced_once() {
  python3 "$root/bench/paced_receiver.py" "$work/gn.nmea" "$port" &
  feeder=$!
  sleep 0.5
  rm -f "$work/out.nmea"
  /usr/bin/time -f '%U %S' -o "$work/cpu" "$record" "tcp://127.0.0.1:$port" "$work/out.nmea" \
    --lines "$(wc -l <"$work/gn.nmea")" "$@" >/dev/null 2>"$work/err" || [ $? -eq 3 ] || { cat "$work/err" >&2; exit 1; }
  wait "$feeder" 2>/dev/null || true
  feeder=
  tail -n 1 "$work/cpu" | awk '{ print $1 + $2 }'
}

printf 'a day of a stationary receiver: %d lines (best of %d runs)\n' "$lines" "$rounds"
plain=$(best)
survey=$(best --until-r95 0.001 --json --status)
printf '  %-48s %6.2f s cpu\n' "plain recording" "$plain" \
  "--until-r95 0.001 --json --status (to the end)" "$survey"
awk -v p="$plain" -v s="$survey" 'BEGIN { printf "  following the figures: %.2f x the plain recording (target <= 1.5 x)\n", s / p }'

"$build/bin/nmeagen" --talkers gn --systems 4 --seconds 600 -o "$work/gn10.nmea"
# Sent at 190 lines a second: 30 s of a receiver with about ten fixes a second.
head -n 5700 "$work/gn10.nmea" >"$work/gn.nmea"
printf 'a four-system receiver at its own pace, %d lines in 30 s (one run each)\n' "$(wc -l <"$work/gn.nmea")"
plainPaced=$(paced_once)
surveyPaced=$(paced_once --until-r95 0.001 --json --status)
printf '  %-48s %6.2f s cpu\n' "plain recording" "$plainPaced" \
  "--until-r95 0.001 --json --status" "$surveyPaced"
awk -v p="$plainPaced" -v s="$surveyPaced" 'BEGIN { printf "  following the figures: %.2f x the plain recording\n", s / p }'
