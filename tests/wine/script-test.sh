# The common part of the shell tests under Wine, sourced by each as
#   source "$(dirname "$0")/../wine/script-test.sh" BUILD_DIR NAME
# It enters the build's Wine session and gives the test a fresh folder
# $build/NAME ($work), a counted check, a wait with a deadline, a free loopback
# port and the real console started from a copy of the application folder. What
# the test starts in the background goes into pids and ends with it, as do the
# console's settings.
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
eval "$("$src/tests/wine/wine-session.sh" env "$build")"
work=$build/$2
rm -rf "$work"
mkdir -p "$work/root"
failures=0
pids=()

check() {  # NAME ACTUAL EXPECTED
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: got '$2', expected '$3'"
    failures=$((failures + 1))
  fi
}
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wine reg delete 'HKCU\Software\Corvinth' /f >/dev/null 2>&1
  wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Hookwarden /f >/dev/null 2>&1
}
trap cleanup EXIT
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
wait_for() {  # seconds, then a command that must succeed
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}
# The Wine debug channels that show the Application log's events, and those
# events in a program's standard error, as "ID|insert|..." lines.
event_debug=fixme+advapi,warn+eventlog,err+eventlog,trace+eventlog
events() { python3 "$src/tests/wine/event-log.py" "$1"; }
probe() { (cd "$build/bin" && wine provider-standin.exe --probe >/dev/null 2>&1); }
# The user's own folder, where the console writes its working definitions file.
user_data_folder() {
  wine winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\\Hookwarden" 2>/dev/null
}

# A copy of the application folder in $work/app, without what a console wrote.
copy_app() {
  cp -r "$build/app" "$work/app"
  rm -f "$work/app/hkwdn2.hwd" "$work/app/chainset.log"
}
# The console of $work/app on fresh settings whose web list's permission is Block,
# so that listed addresses are answered without an alert; up when it answers.
start_console() {
  wine reg delete 'HKCU\Software\Corvinth' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Corvinth\Hookwarden\WebSiteBlocking' /v WebSiteBlockingPermession /t REG_BINARY \
    /d 01000000 /f >/dev/null
  (cd "$work/app" && exec wine Hookwdn.exe >/dev/null 2>&1 </dev/null) &
  pids+=($!)
  wait_for 60 probe || { echo "FAIL the console did not start"; exit 1; }
}
