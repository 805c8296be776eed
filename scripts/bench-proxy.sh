#!/usr/bin/env bash
# Benchmark of the web guard (not a test): builds the windows preset, starts a
# local origin server, a bare relay (BareRelay.exe, bytes copied and nothing
# read: the platform's own limit) and the guard (HookwdnGuard.exe without a
# console) under Wine on the loopback address, and times unlisted requests
# directly, through the relay and through the guard side by side
# (scripts/proxy-bench.py). Then the guard's peak memory with 1,000,000 listed
# host links and host addresses: started on such a file, asked once, its
# process's high-water mark read. The guard reads the working definitions file
# of the bench folder, whose path it is given as "App Path" for the run (the
# value before is put back). No console runs: an unlisted request never asks it.
#   bash scripts/bench-proxy.sh [REQUESTS]
set -euo pipefail
source "$(dirname "$0")/windows-session.sh"
work=$(pwd)/$build/proxy-bench
rm -rf "$work"
mkdir -p "$work/root" "$work/large"
pids=()
key='HKCU\Software\Corvinth\Hookwarden'
old_app_path=$(wine reg query "$key" /v "App Path" 2>/dev/null | tr -d '\r' | sed -n 's/^ *App Path *REG_SZ *//p' || true)
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$old_app_path" ]; then
    wine reg add "$key" /v "App Path" /d "$old_app_path" /f >/dev/null 2>&1 || true
  else
    wine reg delete "$key" /v "App Path" /f >/dev/null 2>&1 || true
  fi
  $session stop $build >/dev/null
}
trap cleanup EXIT
use_definitions() {
  wine reg add "$key" /v "App Path" /d "$(wine winepath -w "$1" 2>/dev/null | tr -d '\r')" /f >/dev/null
}
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
# start_guard PORT OUT: the guard on 127.0.0.1:PORT; its process id in $guard_pid.
start_guard() {
  (cd $build/bin && exec wine HookwdnGuard.exe "127.0.0.1:$1" --seconds 900 >"$2" 2>&1) &
  guard_pid=$!
  pids+=($guard_pid)
  for _ in $(seq 1 150); do grep -q "proxy listening" "$2" 2>/dev/null && return 0; sleep 0.2; done
  echo "the guard did not start"; exit 1
}

$build/host/defstool working standins/defstool/sample-definitions.ini "$work/hkwdn2.hwd" >/dev/null
use_definitions "$work"
# A console's user folder (it writes it again at its start) would take the file elsewhere.
wine reg delete "$key" /v "Data Path" /f >/dev/null 2>&1 || true
head -c 2048 /dev/urandom | base64 >"$work/root/page.html"
head -c 100000000 /dev/urandom >"$work/root/big.bin"
python3 tests/support/origin.py --root "$work/root" --seconds 1800 >"$work/origin.port" &
pids+=($!)
for _ in $(seq 1 50); do [ -s "$work/origin.port" ] && break; sleep 0.1; done
oport=$(head -1 "$work/origin.port")
rport=$(free_port)
(cd $build/bin && exec wine BareRelay.exe "$rport" "$oport" >"$work/relay.out" 2>&1) &
pids+=($!)
gport=$(free_port)
start_guard "$gport" "$work/guard.out"
for _ in $(seq 1 50); do grep -q "relay listening" "$work/relay.out" 2>/dev/null && break; sleep 0.2; done

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg);" \
     "$(wine --version); windows preset (Release, mingw-w64 g++ $(x86_64-w64-mingw32-g++-posix -dumpversion), static)"
python3 scripts/proxy-bench.py "$oport" "$rport" "$gport" "${1:-400}"

# Peak memory with 1,000,000 host links and host addresses (10,000 of each mail list).
(cd "$work/large" && wine ../../bin/MatcherBench.exe --plain 1000000/10000/10000 plain.ini >/dev/null)
$build/host/defstool working "$work/large/plain.ini" "$work/large/hkwdn2.hwd" >/dev/null
rm -f "$work/large/plain.ini"
use_definitions "$work/large"
lport=$(free_port)
start_guard "$lport" "$work/large/guard.out"
kb() { sed -n "s/^$1:\s*\([0-9]*\) kB/\1/p" "/proc/$guard_pid/status"; }
idle_kb=$(kb VmRSS)
# One request builds both tables the guard asks: the address's and the host address's.
curl -s -o /dev/null --max-time 120 -x "http://127.0.0.1:$lport" "http://127.0.0.1:$oport/page.html"
echo "guard at 1,000,000 entries ($(du -m "$work/large/hkwdn2.hwd" | cut -f1) MB file): before the first request" \
     "$((idle_kb / 1024)) MB, peak $(( $(kb VmHWM) / 1024 )) MB, after $(( $(kb VmRSS) / 1024 )) MB (resident set of its Wine process)"
