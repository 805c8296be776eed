#!/usr/bin/env bash
# Takes a PNG of each console screen as the stand-in player shows it, on the Wine
# session's virtual display, into docs/screens/. Uses the Windows build.
#
#   bash scripts/screenshot.sh [SHOT...]   shots: message question login setps changeps
#                                           webalert mailalert alertdisplay mailset logset
#                                           main-overview main-mail main-sites main-log
#                                           main-settings webalert-details mailalert-details
#
# HW_DPI=144 (or 192) takes them at that display scale, into NAME-144.png; the
# Wine session's scale is set back to 96 dpi afterwards. HW_SCREENS_DIR sets
# where the pictures go (default docs/screens).
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
dir=${HW_SCREENS_DIR:-docs/screens}
dpi=${HW_DPI:-96}
suffix=""
[ "$dpi" = 96 ] || suffix="-$dpi"
mkdir -p "$dir"
# Wine reads the display's scale from the current user's desktop settings when a
# program starts.
set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
if [ "$dpi" != 96 ]; then
  set_dpi "$dpi"
  trap 'set_dpi 96; [ $started = yes ] && $session stop $build >/dev/null' EXIT
fi
declare -A names=([message]=HWMsgBx-message [question]=HWMsgBx-question [login]=HWPass-login
                  [setps]=HWPass-setps [changeps]=HWPass-changeps
                  [webalert]=HWAlerts-web [mailalert]=HWAlerts-mail [alertdisplay]=HWLogCstm
                  [mailset]=HWAdvSet-mail [logset]=HWLogAdv
                  [main-overview]=HWMain-overview [main-mail]=HWMain-mail [main-sites]=HWMain-sites
                  [main-log]=HWMain-log [main-settings]=HWMain-settings
                  [webalert-details]=HWAlerts-web-details [mailalert-details]=HWAlerts-mail-details)
shots=("$@")
[ ${#shots[@]} -gt 0 ] || shots=(message question login setps changeps webalert mailalert alertdisplay mailset logset
                                 main-overview main-mail main-sites main-log main-settings webalert-details
                                 mailalert-details)
for shot in "${shots[@]}"; do
  out=$(mktemp)
  (cd $build/bin && wine ScreenShow.exe "$shot" 1500 >"$out" 2>/dev/null </dev/null) &
  pid=$!
  for _ in $(seq 1 200); do
    grep -q '^SHOWN' "$out" && break
    sleep 0.1
  done
  read -r _ x y w h < <(tr -d '\r' < "$out" | grep '^SHOWN')
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$dir/${names[$shot]}$suffix.png"
  echo "$dir/${names[$shot]}$suffix.png (${w}x${h})"
  wait $pid || true
  rm -f "$out"
done
