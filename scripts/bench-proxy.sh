#!/usr/bin/env bash
# Benchmark of the web proxy (not a test): builds the windows preset, starts a
# local origin server and the proxy under Wine on the loopback address, and times
# unlisted requests directly and through the proxy side by side
# (scripts/proxy-bench.py). No console runs: an unlisted request never asks it.
#   bash scripts/bench-proxy.sh [REQUESTS]
set -euo pipefail
source "$(dirname "$0")/windows-session.sh"
work=$(pwd)/$build/proxy-bench
rm -rf "$work"
mkdir -p "$work/root"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  $session stop $build >/dev/null
}
trap cleanup EXIT
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
python3 scripts/proxy-bench.py "$oport" "$pport" "${1:-400}"
