#!/usr/bin/env bash
# Builds the .deb from a finished build tree, checks it with lintian, installs
# it with apt, runs the installed programs, removes it and checks that no
# file of it is left.
#   tests/package/deb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib.sh"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Runs a command quietly; its output is shown when it fails.
quietly() { "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }; }

echo "== .deb"
rm -f "$build"/navorel_*.deb
(cd "$build" && quietly cpack -G DEB)
deb=$(ls "$build"/navorel_*.deb)
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
dpkg-deb --field "$deb" Depends

# Errors fail the test; the warnings and notes are shown.
lintian_status=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$log" 2>&1 || lintian_status=$?
grep -v 'root privileges is not recommended' "$log" || true
[ "$lintian_status" -eq 0 ] || { echo "FAILED: lintian reports errors" >&2; exit 1; }

if dpkg-query -W -f='${Status}' navorel 2>/dev/null | grep -q ' installed$'; then
  echo "navorel is already installed on this machine: not installing the .deb over it" >&2
  exit 1
fi
if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
  echo "SKIPPED installing the .deb: needs root or password-less sudo"
  exit 0
fi

files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|')
quietly as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb"
failed=0
/usr/bin/navorel-filter --help >/dev/null || failed=1
out=$(mktemp -d)
/usr/bin/navorel-filter --quiet --csv "$out/sample.csv" "$root/samples/sample-1h.nmea" \
  && [ -s "$out/sample.csv" ] || failed=1
rm -rf "$out"
# The desktop program needs a display; that it finds every library is checked here.
if ldd /usr/bin/navorel | grep 'not found'; then failed=1; fi
for file in $files; do
  [ -e "$file" ] || { echo "not installed: $file" >&2; failed=1; }
done
quietly as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq navorel
[ "$failed" -eq 0 ] || { echo "FAILED: the installed package does not work" >&2; exit 1; }

status=$(dpkg-query -W -f='${Status}' navorel 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != "unknown ok not-installed" ]; then
  echo "FAILED: dpkg still knows navorel: $status" >&2
  exit 1
fi
for file in $files; do
  [ -e "$file" ] && { echo "left after removal: $file" >&2; failed=1; }
done
[ "$failed" -eq 0 ] || exit 1
echo "installed, ran and removed cleanly"
