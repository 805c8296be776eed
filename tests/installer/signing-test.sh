#!/usr/bin/env bash
# Signing as a release build signs: a throwaway code-signing certificate, a copy
# of the application folder, the two programs the packages add and both packages,
# each file signed by packaging/sign-files.sh and then checked by osslsigncode.
#
#   signing-test.sh SOURCE_DIR BUILD_DIR FILE...   (FILE: the packages and extras)
set -u
sign=$1/packaging/sign-files.sh
build=$(cd "$2" && pwd)
shift 2
here=$build/signing-test
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

rm -rf "$here"
mkdir -p "$here/copy"
trap 'rm -rf "$here"' EXIT

# A key with a password, as a release key has.
export HW_SIGN_PASSWORD="test password $$"
if ! openssl req -x509 -newkey rsa:2048 -sha256 -days 1 -subj "/CN=Hookwarden test signer" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  -keyout "$here/key.pem" -out "$here/cert.pem" -passout env:HW_SIGN_PASSWORD 2>"$here/openssl.log"; then
  cat "$here/openssl.log"
  exit 1
fi

cp -r "$build/app" "$here/copy/app"
cp "$@" "$here/copy/"
mapfile -t files < <(find "$here/copy" -type f \( -name '*.exe' -o -name '*.dll' -o -name '*.msi' \) | sort)
# The application folder's eight programs and libraries, two extras, two packages.
[ ${#files[@]} -ge 12 ] || fail "only ${#files[@]} files to sign: ${files[*]}"

"$sign" --cert "$here/cert.pem" --key "$here/key.pem" "${files[@]}" || fail "sign-files.sh exit code $?"

verify() {
  osslsigncode verify -CAfile "$here/cert.pem" -in "$1" >"$here/verify.log" 2>&1
}
for file in "${files[@]}"; do
  name=${file#"$here/copy/"}
  if ! verify "$file"; then
    fail "$name: signature not verified"
    grep -iE "fail|error|mismatch|no signature" "$here/verify.log" | head -5
  elif ! grep -q "Subject: /CN=Hookwarden test signer" "$here/verify.log"; then
    fail "$name: signed by another signer"
  fi
done

# The check sees a file changed after signing.
tampered="$here/copy/app/Hookwdn.exe"
printf 'X' | dd of="$tampered" bs=1 seek=4096 conv=notrunc status=none
verify "$tampered" && fail "Hookwdn.exe changed after signing: still verified"

# A wrong password stops the signing and leaves the file as it was.
cp "$build/app/chainset.exe" "$here/plain.exe"
HW_SIGN_PASSWORD=wrong "$sign" --cert "$here/cert.pem" --key "$here/key.pem" "$here/plain.exe" >/dev/null 2>&1 &&
  fail "signing with a wrong password: exit code 0"
cmp -s "$build/app/chainset.exe" "$here/plain.exe" || fail "a failed signing changed the file"

[ $failures -eq 0 ] && echo "all ${#files[@]} files signed and verified"
exit $((failures > 0))
