#!/usr/bin/env bash
# Update.exe under Wine against a local origin server (tests/support/origin.py),
# with the real console running: a user's file that came with its signed manifest
# but decrypts to no definitions is refused at start-up; a file planted in the
# user's folder with a late version and no manifest sets no floor; a wrong SHA-256,
# a wrong signature, a download cut short, an unreachable server, an expired
# manifest and a file that is not definitions each leave the old definitions and
# say why; a good update writes its event to the system's log and is taken by the
# running console, which blocks the newly listed address afterwards while requests
# for a listed one never fail during the swap; a second update of the day comes as
# a difference (its new address blocked, its removed one no longer); the first one
# served again and another file of the same version are refused; a difference
# that does not fit gives way to the whole file, and when that cannot be fetched
# the difference refused part-way leaves the installed file and nothing beside it.
# A planted file beside a manifest that does not name it is ignored by a console
# started then, and the next update installs.
#   update-test.sh BUILD_DIR
source "$(dirname "$0")/../wine/script-test.sh" "$1" update-test
key=$here/test-update-key.pem
export DEFSTOOL=$build/host/defstool

python3 "$src/tests/support/origin.py" --root "$work/root" --seconds 500 >"$work/origin.port" &
pids+=($!)
wait_for 10 test -s "$work/origin.port" || { echo "FAIL the origin server did not start"; exit 1; }
origin=http://127.0.0.1:$(head -1 "$work/origin.port")

# The new list: the sample and one more web address.
cp "$src/standins/defstool/sample-definitions.ini" "$work/new.ini"
printf '\n[HostLink]\nHLINK5=newly-listed.example.com/login\n' >>"$work/new.ini"
make_update() {  # FOLDER (below the server's root) [VERSION [LIST [--previous OLD.ini OLD_VERSION]]]
  bash "$src/scripts/make-update.sh" "${@:4}" "${3:-$work/new.ini}" "$key" "$work/root/$1" "${2:-12/09/2026}" >/dev/null
}
# The manifest of FOLDER signed again after its files were changed.
resign() {
  local dir=$work/root/$1 sha
  sha=$(openssl dgst -sha256 -r "$dir/hkwdn1.hwd" | cut -d' ' -f1)
  sed -i -e '/^signature=/d' -e "s/^size=.*/size=$(stat -c %s "$dir/hkwdn1.hwd")/" -e "s/^sha256=.*/sha256=$sha/" \
    "$dir/update.txt"
  if [ -f "$dir/hkwdn1.hwdiff" ]; then
    sha=$(openssl dgst -sha256 -r "$dir/hkwdn1.hwdiff" | cut -d' ' -f1)
    sed -i -e "s/^difference-size=.*/difference-size=$(stat -c %s "$dir/hkwdn1.hwdiff")/" \
      -e "s/^difference-sha256=.*/difference-sha256=$sha/" "$dir/update.txt"
  fi
  printf 'signature=%s\n' "$(openssl dgst -sha256 -sign "$key" "$dir/update.txt" | od -An -v -tx1 | tr -d ' \n')" \
    >>"$dir/update.txt"
}
# A right version line before plain text that was never encrypted.
not_definitions() {  # VERSION FILE
  { printf '%-14s\r\n[HostIP]\r\nIP1=192.0.2.10\r\n' "$1"; printf '%*s' 6 ''; } >"$2"
}
make_update good
make_update badhash && printf 'x' | dd of="$work/root/badhash/hkwdn1.hwd" bs=1 seek=100 conv=notrunc 2>/dev/null
make_update badsig && sed -i 's/^size=/size=0/' "$work/root/badsig/update.txt"
UPDATE_FILE_ADDRESS=$origin/cut/good/hkwdn1.hwd make_update short
UPDATE_EXPIRES=2020-01-01T00:00:00Z make_update expired 12/09/2026.5
make_update notdefs 12/09/2026.5 && not_definitions 12/09/2026.5 "$work/root/notdefs/hkwdn1.hwd" && resign notdefs
# The day's second list: one address removed, another added; a third beside it.
sed 's|^HLINK5=.*|HLINK5=second.example.com/login|' "$work/new.ini" >"$work/second.ini"
sed 's|^HLINK5=.*|HLINK5=third.example.com/login|' "$work/new.ini" >"$work/third.ini"
make_update second 12/09/2026.1 "$work/second.ini" --previous "$work/new.ini" 12/09/2026
make_update samever 12/09/2026.1 "$work/third.ini"
make_update badfit 12/09/2026.2 "$work/third.ini" --previous "$work/second.ini" 12/09/2026.1
sed -i 's/^-/-not-/' "$work/root/badfit/hkwdn1.hwdiff" && resign badfit
UPDATE_FILE_ADDRESS=$origin/missing/hkwdn1.hwd make_update badmid 12/09/2026.2 "$work/third.ini" \
  --previous "$work/second.ini" 12/09/2026.1
sed -i 's/^-/-not-/' "$work/root/badmid/hkwdn1.hwdiff" && resign badmid

copy_app
cp "$work/app/hkwdn1.hwd" "$work/old.hwd"
# The updater writes the user's own copy and its manifest; the next tests start without them.
user_data=$(user_data_folder)
kept=$user_data/hkwdn1-update.txt
rm -f "$user_data/hkwdn1.hwd" "$kept"
trap 'cleanup; rm -f "$user_data/hkwdn1.hwd" "$kept"' EXIT
mkdir -p "$user_data"
cp "$work/root/notdefs/hkwdn1.hwd" "$work/root/notdefs/update.txt" "$user_data/" && mv "$user_data/update.txt" "$kept"
start_console
defns_version() { wine reg query 'HKCU\Software\Corvinth\Hookwarden' /v DefnsVersion 2>/dev/null | tr -d '\r' | awk '/DefnsVersion/ {print $3}'; }
check "a signed file that is not definitions is refused at start-up" "$(defns_version)" "$(head -c 10 "$work/old.hwd")"
# Any program of the user can write this folder: a late version without a manifest.
printf '[HostIP]\n' >"$work/empty.ini"
"$DEFSTOOL" shipped "$work/empty.ini" "$work/planted.hwd" 12/31/2099 >/dev/null
cp "$work/planted.hwd" "$user_data/hkwdn1.hwd" && rm -f "$kept"
lookup() {  # URL: the verdict as the provider stand-in's exit code (0 block, 3 not listed)
  (cd "$build/bin" && wine provider-standin.exe --kind U --ip 203.0.113.5 --port 80 --url "$1" >/dev/null 2>&1)
  echo $?
}
updater() {  # ADDRESS: exit code and last line; its events in updater.err
  (cd "$work/app" && WINEDEBUG=$event_debug wine 858068658469/Update.exe --address "$1" >"$work/updater.out" \
    2>"$work/updater.err")
  echo "$? $(tr -d '\r' <"$work/updater.out" | tail -1)"
}
check "the new address is not listed before" "$(lookup newly-listed.example.com/login)" 3

refused() {  # NAME ADDRESS EXPECTED-REASON
  local result
  result=$(updater "$2")
  check "$1: refused" "${result%% *}" 2
  check "$1: says why" "$(echo "$result" | grep -c -- "$3")" 1
  check "$1: old file kept" "$(cmp -s "$work/app/hkwdn1.hwd" "$work/old.hwd" && echo kept)" kept
}
refused "wrong SHA-256" "$origin/badhash/update.txt" "SHA-256 .* does not match the manifest"
refused "wrong signature" "$origin/badsig/update.txt" "signature does not match the built-in public key"
refused "download cut short" "$origin/short/update.txt" "cut/good/hkwdn1.hwd \(broke off\|ended\) after"
refused "unreachable server" "http://127.0.0.1:1/update.txt" "cannot be reached"
refused "expired manifest" "$origin/expired/update.txt" "the manifest expired at 2020-01-01T00:00:00Z"
refused "not definitions" "$origin/notdefs/update.txt" "the file is not a definitions file"
check "no file left beside" "$(ls "$work/app" | grep -c '\.new$')" 0

# The good update while a listed address is looked up again and again.
(
  for _ in $(seq 1 40); do lookup login.example.com/verify; done >"$work/during.txt"
) &
during=$!
result=$(updater "$origin/good/update.txt")
check "good update installed" "$result" "0 The definitions of 12/09/2026 are installed."
check "its event" "$(events "$work/updater.err")" "3000|12/09/2026|$origin/good/update.txt"
check "into the user's folder" "$(cmp -s "$user_data/hkwdn1.hwd" "$work/root/good/hkwdn1.hwd" && echo yes)" yes
wait "$during"
check "no lookup failed during the swap" "$(sort -u "$work/during.txt" | tr '\n' ' ')" "0 "
taken() { [ "$(wine reg query 'HKCU\Software\Corvinth\Hookwarden' /v DefnsVersion 2>/dev/null | grep -c 12/09/2026)" = 1 ]; }
wait_for 30 taken
check "the console published the new version" "$(taken && echo yes)" yes
check "the newly listed address is blocked" "$(lookup newly-listed.example.com/login)" 0
check "an update already in place" "$(updater "$origin/good/update.txt")" \
  "1 The definitions of 12/09/2026 are up to date."

# The day's second update, as a difference, while a listed address is looked up.
(
  for _ in $(seq 1 20); do lookup login.example.com/verify; done >"$work/during.txt"
) &
during=$!
check "a second update of the day" "$(updater "$origin/second/update.txt")" \
  "0 The definitions of 12/09/2026.1 are installed."
check "it came as a difference" "$(grep -c 'Applying the difference' "$work/updater.out")" 1
wait "$during"
check "no lookup failed while the difference was taken" "$(sort -u "$work/during.txt" | tr '\n' ' ')" "0 "
second_blocked() { [ "$(lookup second.example.com/login)" = 0 ]; }
wait_for 30 second_blocked
check "the difference's new address is blocked" "$(lookup second.example.com/login)" 0
check "its removed address no longer" "$(lookup newly-listed.example.com/login)" 3
check "the overview shows the date" "$(defns_version)" 12/09/2026
check "the first update served again" "$(updater "$origin/good/update.txt")" \
  "2 The update failed: the update's definitions of 12/09/2026 are older than the installed ones. The definitions of 12/09/2026.1 stay in place."
check "another file of the installed version" "$(updater "$origin/samever/update.txt")" \
  "2 The update failed: the update's definitions of 12/09/2026.1 have the installed version but other contents. The definitions of 12/09/2026.1 stay in place."
check "a difference refused part-way, no whole file" "$(updater "$origin/badmid/update.txt" | cut -d' ' -f1)" 2
check "leaves the installed file" "$(cmp -s "$user_data/hkwdn1.hwd" "$work/root/second/hkwdn1.hwd" && echo yes)" yes
check "and nothing beside it" "$(ls "$user_data" | grep -c '\.new$')" 0
check "a difference that does not fit" "$(updater "$origin/badfit/update.txt")" \
  "0 The definitions of 12/09/2026.2 are installed."
check "gives way to the whole file" "$(grep -c 'does not fit.*fetching the whole file' "$work/updater.out")" 1
check "which is the update's" "$(cmp -s "$user_data/hkwdn1.hwd" "$work/root/badfit/hkwdn1.hwd" && echo yes)" yes

# The planted file again, now beside the manifest of the installed update: a console
# started then ignores it, and the next update is not refused as older.
(cd "$build/bin" && wine tray-command.exe exit >/dev/null 2>&1)
stopped() { ! probe; }
wait_for 30 stopped || check "the console exited" running exited
cp "$work/planted.hwd" "$user_data/hkwdn1.hwd"
start_console
check "a planted file beside another's manifest is ignored" "$(defns_version)" "$(head -c 10 "$work/old.hwd")"
check "the next update is installed" "$(updater "$origin/second/update.txt")" \
  "0 The definitions of 12/09/2026.1 are installed."
wait_for 30 second_blocked
check "and taken by the console" "$(lookup second.example.com/login)" 0

# Another program of the user empties the working file: the console writes it again
# at its next look (once a minute).
: >"$user_data/hkwdn2.hwd"
wait_for 75 second_blocked
check "an emptied working file is written again" "$(lookup second.example.com/login)" 0

(cd "$build/bin" && wine tray-command.exe exit >/dev/null 2>&1)
[ $failures -eq 0 ] && echo "all update checks passed"
exit $failures
