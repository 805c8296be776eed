#!/usr/bin/env bash
# The per-user package as a standard user: an unprivileged account with its own
# prefix installs it silently into its own programs folder, upgrades it to a newer
# version and uninstalls it again, while the machine's folders stay as they were.
#
#   per-user-installer-test.sh BUILD_DIR USER-SETUP.msi USER-NEXT.msi
set -u
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
eval "$("$src/tests/wine/wine-session.sh" env "$build")"
source "$src/tests/wine/accounts.sh"
accounts_start
trap accounts_end EXIT

failures=0
expect() {  # WHAT ACTUAL EXPECTED
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1: actual \"$2\", expected \"$3\""
    failures=$((failures + 1))
  fi
}
wait_for() {  # seconds, then a command that must succeed
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.3
  done
}

# The packages and the test tools, root's and read-only to the user.
mkdir "$accounts/tools"
cp "$2" "$accounts/user-setup.msi"
cp "$3" "$accounts/user-next.msi"
cp "$build/bin/provider-standin.exe" "$build/bin/tray-command.exe" "$build/bin/Quellmail.dll" "$accounts/tools"
chmod -R u=rwX,go=rX "$accounts/tools" "$accounts"/*.msi
user=hwtest-cay
account_add "$user" || { echo "FAILED: no account $user"; exit 1; }
c=$(account_c "$user")
app="$c/users/$user/AppData/Local/Programs/Hookwarden"
machine_tree() { (cd "$c" && find 'Program Files' 'Program Files (x86)' windows/system32 -maxdepth 1 | sort); }
machine_tree >"$accounts/machine-before.txt"

msi() {  # VERB PACKAGE: msiexec's exit code
  as "$user" wine msiexec "$1" "Z:${2//\//\\}" /qn >/dev/null 2>&1 </dev/null
  echo $?
}
probe() {  # the provider stand-in's probe: 0 a console answers, 4 none
  (cd "$accounts/tools" && as "$user" wine provider-standin.exe --probe >/dev/null 2>&1 </dev/null)
  echo $?
}
console_is() { [ "$(probe)" = "$1" ]; }
# The manifest a browser's native host key names (ROOT and the browser's key below
# SOFTWARE), or (none).
host_key() {
  local data
  data=$(as "$user" wine reg query "$1\\SOFTWARE\\$2\\NativeMessagingHosts\\com.corvinth.hookwarden" /ve 2>/dev/null \
    </dev/null | tr -d '\r' | sed -n 's/^ \{4\}\S.*\s\+REG_SZ\s\+//p')
  echo "${data:-(none)}"
}
appw="C:\\users\\$user\\AppData\\Local\\Programs\\Hookwarden"
version_of() { as "$user" wine reg query "$1" /v DisplayVersion 2>/dev/null </dev/null | tr -d '\r' |
  sed -n 's/^ *DisplayVersion *REG_SZ *//p'; }
# The programs list's entries named Hookwarden, the user's and the machine's.
program_entries() {
  local root
  for root in HKCU HKLM; do
    as "$user" wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null \
      </dev/null | tr -d '\r' | grep -c '^ \{4\}DisplayName\s\+REG_SZ\s\+Hookwarden$'
  done | paste -sd+ | bc
}

echo "== the user installs into the own programs folder"
expect "msiexec /i exit code" "$(msi /i "$accounts/user-setup.msi")" 0
expect "console in the user's programs folder" "$(test -f "$app/Hookwdn.exe" && echo yes)" yes
expect "engine library beside it" "$(test -f "$app/Quellmail.dll" && echo yes)" yes
expect "installed by the user" "$(stat -c %U "$app/Hookwdn.exe")" "$user"
expect "nothing below Program Files or the system" "$(machine_tree | diff - "$accounts/machine-before.txt" && echo same)" same
wait_for 90 console_is 0
expect "the installed console runs" "$(probe)" 0
expect "entries in the programs list" "$(program_entries)" 1
expect "Chrome's host key for the user" "$(host_key HKCU 'Google\Chrome')" "$appw\\HookwdnBrowserHost-chromium.json"
expect "Firefox's host key for the user" "$(host_key HKCU Mozilla)" "$appw\\HookwdnBrowserHost-firefox.json"
expect "no Firefox host key for the machine" "$(host_key HKLM Mozilla)" "(none)"

echo "== the newer version replaces it"
(cd "$accounts/tools" && as "$user" wine tray-command.exe exit >/dev/null 2>&1 </dev/null)
expect "msiexec /i of the newer version exit code" "$(msi /i "$accounts/user-next.msi")" 0
expect "entries in the programs list after the upgrade" "$(program_entries)" 1
wait_for 90 console_is 0
expect "the upgraded console runs" "$(probe)" 0

echo "== the user uninstalls it, the console running"
expect "msiexec /x exit code" "$(msi /x "$accounts/user-next.msi")" 0
wait_for 30 console_is 4
expect "no console after the uninstall" "$(probe)" 4
expect "programs folder left" "$(test -e "$app" && (cd "$app" && find . | sort | tr '\n' ' '))" ""
expect "entries in the programs list after the uninstall" "$(program_entries)" 0
expect "Chrome's host key after the uninstall" "$(host_key HKCU 'Google\Chrome')" "(none)"
expect "Firefox's host key after the uninstall" "$(host_key HKCU Mozilla)" "(none)"
expect "machine's folders after the uninstall" "$(machine_tree | diff - "$accounts/machine-before.txt" && echo same)" same

if [ $failures -eq 0 ]; then echo "per-user installer: all checks passed"; else echo "per-user installer: $failures checks failed"; fi
[ $failures -eq 0 ]
