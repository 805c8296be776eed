#!/usr/bin/env bash
# The extension installed by policy in Debian's Chromium (headless, a fresh
# profile): a managed policy file names its CRX on a local plain-http update
# server, as an administrator's ExtensionSettings does, and the extension then
# holds requests itself (browser-setup.sh prepares the origin, the console and the
# host's launcher). The policy applies to every Chromium of the machine: it goes
# when the test ends, however it ends. The checks are in policy-test.js.
#   policy-test.sh BUILD_DIR
chromium=/usr/lib/chromium/chromium
[ -x "$chromium" ] || { echo "FAIL no $chromium: run scripts/install-deps.sh"; exit 1; }
policy_dir=/etc/chromium/policies/managed
policy=$policy_dir/hookwarden-test.json
if ! mkdir -p "$policy_dir" 2>/dev/null || [ ! -w "$policy_dir" ]; then
  echo "SKIP $policy_dir is not writable: run as root"
  exit 77
fi
source "$(dirname "$0")/browser-setup.sh" "$1" policy-test
trap 'rm -f "$policy"; cleanup' EXIT
extension=$build/browser/extension

# The update server: the update manifest and the CRX packed with the build's key.
mkdir -p "$work/updates"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/updates" >"$work/updates.out" 2>&1 &
pids+=($!)
wait_for 10 grep -q ' port ' "$work/updates.out" || { echo "FAIL the update server did not start"; exit 1; }
uport=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/updates.out" | head -1)
id=$(python3 "$src/browser/extension/pack-crx.py" "$extension/Hookwarden-extension-store.zip" \
  "$(cat "$extension/crx-key-path")" "$work/updates" --codebase "http://127.0.0.1:$uport/Hookwarden-extension.crx") ||
  { echo "FAIL the CRX could not be packed"; exit 1; }
if ! cmp -s "$extension/crx/Hookwarden-extension.crx" "$work/updates/Hookwarden-extension.crx"; then
  echo "FAIL the CRX packed again differs from the build's"
  exit 1
fi

printf '{"ExtensionSettings": {"%s": {"installation_mode": "force_installed", "update_url": "%s"}}}\n' \
  "$id" "http://127.0.0.1:$uport/update.xml" >"$policy"
# The host allows the id of the CRX's key.
host_json=$work/profile/NativeMessagingHosts/com.corvinth.hookwarden.json
host_manifest chromium "$host_json"
sed -i "s|chrome-extension://[a-p]*/|chrome-extension://$id/|" "$host_json"
# Not the wrapper /usr/bin/chromium nor puppeteer's launch: both turn off the
# background networking that installs the extension.
"$chromium" --headless=new --no-sandbox --no-first-run --ignore-certificate-errors --user-data-dir="$work/profile" \
  --remote-debugging-port=0 about:blank >"$work/chromium.log" 2>&1 &
pids+=($!)
wait_for 30 test -s "$work/profile/DevToolsActivePort" || { echo "FAIL chromium did not start"; exit 1; }
HW_DEVTOOLS_PORT=$(head -1 "$work/profile/DevToolsActivePort") HW_EXTENSION_ID=$id run_checks policy-test.js
