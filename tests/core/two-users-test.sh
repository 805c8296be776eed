#!/usr/bin/env bash
# Two standard users on one machine: two unprivileged accounts, each with its own
# prefix and console, run the one application folder installed per machine (owned
# by root, not writable by them). Both consoles start and block a listed address,
# each writing only into its user's own data folder; an update that each user
# fetches reaches that user's console; neither can change the other's working
# file or the application folder; when one exits the other still blocks.
#   two-users-test.sh BUILD_DIR
source "$(dirname "$0")/../wine/script-test.sh" "$1" two-users-test
source "$src/tests/wine/accounts.sh"
accounts_start
trap 'cleanup; accounts_end' EXIT

# The installed application folder and the test tools, root's and read-only to all.
cp -r "$build/app" "$accounts/app"
rm -f "$accounts/app/hkwdn2.hwd" "$accounts/app/chainset.log"
mkdir "$accounts/tools"
cp "$build/bin/provider-standin.exe" "$build/bin/tray-command.exe" "$build/bin/Quellmail.dll" "$accounts/tools"
chmod -R u=rwX,go=rX "$accounts/app" "$accounts/tools"
app=$accounts/app
appw="Z:${app//\//\\}"
listing() { (cd "$app" && find . -printf '%p %s %T@\n' | sort); }
listing >"$work/app-before.txt"

# The local origin server of the updates, reachable from every account.
python3 "$src/tests/support/origin.py" --root "$work/root" --seconds 500 >"$work/origin.port" &
pids+=($!)
cp "$src/standins/defstool/sample-definitions.ini" "$work/new.ini"
printf '\n[HostLink]\nHLINK5=newly-listed.example.com/login\n' >>"$work/new.ini"
DEFSTOOL=$build/host/defstool bash "$src/scripts/make-update.sh" "$work/new.ini" "$src/tests/update/test-update-key.pem" \
  "$work/root/good" 12/09/2026 >/dev/null
chmod -R go+rX "$work/root"

users=(hwtest-ann hwtest-ben)
for user in "${users[@]}"; do account_add "$user" || { echo "FAIL no account $user"; exit 1; }; done

data() { echo "$(account_c "$1")/users/$1/AppData/Local/Hookwarden"; }
tool() {  # USER TOOL ARGS...: a test tool as that user, its exit code
  local user=$1 name=$2
  shift 2
  (cd "$accounts/tools" && as "$user" wine "$name" "$@" >/dev/null 2>&1 </dev/null)
  echo $?
}
lookup() { tool "$1" provider-standin.exe --kind U --ip 203.0.113.5 --port 80 --url "$2"; }
blocks_ip() { tool "$1" provider-standin.exe --kind I --ip 192.0.2.10 --port 80 --name iexplore.exe; }
reg_value() {  # USER VALUE
  as "$1" wine reg query 'HKCU\Software\Corvinth\Hookwarden' /v "$2" 2>/dev/null </dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_SZ *//p"
}
probe_is() { [ "$(tool "$1" provider-standin.exe --probe)" = "$2" ]; }  # USER CODE (0 up, 4 none)
version_is() { [ "$(reg_value "$1" DefnsVersion)" = "$2" ]; }

for user in "${users[@]}"; do
  # Fresh settings whose web list answers Block without an alert.
  as "$user" wine reg add 'HKCU\Software\Corvinth\Hookwarden\WebSiteBlocking' /v WebSiteBlockingPermession \
    /t REG_BINARY /d 01000000 /f >/dev/null 2>&1 </dev/null
  (cd "$app" && as "$user" wine "$app/Hookwdn.exe" >/dev/null 2>&1 </dev/null) &
  pids+=($!)
done
for user in "${users[@]}"; do
  wait_for 90 probe_is "$user" 0 || { echo "FAIL $user: no console"; exit 1; }
done

echo "== both consoles run from the read-only folder, each on its own files"
for user in "${users[@]}"; do
  check "$user: App Path names the application folder" "$(reg_value "$user" 'App Path')" "$appw"
  check "$user: Data Path names the user's folder" "$(reg_value "$user" 'Data Path')" \
    "C:\\users\\$user\\AppData\\Local\\Hookwarden"
  check "$user: working file in the user's folder" "$(stat -c %s "$(data "$user")/hkwdn2.hwd" 2>/dev/null)" \
    "$(stat -c %s "$app/hkwdn1.hwd")"
  check "$user: a listed host address is blocked" "$(blocks_ip "$user")" 0
done
check "nothing written into the application folder" "$(listing | diff - "$work/app-before.txt" >/dev/null && echo none)" none

echo "== an update reaches each user"
origin=http://127.0.0.1:$(head -1 "$work/origin.port")
for user in "${users[@]}"; do
  check "$user: newly listed address before the update" "$(lookup "$user" newly-listed.example.com/login)" 3
  result=$(cd "$app" && as "$user" wine "$app/858068658469/Update.exe" --address "$origin/good/update.txt" \
    2>&1 </dev/null | tr -d '\r' | tail -1)
  check "$user: the user's update installs" "$result" "The definitions of 12/09/2026 are installed."
  check "$user: into the user's folder" "$(cmp -s "$(data "$user")/hkwdn1.hwd" "$work/root/good/hkwdn1.hwd" && echo yes)" yes
  wait_for 90 version_is "$user" 12/09/2026
  check "$user: the console took the update" "$(reg_value "$user" DefnsVersion)" 12/09/2026
  check "$user: newly listed address blocked" "$(lookup "$user" newly-listed.example.com/login)" 0
done
check "the application folder is unchanged" "$(listing | diff - "$work/app-before.txt" >/dev/null && echo yes)" yes

echo "== one user cannot change what the other's protection reads"
ben_file="$(data hwtest-ben)/hkwdn2.hwd"
cp "$ben_file" "$work/ben-before.hwd"
ben_w="Z:${ben_file//\//\\}"
as hwtest-ann wine cmd /c "echo x>$ben_w" >/dev/null 2>&1 </dev/null
check "ann writing ben's working file" "$(cmp -s "$ben_file" "$work/ben-before.hwd" && echo unchanged)" unchanged
as hwtest-ann wine cmd /c "echo x>$appw\\hkwdn2.hwd" >/dev/null 2>&1 </dev/null
check "ann writing a working file into the application folder" "$(test -e "$app/hkwdn2.hwd" && echo written)" ""

echo "== ann exits, ben still blocks"
tool hwtest-ann tray-command.exe exit >/dev/null
wait_for 30 probe_is hwtest-ann 4
check "ann's console ended" "$(tool hwtest-ann provider-standin.exe --probe)" 4
check "ann's working file is gone" "$(test -e "$(data hwtest-ann)/hkwdn2.hwd" && echo there)" ""
check "ben's working file is whole" "$(cmp -s "$ben_file" "$work/ben-before.hwd" && echo whole)" whole
check "ben still blocks a listed host address" "$(blocks_ip hwtest-ben)" 0
check "ben still blocks the newly listed address" "$(lookup hwtest-ben newly-listed.example.com/login)" 0
tool hwtest-ben tray-command.exe exit >/dev/null

[ $failures -eq 0 ] && echo "all two-user checks passed"
exit $failures
