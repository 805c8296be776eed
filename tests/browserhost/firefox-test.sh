#!/usr/bin/env bash
# The extension in Debian's Firefox ESR (headless, a fresh profile and $HOME)
# with the browser host under Wine, started through the launcher named in
# $HOME/.mozilla/native-messaging-hosts (browser-setup.sh prepares the origin, the
# console and the launcher). It installs the xpi of the application folder, the
# package the store signs. The checks themselves are in firefox-test.js.
#   firefox-test.sh BUILD_DIR
firefox=$(command -v firefox-esr) || { echo "FAIL no firefox-esr: run scripts/install-deps.sh"; exit 1; }
source "$(dirname "$0")/browser-setup.sh" "$1" firefox-test
host_manifest firefox "$work/home/.mozilla/native-messaging-hosts/com.corvinth.hookwarden.json"
HW_EXTENSION=$build/app/browser/Hookwarden-extension.xpi HW_FIREFOX=$firefox HW_HOME=$work/home \
  HW_PROFILE=$work/profile run_checks firefox-test.js
