#!/usr/bin/env bash
# Benchmark of the browser host (not a test): builds the windows preset, starts
# the console of a copy of the application folder with the sample definitions (the
# web list's permission Block, so a listed address is decided without an alert)
# and times the host under Wine as a browser uses it (scripts/browser-host-bench.py):
# its start, and unlisted and listed addresses on one kept connection.
#   bash scripts/bench-browser-host.sh [REQUESTS]   # default 400
set -euo pipefail
source "$(dirname "$0")/windows-session.sh"
work=$(pwd)/$build/browser-host-bench
rm -rf "$work"
cp -r $build/app "$work"
rm -f "$work/hkwdn2.hwd" "$work/chainset.log"
$build/host/defstool shipped standins/defstool/sample-definitions.ini "$work/hkwdn1.hwd" 12/01/2026 >/dev/null
pids=()
cleanup() {
  (cd $build/bin && wine tray-command.exe exit >/dev/null 2>&1) || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wine reg delete 'HKCU\Software\Corvinth' /f >/dev/null 2>&1 || true
  wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Hookwarden /f >/dev/null 2>&1 || true
  $session stop $build >/dev/null
}
trap cleanup EXIT
wine reg delete 'HKCU\Software\Corvinth' /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Corvinth\Hookwarden\WebSiteBlocking' /v WebSiteBlockingPermession /t REG_BINARY \
  /d 01000000 /f >/dev/null
(cd "$work" && exec wine Hookwdn.exe >/dev/null 2>&1 </dev/null) &
pids+=($!)
for _ in $(seq 1 300); do (cd $build/bin && wine provider-standin.exe --probe >/dev/null 2>&1) && break; sleep 0.2; done
echo "$(wine --version), $(nproc) cores"
python3 scripts/browser-host-bench.py "${1:-400}" login.example.com /verify -- wine "$work/HookwdnBrowserHost.exe"
