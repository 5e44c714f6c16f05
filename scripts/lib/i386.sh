# 32-bit x86 code on this machine: natively where the kernel runs it, otherwise
# through Debian's qemu-user i386 emulator registered with binfmt_misc. Only the
# 32-bit Windows tree (the product's smoke tests and scripts/run's native mode)
# needs it. Source after common.sh.
# detect_32bit_code / ensure_32bit_code set QARTO_32BIT_CODE.

QARTO_BINFMT_DIR=/proc/sys/fs/binfmt_misc
QARTO_BINFMT_ENTRY=$QARTO_BINFMT_DIR/qarto-i386

# can_run_32bit: true when a 32-bit Linux program runs (natively or through a
# registered emulator). The probe is a 93-byte static i386 program that exits 0.
can_run_32bit() {
  local probe
  probe=$(mktemp "${TMPDIR:-/tmp}/qarto-i386-probe.XXXXXX")
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  local rc=0
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  return $rc
}

# An enabled binfmt_misc entry that hands i386 programs to qemu (ours or another's).
i386_emulator_registered() {
  local e
  for e in "$QARTO_BINFMT_DIR"/*; do
    [ -f "$e" ] && [ "$(basename "$e")" != register ] && [ "$(basename "$e")" != status ] || continue
    grep -qx enabled "$e" && grep -q '^interpreter .*qemu-i386' "$e" && return 0
  done
  return 1
}

register_i386_emulator() {
  need_root
  if [ ! -x /usr/bin/qemu-i386 ]; then
    echo "    installing qemu-user"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends qemu-user >/dev/null ||
      { $SUDO apt-get update -q >/dev/null &&
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends qemu-user >/dev/null; }
  fi
  if [ ! -e "$QARTO_BINFMT_DIR/register" ]; then
    $SUDO mount -t binfmt_misc binfmt_misc "$QARTO_BINFMT_DIR"
  fi
  # i386 ELF executables and shared objects; F opens the emulator now, so it is
  # found from any mount namespace later.
  printf '%s' ':qarto-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' |
    $SUDO tee "$QARTO_BINFMT_DIR/register" >/dev/null
}

# detect_32bit_code: sets QARTO_32BIT_CODE to "native", "emulated" (an emulator is
# registered) or "none", changing nothing (our own entry is switched off for a
# moment to see whether the kernel would do without it).
detect_32bit_code() {
  if [ -e "$QARTO_BINFMT_ENTRY" ]; then
    need_root
    echo 0 | $SUDO tee "$QARTO_BINFMT_ENTRY" >/dev/null
    local native=1
    can_run_32bit || native=
    echo 1 | $SUDO tee "$QARTO_BINFMT_ENTRY" >/dev/null
    if [ -n "$native" ]; then QARTO_32BIT_CODE=native; else QARTO_32BIT_CODE=emulated; fi
  elif [ -e "$QARTO_BINFMT_DIR/register" ] && i386_emulator_registered; then
    QARTO_32BIT_CODE=emulated
  elif can_run_32bit; then
    QARTO_32BIT_CODE=native
  else
    QARTO_32BIT_CODE=none
  fi
  export QARTO_32BIT_CODE
}

# ensure_32bit_code: for the tests. Registers the emulator where the kernel cannot
# run 32-bit code (idempotent), and removes our registration where it can.
ensure_32bit_code() {
  detect_32bit_code
  if [ "$QARTO_32BIT_CODE" = native ] && [ -e "$QARTO_BINFMT_ENTRY" ]; then
    echo -1 | $SUDO tee "$QARTO_BINFMT_ENTRY" >/dev/null
  elif [ "$QARTO_32BIT_CODE" = none ]; then
    register_i386_emulator
    can_run_32bit || { echo "error: 32-bit code does not run even through qemu-i386" >&2; return 1; }
    QARTO_32BIT_CODE=emulated
  fi
  report_32bit_code
}

report_32bit_code() {
  case $QARTO_32BIT_CODE in
    native) echo "    32-bit code: native" ;;
    emulated) echo "    32-bit code: emulated (qemu-user through binfmt_misc; each 32-bit Windows process takes about a minute)" ;;
    none) echo "    32-bit code: cannot run on this machine" ;;
  esac
}
