#!/usr/bin/env bash
# The installer under Wine's own msiexec, in a Wine prefix and on a display of its
# own (the console it starts and its registry entries would disturb the other
# tests): silent install, upgrade to a newer version with a changed setting, silent
# uninstall keeping the settings, and an uninstall with REMOVESETTINGS=1 of a
# killed console whose guard still runs, while a browser's extension host still
# uses the engine: what it uses goes at the restart; each uninstall puts the
# user's proxy setting back.
#
#   installer-test.sh BUILD_DIR SETUP.msi NEXT.msi HELP_FOLDER
set -u
build=$(cd "$1" && pwd)
setup=$2
next=$3
help_folder=$4
session=$(dirname "$0")/../wine/wine-session.sh
here=$build/installer-test
bin=$build/bin

# A run that was stopped may have left its session up.
[ -d "$here" ] && $session stop "$here" >/dev/null 2>&1
rm -rf "$here"
mkdir -p "$here"
cleanup() {
  $session stop "$here" >/dev/null 2>&1
  rm -rf "$here"
}
trap cleanup EXIT
$session start "$here" >/dev/null || exit 1
eval "$($session env "$here")"

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# expect WHAT ACTUAL EXPECTED
expect() {
  if [ "$2" != "$3" ]; then fail "$1: actual \"$2\", expected \"$3\""; fi
}
# Output through a file: a program that the command leaves running (the console
# started by msiexec) would hold a pipe open.
w() {
  wine "$@" >"$here/out" 2>/dev/null < /dev/null
  local rc=$?
  tr -d '\r' < "$here/out"
  return $rc
}
winpath() { w winepath -w "$1"; }
# The data of a registry value, or "(none)" when the key or value is missing.
reg_data() {
  local out
  local which=(/ve)
  [ -n "${2:-}" ] && which=(/v "$2")
  if out=$(w reg query "$1" "${which[@]}"); then
    echo "$out" | sed -n 's/^ \{4\}\S.*\s\+REG_[A-Z_]\+\s*//p' | head -1
  else
    echo "(none)"
  fi
}
key_exists() { w reg query "$1" >/dev/null; }
msi() {
  local verb=$1 package=$2
  shift 2
  w msiexec "$verb" "$(winpath "$package")" /qn "$@"
}
# Waits (up to a deadline) until the console's request window answers the probe.
console_up() {
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    (cd "$bin" && wine provider-standin.exe --probe >/dev/null 2>&1 < /dev/null) && return 0
    sleep 0.3
  done
  return 1
}

app="$WINEPREFIX/drive_c/Program Files/Hookwarden"
appw='C:\Program Files\Hookwarden'
key='HKCU\Software\Corvinth\Hookwarden'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
clsid='{49CAC2AD-79FB-4B91-BB70-0239D2E43485}'
chrome_policy='HKLM\SOFTWARE\Policies\Google\Chrome\ExtensionSettings\poojmbgoolgipimkegepmocodnfimpkp'
edge_policy='HKLM\SOFTWARE\Policies\Microsoft\Edge\ExtensionSettings\poojmbgoolgipimkegepmocodnfimpkp'
firefox_policy='HKLM\SOFTWARE\Policies\Mozilla\Firefox\ExtensionSettings\browser-extension@hookwarden.corvinth.com'
update_xml=https://intranet.example/hookwarden/update.xml
helper_keys=(
  'HKCR\HTMLSourceParser.HTMLSourceParser.1\CLSID'
  'HKCR\HTMLSourceParser.HTMLSourceParser\CurVer'
  "HKCR\\CLSID\\$clsid\\InprocServer32"
  'HKCR\TypeLib\{ADBA0894-4701-40C7-8F70-6EA6B44F8114}'
  "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\$clsid"
  'HKLM\SOFTWARE\Google\Chrome\NativeMessagingHosts\com.corvinth.hookwarden'
  'HKLM\SOFTWARE\Microsoft\Edge\NativeMessagingHosts\com.corvinth.hookwarden'
  'HKLM\SOFTWARE\Chromium\NativeMessagingHosts\com.corvinth.hookwarden'
  'HKLM\SOFTWARE\Mozilla\NativeMessagingHosts\com.corvinth.hookwarden'
  # The extension installed by policy (EXTENSIONUPDATEURL), kept by the upgrade.
  "$chrome_policy" "$edge_policy" "$firefox_policy"
)
# What in the folder the local users were granted writing. Wine keeps no access
# list: it turns the users' entry into the Unix group's or others' write bit.
users_may_write() {
  (cd "$1" && find . \( -perm -g+w -o -perm -o+w \) -printf '%p ')
}
# The programs list's entries named Hookwarden.
program_entries() {
  w reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s |
    grep -c '^ \{4\}DisplayName\s\+REG_SZ\s\+Hookwarden$'
}

inet='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
# The user's own proxy setting before the install: a proxy named but switched off.
w reg add "$inet" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null
w reg add "$inet" /v ProxyServer /d proxy.example.net:3128 /f >/dev/null
proxy_setting() { echo "$(reg_data "$inet" ProxyEnable)|$(reg_data "$inet" ProxyServer)"; }
# Waits (up to a deadline) until the console's guard has the proxy setting.
guard_has_setting() {
  local deadline=$((SECONDS + 30))
  until [[ $(proxy_setting) =~ ^0x1\|127\.0\.0\.1: ]]; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.3
  done
}

echo "== silent install"
# An update address that answers nothing: the console's first check only fails.
msi /i "$setup" UPDATEADDRESS=http://127.0.0.1:9/update.txt UPDATEINTERVAL=30 EXTENSIONUPDATEURL=$update_xml
expect "msiexec /i exit code" "$?" 0
# Every file of the application folder, at its place below the install folder.
while IFS='|' read -r source folder; do
  [ -n "$source" ] || continue
  [ -f "$app/${folder:+$folder/}$(basename "$source")" ] || fail "not installed: ${folder:+$folder/}$(basename "$source")"
done < "$build/packaging/app-files.txt"
[ -f "$app/tray-command.exe" ] || fail "not installed: tray-command.exe"
[ -d "$app/$help_folder" ] || fail "no help folder $help_folder"
[ -n "$(find "$WINEPREFIX/drive_c" -name Hookwarden.lnk -path '*Start Menu*')" ] || fail "no Start menu entry"
for k in "${helper_keys[@]}"; do key_exists "$k" || fail "browser helper key missing: $k"; done
expect "in-process server" "$(reg_data "HKCR\\CLSID\\$clsid\\InprocServer32")" "$appw\\Quellmail.dll"
expect "threading model" "$(reg_data "HKCR\\CLSID\\$clsid\\InprocServer32" ThreadingModel)" Apartment
expect "browser helper name" "$(reg_data "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\$clsid")" Bramblewick
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Hookwarden'
expect "the event log source's message file and types" \
  "$(reg_data "$event_source" EventMessageFile)|$(reg_data "$event_source" TypesSupported)" "$appw\\Hookwdn.exe|0x7"
expect "Chrome's browser host manifest" \
  "$(reg_data 'HKLM\SOFTWARE\Google\Chrome\NativeMessagingHosts\com.corvinth.hookwarden')" \
  "$appw\\HookwdnBrowserHost-chromium.json"
expect "Firefox's browser host manifest" \
  "$(reg_data 'HKLM\SOFTWARE\Mozilla\NativeMessagingHosts\com.corvinth.hookwarden')" \
  "$appw\\HookwdnBrowserHost-firefox.json"
expect "Chrome's policy installs the extension" \
  "$(reg_data "$chrome_policy" installation_mode) $(reg_data "$chrome_policy" update_url)" "force_installed $update_xml"
expect "Firefox's policy installs the xpi" "$(reg_data "$firefox_policy" install_url)" \
  "file:///$appw\browser\Hookwarden-extension.xpi"
# The manifests those keys name: the host beside them, and the extension each allows.
host_manifest() {  # FILE: name, path and the allowed extensions or origins
  python3 -c 'import json, sys; m = json.load(open(sys.argv[1]))
print(m["name"], m["path"], *m.get("allowed_extensions", m.get("allowed_origins", [])))' "$1" 2>&1
}
expect "the host and extension Firefox's manifest names" "$(host_manifest "$app/HookwdnBrowserHost-firefox.json")" \
  "com.corvinth.hookwarden HookwdnBrowserHost.exe browser-extension@hookwarden.corvinth.com"
expect "the host and extension Chrome's manifest names" "$(host_manifest "$app/HookwdnBrowserHost-chromium.json")" \
  "com.corvinth.hookwarden HookwdnBrowserHost.exe chrome-extension://poojmbgoolgipimkegepmocodnfimpkp/"

# Per machine: the users may write nothing in the application folder.
expect "what users may write in the application folder" "$(users_may_write "$app")" ""

echo "== the installed console runs and answers a request"
console_up || fail "the console did not start after the install"
expect "published application folder" "$(reg_data "$key" 'App Path')" "$appw"
localw=$(w cmd /c echo %LOCALAPPDATA%)
user_data=$(w winepath -u "$localw\\Hookwarden")
expect "published data folder" "$(reg_data "$key" 'Data Path')" "$localw\Hookwarden"
[ -f "$user_data/hkwdn2.hwd" ] || fail "no working definitions file in the user's folder $user_data"
expect "update address of the installer" "$(reg_data "$key" UpdateAddress)" http://127.0.0.1:9/update.txt
expect "update interval of the installer" "$(reg_data "$key" UpdateInterval)" 30
expect "start-up entry" "$(reg_data "$run" Hookwarden)" "\"$appw\\Hookwdn.exe\" -min"
guard_has_setting || fail "the proxy setting does not point at the guard: $(proxy_setting)"
# A listed host address: the installed definitions ask, the user blocks.
(cd "$bin" && wine provider-standin.exe --kind I --ip 192.0.2.10 --port 80 --name iexplore.exe \
  >"$here/provider.out" 2>&1 < /dev/null) &
provider=$!
(cd "$bin" && wine alert-answer.exe block >/dev/null 2>&1 < /dev/null)
wait $provider
expect "verdict of the installed console" "$?" 0
tr -d '\r' < "$here/provider.out" | grep -q ': block$' || fail "no block verdict: $(tr -d '\r' < "$here/provider.out")"

echo "== a changed setting survives the upgrade"
(cd "$bin" && wine tray-command.exe exit >/dev/null 2>&1 < /dev/null)
w reg add "$key\\Overview" /v LoadwithWindowsStartup /t REG_BINARY /d 00000000 /f >/dev/null
msi /i "$next"
expect "msiexec /i of the newer version exit code" "$?" 0
expect "entries in the programs list" "$(program_entries)" 1
console_up || fail "the console did not start after the upgrade"
expect "setting after the upgrade" "$(reg_data "$key\\Overview" LoadwithWindowsStartup)" 00000000
expect "start-up entry, switched off" "$(reg_data "$run" Hookwarden)" "(none)"
for k in "${helper_keys[@]}"; do key_exists "$k" || fail "browser helper key missing after the upgrade: $k"; done

echo "== silent uninstall, the console running"
w reg add "$run" /v Hookwarden /d "\"$appw\\Hookwdn.exe\" -min" /f >/dev/null
msi /x "$next"
expect "msiexec /x exit code" "$?" 0
(cd "$bin" && wine provider-standin.exe --probe >/dev/null 2>&1 < /dev/null)
expect "probe after the uninstall (4: no console)" "$?" 4
[ -e "$app" ] && fail "left behind: $(cd "$app" && find . | sort | tr '\n' ' ')"
for k in "${helper_keys[@]}" "HKCR\\CLSID\\$clsid" 'HKCR\HTMLSourceParser.HTMLSourceParser'; do
  key_exists "$k" && fail "browser helper key left: $k"
done
key_exists "$event_source" && fail "event log source left: $event_source"
expect "start-up entry after the uninstall" "$(reg_data "$run" Hookwarden)" "(none)"
[ -n "$(find "$WINEPREFIX/drive_c" -name Hookwarden.lnk)" ] && fail "Start menu entry left"
expect "entries in the programs list after the uninstall" "$(program_entries)" 0
expect "proxy setting after the uninstall" "$(proxy_setting)" "0x0|proxy.example.net:3128"
expect "setting kept by the uninstall" "$(reg_data "$key\\Overview" LoadwithWindowsStartup)" 00000000

echo "== uninstall with REMOVESETTINGS=1, the guard left alone and the engine in use"
msi /i "$setup"
expect "msiexec /i exit code" "$?" 0
console_up || fail "the console did not start after the second install"
# A console that cannot put the setting back: the uninstaller does.
guard_has_setting || fail "the proxy setting does not point at the guard again: $(proxy_setting)"
# A browser's extension host, which keeps the engine library loaded until the browser ends.
mkfifo "$here/host-in"
(wine "$appw\\HookwdnBrowserHost.exe" chrome-extension://test/ <"$here/host-in" >"$here/host-out" 2>/dev/null) &
host=$!
exec 9>"$here/host-in"
hello='{"type":"hello","browser":"chrome.exe","id":1}'
printf "\\x$(printf %02x ${#hello})\\x00\\x00\\x00%s" "$hello" >&9
deadline=$((SECONDS + 60))
until grep -q '"id":1' "$here/host-out" 2>/dev/null || [ $SECONDS -ge $deadline ]; do sleep 0.3; done
grep -q '"id":1' "$here/host-out" || fail "the extension host did not answer: $(cat "$here/host-out")"
# The guard of a killed console still serves for a few seconds when the uninstall begins.
w taskkill /f /im Hookwdn.exe >/dev/null
w msiexec /x "$(winpath "$setup")" /qn REMOVESETTINGS=1 /l*v "$(winpath "$here/uninstall.log")" >/dev/null
# 3010, restart needed: 194 as a Unix exit code.
expect "msiexec /x REMOVESETTINGS=1 exit code" "$?" 194
# What the uninstall ended and set aside.
tr -d '\0\r' <"$here/uninstall.log" | grep -o 'Hookwarden: .*'
key_exists "$key" && fail "settings left: $key"
[ -e "$user_data" ] && fail "the user's data folder left: $user_data"
key_exists "$key.Saving" && fail "settings left: $key.Saving"
key_exists "$key.ProxySetting" && fail "settings left: $key.ProxySetting"
expect "proxy setting after the uninstall of a killed console" "$(proxy_setting)" "0x0|proxy.example.net:3128"
# The guard ended with the uninstall; what the host uses stays, set aside, until the restart.
expect "left until the restart" "$(cd "$app" 2>/dev/null && find . -type f | sed 's/\.[0-9]*\.removed$/ (set aside)/' | sort | tr '\n' ' ')" \
  "./HookwdnBrowserHost.exe (set aside) ./Quellmail.dll (set aside) "
pending=$(w reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations)
for name in HookwdnBrowserHost.exe Quellmail.dll; do
  echo "$pending" | grep -q "$name\\.[0-9]*\\.removed" || fail "$name not to be removed at the restart: $pending"
  tr -d '\0' <"$here/uninstall.log" |
    grep -q "Hookwarden: in use, removed at the next restart: .*$name" || fail "the log does not name $name"
done
exec 9>&-
wait $host
w wineboot -r >/dev/null
[ -e "$app" ] && fail "left behind after the restart: $(cd "$app" && find . | sort | tr '\n' ' ')"

if [ $failures -eq 0 ]; then echo "installer: all checks passed"; else echo "installer: $failures checks failed"; fi
[ $failures -eq 0 ]
