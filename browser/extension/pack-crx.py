#!/usr/bin/env python3
"""Packs the extension's zip into a signed CRX3 for Chromium browsers that install
it by policy, and writes the update manifest they fetch from the policy's update
address:

    pack-crx.py ZIP KEY.pem OUTDIR [--codebase URL] [--manifest-key BASE64]

ZIP is the extension's archive (manifest.json inside), KEY.pem the RSA private key
the CRX is signed with. Writes OUTDIR/Hookwarden-extension.crx and
OUTDIR/Hookwarden-extension.id (the extension id, which the key's public half
decides; also printed); with --codebase, the address the CRX will be served from,
also OUTDIR/update.xml. With --manifest-key the key's public half
must be that one (the manifest's "key"), so that the packed extension keeps the
id of the unpacked one. Needs the openssl command."""
import argparse
import base64
import hashlib
import json
import os
import struct
import subprocess
import sys
import tempfile
import zipfile
from xml.sax.saxutils import quoteattr

CRX_NAME = "Hookwarden-extension.crx"
SIGNED_DATA_CONTEXT = b"CRX3 SignedData\x00"


def varint(number):
    out = bytearray()
    while True:
        byte = number & 0x7F
        number >>= 7
        if number:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def field(number, data):
    """A length-delimited protobuf field."""
    return varint(number << 3 | 2) + varint(len(data)) + data


def extension_id(public_der):
    digest = hashlib.sha256(public_der).hexdigest()[:32]
    return "".join(chr(ord("a") + int(digit, 16)) for digit in digest)


def openssl(*args, data=None):
    result = subprocess.run(["openssl", *args], input=data, capture_output=True)
    if result.returncode != 0:
        raise SystemExit(f"pack-crx: openssl {args[0]} failed: {result.stderr.decode(errors='replace').strip()}")
    return result.stdout


def pack(archive, key_path, public_der):
    signed_data = field(1, hashlib.sha256(public_der).digest()[:16])
    signed = SIGNED_DATA_CONTEXT + struct.pack("<I", len(signed_data)) + signed_data + archive
    with tempfile.NamedTemporaryFile() as message:
        message.write(signed)
        message.flush()
        signature = openssl("dgst", "-sha256", "-sign", key_path, message.name)
    proof = field(1, public_der) + field(2, signature)
    header = field(2, proof) + field(10000, signed_data)
    return b"Cr24" + struct.pack("<II", 3, len(header)) + header + archive


def update_manifest(app_id, version, codebase):
    return (
        "<?xml version='1.0' encoding='UTF-8'?>\n"
        "<gupdate xmlns='http://www.google.com/update2/response' protocol='2.0'>\n"
        f"  <app appid={quoteattr(app_id)}>\n"
        f"    <updatecheck codebase={quoteattr(codebase)} version={quoteattr(version)}/>\n"
        "  </app>\n"
        "</gupdate>\n"
    )


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("zip")
    parser.add_argument("key")
    parser.add_argument("outdir")
    parser.add_argument("--codebase", help="the address the CRX is served from")
    parser.add_argument("--manifest-key", help="the public half the key must have (base64 DER)")
    args = parser.parse_args()

    try:
        with open(args.zip, "rb") as file:
            archive = file.read()
        with zipfile.ZipFile(args.zip) as extension:
            version = str(json.loads(extension.read("manifest.json"))["version"])
    except (OSError, zipfile.BadZipFile, KeyError, ValueError) as error:
        raise SystemExit(f"pack-crx: {args.zip} is not an extension's zip with a manifest and its version: {error!r}")
    # The CRX's proof is of the RSA kind.
    openssl("rsa", "-in", args.key, "-check", "-noout")
    public_der = openssl("pkey", "-in", args.key, "-pubout", "-outform", "DER")
    if args.manifest_key is not None:
        if base64.b64decode(args.manifest_key) != public_der:
            raise SystemExit(
                f"pack-crx: {args.key} is not the key of the manifest's \"key\" (id "
                f"{extension_id(base64.b64decode(args.manifest_key))}); it would give the id "
                f"{extension_id(public_der)}, which the browser host does not allow"
            )
    app_id = extension_id(public_der)
    os.makedirs(args.outdir, exist_ok=True)
    with open(os.path.join(args.outdir, CRX_NAME), "wb") as file:
        file.write(pack(archive, args.key, public_der))
    with open(os.path.join(args.outdir, "Hookwarden-extension.id"), "w") as file:
        file.write(app_id + "\n")
    if args.codebase:
        with open(os.path.join(args.outdir, "update.xml"), "w") as file:
            file.write(update_manifest(app_id, version, args.codebase))
    print(app_id)


if __name__ == "__main__":
    sys.exit(main())
