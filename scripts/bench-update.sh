#!/usr/bin/env bash
# Benchmark of definitions updates under Wine (not a test): builds the windows
# preset, writes a plain list of ENTRIES entries (1% "HostIP", the rest "HostLink",
# about 100 bytes each) and the next list with CHANGED entries changed (half
# removed, spread over the list, half added), makes the update with make-update.sh
# twice, with the difference and without, serves both from a local origin server,
# and runs Update.exe against each with the first list installed. Prints the bytes
# each fetches, the time each takes (best of three runs; the loopback makes the
# whole file's download far cheaper than over a real network) and the program's
# peak memory (the largest resident size of the Wine process over the runs, Wine's
# own part included). BEFORE=path/Update.exe (from the build of an earlier version)
# is measured the same way in the same run, its figures beside these.
#   bash scripts/bench-update.sh [ENTRIES [CHANGED]]    (default 1000000 1000)
set -euo pipefail
entries=${1:-1000000} changed=${2:-1000}
source "$(dirname "$0")/windows-session.sh"
work=$(pwd)/$build/bench-update
rm -rf "$work"
mkdir -p "$work/root"
origin_pid=
trap '[ -n "$origin_pid" ] && kill $origin_pid; $session stop $build >/dev/null' EXIT
export DEFSTOOL=$(pwd)/$build/host/defstool
key=tests/update/test-update-key.pem

python3 - "$entries" "$changed" "$work" <<'PY'
import sys
entries, changed, work = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
addresses = entries // 100
links = entries - addresses
def link(i):
    return "login-%07d.account-verify-secure.example.com/signin/confirm/identity?session=%012d&step=2" % (i, i * 7919)
def write(path, ips, hostlinks):
    with open(path, "w") as out:
        out.write("[HostIP]\n")
        out.writelines("IP%d=%s\n" % (n + 1, a) for n, a in enumerate(ips))
        out.write("[HostLink]\n")
        out.writelines("HLINK%d=%s\n" % (n + 1, l) for n, l in enumerate(hostlinks))
ips = ["10.%d.%d.%d" % (i >> 16 & 255, i >> 8 & 255, i & 255) for i in range(addresses)]
old = [link(i) for i in range(links)]
write(work + "/old.ini", ips, old)
step = max(1, links // (changed // 2))
removed = set(range(0, links, step)[: changed // 2])
new = [l for i, l in enumerate(old) if i not in removed] + [link(links + i) for i in range(changed - changed // 2)]
write(work + "/new.ini", ips, new)
PY

seconds() { date +%s.%N; }
start=$(seconds)
bash scripts/make-update.sh --previous "$work/old.ini" 12/09/2026 "$work/new.ini" $key "$work/root/difference" \
  12/09/2026.1 >/dev/null
made=$(awk "BEGIN { printf \"%.1f\", $(seconds) - $start }")
bash scripts/make-update.sh "$work/new.ini" $key "$work/root/whole" 12/09/2026.1 >/dev/null

cp -r $build/app "$work/app"
programs=(858068658469/Update.exe)
if [ -n "${BEFORE:-}" ]; then
  cp "$BEFORE" "$work/app/858068658469/Update-before.exe"
  programs+=(858068658469/Update-before.exe)
fi
$DEFSTOOL shipped "$work/old.ini" "$work/app/hkwdn1.hwd" 12/09/2026
user_data=$(wine winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\\Hookwarden" 2>/dev/null)
python3 tests/support/origin.py --root "$work/root" --seconds 3000 >"$work/origin.port" &
origin_pid=$!
until [ -s "$work/origin.port" ]; do sleep 0.2; done
origin=http://127.0.0.1:$(head -1 "$work/origin.port")

run() {  # FOLDER PROGRAM: the best time of three runs and the peak memory in MB, each with the first list installed
  local best= peak=0 t kb
  for _ in 1 2 3; do
    rm -f "$user_data/hkwdn1.hwd" "$user_data/hkwdn1-update.txt"
    t=$(seconds)
    (cd "$work/app" && /usr/bin/time -f %M -o "$work/$1.kb" wine "$2" --address "$origin/$1/update.txt" \
      >"$work/$1.out" 2>&1) || { echo "$2 failed: $(tail -1 "$work/$1.out")" >&2; exit 1; }
    t=$(awk "BEGIN { print $(seconds) - $t }")
    kb=$(tail -1 "$work/$1.kb")
    if [ -z "$best" ] || awk "BEGIN { exit !($t < $best) }"; then best=$t; fi
    if [ "$kb" -gt "$peak" ]; then peak=$kb; fi
  done
  cmp -s "$user_data/hkwdn1.hwd" "$work/root/whole/hkwdn1.hwd" || { echo "$1: not the new file" >&2; exit 1; }
  [ "$1" != difference ] || grep -q 'Applying the difference' "$work/$1.out" ||
    { echo "the difference was not applied" >&2; exit 1; }
  printf ' %15.2f %10.1f' "$best" "$(awk "BEGIN { print $peak / 1024 }")"
}
bytes() { stat -c %s "$@" | awk '{ n += $1 } END { print n }'; }
figures() {  # FOLDER: the figures of each program
  for program in "${programs[@]}"; do run "$1" "$program"; done
}
with_difference=$(figures difference)
whole=$(figures whole)
rm -f "$user_data/hkwdn1.hwd" "$user_data/hkwdn1-update.txt"

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores," \
     "load average $(cut -d' ' -f1 /proc/loadavg); $(wine --version); Release build (mingw-w64 g++ -O3)"
echo "$entries entries, $changed changed; make-update.sh with the difference: ${made} s"
heading() { printf ' %15s %10s' "${1}seconds" "${1}MB"; }
printf '%-12s %14s' update "bytes fetched"
heading ""
[ ${#programs[@]} -eq 1 ] || heading "before "
echo
printf '%-12s %14s%s\n' difference \
  "$(bytes "$work/root/difference/update.txt" "$work/root/difference/hkwdn1.hwdiff")" "$with_difference"
printf '%-12s %14s%s\n' "whole file" "$(bytes "$work/root/whole/update.txt" "$work/root/whole/hkwdn1.hwd")" "$whole"
