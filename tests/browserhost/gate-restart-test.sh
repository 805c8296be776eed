#!/usr/bin/env bash
# A page's gate when Chromium stops the extension's service worker before the
# verdict: Debian's Chromium (headless, a fresh profile) with the extension, a
# local HTTPS origin and slow-host.py in the host's place, which answers after 4
# seconds so that the page is still held when the worker stops. No Wine: the host's
# own answers are checked by the other browser tests. The checks are in
# gate-restart-test.js.
#   gate-restart-test.sh BUILD_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
chromium=$(command -v chromium) || { echo "FAIL no chromium: run scripts/install-deps.sh"; exit 1; }
node_modules=$build/browser-test-node/node_modules
if [ ! -d "$node_modules/puppeteer-core" ]; then
  echo "FAIL no puppeteer-core in $node_modules: run scripts/install-deps.sh"
  exit 1
fi
work=$(mktemp -d "$build/gate-restart-test.XXXXXX")
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; wait' EXIT

mkdir -p "$work/root" "$work/profile/NativeMessagingHosts"
echo "a page" >"$work/root/index.html"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -keyout "$work/key.pem" -out "$work/cert.pem" \
  >/dev/null 2>&1
python3 "$here/https-origin.py" --root "$work/root" --cert "$work/cert.pem" --key "$work/key.pem" \
  --log "$work/origin.log" --seconds 200 >"$work/origin.port" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/origin.port" ] && break; sleep 0.1; done
[ -s "$work/origin.port" ] || { echo "FAIL the origin server did not start"; exit 1; }

printf '#!/bin/sh\nexec python3 "%s" --delay 4 "$@"\n' "$here/slow-host.py" >"$work/host.sh"
chmod +x "$work/host.sh"
sed -e "s|\"path\": \"HookwdnBrowserHost.exe\"|\"path\": \"$work/host.sh\"|" \
  "$here/../../browser/HookwdnBrowserHost-chromium.json" \
  >"$work/profile/NativeMessagingHosts/com.corvinth.hookwarden.json"

HW_NODE_MODULES=$node_modules HW_CHROMIUM=$chromium HW_PROFILE=$work/profile \
  HW_EXTENSION=$here/../../browser/extension HW_EXTENSION_ID=poojmbgoolgipimkegepmocodnfimpkp \
  HW_ORIGIN_PORT=$(head -1 "$work/origin.port") HW_ORIGIN_LOG=$work/origin.log node "$here/gate-restart-test.js"
result=$?
[ $result -eq 0 ] && rm -rf "$work"
exit $result
