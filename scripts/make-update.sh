#!/usr/bin/env bash
# Builds a signed definitions update from a plain list: the shipped definitions file
# hkwdn1.hwd and the manifest update.txt that Update.exe fetches, both in OUT_DIR.
#
#   scripts/make-update.sh PLAIN.ini KEY.pem OUT_DIR [MM/DD/YYYY]
#
# KEY.pem is the ECDSA P-256 private key whose public half Update.exe was built
# with (HW_UPDATE_PUBLIC_KEY). The version defaults to today's date. Upload both
# files to one folder of a web server and set the update address to the
# manifest's address; UPDATE_FILE_ADDRESS puts another address of the file into the
# manifest (default: hkwdn1.hwd beside it). DEFSTOOL names the definitions tool when it is not in a
# build folder of this tree.
set -euo pipefail
if [ $# -lt 3 ] || [ $# -gt 4 ]; then
  echo "usage: $0 PLAIN.ini KEY.pem OUT_DIR [MM/DD/YYYY]" >&2
  exit 2
fi
plain=$1 key=$2 out=$3 version=${4:-$(date -u +%m/%d/%Y)}
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

mkdir -p "$out"
"$defstool" shipped "$plain" "$out/hkwdn1.hwd" "$version"
size=$(stat -c %s "$out/hkwdn1.hwd")
sha=$(openssl dgst -sha256 -r "$out/hkwdn1.hwd" | cut -d' ' -f1)
body=$(printf 'Hookwarden definitions update 1\nversion=%s\nfile=%s\nsize=%s\nsha256=%s\n' \
  "$version" "${UPDATE_FILE_ADDRESS:-hkwdn1.hwd}" "$size" "$sha")
printf '%s\n' "$body" > "$out/update.txt.body"
signature=$(openssl dgst -sha256 -sign "$key" "$out/update.txt.body" | od -An -v -tx1 | tr -d ' \n')
{ cat "$out/update.txt.body"; printf 'signature=%s\n' "$signature"; } > "$out/update.txt"
rm -f "$out/update.txt.body"
echo "update of $version: $out/update.txt and $out/hkwdn1.hwd ($size bytes)"
