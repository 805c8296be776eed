# Windows accounts under Wine, sourced by the tests where rights or several users
# matter. Wine enforces no access lists and runs one user per prefix, but it maps
# Unix file permissions to Windows access checks: each account here is an
# unprivileged Linux user with a prefix and a wine server of its own, against
# folders owned by root (mode 755), as a standard user below Program Files.
#
#   source accounts.sh        (after script-test.sh or with DISPLAY set)
#   accounts_start            a root-owned folder $accounts (mode 755), made the
#                             current folder; exits 77 (skipped) when not root
#   account_add NAME          the Linux user NAME (made when missing) with a fresh
#                             home and prefix below $accounts
#   as NAME COMMAND...        the command as that user, in its own Wine session, in
#                             the current folder
#   account_c NAME            the user's C: drive (a Unix path)
#   accounts_end              every account's wine server down, $accounts gone
#
# The root-owned folder must be reachable by the users: it lies below /tmp.

accounts=""
account_names=()

accounts_start() {
  if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null || ! command -v useradd >/dev/null; then
    echo "SKIP: the accounts test needs root, setpriv and useradd (it switches to users it makes)"
    exit 77
  fi
  accounts=$(mktemp -d /tmp/hw-accounts.XXXXXX)
  chmod 755 "$accounts"
  # A folder every account may enter.
  cd "$accounts" || exit 1
}

account_add() {
  local name=$1
  id -u "$name" >/dev/null 2>&1 || useradd --system --no-create-home --no-user-group --shell /usr/sbin/nologin \
    --home-dir /nonexistent "$name" >/dev/null || return 1
  local home=$accounts/home-$name
  mkdir -p "$home"
  chown "$(id -u "$name"):$(id -g "$name")" "$home"
  chmod 700 "$home"
  account_names+=("$name")
  (
    cd "$home" || exit 1
    as "$name" wineboot -i >/dev/null 2>&1 </dev/null
    # No window manager on the virtual display (see wine-session.sh).
    as "$name" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    as "$name" sh -c 'setsid wineserver -p >/dev/null 2>&1 </dev/null &'
  )
}

as() {
  local name=$1
  shift
  local home=$accounts/home-$name
  # In the caller's folder, which the user must be able to enter.
  setpriv --reuid="$(id -u "$name")" --regid="$(id -g "$name")" --clear-groups \
    env -i PATH="$PATH" HOME="$home" USER="$name" LOGNAME="$name" WINEPREFIX="$home/prefix" WINEARCH=win64 \
    WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY="${DISPLAY:-}" "$@"
}

account_c() {
  echo "$accounts/home-$1/prefix/drive_c"
}

accounts_end() {
  local name
  for name in "${account_names[@]}"; do as "$name" wineserver -k >/dev/null 2>&1; done
  [ -n "$accounts" ] && rm -rf "$accounts"
}
