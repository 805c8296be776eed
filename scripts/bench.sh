#!/usr/bin/env bash
# Benchmark of the matchers under Wine (not a test): builds the windows preset,
# writes working definitions files of 10, 1,000 and 10,000 entries per list, one
# of real-world size (100,000 host addresses, host links and links, 10,000
# senders, subjects and texts) and a large one (1,000,000 host addresses and host
# links, 10,000 of the rest) with the definitions tool, and prints the time per
# call of every matcher with the match at the first, the middle and no entry, the
# walk through the profile reader beside the index (the walk only up to 10,000
# entries), and the time and memory (in all and per entry) each table of the
# index takes to build. Sizes may be given: bash scripts/bench.sh [ENTRIES...].
set -euo pipefail
source "$(dirname "$0")/windows-session.sh"
trap '$session stop $build >/dev/null' EXIT

work=$build/bench
mkdir -p $work
defstool=$(pwd)/$build/host/defstool
bench="wine ../bin/MatcherBench.exe"
sizes=(10 1000 10000 100000/10000 1000000/10000/10000)
[ $# -gt 0 ] && sizes=("$@")  # e.g. bash scripts/bench.sh 1000000/10000/10000
args=()
for n in "${sizes[@]}"; do
  name=${n//\//-}
  (cd $work && $bench --plain $n plain-$name.ini)
  $defstool working $work/plain-$name.ini $work/defs-$name.hwd
  args+=($n defs-$name.hwd)
done

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores;" \
     "$(wine --version); Release build (mingw-w64 g++ -O3)"
(cd $work && $bench "${args[@]}" | tr -d '\r')
