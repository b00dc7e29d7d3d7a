#!/usr/bin/env bash
# Sets up a Debian 12 machine for KOV and builds it.
#   ./kov.sh run    install what is missing, build a release build, start KOV
#   ./kov.sh test   install what is missing, build, run every test (CTest)
#   ./kov.sh sanitize   the whole test suite under AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-pdf-dev qt6-charts-dev libgl-dev libxkbcommon-dev
  libicu-dev libpugixml-dev
  fonts-dejavu-core locales dbus xvfb xauth
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
  fi
  # The tests read numbers under a decimal-comma locale too.
  local want=()
  for l in en_US.UTF-8 de_DE.UTF-8; do
    locale -a 2>/dev/null | grep -qi "^${l%.UTF-8}.utf-\?8$" || want+=("$l")
  done
  if [ ${#want[@]} -gt 0 ]; then
    for l in "${want[@]}"; do
      as_root sed -i "s/^# *\(${l} UTF-8\)/\1/" /etc/locale.gen
      grep -q "^${l} UTF-8" /etc/locale.gen || echo "${l} UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    done
    as_root locale-gen >/dev/null
  fi
}

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
  run)
    install_missing
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=OFF
    cmake --build build/release -j "$jobs"
    shift
    exec build/release/src/kov "$@"
    ;;
  test)
    install_missing
    cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOV_WERROR=ON
    cmake --build build/test -j "$jobs"
    cd build/test && ctest --output-on-failure -j "$jobs"
    ;;
  sanitize)
    install_missing
    cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOV_WERROR=ON -DKOV_SANITIZE=ON -DKOV_BUILD_BENCH=OFF
    cmake --build build/sanitize -j "$jobs"
    cd build/sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$jobs"
    ;;
  *)
    echo "usage: ./kov.sh run | test | sanitize" >&2
    exit 2
    ;;
esac
