#!/usr/bin/env bash
# The extension in Debian's Chromium (headless, a fresh profile) with the browser
# host under Wine, started through the launcher named in the profile's
# NativeMessagingHosts (browser-setup.sh prepares the origin, the console and the
# launcher). The checks themselves are in browser-test.js.
#   browser-test.sh BUILD_DIR [SCREENSHOT]
chromium=$(command -v chromium) || { echo "FAIL no chromium: run scripts/install-deps.sh"; exit 1; }
source "$(dirname "$0")/browser-setup.sh" "$1" browser-test
host_manifest chromium "$work/profile/NativeMessagingHosts/com.corvinth.hookwarden.json"
HW_CHROMIUM=$chromium HW_PROFILE=$work/profile HW_EXTENSION_ID=poojmbgoolgipimkegepmocodnfimpkp \
  HW_SCREENSHOT=${2:-} run_checks browser-test.js
