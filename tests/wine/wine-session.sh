#!/usr/bin/env bash
# One Wine session for a test run: a prefix inside the build folder, a virtual
# display and a wine server that stays up between test programs.
#
#   wine-session.sh start BUILD_DIR          prefix, Xvfb and wine server up
#   wine-session.sh run   BUILD_DIR EXE ...  run one Windows program in the session
#   wine-session.sh stop  BUILD_DIR          wine server and Xvfb down
#   wine-session.sh env   BUILD_DIR          print the environment (for eval)
set -u
cmd=$1
build=$(cd "$2" && pwd)
shift 2
state=$build/wine-session
mkdir -p "$state"

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

use_display() {
  if [ -f "$state/display" ]; then
    export DISPLAY=$(cat "$state/display")
  fi
}

start_display() {
  # Keep a display that is still alive from an earlier start.
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    return 0
  fi
  local n
  for n in $(seq 91 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    setsid Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 < /dev/null &
    local pid=$!
    for _ in $(seq 1 50); do
      [ -e /tmp/.X11-unix/X$n ] && break
      kill -0 $pid 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 $pid 2>/dev/null && [ -e /tmp/.X11-unix/X$n ]; then
      echo $pid > "$state/xvfb.pid"
      echo ":$n" > "$state/display"
      return 0
    fi
  done
  echo "wine-session: could not start Xvfb" >&2
  return 1
}

case "$cmd" in
  start)
    start_display || exit 1
    use_display
    # A server started without this display would keep running without it.
    wineserver -k 2>/dev/null
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >"$state/wineboot.log" 2>&1 < /dev/null
    fi
    setsid wineserver -p >"$state/wineserver.log" 2>&1 < /dev/null &
    # Start the prefix's services now, with their output in a log: started by a
    # test program they would hold the test's output pipe open.
    wineboot >"$state/wineboot.log" 2>&1 < /dev/null
    # No window manager runs on the virtual display: a window that Wine leaves to
    # one waits two seconds for it each time it is hidden or destroyed.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 < /dev/null
    echo "wine session up on display $DISPLAY, prefix $WINEPREFIX"
    ;;
  run)
    use_display
    exe=$1
    shift
    cd "$(dirname "$exe")"
    # Output goes to a file, not a pipe: a process that the program leaves behind
    # must not keep the test waiting. Windows console lines end with CR LF.
    out=$(mktemp "$state/run.XXXXXX")
    wine "$exe" "$@" >"$out" 2>&1 < /dev/null
    rc=$?
    tr -d '\r' < "$out"
    rm -f "$out"
    exit $rc
    ;;
  stop)
    use_display
    wineserver -k 2>/dev/null
    if [ -f "$state/xvfb.pid" ]; then
      kill "$(cat "$state/xvfb.pid")" 2>/dev/null
      rm -f "$state/xvfb.pid" "$state/display"
    fi
    echo "wine session down"
    ;;
  env)
    use_display
    echo "export WINEPREFIX='$WINEPREFIX' WINEDEBUG='$WINEDEBUG' WINEARCH=win64 WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DISPLAY='${DISPLAY:-}'"
    ;;
  *)
    echo "usage: wine-session.sh start|run|stop|env BUILD_DIR ..." >&2
    exit 2
    ;;
esac
