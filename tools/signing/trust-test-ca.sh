#!/usr/bin/env bash
# trust-test-ca.sh TRUSTCA_EXE: the Wine prefix that WINEPREFIX names trusts the test
# authority of this folder (its machine root store, where Setup.exe looks for the
# package's signer), through trustca.exe (tests/e2e/trustca.cpp) of a Windows tree.
# Safe to run again. TEST PREFIXES ONLY: the authority's key is public.
set -euo pipefail
[ $# -eq 1 ] && [ -n "${WINEPREFIX:-}" ] || { echo "usage: WINEPREFIX=PREFIX $0 TRUSTCA_EXE" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
ca=$here/test-ca.pem
# Z: is the Linux root in every prefix.
"$here/../../scripts/lib/wine-run" "$WINEPREFIX" "$1" "Z:${ca//\//\\}"
