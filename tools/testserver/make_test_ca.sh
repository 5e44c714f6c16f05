#!/usr/bin/env bash
# make_test_ca.sh OUTDIR: a test certificate authority and a server certificate it
# signed, for the local test servers. Tests trust OUTDIR/ca.pem explicitly; nothing is
# installed anywhere else.
#   OUTDIR/ca.pem, ca.key          the authority (CA:TRUE, may sign certificates only)
#   OUTDIR/server.pem, server.key  for 127.0.0.1, ::1 and localhost (serverAuth)
# Does nothing when all four exist. Several callers may run it at once (ctest -j):
# they take turns on a lock, and the files appear by rename, each one whole.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
out=$1
mkdir -p "$out"
have_all() { [ -s "$out/ca.pem" ] && [ -s "$out/ca.key" ] && [ -s "$out/server.pem" ] && [ -s "$out/server.key" ]; }
have_all && exit 0

exec 9>"$out/.make_test_ca.lock"
flock -w 60 9 || { echo "make_test_ca.sh: $out is locked" >&2; exit 1; }
have_all && exit 0

work=$(mktemp -d "$out/.ca.XXXXXX")
trap 'rm -rf "$work"' EXIT
days=9000  # about 25 years: a test run never meets an expired certificate

# RSA rather than EC: the oldest TLS stacks the engine is tried against take it.
openssl req -x509 -new -newkey rsa:2048 -nodes -sha256 -days "$days" \
  -keyout "$work/ca.key" -out "$work/ca.pem" -subj "/O=Qarto Test/CN=Qarto Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -addext "subjectKeyIdentifier=hash" 2>/dev/null

openssl req -new -newkey rsa:2048 -nodes -sha256 \
  -keyout "$work/server.key" -out "$work/server.csr" -subj "/O=Qarto Test/CN=localhost" 2>/dev/null
cat >"$work/server.ext" <<'EOF'
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=IP:127.0.0.1,IP:::1,DNS:localhost
subjectKeyIdentifier=hash
authorityKeyIdentifier=keyid
EOF
openssl x509 -req -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
  -set_serial "0x$(openssl rand -hex 16)" -days "$days" -sha256 \
  -extfile "$work/server.ext" -out "$work/server.pem" 2>/dev/null
openssl verify -CAfile "$work/ca.pem" "$work/server.pem" >/dev/null

chmod 600 "$work/ca.key" "$work/server.key"
# Keys first, certificates last: have_all() is true only once everything is there.
for f in ca.key server.key ca.pem server.pem; do mv -f "$work/$f" "$out/$f"; done
