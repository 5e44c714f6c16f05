# Debian packages the project needs, installed only when missing.
# Sourced by scripts/setup after common.sh.

HOST_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev ccache
  zlib1g-dev libssl-dev libcurl4-openssl-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  # renders the skin pictures (resources/skin) from SVG at build time
  librsvg2-bin
  # signs the demo package and the signature check's test files (tools/signing)
  osslsigncode
)
MINGW_PACKAGES=(
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev googletest dpkg-dev
  # build tools for OpenSSL and curl from their source packages
  perl make
)
# Real servers and reference clients for the download engine's tests and benchmark.
# python3 also converts the language files in every build (resources/lang).
NET_TEST_PACKAGES=(nginx-light tinyproxy aria2 curl python3 openssl time)
RUN_PACKAGES=(
  locales wine wine64 xvfb xdotool imagemagick fonts-roboto-unhinted
  # the scripts of the installer's 22 languages in the Wine prefix (wine-prefix maps
  # the Windows faces to them): Latin, Cyrillic, Arabic and Hebrew in DejaVu Sans,
  # Japanese, Korean and Traditional Chinese in Noto Sans CJK
  fonts-dejavu-core fonts-noto-cjk
)
# 32-bit Wine, for the 32-bit product: installed where 32-bit code runs (natively or
# emulated, see i386.sh), so its install scripts can run.
I386_PACKAGES=(wine32:i386)

missing_packages() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
      echo "$p"
    fi
  done
}

# install_packages: everything, with 32-bit Wine when QARTO_32BIT_CODE is not "none".
install_packages() {
  local missing i386=()
  [ "${QARTO_32BIT_CODE:-none}" = none ] || i386=("${I386_PACKAGES[@]}")
  missing=$(missing_packages "${HOST_PACKAGES[@]}" "${MINGW_PACKAGES[@]}" "${RUN_PACKAGES[@]}" \
            "${NET_TEST_PACKAGES[@]}" "${i386[@]}")
  if [ -z "$missing" ]; then echo "    all packages present"; return; fi
  need_root
  echo "    installing: $(echo $missing | tr '\n' ' ')"
  if [ ${#i386[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  # Server packages (nginx, tinyproxy) must not start system services: tests start
  # their own instances on loopback. policy-rc.d tells the maintainer scripts so.
  local policy=/usr/sbin/policy-rc.d added_policy=
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null && $SUDO chmod +x "$policy" && added_policy=1
  fi
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
  [ -z "$added_policy" ] || $SUDO rm -f "$policy"
}

# Source packages come through apt. The deb-src entry is derived from the machine's
# own apt sources so that no mirror is named here.
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/qarto-deb-src.sources
  local legacy=/etc/apt/sources.list.d/qarto-deb-src.list
  if [ -f "$list" ] || [ -f "$legacy" ] || apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$'; then
    return
  fi
  need_root
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -qi 'debian' "$f" || continue
    sed -E 's/^Types:[[:space:]]*deb([[:space:]]|$).*/Types: deb-src/' "$f" | $SUDO tee -a "$list" >/dev/null
    echo | $SUDO tee -a "$list" >/dev/null
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb[[:space:]]' /etc/apt/sources.list | sed -E 's/^deb[[:space:]]/deb-src /' | $SUDO tee "$legacy" >/dev/null || true
    [ -s "$legacy" ] || $SUDO rm -f "$legacy"
  fi
  $SUDO apt-get update -q
}

# Locales that tests switch to: number and date formats (de_DE, en_US) and the
# languages Wine derives the Windows UI language from (pt_BR, zh_CN, and cs_CZ,
# ja_JP for the installer's start language).
TEST_LOCALES=(de_DE en_US pt_BR zh_CN cs_CZ ja_JP)
ensure_locales() {
  local l missing=()
  for l in "${TEST_LOCALES[@]}"; do
    locale -a 2>/dev/null | grep -qix "$l.utf8" || missing+=("$l")
  done
  if [ ${#missing[@]} -eq 0 ]; then echo "    all locales present"; return; fi
  need_root
  for l in "${missing[@]}"; do
    echo "    generating $l.UTF-8"
    $SUDO localedef -i "$l" -f UTF-8 "$l.UTF-8"
  done
}
