#!/usr/bin/env bash
# The main job: builds the Windows deliverables, starts the console under Wine from
# the application folder build/windows/app (on the user's display when DISPLAY is
# set, else on the session's virtual one), lets the provider stand-in send it
# requests, printing each verdict, sends a listed and an unlisted request with curl
# through the stand-in as a web proxy to a local origin server, lets a WinINet
# program's request go through the console's own web guard, and ends the console
# through the tray's Exit command; last, Chromium and Firefox with the browser
# extension and its host each block a listed HTTPS page of a local origin.
set -euo pipefail
user_display=${DISPLAY:-}
source "$(dirname "$0")/windows-session.sh"
# The console enters itself in the current user's Run key, and every later start
# of the session's wine server would start it again: take the entry out at the end
# so that the tests sharing this prefix find no console running.
proxy_pids=()
cleanup() {
  for pid in "${proxy_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Hookwarden /f >/dev/null 2>&1 || true
  $session stop $build >/dev/null
}
trap cleanup EXIT
bin=$(pwd)/$build/bin
app=$(pwd)/$build/app

# The console writes its working definitions file into the user's own folder.
data=$(wine winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\\Hookwarden" 2>/dev/null)
rm -f "$data/hkwdn2.hwd" "$app/chainset.log"

# The console's windows go to the user's display when there is one.
if [ -n "$user_display" ]; then export DISPLAY=$user_display; fi
echo "Starting the console: $app/Hookwdn.exe (display $DISPLAY)"
(cd "$app" && wine Hookwdn.exe >/dev/null 2>&1 < /dev/null &)
for _ in $(seq 1 100); do
  # The probe sends nothing; it looks for the console's request window.
  (cd "$bin" && wine provider-standin.exe --probe >/dev/null 2>&1) && break
  sleep 0.2
done
echo "Console is up: it decrypted $(stat -c %s "$app/hkwdn1.hwd")-byte hkwdn1.hwd into the working definitions file" \
  "hkwdn2.hwd ($(stat -c %s "$data/hkwdn2.hwd") bytes)."
for _ in $(seq 1 50); do [ -s "$app/chainset.log" ] && break; sleep 0.1; done
if [ -s "$app/chainset.log" ]; then
  echo "The provider is not installed: the console started its installer stand-in: $(head -1 "$app/chainset.log")"
fi
echo "The provider stand-in sends a request only when the sample definitions list the address;"
echo "the console then asks the user through its alert, here answered by alert-answer.exe"
echo "through the alert's own controls (${HW_ALERT_ANSWER:-block remember} first; set HW_ALERT_ANSWER to change it)."
echo
provider() { (cd "$bin" && wine provider-standin.exe "$@" 2>/dev/null | tr -d '\r') || true; }
# A request that reaches the alert: the provider waits for the verdict while the
# alert's user answers.
answered() {
  local answer=$1
  shift
  local out
  out=$(mktemp)
  provider "$@" >"$out" &
  local pid=$!
  # shellcheck disable=SC2086
  (cd "$bin" && wine alert-answer.exe $answer 2>/dev/null | tr -d '\r') || true
  wait $pid
  cat "$out"
  rm -f "$out"
}
echo "== a connection to a listed host address: the alert asks"
answered "${HW_ALERT_ANSWER:-block remember}" --kind I --ip 192.0.2.10 --port 80 --name iexplore.exe
echo "== the same connection again"
case "${HW_ALERT_ANSWER:-block remember}" in
  *remember) echo "  (answered from the remembered list entry, without an alert)"
             provider --kind I --ip 192.0.2.10 --port 80 --name iexplore.exe ;;
  *) answered "${HW_ALERT_ANSWER}" --kind I --ip 192.0.2.10 --port 80 --name iexplore.exe ;;
esac
echo "== a connection to an unlisted host address"
provider --kind I --ip 192.0.2.1 --port 80 --name iexplore.exe
echo
echo "== a web request for a listed address, answered Allow, then for an unlisted one (request heads from a file and on standard input)"
printf 'GET /verify?user=alice HTTP/1.1\r\nHost: www.login.example.com\r\nAccept: */*\r\n\r\n' >"$build/run-head.txt"
answered allow --kind U --ip 203.0.113.5 --port 80 --head "$(wine winepath -w "$(pwd)/$build/run-head.txt" 2>/dev/null | tr -d '\r')" --name iexplore.exe
printf 'GET /index.html HTTP/1.1\r\nHost: www.example.org\r\nAccept: */*\r\n\r\n' |
  provider --kind U --ip 198.51.100.7 --port 80 --head - --name firefox.exe
echo
echo "== the provider stand-in as a web proxy: curl's requests through it, checked and decided like the provider's"
# All on the loopback address: a local origin server, and the listed name resolved
# to it by the proxy itself, so no name server is asked.
mkdir -p "$build/run-origin"
echo "a page of the local origin server" >"$build/run-origin/index.html"
rm -f "$build/run-origin.port"
python3 tests/support/origin.py --root "$build/run-origin" --seconds 120 >"$build/run-origin.port" &
proxy_pids+=($!)
for _ in $(seq 1 50); do [ -s "$build/run-origin.port" ] && break; sleep 0.1; done
oport=$(head -1 "$build/run-origin.port")
proxy_out=$(pwd)/$build/run-proxy.out
pport=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$bin" && exec wine provider-standin.exe --proxy "127.0.0.1:$pport" --resolve login.example.com=127.0.0.1 \
  --seconds 120 >"$proxy_out" 2>/dev/null) &
proxy_pids+=($!)
for _ in $(seq 1 150); do grep -q "proxy listening" "$proxy_out" 2>/dev/null && break; sleep 0.2; done
through_proxy() {
  curl -s --max-time 90 -x "http://127.0.0.1:$pport" -o "$build/run-page.html" -w '%{http_code}' "$1" || true
}
shown() { sed -e 's/<[^>]*>//g' "$build/run-page.html" | grep -v '^ *$' | sed 's/^/  page | /'; }
echo "curl -x http://127.0.0.1:$pport http://127.0.0.1:$oport/index.html   (unlisted: forwarded)"
echo "  curl got HTTP $(through_proxy "http://127.0.0.1:$oport/index.html")"
shown
echo "curl -x http://127.0.0.1:$pport http://login.example.com/verify   (listed: the console's alert asks)"
through_proxy http://login.example.com/verify >"$build/run-code.txt" &
curl_pid=$!
(cd "$bin" && wine alert-answer.exe block 2>/dev/null | tr -d '\r') || true
wait $curl_pid || true
echo "  curl got HTTP $(cat "$build/run-code.txt")"
shown
echo "what the proxy did:"
tr -d '\r' <"$proxy_out" | sed 's/^/  proxy | /'
for pid in "${proxy_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
proxy_pids=()

echo
echo "== a WinINet program's request, through the guard the console started (no proxy set by hand)"
inet_setting() {
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings' /v "$1" 2>/dev/null |
    tr -d '\r' | sed -n 's/^ \{4\}\S.*\s\+REG_[A-Z_]\+\s*//p' || true
}
echo "the system proxy setting: ProxyEnable $(inet_setting ProxyEnable), ProxyServer $(inet_setting ProxyServer)," \
  "ProxyOverride $(inet_setting ProxyOverride)"
echo "wininet-client.exe http://login.example.com/verify   (INTERNET_OPEN_TYPE_PRECONFIG, as browsers do)"
(cd "$bin" && wine wininet-client.exe http://login.example.com/verify 2>/dev/null | tr -d '\r' |
  sed -e 's/<[^>]*>//g' -e '/^page | *$/d' -e 's/^/  /') >"$build/run-wininet.txt" &
client_pid=$!
(cd "$bin" && wine alert-answer.exe block 2>/dev/null | tr -d '\r') || true
wait $client_pid || true
cat "$build/run-wininet.txt"
echo
echo "== the tray's Exit command ends the console"
(cd "$bin" && wine tray-command.exe exit 2>/dev/null | tr -d '\r') || true
if [ -e "$data/hkwdn2.hwd" ]; then
  echo "the working definitions file hkwdn2.hwd is still there"
else
  echo "the working definitions file hkwdn2.hwd is gone"
fi
echo
echo "== the console again: the main window's rows are fed from the stored settings"
(cd "$app" && wine Hookwdn.exe >/dev/null 2>&1 < /dev/null &)
for _ in $(seq 1 100); do (cd "$bin" && wine provider-standin.exe --probe >/dev/null 2>&1) && break; sleep 0.2; done
rows() { (cd "$bin" && wine main-window.exe rows 2>/dev/null | tr -d '\r') || true; }
# Feeding starts a second after start-up, one row per acknowledgement of the movie.
for _ in $(seq 1 50); do rows | grep -q 'web sites [1-9]' && break; sleep 0.2; done
rows
# On the virtual display nobody watches: the script shows every page and keeps a
# picture of each in $build/run-screens (docs/screens holds scripts/screenshot.sh's,
# which a test compares).
if [ -z "$user_display" ]; then
  mkdir -p $build/run-screens
  for page in overview mail sites log settings; do
    shown=$( (cd "$bin" && wine main-window.exe page $page 2>/dev/null | tr -d '\r') || true)
    read -r _ x y w h <<<"$(grep '^SHOWN' <<<"$shown" || echo "SHOWN 0 0 0 0")"
    if [ "$w" -gt 0 ] && import -window root -crop "${w}x${h}+${x}+${y}" +repage "$build/run-screens/HWMain-$page.png"; then
      echo "page $page: $build/run-screens/HWMain-$page.png"
    fi
  done
fi
(cd "$bin" && wine tray-command.exe exit 2>/dev/null | tr -d '\r') || true
echo
echo "== Chromium with the extension and its browser host: a listed HTTPS page is blocked before it shows"
# The browser test's own console (a copy of the application folder) and local
# HTTPS origin; its screenshot of the block page goes to docs/browser.
bash tests/browserhost/browser-test.sh "$build" "$(pwd)/docs/browser/block-page.png" || true
echo
echo "== Firefox with the extension and its browser host: a listed HTTPS page never reaches the origin"
bash tests/browserhost/firefox-test.sh "$build" || true
