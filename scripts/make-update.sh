#!/usr/bin/env bash
# Builds a signed definitions update from a plain list: the shipped definitions file
# hkwdn1.hwd and the manifest update.txt that Update.exe fetches, both in OUT_DIR;
# with --previous also the difference hkwdn1.hwdiff from the previous update, which
# Update.exe fetches instead of the whole file when it has that update installed.
#
#   scripts/make-update.sh [--previous OLD.ini OLD_VERSION] PLAIN.ini KEY.pem OUT_DIR [VERSION]
#
# KEY.pem is the ECDSA P-256 private key whose public half Update.exe was built
# with (HW_UPDATE_PUBLIC_KEY). VERSION is MM/DD/YYYY or MM/DD/YYYY.N (N: the day's
# sequence, 1 to 999); by default today's date (UTC), and after a previous update of
# the same day that update's sequence plus one. OLD.ini and OLD_VERSION must be
# those the previous update was built from. The manifest is valid for
# UPDATE_VALID_HOURS (default 48) or until UPDATE_EXPIRES (YYYY-MM-DDTHH:MM:SSZ).
# Upload the files to one folder of a web server and set the update address to the
# manifest's address; UPDATE_FILE_ADDRESS puts another address of the file into the
# manifest (default: hkwdn1.hwd beside it). DEFSTOOL names the definitions tool
# when it is not in a build folder of this tree.
set -euo pipefail
usage() {
  echo "usage: $0 [--previous OLD.ini OLD_VERSION] PLAIN.ini KEY.pem OUT_DIR [MM/DD/YYYY[.N]]" >&2
  exit 2
}
previous= previous_version=
if [ "${1:-}" = --previous ]; then
  [ $# -ge 3 ] || usage
  previous=$2 previous_version=$3
  shift 3
fi
if [ $# -lt 3 ] || [ $# -gt 4 ]; then usage; fi
plain=$1 key=$2 out=$3
today=$(date -u +%m/%d/%Y)
if [ $# -eq 4 ]; then
  version=$4
elif [ -n "$previous" ] && [ "${previous_version:0:10}" = "$today" ]; then
  sequence=${previous_version:11}
  version=$today.$((10#${sequence:-0} + 1))
else
  version=$today
fi
root=$(cd "$(dirname "$0")/.." && pwd)
defstool=${DEFSTOOL:-}
if [ -z "$defstool" ]; then
  for candidate in "$root/build/windows/host/defstool" "$root/build/native/standins/defstool/defstool"; do
    if [ -x "$candidate" ]; then defstool=$candidate; break; fi
  done
fi
if [ -z "$defstool" ]; then
  echo "$0: no defstool: build a preset first or set DEFSTOOL" >&2
  exit 2
fi
command -v openssl >/dev/null || { echo "$0: openssl is needed" >&2; exit 2; }
sha256() { openssl dgst -sha256 -r "$1" | cut -d' ' -f1; }

mkdir -p "$out"
"$defstool" shipped "$plain" "$out/hkwdn1.hwd" "$version"
size=$(stat -c %s "$out/hkwdn1.hwd")
expires=${UPDATE_EXPIRES:-$(date -u -d "+${UPDATE_VALID_HOURS:-48} hours" +%Y-%m-%dT%H:%M:%SZ)}
body=$(printf 'Hookwarden definitions update 1\nversion=%s\nfile=%s\nsize=%s\nsha256=%s\nexpires=%s\n' \
  "$version" "${UPDATE_FILE_ADDRESS:-hkwdn1.hwd}" "$size" "$(sha256 "$out/hkwdn1.hwd")" "$expires")
rm -f "$out/hkwdn1.hwdiff"
difference=
if [ -n "$previous" ]; then
  # The previous update's file, made again: the difference applies to it only.
  "$defstool" shipped "$previous" "$out/previous.hwd" "$previous_version"
  status=0
  "$defstool" difference "$previous" "$plain" "$out/hkwdn1.hwdiff" || status=$?
  if [ $status -eq 0 ]; then
    body+=$(printf '\ndifference=hkwdn1.hwdiff\ndifference-from=%s\ndifference-size=%s\ndifference-sha256=%s' \
      "$(sha256 "$out/previous.hwd")" "$(stat -c %s "$out/hkwdn1.hwdiff")" "$(sha256 "$out/hkwdn1.hwdiff")")
    difference=" and the difference from $previous_version: $out/hkwdn1.hwdiff ($(stat -c %s "$out/hkwdn1.hwdiff") bytes)"
  elif [ $status -ne 3 ]; then
    exit $status
  fi
  rm -f "$out/previous.hwd"
fi
printf '%s\n' "$body" > "$out/update.txt.body"
signature=$(openssl dgst -sha256 -sign "$key" "$out/update.txt.body" | od -An -v -tx1 | tr -d ' \n')
{ cat "$out/update.txt.body"; printf 'signature=%s\n' "$signature"; } > "$out/update.txt"
rm -f "$out/update.txt.body"
echo "update of $version: $out/update.txt and $out/hkwdn1.hwd ($size bytes)$difference"
