#!/usr/bin/env bash
# The one command behind bench/RESULTS.md:
#   bench/run.sh [RUNS]        (RUNS per action, 5 by default)
# Builds kov_bench and kov-cli in a Release tree (build/bench, or $KOV_BENCH_BUILD),
# writes the three data folders with bench/make_data.py (the same bytes every
# time), runs every benchmark on each, and writes bench/RESULTS.md.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
build=${KOV_BENCH_BUILD:-build/bench}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$build" --target kov_bench kov-cli >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Pinned like the tests: time zone, locale, and no real home folder.
export TZ=UTC LC_ALL=en_US.UTF-8 QT_QPA_PLATFORM=offscreen
export HOME=$scratch/home XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache
mkdir -p "$HOME"

data=build/bench-data
out=bench/RESULTS.md.new
{
  echo "# Benchmark results"
  echo
  echo "Made by \`${KOV_BENCH_BUILD:+KOV_BENCH_BUILD=$KOV_BENCH_BUILD }bench/run.sh $runs\` on $(date -u '+%Y-%m-%d %H:%M UTC'), $(git log -1 --format='commit %h' 2>/dev/null || true)."
  echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores,"
  echo "$(awk '/MemTotal/ {printf "%.1f GiB", $2/1048576}' /proc/meminfo) memory, $(uname -sr), build type $(grep -m1 CMAKE_BUILD_TYPE "$build/CMakeCache.txt" | cut -d= -f2)."
  echo "Load average when the run began: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
  echo "Each figure is the median of $runs runs (at 100,000 records, of at most 3),"
  echo "timed until the event loop is idle again, offscreen. VmHWM is the peak resident memory."
  echo "CPU ms is the time the work itself took (for whole processes to 10 ms): on a machine"
  echo "other programs share, it is the steadier figure; wall time is what the user waits."
} >"$out"
for n in 1000 10000 100000; do
  if [ ! -f "$data/$n/PropertyHistoryFileForKOV" ]; then
    python3 bench/make_data.py "$n" "$data/$n"
  fi
  size=$(du -k "$data/$n/PropertyHistoryFileForKOV" | cut -f1)
  extra=()
  [ "$n" = 10000 ] && extra=(--plistlib)
  r=$runs
  [ "$n" = 100000 ] && r=$(( runs > 3 ? 3 : runs ))
  {
    echo
    echo "## $n records (history file $(awk -v k="$size" 'BEGIN {printf "%.1f MB", k*1024/1e6}'))"
    echo
    "$build/bench/kov_bench" "$data/$n" --runs "$r" "${extra[@]}"
  } >>"$out"
done
mv "$out" bench/RESULTS.md
echo "bench/RESULTS.md written"
