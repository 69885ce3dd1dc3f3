#!/usr/bin/env bash
# Builds the .deb from a finished build tree, checks it with lintian, installs
# it with apt, runs the installed programs, checks the desktop files, the
# AppStream metainfo, the MIME type, the completions and the systemd unit as
# installed, removes it and checks that no file of it is left.
#   tests/package/deb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib.sh"

log=$(mktemp)
staged=$(mktemp -d)
trap 'rm -rf "$log" "$staged"' EXIT
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

files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort)
failed=0
app_id=io.github.navorel.Navorel
for file in /usr/bin/navorel /usr/bin/navorel-filter /usr/bin/navorel-record \
  /usr/share/man/man1/navorel.1.gz /usr/share/man/man1/navorel-filter.1.gz \
  /usr/share/man/man1/navorel-record.1.gz \
  /usr/share/bash-completion/completions/navorel-filter /usr/share/bash-completion/completions/navorel-record \
  /usr/share/applications/$app_id.desktop /usr/share/metainfo/$app_id.metainfo.xml \
  /usr/share/mime/packages/navorel.xml /usr/lib/systemd/system/navorel-record@.service \
  /usr/share/doc/navorel/copyright /usr/share/doc/navorel/changelog.gz; do
  grep -qxF "$file" <<<"$files" || { echo "not in the package: $file" >&2; failed=1; }
done
# A plain install is the package without Debian's own files.
DESTDIR="$staged" quietly cmake --install "$build" --prefix /usr
plain=$(cd "$staged" && find . -type f | sed 's|^\./|/|' | sort)
only_in_package=$(comm -23 <(echo "$files") <(echo "$plain"))
if [ "$only_in_package" != "$(printf '%s\n' /usr/share/doc/navorel/changelog.gz /usr/share/doc/navorel/copyright)" ] \
  || [ -n "$(comm -13 <(echo "$files") <(echo "$plain"))" ]; then
  echo "FAILED: the package and a plain install differ in more than Debian's files (< package, > install):" >&2
  diff <(echo "$files") <(echo "$plain") >&2 || true
  failed=1
fi
[ "$failed" -eq 0 ] || exit 1

if dpkg-query -W -f='${Status}' navorel 2>/dev/null | grep -q ' installed$'; then
  echo "navorel is already installed on this machine: not installing the .deb over it" >&2
  exit 1
fi
if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
  echo "SKIPPED installing the .deb: needs root or password-less sudo"
  exit 0
fi

quietly as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb"
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
# What the desktop and the software centres read.
quietly appstreamcli validate --no-net /usr/share/metainfo/$app_id.metainfo.xml \
  || { echo "FAILED: appstreamcli validate" >&2; failed=1; }
quietly desktop-file-validate /usr/share/applications/$app_id.desktop \
  || { echo "FAILED: desktop-file-validate" >&2; failed=1; }
# The MIME database and the desktop's list of programs per type took them in
# through their own triggers.
nmea_type=/usr/share/mime/text/x-nmea.xml
[ -e "$nmea_type" ] || { echo "FAILED: text/x-nmea is not in the MIME database" >&2; failed=1; }
if command -v gio >/dev/null; then
  probe=$(mktemp -d)
  head -n 3 "$root/samples/sample-1h.nmea" >"$probe/day.NMEA"
  type=$(gio info -a standard::content-type "$probe/day.NMEA" | sed -n 's/.*content-type: //p')
  [ "$type" = text/x-nmea ] || { echo "FAILED: a .NMEA file is $type, not text/x-nmea" >&2; failed=1; }
  rm -rf "$probe"
else
  echo "not checked: the type of a .NMEA file (no gio here)"
fi
mime_cache=/usr/share/applications/mimeinfo.cache
grep -q "^text/x-nmea=.*$app_id.desktop" "$mime_cache" \
  || { echo "FAILED: $mime_cache does not give .nmea logs to Navorel" >&2; failed=1; }
# bash-completion finds the completions where they are installed.
for program in navorel-filter navorel-record; do
  bash -c "source /usr/share/bash-completion/bash_completion && __load_completion $program \
    && complete -p $program" >/dev/null 2>&1 || { echo "FAILED: no completion loads for $program" >&2; failed=1; }
done
if command -v systemd-analyze >/dev/null; then
  quietly systemd-analyze verify /usr/lib/systemd/system/navorel-record@.service \
    || { echo "FAILED: systemd-analyze verify navorel-record@.service" >&2; failed=1; }
else
  echo "not checked: the systemd unit (no systemd-analyze here)"
fi
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
[ -e "$nmea_type" ] && { echo "left after removal: text/x-nmea in the MIME database" >&2; failed=1; }
grep -q "$app_id.desktop" "$mime_cache" 2>/dev/null && { echo "left after removal: Navorel in $mime_cache" >&2; failed=1; }
[ "$failed" -eq 0 ] || exit 1
echo "installed, ran and removed cleanly"
