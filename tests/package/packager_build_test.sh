#!/usr/bin/env bash
# A packager's builds, beside the main one: without the tests and the
# benchmarks, nothing of GoogleTest or Qt Test is needed (both are hidden
# from CMake here), and a build without the desktop program still installs
# navorel-filter with its man page and completion, and no Debian files.
#   tests/package/packager_build_test.sh BUILD_DIR
# The compiler flags are those of scripts/test, so that a compiler cache
# (ccache) serves the objects the main build made.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)

log=$(mktemp)
staged=$(mktemp -d)
trap 'rm -rf "$log" "$staged" "$build/packager-hidden"' EXIT
quietly() { "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }; }

configure() { # build folder, cmake arguments
  local dir=$1
  shift
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNAVOREL_WERROR=ON "${launcher[@]}" "$@"
}
hidden=(-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON)
off=(-DNAVOREL_BUILD_TESTS=OFF -DNAVOREL_BUILD_BENCH=OFF)
failed=0

echo "== tests and benchmarks off, GoogleTest and Qt Test hidden"
# The hiding works: the tests cannot be configured without either.
for package in GTest Qt6Test; do
  rm -rf "$build/packager-hidden"
  if configure "$build/packager-hidden" -DCMAKE_DISABLE_FIND_PACKAGE_$package=ON >"$log" 2>&1 \
    || ! grep -q "${package#Qt6}" "$log"; then
    cat "$log" >&2
    echo "FAILED: the tests configure with $package hidden: the hiding does not work" >&2
    exit 1
  fi
done
quietly configure "$build/packager" "${hidden[@]}" "${off[@]}"
quietly cmake --build "$build/packager" --target navorel-filter navorel-record
echo "configured and built navorel-filter and navorel-record"

echo "== without the desktop program"
quietly configure "$build/packager-cli" "${off[@]}" -DNAVOREL_BUILD_GUI=OFF
quietly cmake --build "$build/packager-cli"
DESTDIR="$staged" quietly cmake --install "$build/packager-cli" --prefix /usr
installed=$(cd "$staged" && find . -type f | sed 's|^\./|/|' | sort)
echo "$installed"
expected="/usr/bin/navorel-filter
/usr/share/bash-completion/completions/navorel-filter
/usr/share/man/man1/navorel-filter.1.gz"
if [ "$installed" != "$expected" ]; then
  echo "FAILED: the install differs from (< expected, > installed):" >&2
  diff <(echo "$expected") <(echo "$installed") >&2 || true
  failed=1
fi
"$staged/usr/bin/navorel-filter" --version >/dev/null || failed=1
[ "$failed" -eq 0 ] || exit 1
echo "packager builds passed"
