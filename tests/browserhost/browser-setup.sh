# The common part of the browser tests, sourced by each as
#   source "$(dirname "$0")/browser-setup.sh" BUILD_DIR NAME
# Over the Wine test's own (script-test.sh) it serves a local HTTPS origin with a
# self-signed certificate ($oport, each request's path in $work/origin.log),
# starts the real console of a copy of the application folder with definitions
# that list the origin's phisher page and a web-mail sender, and writes the
# launcher that runs the copy's browser host under this session's Wine
# ($work/host-launcher.sh; it touches $work/host-started, so a test sees that the
# extension's background, which connects at its start, runs). run_checks then
# runs the test's puppeteer-core script.
source "$(dirname "${BASH_SOURCE[0]}")/../wine/script-test.sh" "$1" "$2"
node_modules=$build/browser-test-node/node_modules
if [ ! -d "$node_modules/puppeteer-core" ]; then
  echo "FAIL no puppeteer-core in $node_modules: run scripts/install-deps.sh"
  exit 1
fi

# The origin's pages: one listed page of a shared platform, other pages of the
# same host, and a web-mail page whose sender the definitions list.
mkdir -p "$work/root/sites/phisher" "$work/root/sites/honest" "$work/root/mail"
echo "an unlisted page" >"$work/root/index.html"
echo "an honest site" >"$work/root/sites/honest/index.html"
echo '<!DOCTYPE html><body>around a frame<iframe src="/sites/phisher/login.html"></iframe>' >"$work/root/framed.html"
echo '<!DOCTYPE html><body>around an object<object type="text/html" data="/sites/phisher/login.html?object"></object>' \
  >"$work/root/object.html"
printf '<!DOCTYPE html><title>listed</title><body>a phishing page<script>new Image().src="/beacon?phisher-"+location.search.slice(1, 6)</script>\n' \
  >"$work/root/sites/phisher/login.html"
{
  echo '<!DOCTYPE html><body>forty listed frames'
  for n in $(seq 1 40); do echo "<iframe src=\"/sites/phisher/login.html?frame$n\"></iframe>"; done
} >"$work/root/frames40.html"
printf '<!DOCTYPE html><title>Inbox</title><body><div>From: Security Team &lt;security@account-check.example.net&gt;</div>%s\n' \
  '<div>To: you@example.net</div><div>Subject: Your account</div><p>Please confirm your details.</p>' \
  >"$work/root/mail/inbox.html"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -keyout "$work/key.pem" -out "$work/cert.pem" \
  >/dev/null 2>&1
python3 "$here/https-origin.py" --root "$work/root" --cert "$work/cert.pem" --key "$work/key.pem" \
  --log "$work/origin.log" --seconds 500 >"$work/origin.port" &
pids+=($!)
wait_for 10 test -s "$work/origin.port" || { echo "FAIL the origin server did not start"; exit 1; }
oport=$(head -1 "$work/origin.port")
touch "$work/origin.log"

# Definitions that list the phisher's page and the sender; the console on fresh
# settings, so that both alerts ask.
copy_app
printf '[HostLink]\nHLINK1=localhost:%s/sites/phisher\n[From]\nFROM1=security@account-check.example.net\n' "$oport" \
  >"$work/plain.ini"
"$build/host/defstool" shipped "$work/plain.ini" "$work/app/hkwdn1.hwd" 12/01/2026 >/dev/null
wine reg delete 'HKCU\Software\Corvinth' /f >/dev/null 2>&1
(cd "$work/app" && exec wine Hookwdn.exe >/dev/null 2>&1 </dev/null) &
pids+=($!)
wait_for 60 probe || { echo "FAIL the console did not start"; exit 1; }

{
  echo '#!/bin/sh'
  "$src/tests/wine/wine-session.sh" env "$build"
  echo ": >>'$work/host-started'"
  echo "exec wine '$work/app/HookwdnBrowserHost.exe' \"\$@\" 2>>'$work/host.err'"
} >"$work/host-launcher.sh"
chmod +x "$work/host-launcher.sh"

# host_manifest chromium|firefox FILE: the host's manifest for that browser,
# naming the launcher.
host_manifest() {
  mkdir -p "$(dirname "$2")"
  sed -e "s|\"path\": \"HookwdnBrowserHost.exe\"|\"path\": \"$work/host-launcher.sh\"|" \
    "$src/browser/HookwdnBrowserHost-$1.json" >"$2"
}

# run_checks SCRIPT: the test's checks, with the browser's own settings in HW_
# variables of the caller (HW_EXTENSION: the extension, when not the sources'
# folder); ends the test with their result, keeping $work when one failed.
run_checks() {
  HW_NODE_MODULES=$node_modules HW_EXTENSION=${HW_EXTENSION:-$src/browser/extension} HW_ORIGIN_PORT=$oport \
    HW_ORIGIN_LOG=$work/origin.log HW_HOST_STARTED=$work/host-started HW_BIN=$build/bin node "$here/$1"
  local result=$?
  [ $result -eq 0 ] && rm -rf "$work"
  exit $result
}
