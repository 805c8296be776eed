#!/usr/bin/env bash
# Benchmark of the matchers under Wine (not a test): builds the windows preset,
# writes working definitions files of 10, 1,000 and 10,000 entries per list with
# the definitions tool, and prints the time per call of every matcher with the
# match at the first, the middle and no entry (fastest and median run).
set -euo pipefail
source "$(dirname "$0")/windows-session.sh"
trap '$session stop $build >/dev/null' EXIT

work=$build/bench
mkdir -p $work
defstool=$(pwd)/$build/host/defstool
bench="wine ../bin/MatcherBench.exe"
sizes=(10 1000 10000)
args=()
for n in "${sizes[@]}"; do
  (cd $work && $bench --plain $n plain-$n.ini)
  $defstool working $work/plain-$n.ini $work/defs-$n.hwd
  args+=($n defs-$n.hwd)
done

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores;" \
     "$(wine --version); Release build (mingw-w64 g++ -O3)"
(cd $work && $bench "${args[@]}" | tr -d '\r')
