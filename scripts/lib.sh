# Shared by the scripts: set-up, build, fuzz runs.

NAVOREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NAVOREL_BUILD="$NAVOREL_ROOT/build"

# Debian 12 packages for building, testing, packaging and looking at the program.
# ccache serves the packager builds of scripts/test from the main build's objects.
NAVOREL_PACKAGES=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-charts-dev qt6-serialport-dev libqt6opengl6-dev libqscintilla2-qt6-dev libqt6svg6
  libgtest-dev
  clang libclang-rt-14-dev clang-format
  libxml2-utils
  xvfb xauth socat xdotool imagemagick
  gpsd gpsd-clients gpsbabel
  locales dpkg-dev file lintian
  appstream desktop-file-utils shared-mime-info libglib2.0-bin bash-completion systemd
)

# The locale with a decimal comma that the number texts are tested under.
NAVOREL_TEST_LOCALE=de_DE.UTF-8

# Runs a command as root: directly, or through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "Run as root or install sudo to run: $*" >&2
    return 1
  fi
}

install_missing() {
  local missing=()
  for package in "${NAVOREL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$' \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

generate_test_locale() {
  local name=${NAVOREL_TEST_LOCALE%.UTF-8}.utf8
  locale -a 2>/dev/null | grep -qx "$name" && return 0
  echo "Generating the locale $NAVOREL_TEST_LOCALE"
  # Listed in /etc/locale.gen, so that a later locale-gen keeps it.
  grep -qx "$NAVOREL_TEST_LOCALE UTF-8" /etc/locale.gen 2>/dev/null \
    || echo "$NAVOREL_TEST_LOCALE UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
}

# git diff shows the Windows-1252 expected files as text (see .gitattributes).
configure_git_diff() {
  command -v git >/dev/null && git -C "$NAVOREL_ROOT" rev-parse --git-dir >/dev/null 2>&1 || return 0
  git -C "$NAVOREL_ROOT" config --get diff.cp1252.textconv >/dev/null \
    || git -C "$NAVOREL_ROOT" config diff.cp1252.textconv 'iconv -f WINDOWS-1252 -t UTF-8'
}

setup_navorel() {
  install_missing
  generate_test_locale
  configure_git_diff
}

# One Release build serves the program, the tests and the package. Extra
# arguments go to cmake (scripts/test adds -DNAVOREL_WERROR=ON).
build_navorel() {
  local launcher=()
  # A compiler cache, where the machine has one, makes rebuilds of other
  # checkouts cheap; it is not needed.
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$NAVOREL_ROOT" -B "$NAVOREL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@" >/dev/null
  cmake --build "$NAVOREL_BUILD"
}

# Builds the libFuzzer targets with clang into build/fuzz and runs each for
# the given seconds. The corpus grows in build/fuzz/corpus from run to run;
# a crashing input is kept in build/fuzz as crash-*.
run_fuzzers() {
  local seconds=$1
  local fuzz_build="$NAVOREL_BUILD/fuzz"
  CC=clang CXX=clang++ cmake -S "$NAVOREL_ROOT" -B "$fuzz_build" -G Ninja -DNAVOREL_FUZZ=ON -DNAVOREL_WERROR=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$fuzz_build"
  # Every tests/fuzz/fuzz_*.cpp is a target, as tests/fuzz/CMakeLists.txt builds them.
  local targets=()
  for source in "$NAVOREL_ROOT"/tests/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
  for target in "${targets[@]}"; do
    local corpus="$fuzz_build/corpus/$target"
    local log="$fuzz_build/$target.log"
    mkdir -p "$corpus"
    cp "$NAVOREL_ROOT/tests/fuzz/seeds/${target#fuzz_}"/* "$corpus"/
    # The real receiver logs beside the project make good starting points too.
    if { [ "${target#fuzz_filter}" != "$target" ] || [ "$target" = fuzz_exports ]; } \
      && [ -d "$NAVOREL_ROOT/../shared/nmea-samples" ]; then
      cp "$NAVOREL_ROOT/../shared/nmea-samples/"*.log "$corpus"/
    fi
    echo "== $target, $seconds s"
    local status=0
    "$fuzz_build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$fuzz_build/" "$corpus" >"$log" 2>&1 || status=$?
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    if [ "$status" -ne 0 ]; then
      tail -n 60 "$log"
      return "$status"
    fi
  done
}
