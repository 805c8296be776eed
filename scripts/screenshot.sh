#!/usr/bin/env bash
# Takes a PNG of each console screen as the stand-in player shows it, on the Wine
# session's virtual display, into docs/screens/. Uses the Windows build.
#
#   bash scripts/screenshot.sh [SHOT...]   shots: message question login setps changeps
#                                           webalert mailalert alertdisplay mailset logset
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows
session=tests/wine/wine-session.sh
[ -f $build/bin/ScreenShow.exe ] || cmake --build --preset windows --target ScreenShow app
# Use a session that is already up (a test run) and leave it up; else start one.
started=no
if ! { [ -f $build/wine-session/xvfb.pid ] && kill -0 "$(cat $build/wine-session/xvfb.pid)" 2>/dev/null; }; then
  $session start $build >/dev/null
  started=yes
fi
trap '[ $started = yes ] && $session stop $build >/dev/null' EXIT
eval "$($session env $build)"
mkdir -p docs/screens
declare -A names=([message]=HWMsgBx-message [question]=HWMsgBx-question [login]=HWPass-login
                  [setps]=HWPass-setps [changeps]=HWPass-changeps
                  [webalert]=HWAlerts-web [mailalert]=HWAlerts-mail [alertdisplay]=HWLogCstm
                  [mailset]=HWAdvSet-mail [logset]=HWLogAdv)
shots=("$@")
[ ${#shots[@]} -gt 0 ] || shots=(message question login setps changeps webalert mailalert alertdisplay mailset logset)
for shot in "${shots[@]}"; do
  out=$(mktemp)
  (cd $build/bin && wine ScreenShow.exe "$shot" 1500 >"$out" 2>/dev/null </dev/null) &
  pid=$!
  for _ in $(seq 1 200); do
    grep -q '^SHOWN' "$out" && break
    sleep 0.1
  done
  read -r _ x y w h < <(tr -d '\r' < "$out" | grep '^SHOWN')
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "docs/screens/${names[$shot]}.png"
  echo "docs/screens/${names[$shot]}.png (${w}x${h})"
  wait $pid || true
  rm -f "$out"
done
