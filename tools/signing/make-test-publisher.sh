#!/usr/bin/env bash
# make-test-publisher.sh: regenerates the test publisher kept in this folder (see
# README.md): a test certificate authority, the test signer, another publisher under
# the same authority, and a signer whose validity ended in the past. TEST USE ONLY:
# the private keys are public in this repository.
#
# Regenerating changes the pinned fingerprint (test-signer.sha256, written here):
# the Windows trees take it from that file when they are configured.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
days=36500  # a century: no test run meets one of these expired, except the one meant to be

openssl req -x509 -new -newkey rsa:2048 -nodes -sha256 -days "$days" \
  -keyout "$work/test-ca.key" -out "$work/test-ca.pem" \
  -subj "/O=Qarto Test/CN=Qarto Test Code Signing CA" \
  -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -addext "subjectKeyIdentifier=hash" 2>/dev/null

cat >"$work/signer.ext" <<'EXT'
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=codeSigning
subjectKeyIdentifier=hash
authorityKeyIdentifier=keyid
EXT

# issue NAME SUBJECT: a code-signing certificate from the test authority, valid now.
issue() {
  openssl req -new -newkey rsa:2048 -nodes -sha256 -keyout "$work/$1.key" -out "$work/$1.csr" -subj "$2" 2>/dev/null
  openssl x509 -req -in "$work/$1.csr" -CA "$work/test-ca.pem" -CAkey "$work/test-ca.key" \
    -set_serial "0x$(openssl rand -hex 16)" -days "$days" -sha256 -extfile "$work/signer.ext" \
    -out "$work/$1.pem" 2>/dev/null
}
issue test-signer "/O=Qarto Test/CN=Qarto Test Publisher"
issue other-publisher "/O=Other Test/CN=Other Test Publisher"

# The expired signer: fixed dates in the past, which only "openssl ca" can set.
openssl req -new -newkey rsa:2048 -nodes -sha256 -keyout "$work/expired-signer.key" \
  -out "$work/expired-signer.csr" -subj "/O=Qarto Test/CN=Qarto Expired Test Publisher" 2>/dev/null
mkdir "$work/ca"
: >"$work/ca/index.txt"
cat >"$work/ca.cnf" <<CNF
[ca]
default_ca = test
[test]
dir = $work/ca
database = \$dir/index.txt
new_certs_dir = \$dir
serial = \$dir/serial
default_md = sha256
policy = any
copy_extensions = none
unique_subject = no
[any]
organizationName = optional
commonName = supplied
CNF
openssl rand -hex 16 >"$work/ca/serial"
openssl ca -batch -config "$work/ca.cnf" -cert "$work/test-ca.pem" -keyfile "$work/test-ca.key" \
  -startdate 20200101000000Z -enddate 20210101000000Z -extfile "$work/signer.ext" -notext \
  -in "$work/expired-signer.csr" -out "$work/expired-signer.pem" 2>/dev/null

for name in test-signer other-publisher expired-signer; do
  openssl verify -no_check_time -CAfile "$work/test-ca.pem" "$work/$name.pem" >/dev/null
done
for name in test-ca test-signer other-publisher expired-signer; do
  cp "$work/$name.key" "$work/$name.pem" "$here/"
done
openssl x509 -in "$here/test-signer.pem" -outform DER | sha256sum | cut -d' ' -f1 >"$here/test-signer.sha256"
echo "test signer SHA-256: $(cat "$here/test-signer.sha256")"
