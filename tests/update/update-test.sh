#!/usr/bin/env bash
# Update.exe under Wine against a local origin server (tests/provider/origin.py),
# with the real console running: a wrong SHA-256, a wrong signature, a download cut
# short and an unreachable server each leave the old definitions and say why; a
# good update is taken by the running console, which blocks the newly listed
# address afterwards while requests for a listed one never fail during the swap.
#   update-test.sh BUILD_DIR
source "$(dirname "$0")/../wine/script-test.sh" "$1" update-test
key=$here/test-update-key.pem
export DEFSTOOL=$build/host/defstool

python3 "$src/tests/provider/origin.py" --root "$work/root" --seconds 500 >"$work/origin.port" &
pids+=($!)
wait_for 10 test -s "$work/origin.port" || { echo "FAIL the origin server did not start"; exit 1; }
origin=http://127.0.0.1:$(head -1 "$work/origin.port")

# The new list: the sample and one more web address.
cp "$src/standins/defstool/sample-definitions.ini" "$work/new.ini"
printf '\n[HostLink]\nHLINK5=newly-listed.example.com/login\n' >>"$work/new.ini"
make_update() {  # FOLDER (below the server's root)
  bash "$src/scripts/make-update.sh" "$work/new.ini" "$key" "$work/root/$1" 12/09/2026 >/dev/null
}
make_update good
make_update badhash && printf 'x' | dd of="$work/root/badhash/hkwdn1.hwd" bs=1 seek=100 conv=notrunc 2>/dev/null
make_update badsig && sed -i 's/^size=/size=0/' "$work/root/badsig/update.txt"
UPDATE_FILE_ADDRESS=$origin/cut/good/hkwdn1.hwd make_update short

copy_app
cp "$work/app/hkwdn1.hwd" "$work/old.hwd"
# The updater writes the user's own copy; the next tests start without it.
user_data=$(user_data_folder)
rm -f "$user_data/hkwdn1.hwd"
trap 'cleanup; rm -f "$user_data/hkwdn1.hwd"' EXIT
start_console
lookup() {  # URL: the verdict as the provider stand-in's exit code (0 block, 3 not listed)
  (cd "$build/bin" && wine provider-standin.exe --kind U --ip 203.0.113.5 --port 80 --url "$1" >/dev/null 2>&1)
  echo $?
}
updater() {  # ADDRESS: exit code and last line
  (cd "$work/app" && wine 858068658469/Update.exe --address "$1" >"$work/updater.out" 2>&1)
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
check "no file left beside" "$(ls "$work/app" | grep -c '\.new$')" 0

# The good update while a listed address is looked up again and again.
(
  for _ in $(seq 1 40); do lookup login.example.com/verify; done >"$work/during.txt"
) &
during=$!
result=$(updater "$origin/good/update.txt")
check "good update installed" "$result" "0 The definitions of 12/09/2026 are installed."
check "into the user's folder" "$(cmp -s "$user_data/hkwdn1.hwd" "$work/root/good/hkwdn1.hwd" && echo yes)" yes
wait "$during"
check "no lookup failed during the swap" "$(sort -u "$work/during.txt" | tr '\n' ' ')" "0 "
taken() { [ "$(wine reg query 'HKCU\Software\Corvinth\Hookwarden' /v DefnsVersion 2>/dev/null | grep -c 12/09/2026)" = 1 ]; }
wait_for 30 taken
check "the console published the new version" "$(taken && echo yes)" yes
check "the newly listed address is blocked" "$(lookup newly-listed.example.com/login)" 0
check "an update already in place" "$(updater "$origin/good/update.txt")" \
  "1 The definitions of 12/09/2026 are up to date."

(cd "$build/bin" && wine tray-command.exe exit >/dev/null 2>&1)
[ $failures -eq 0 ] && echo "all update checks passed"
exit $failures
