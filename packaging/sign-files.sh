#!/usr/bin/env bash
# sign-files.sh --cert CERT --key KEY [--timestamp URL] FILE...
# Signs each program, library or package in place with an Authenticode
# signature (SHA-256) through osslsigncode; a signature it already has is
# replaced. The key's password, if it has one, is taken from the environment
# variable HW_SIGN_PASSWORD and handed over on standard input, never as an
# argument that other users could read in the process list.
set -euo pipefail

cert="" key="" timestamp=()
while [ $# -gt 0 ]; do
  case "$1" in
    --cert) cert=$2; shift 2 ;;
    --key) key=$2; shift 2 ;;
    --timestamp) timestamp=(-ts "$2"); shift 2 ;;
    --) shift; break ;;
    -*) echo "sign-files.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ -z "$cert" ] || [ -z "$key" ] || [ $# -eq 0 ]; then
  echo "usage: sign-files.sh --cert CERT --key KEY [--timestamp URL] FILE..." >&2
  exit 2
fi

# A key without a password: no password read at all.
readpass=()
[ -n "${HW_SIGN_PASSWORD-}" ] && readpass=(-readpass -)

for file in "$@"; do
  signed="$file.signing"
  if ! printf '%s' "${HW_SIGN_PASSWORD-}" |
    osslsigncode sign -certs "$cert" -key "$key" "${readpass[@]}" -h sha256 -n Hookwarden "${timestamp[@]}" \
      -in "$file" -out "$signed" >"$signed.log" 2>&1; then
    echo "sign-files.sh: could not sign $file:" >&2
    cat "$signed.log" >&2
    rm -f "$signed" "$signed.log"
    exit 1
  fi
  rm -f "$signed.log"
  mv -f "$signed" "$file"
done
