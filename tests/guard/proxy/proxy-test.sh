#!/usr/bin/env bash
# The web proxy under Wine, used by curl from the Linux side with a local origin
# server (origin.py) and the real console, all on the loopback address: unlisted
# pages pass byte for byte, listed ones get the block page (the web list's
# permission is Block, so no alert opens) with the program that asked (curl: the
# proxy itself; a Windows client: its own name), however the address is spelled
# and also when the name does not resolve; CONNECT tunnels, upgrades, keep-alive,
# a few dozen requests at once, malformed heads, a second proxy going through the
# first as its upstream, and the console's saved log.
#   proxy-test.sh BUILD_DIR
source "$(dirname "$0")/../../wine/script-test.sh" "$1" proxy-test

# The origin server and its pages.
head -c 300000 /dev/urandom >"$work/root/plain.bin"
echo "an unlisted page" >"$work/root/plain.html"
echo "a listed page" >"$work/root/listed.html"
python3 "$src/tests/support/origin.py" --root "$work/root" --log "$work/origin.log" --seconds 500 >"$work/origin.port" &
pids+=($!)
wait_for 10 test -s "$work/origin.port" || { echo "FAIL the origin server did not start"; exit 1; }
oport=$(head -1 "$work/origin.port")

# A copy of the application folder whose definitions list one page of the origin.
copy_app
printf '[HostIP]\nIP1=192.0.2.10\n[HostLink]\nHLINK1=localhost:%s/listed.html\nHLINK2=login.example.com/verify\nHLINK3=phish.invalid/login\n' \
  "$oport" >"$work/plain.ini"
"$build/host/defstool" shipped "$work/plain.ini" "$work/app/hkwdn1.hwd" 12/01/2026 >/dev/null
start_console

pport=$(free_port)
(cd "$build/bin" && exec wine provider-standin.exe --proxy "127.0.0.1:$pport" --seconds 400 \
  --resolve upstream-only.example=127.0.0.1 >"$work/proxy.out" 2>&1) &
pids+=($!)
wait_for 30 grep -q "proxy listening" "$work/proxy.out" || { echo "FAIL the proxy did not start"; exit 1; }
px() { curl -s --max-time 30 -x "http://127.0.0.1:$pport" "$@"; }
unlisted=http://127.0.0.1:$oport
listed=http://localhost:$oport

# Forwarding: a binary page byte for byte, a chunked one, HEAD, and a POST body
# both ways; two requests on one kept connection.
px -o "$work/got.bin" "$unlisted/plain.bin"
check "unlisted page arrives byte for byte" "$(cmp -s "$work/got.bin" "$work/root/plain.bin" && echo same)" same
check "chunked answer" "$(px "$unlisted/chunked" | tr '\n' '|')" "first part|second part|"
check "chunked answer to HTTP/1.0 is plain data" "$(px --http1.0 --raw "$unlisted/chunked" | tr '\n' '|')" "first part|second part|"
check "HEAD gets the head only" "$(px -I "$unlisted/plain.html" | head -1 | tr -d '\r')" "HTTP/1.1 200 OK"
check "POST body" "$(px --data-binary 'name=value&x=1' "$unlisted/echo")" "name=value&x=1"
check "keep-alive" "$(px -v "$unlisted/plain.html" "$unlisted/plain.html" 2>&1 | grep -c 'Re-using existing connection')" 1

# A listed page: the block page, and the origin never sees the request.
check "listed page is blocked" "$(px -o "$work/block.html" -w '%{http_code}' "$listed/listed.html?user=a")" 403
check "block page names the address" "$(grep -c "localhost:$oport/listed.html" "$work/block.html")" 1
check "listed page for a Windows client" \
  "$(wine "$build/bin/proxy-client.exe" "$pport" "$listed/listed.html?from=wine" 2>/dev/null | tr -d '\r')" \
  "HTTP/1.1 403 Forbidden"

# Other spellings of a listed page, sent as they are; a listed name that does not
# resolve (.invalid never does) is blocked all the same, without being looked up.
for url in "http://login.example.com:$oport/verify" "http://Login.Example.COM./verify" \
  "http://login.example.com/verif%79" "http://login.example.com//verify" "http://login.example.com/x/../verify"; do
  check "spelling $url is blocked" "$(px --path-as-is -o /dev/null -w '%{http_code}' "$url")" 403
done
check "unresolvable listed name is blocked" "$(px -o /dev/null -w '%{http_code}' "http://phish.invalid/login")" 403
check "unresolvable unlisted name: 502" "$(px -o /dev/null -w '%{http_code}' "http://nothing.invalid/")" 502

# CONNECT: a host with only a listed page is not listed whole, so its tunnel
# passes; for an unlisted one bytes go both ways.
check "CONNECT to a host with a listed page passes" "$(px -p -o /dev/null -w '%{http_connect}' "$listed/plain.html")" 200
px -p -o "$work/tunnel.bin" "$unlisted/plain.bin"
check "tunnel carries the page" "$(cmp -s "$work/tunnel.bin" "$work/root/plain.bin" && echo same)" same
check "tunnel carries a POST" "$(px -p --data-binary 'through the tunnel' "$unlisted/echo")" "through the tunnel"

# Forty requests at once, half of them listed.
for i in $(seq 1 20); do echo "$unlisted/plain.html?n=$i"; echo "$listed/listed.html?n=$i"; done |
  xargs -P 20 -n 1 curl -s --max-time 60 -x "http://127.0.0.1:$pport" -o /dev/null -w '%{http_code} %{url}\n' \
    >"$work/parallel.txt"
check "parallel unlisted answered 200" "$(grep -c '^200 .*plain.html' "$work/parallel.txt")" 20
check "parallel listed answered 403" "$(grep -c '^403 .*listed.html' "$work/parallel.txt")" 20
check "origin never saw a listed request" "$(grep -c listed "$work/origin.log")" 0

# Malformed heads, then the proxy still serves.
check "no host: 400" "$(python3 "$here/raw-request.py" "$pport" nohost "$oport")" "HTTP/1.1 400 Bad Request"
check "64 KB head: 400" "$(python3 "$here/raw-request.py" "$pport" big "$oport")" "HTTP/1.1 400 Bad Request"
# Its worker is free again soon, not after the tunnel's idle limit (a minute).
check "a tunnel whose client is done ends while its server stays silent" \
  "$(python3 "$here/raw-request.py" "$pport" halfclosed)" "HTTP/1.1 200 Connection established, ended within 15 s"
check "binary junk: 400" "$(python3 "$here/raw-request.py" "$pport" junk)" "HTTP/1.1 400 Bad Request"
check "request for the proxy itself: 400" "$(px -o /dev/null -w '%{http_code}' "http://127.0.0.1:$pport/")" 400
check "early close: closed" "$(python3 "$here/raw-request.py" "$pport" early "$oport")" closed
check "empty lines before the request line" "$(python3 "$here/raw-request.py" "$pport" blanklines "$oport")" \
  "HTTP/1.1 200 OK"
check "upgrade becomes a tunnel" "$(python3 "$here/raw-request.py" "$pport" upgrade "$oport")" \
  "HTTP/1.1 101 Switching Protocols ping"
check "still serving" "$(px "$unlisted/plain.html")" "an unlisted page"

# A second proxy with the first as its upstream: a name only the first can resolve
# arrives, plainly and through a tunnel.
uport=$(free_port)
(cd "$build/bin" && exec wine provider-standin.exe --proxy "127.0.0.1:$uport" --upstream "127.0.0.1:$pport" \
  --seconds 200 >"$work/upstream.out" 2>&1) &
pids+=($!)
wait_for 30 grep -qs "proxy listening" "$work/upstream.out" || echo "FAIL the second proxy did not start"
check "through the upstream proxy" "$(curl -s --max-time 30 -x "http://127.0.0.1:$uport" \
  "http://upstream-only.example:$oport/plain.html")" "an unlisted page"
check "tunnel through the upstream proxy" "$(curl -s --max-time 30 -p -x "http://127.0.0.1:$uport" \
  "http://upstream-only.example:$oport/plain.html")" "an unlisted page"

# The console's saved log after exit names the proxy as the program.
(cd "$build/bin" && wine tray-command.exe exit >/dev/null 2>&1)
wait_for 20 bash -c "! (cd '$build/bin' && wine provider-standin.exe --probe >/dev/null 2>&1)"
log=$(wine reg query 'HKCU\Software\Corvinth\Hookwarden\AlertandLog' /s 2>/dev/null | tr -d '\r')
check "saved log names the proxy for curl" "$(echo "$log" | grep -q 'Program.*provider-standin.exe' && echo yes)" yes
check "saved log names the Windows client" "$(echo "$log" | grep -q 'Program.*proxy-client.exe' && echo yes)" yes
check "saved log names the page" "$(echo "$log" | grep -q "StrictedData.*localhost:$oport/listed.html" && echo yes)" yes
check "proxy printed the verdicts" "$(grep -c "kind 'U'.*url localhost:$oport/listed.html: block" "$work/proxy.out")" 22

[ $failures -eq 0 ] && rm -rf "$work"
echo "$failures failure(s)"
exit $((failures > 0))
