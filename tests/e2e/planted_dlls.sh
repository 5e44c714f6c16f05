#!/usr/bin/env bash
# A DLL planted beside Setup.exe under the name of a system DLL that is not a KnownDLL
# never loads into the installer: Setup.exe starts from a "Downloads" folder holding
# such DLLs (each writes a marker when loaded), runs its start-up and its first HTTPS
# request (the product API of the stand-ins) up to its main page, and is ended. Wine prefers its own
# DLLs, which would hide the fault: WINEDLLOVERRIDES asks for the Windows search order
# (native first) for every planted name, and a control program in the same folder
# shows that with that setting a planted DLL does load when looked for beside the
# program. The loader's record (+loaddll) shows where each DLL came from.
# usage: planted_dlls.sh WINE_RUN SETUP_EXE PLANTED_DLL DLL_PROBE_EXE QTOOL_EXE OUT_DIR
set -euo pipefail
source "$(dirname "$0")/flow_lib.sh"
flow_init "$1" "$2" "$6" planted-dlls
planted=$3 probe=$4
names=(version wininet crypt32 bcrypt usp10 winspool msimg32 comctl32 uxtheme dwmapi winmm iphlpapi userenv
       wintrust winhttp secur32)
overrides=$(IFS=,; echo "${names[*]}")=n,b

downloads=$FLOW_WORK/Downloads
mkdir -p "$downloads"
cp "$FLOW_SETUP" "$downloads/Setup.exe"
cp "$probe" "$downloads/dll_probe.exe"
for n in "${names[@]}"; do cp "$planted" "$downloads/$n.dll"; done

# The control: looked for beside the program, the planted DLLs load.
probe_rc=0
WINEDLLOVERRIDES=$overrides timeout 120 "$FLOW_WINE_RUN" "$downloads/dll_probe.exe" version.dll wininet.dll \
  >/dev/null 2>&1 || probe_rc=$?
[ -f "$downloads/planted-version.dll.txt" ] && [ -f "$downloads/planted-wininet.dll.txt" ] ||
  fail "control: the planted DLLs did not load beside dll_probe.exe (exit $probe_rc); the test would prove nothing"
ok "control: with native DLLs preferred, a DLL looked for beside the program is the planted one"
rm -f "$downloads"/planted-*.txt

flow_reset
flow_standins_start
FLOW_SETUP=$downloads/Setup.exe
WINEDLLOVERRIDES=$overrides FLOW_WINEDEBUG=warn+seh,+loaddll flow_setup_start
flow_window
flow_wait_page PageTab_Main
flow_shot main
# The start-up and the API request are done when the main page shows.
flow_kill_setup
loaded=$(grep -a 'Loaded L"' "$FLOW_LOG" | sed -E 's/^.*Loaded L"([^"]*)".*$/\1/' | tr 'A-Z' 'a-z' | sort -u)
# What the start-up and the HTTPS request use must have been loaded, or the run
# proved nothing; every copy of a planted name that the program loaded came from system32.
for n in version crypt32 bcrypt; do
  grep -qE "system32\\\\+$n\.dll$" <<<"$loaded" || fail "$n.dll was never loaded from system32: the run did not reach what uses it"
done
for n in "${names[@]}"; do
  while read -r from; do
    [ -n "$from" ] || continue
    [[ $from == *system32* || $from == *winsxs* ]] && ok "$n.dll loaded from $from"
  done < <(grep -E "\\\\$n\.dll$" <<<"$loaded" || true)
done
# Wine's own user32.dll imports version.dll (Windows' does not), so with native DLLs
# preferred Wine loads a planted version.dll while it loads user32, before any line
# of the program runs; nothing a program does can change that. For version.dll the
# check above (the program's own use of it loaded system32's copy, beside the planted
# one) is what counts; its marker is excused only when the loader's record shows
# exactly that order.
# Only the installer's own loads count: Wine's start-up programs (wineboot, services,
# explorer), started on a cold Wine under the same output, load user32 first.
setup_thread=$(grep -aiE 'Loaded L"[^"]*\\setup\.exe"' "$FLOW_LOG" | head -n 1 | sed -E 's/^([0-9a-f]+):.*$/\1/')
[ -n "$setup_thread" ] || fail "the loader's record does not show Setup.exe being loaded"
order=$(grep -a "^$setup_thread:.*Loaded L\"" "$FLOW_LOG" | sed -E 's/^.*Loaded L"([^"]*)".*$/\1/' | tr 'A-Z' 'a-z')
first_planted=$(grep -n 'downloads\\\\version\.dll$' <<<"$order" | head -n 1 | cut -d: -f1)
first_user32=$(grep -n '\\\\user32\.dll$' <<<"$order" | head -n 1 | cut -d: -f1)
if [ -f "$downloads/planted-version.dll.txt" ]; then
  [ -n "$first_planted" ] && [ -n "$first_user32" ] && [ "$first_planted" -lt "$first_user32" ] ||
    fail "the planted version.dll was loaded other than as Wine's user32.dll's import"
  ok "the planted version.dll was loaded by Wine's user32.dll at process start (a Wine import, not the program's)"
  rm -f "$downloads/planted-version.dll.txt"
fi
markers=$(ls "$downloads"/planted-*.txt 2>/dev/null || true)
[ -z "$markers" ] || fail "planted DLLs loaded into Setup.exe: $markers"
ok "none of the other planted DLLs loaded into Setup.exe"
