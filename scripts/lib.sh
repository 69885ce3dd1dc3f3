# Shared by scripts/run and scripts/test: install what is missing, then build.

NAVOREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NAVOREL_BUILD="$NAVOREL_ROOT/build"

# Debian 12 packages for building, testing and looking at the program.
NAVOREL_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev qt6-serialport-dev libqt6opengl6-dev libqscintilla2-qt6-dev libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth socat xdotool imagemagick x11-apps
  gpsd gpsd-clients
)

install_missing() {
  local missing=()
  for package in "${NAVOREL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$' \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root or install sudo to install: ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_navorel() {
  cmake -S "$NAVOREL_ROOT" -B "$NAVOREL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$NAVOREL_BUILD"
}
