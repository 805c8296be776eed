#!/usr/bin/env bash
# Benchmark of the web proxy (not a test): builds the windows preset, starts a
# local origin server and the proxy under Wine on the loopback address, and times
# unlisted requests directly and through the proxy side by side
# (scripts/proxy-bench.py). The proxy reads the sample definitions, written as a
# working definitions file into the bench folder, whose path it is given as
# "App Path" for the run (the value before is put back). No console runs: an
# unlisted request never asks it.
#   bash scripts/bench-proxy.sh [REQUESTS]
set -euo pipefail
source "$(dirname "$0")/windows-session.sh"
work=$(pwd)/$build/proxy-bench
rm -rf "$work"
mkdir -p "$work/root"
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
$build/host/defstool working standins/defstool/sample-definitions.ini "$work/hkwdn2.hwd" >/dev/null
wine reg add "$key" /v "App Path" /d "$(wine winepath -w "$work" 2>/dev/null | tr -d '\r')" /f >/dev/null
# A console's user folder (it writes it again at its start) would take the file elsewhere.
wine reg delete "$key" /v "Data Path" /f >/dev/null 2>&1 || true
head -c 2048 /dev/urandom | base64 >"$work/root/page.html"
python3 tests/provider/origin.py --root "$work/root" --seconds 600 >"$work/origin.port" &
pids+=($!)
for _ in $(seq 1 50); do [ -s "$work/origin.port" ] && break; sleep 0.1; done
oport=$(head -1 "$work/origin.port")
pport=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd $build/bin && exec wine provider-standin.exe --proxy "127.0.0.1:$pport" --seconds 600 >"$work/proxy.out" 2>&1) &
pids+=($!)
for _ in $(seq 1 150); do grep -q "proxy listening" "$work/proxy.out" 2>/dev/null && break; sleep 0.2; done
echo "origin 127.0.0.1:$oport, proxy 127.0.0.1:$pport ($(wine --version), $(nproc) cores)"
tr -d '\r' <"$work/proxy.out" | head -1
python3 scripts/proxy-bench.py "$oport" "$pport" "${1:-400}"
