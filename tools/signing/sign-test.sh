#!/usr/bin/env bash
# sign-test.sh IN OUT [SIGNER [OSSLSIGNCODE-OPTIONS...]]: OUT is the Windows program
# IN with an Authenticode signature (SHA-256, no timestamp) of a test publisher in
# this folder: SIGNER is test-signer (the default, the publisher the test and demo
# builds pin), other-publisher or expired-signer. Extra options go to osslsigncode
# (e.g. -h sha1, or -nest to add a second signature to a signed IN).
# TEST USE ONLY: the keys are public in this repository.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 IN OUT [SIGNER [OSSLSIGNCODE-OPTIONS...]]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
in=$1 out=$2 signer=${3:-test-signer}
shift $(($# < 3 ? $# : 3))
case $signer in test-signer | other-publisher | expired-signer) ;; *) echo "$0: no signer $signer" >&2; exit 2 ;; esac
command -v osslsigncode >/dev/null || { echo "$0: osslsigncode is missing (Debian package osslsigncode)" >&2; exit 1; }
# osslsigncode writes OUT from scratch and refuses one that exists; IN and OUT may be
# the same file.
tmp=$(mktemp "$(dirname "$out")/.sign.XXXXXX")
rm -f "$tmp"
trap 'rm -f "$tmp"' EXIT
osslsigncode sign -certs "$here/$signer.pem" -key "$here/$signer.key" -h sha256 \
  -n "Qarto Private Browser test package" "$@" -in "$in" -out "$tmp" >/dev/null
mv -f "$tmp" "$out"
