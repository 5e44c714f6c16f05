#!/usr/bin/env python3
"""make-signed-cases.py OUTDIR: the signature checks' accept/refuse table as real files.

Writes two tiny PE programs (PE32 and PE32+, made here byte by byte: they are never
run, only signed and checked), signs them with the test publishers through
sign-test.sh (osslsigncode), and makes the broken variants from the signed one:

  signed.exe, signed64.exe   the pinned test signer
  unsigned.exe               no certificate table
  other-publisher.exe        another publisher under the same test authority
  expired-signer.exe         a signer whose certificate ended in 2021
  self-signed.exe            a self-signed code-signing certificate, under no authority
  sha1.exe                   the test signer, with SHA-1 instead of SHA-256
  body-changed.exe           one byte of the program changed after signing
  blob-changed.exe           one byte of the signature value changed
  nested.exe                 a second signature nested into the first (-nest)
  second-entry.exe           a second certificate entry in the table
  trailing-data.exe          bytes appended after the certificate table
  truncated.exe              the certificate table cut short

and the fingerprints (SHA-256 of the DER certificate) of the four signers as
<signer>.sha256. The self-signed key is made here, anew each time. Test use only.
"""
import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SIGN = os.path.join(HERE, "sign-test.sh")


TEXT_SIZE = 0x2000  # past the 4 KiB below which the installer takes no file for a program


def tiny_pe(plus):
    """One .text section (xor eax, eax; ret and a text) behind 0x200 bytes of headers."""
    optional_size = 240 if plus else 224
    dos = bytearray(64)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 64)
    coff = struct.pack("<HHIIIHH", 0x8664 if plus else 0x14C, 1, 0, 0, 0, optional_size, 0x22 if plus else 0x102)
    head = struct.pack("<HBBIIIII", 0x20B if plus else 0x10B, 14, 0, TEXT_SIZE, 0, 0, 0x1000, 0x1000)
    if plus:
        head += struct.pack("<Q", 0x140000000)
    else:
        head += struct.pack("<II", 0x1000 + TEXT_SIZE, 0x400000)
    head += struct.pack("<IIHHHHHHIIIIHH", 0x1000, 0x200, 6, 0, 0, 0, 6, 0, 0, 0x1000 + TEXT_SIZE, 0x200, 0, 3,
                        0x8140)
    sizes = struct.pack("<QQQQ" if plus else "<IIII", 0x100000, 0x1000, 0x100000, 0x1000)
    optional = head + sizes + struct.pack("<II", 0, 16) + bytes(16 * 8)
    assert len(optional) == optional_size
    section = b".text\0\0\0" + struct.pack("<IIIIIIHHI", TEXT_SIZE, 0x1000, TEXT_SIZE, 0x200, 0, 0, 0, 0, 0x60000020)
    headers = bytes(dos) + b"PE\0\0" + coff + optional + section
    body = b"\x31\xc0\xc3" + b"Qarto signature test program" + (b" (PE32+)" if plus else b" (PE32)")
    return headers.ljust(0x200, b"\0") + body.ljust(TEXT_SIZE, b"\0")


def sign(src, dst, signer="test-signer", *options):
    subprocess.run([SIGN, src, dst, signer, *options], check=True)


def table(data):
    """The certificate table's offset and size from the PE's directory entry."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    optional = pe + 24
    plus = struct.unpack_from("<H", data, optional)[0] == 0x20B
    entry = optional + (112 if plus else 96) + 4 * 8
    return entry, struct.unpack_from("<II", data, entry)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-signed-cases.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    path = lambda name: os.path.join(out, name)
    write(path("unsigned.exe"), tiny_pe(False))
    write(path("unsigned64.exe"), tiny_pe(True))
    sign(path("unsigned.exe"), path("signed.exe"))
    sign(path("unsigned64.exe"), path("signed64.exe"))
    os.remove(path("unsigned64.exe"))
    sign(path("unsigned.exe"), path("other-publisher.exe"), "other-publisher")
    sign(path("unsigned.exe"), path("expired-signer.exe"), "expired-signer")
    sign(path("unsigned.exe"), path("sha1.exe"), "test-signer", "-h", "sha1")
    sign(path("signed.exe"), path("nested.exe"), "test-signer", "-nest")
    subprocess.run(["openssl", "req", "-x509", "-new", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "36500",
                    "-keyout", path("self-signed.key"), "-out", path("self-signed.pem"),
                    "-subj", "/O=Nobody/CN=Self-signed Test Publisher",
                    "-addext", "keyUsage=critical,digitalSignature", "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True)
    subprocess.run(["osslsigncode", "sign", "-certs", path("self-signed.pem"), "-key", path("self-signed.key"),
                    "-h", "sha256", "-in", path("unsigned.exe"), "-out", path("self-signed.exe")],
                   check=True, capture_output=True)

    signed = open(path("signed.exe"), "rb").read()
    entry, (offset, size) = table(signed)
    assert offset + size == len(signed)

    body = bytearray(signed)
    body[0x210] ^= 0x01  # inside the program's text
    write(path("body-changed.exe"), body)

    # The PKCS#7 SignedData ends with the signer's signature value (no unsigned
    # attributes without a timestamp): change a byte near its end.
    blob = bytearray(signed)
    der = offset + 8
    assert blob[der] == 0x30 and blob[der + 1] == 0x82
    der_end = der + 4 + struct.unpack_from(">H", blob, der + 2)[0]
    blob[der_end - 10] ^= 0x01
    write(path("blob-changed.exe"), blob)

    second = bytearray(signed + signed[offset:offset + size])
    struct.pack_into("<I", second, entry + 4, 2 * size)
    write(path("second-entry.exe"), second)
    write(path("trailing-data.exe"), signed + b"QARTO-DEMO-SETUP fail=1\n")
    write(path("truncated.exe"), signed[:-64])

    for signer, pem in (("test-signer", HERE), ("other-publisher", HERE), ("expired-signer", HERE),
                        ("self-signed", out)):
        der_cert = subprocess.run(["openssl", "x509", "-in", os.path.join(pem, signer + ".pem"), "-outform", "DER"],
                                  check=True, capture_output=True).stdout
        digest = subprocess.run(["sha256sum"], input=der_cert, check=True, capture_output=True).stdout.split()[0]
        write(path(signer + ".sha256"), digest + b"\n")
    shutil.copy(os.path.join(HERE, "test-ca.pem"), path("test-ca.pem"))


if __name__ == "__main__":
    main()
