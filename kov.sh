#!/usr/bin/env bash
# Sets up a Debian 12 machine for KOV and builds it.
#   ./kov.sh run    install what is missing, build a release build, start KOV
#   ./kov.sh test   install what is missing, build, run every test (CTest)
#   ./kov.sh sanitize   the whole test suite under AddressSanitizer and UBSan
#   ./kov.sh fuzz [SECONDS]   every libFuzzer target for SECONDS (600) each, two at a time
#   ./kov.sh deb    a release build packed as a Debian package in build/release
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-pdf-dev qt6-charts-dev libgl-dev libxkbcommon-dev
  libicu-dev
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
  deb)
    # dpkg-shlibdeps names the libraries the package depends on.
    packages+=(dpkg-dev file)
    install_missing
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=OFF
    cmake --build build/release -j "$jobs"
    (cd build/release && cpack -G DEB)
    ls build/release/*.deb
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
    cd build/sanitize && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/../../tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$jobs"
    ;;
  fuzz)
    packages+=(clang-14 libfuzzer-14-dev libclang-rt-14-dev)
    install_missing
    seconds=${2:-600}
    CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOV_FUZZ=ON
    cmake --build build/fuzz -j "$jobs"
    run=$PWD/build/fuzz/run
    rm -rf "$run"
    mkdir -p "$run"
    # A finding stops its target and fails the run; leaks count as findings.
    export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:allocator_may_return_null=1
    export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
    export QT_QPA_PLATFORM=offscreen LC_ALL=en_US.UTF-8 TZ=UTC
    fuzz_one() {
      local t=$1 dir=$run/$1 max_len=4096
      mkdir -p "$dir/corpus" "$dir/artifacts"
      # New inputs go to a scratch copy, never into the repository.
      cp tests/fuzz/corpus/"$t"/* "$dir/corpus/"
      local args=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1
                  -artifact_prefix="$dir/artifacts/")
      case "$t" in plist | rtfd) max_len=65536 ;; esac
      args+=(-max_len="$max_len")
      [ -f tests/fuzz/"$t".dict ] && args+=(-dict=tests/fuzz/"$t".dict)
      if build/fuzz/tests/fuzz/fuzz_"$t" "${args[@]}" "$dir/corpus" >"$dir/log" 2>&1; then
        echo "fuzz_$t: nothing found"
      else
        echo "fuzz_$t: FOUND SOMETHING; log $dir/log"
        ls "$dir"/artifacts/* 2>/dev/null | sed 's/^/  input saved: /'
        touch "$dir/failed"
      fi
      grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)|^#[0-9]+[[:space:]]+(INITED|DONE)' "$dir/log" | sed "s/^/  fuzz_$t /"
    }
    running=0
    for t in plist rtfd costrules reminder version; do
      if [ "$running" -ge 2 ]; then
        wait -n || true
        running=$((running - 1))
      fi
      fuzz_one "$t" &
      running=$((running + 1))
    done
    wait
    if ls "$run"/*/failed >/dev/null 2>&1; then
      echo "fuzzing found problems; the inputs are listed above" >&2
      exit 1
    fi
    echo "fuzzing found nothing"
    ;;
  *)
    echo "usage: ./kov.sh run | test | sanitize | fuzz [SECONDS] | deb" >&2
    exit 2
    ;;
esac
