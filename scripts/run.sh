#!/usr/bin/env bash
# The main job: builds the Windows deliverables, starts the console under Wine with
# the application folder build/windows/app, and lets the provider stand-in send it
# requests, printing each verdict.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
build=build/windows
session=tests/wine/wine-session.sh
$session start $build >/dev/null
eval "$($session env $build)"
# The console enters itself in the current user's Run key, and every later start
# of the session's wine server would start it again: take the entry out at the end
# so that the tests sharing this prefix find no console running.
cleanup() {
  wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Hookwarden /f >/dev/null 2>&1 || true
  $session stop $build >/dev/null
}
trap cleanup EXIT
bin=$(pwd)/$build/bin
app=$(pwd)/$build/app

echo "Starting the console: $app/Hookwdn.exe"
(cd "$app" && wine Hookwdn.exe >/dev/null 2>&1 < /dev/null &)
for _ in $(seq 1 100); do
  out=$(cd "$bin" && wine provider-standin.exe --kind I --ip 192.0.2.1 --port 80 2>/dev/null | tr -d '\r') && break
  case "$out" in *"no console"*) sleep 0.2 ;; *) break ;; esac
done
echo "Console is up. It answers every request with 0 (block) until request handling lands."
echo
provider() { (cd "$bin" && wine provider-standin.exe "$@" 2>/dev/null | tr -d '\r') || true; }
provider --kind I --ip 192.0.2.10 --port 80 --name iexplore.exe
provider --kind U --ip 198.51.100.23 --port 80 --url phish.example.com/login.php --name iexplore.exe
provider --kind U --ip 203.0.113.5 --port 8080 --url www.example.net/account --name firefox.exe
