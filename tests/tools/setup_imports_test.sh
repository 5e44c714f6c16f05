#!/usr/bin/env bash
# Setup.exe imports only KnownDLLs statically: the loader takes those from system32
# whatever folder the program runs from. Every other system DLL is a delayed import
# (cmake/DelayLoad.cmake), which the PE's import table does not list; the delayed
# DLLs the program names are printed for the record.
# usage: setup_imports_test.sh OBJDUMP SETUP_EXE DELAYED_DLL...
set -euo pipefail
objdump=$1 setup=$2; shift 2
# The KnownDLLs of Windows 7 and later (HKLM\SYSTEM\CurrentControlSet\Control\Session
# Manager\KnownDLLs, the names present on every version).
known=(advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32
       oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)
static=$("$objdump" -p "$setup" | awk '/^The Import Tables/{t=1} t && /DLL Name:/{print tolower($3)}')
grep -qx kernel32.dll <<<"$static" || { echo "FAIL no import table with kernel32.dll found in $setup"; exit 1; }
status=0
for dll in $static; do
  if [[ " ${known[*]} " == *" ${dll%.dll} "* ]]; then
    echo "ok   static import $dll (a KnownDLL)"
  else
    echo "FAIL static import $dll is not a KnownDLL: the loader would look for it beside the program"
    status=1
  fi
done
names=$(strings -a "$setup" | tr 'A-Z' 'a-z' | sort -u)
for name in "$@"; do
  ! grep -qx "$name.dll" <<<"$names" || echo "ok   $name.dll delayed"
done
exit $status
