# Configures and builds the trees. Source after common.sh and mingw-deps.sh
# (ensure_mingw_deps ARCH sets QARTO_MINGW_DEPS_<ARCH>).
#
# build/host   native, the portable core and its unit tests
# build/win64  64-bit Windows: the test lane, every Windows test under 64-bit Wine
# build/win32  32-bit Windows: the product (Setup.exe) and its smoke tests
# build/fuzz, build/bench  the fuzz targets and the benchmarks

# Compiled objects are cached by content (ccache) beside the dependency builds, so a
# new clone on a machine that built the project before compiles only what changed.
# Paths are taken relative to the repository and the build folder is left out of the
# hash, so clones in other folders share the cache.
export CCACHE_DIR=${CCACHE_DIR:-$QARTO_CACHE/ccache}
export CCACHE_BASEDIR=$QARTO_ROOT CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-4G}
compiler_launcher() {
  if command -v ccache >/dev/null; then
    echo -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
  fi
}

HOST_TREE=$QARTO_ROOT/build/host
WIN32_TREE=$QARTO_ROOT/build/win32
WIN64_TREE=$QARTO_ROOT/build/win64

configure_host() {
  cmake -S "$QARTO_ROOT" -B "$HOST_TREE" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQARTO_WERROR=ON $(compiler_launcher) >/dev/null
}

# configure_windows TREE ARCH [CMAKE_ARGS...]
configure_windows() {
  local tree=$1 arch=$2; shift 2
  local deps_var="QARTO_MINGW_DEPS_$arch"
  local deps=${!deps_var}
  # Libraries found in another dependency build stay cached: start that tree afresh.
  if [ -f "$tree/CMakeCache.txt" ] &&
     ! grep -qx "QARTO_MINGW_DEPS:UNINITIALIZED=$deps" "$tree/CMakeCache.txt"; then
    rm -rf "$tree/CMakeCache.txt" "$tree/CMakeFiles"
  fi
  # The toolchain file is read only when the tree is first configured.
  local toolchain=()
  [ -f "$tree/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$QARTO_ROOT/cmake/mingw-$arch.cmake")
  # The test and demo trees pin the test publisher (tools/signing/), whose signature
  # the demo package carries; a release build names its own.
  local signer
  signer=$(cat "$QARTO_ROOT/tools/signing/test-signer.sha256")
  cmake -S "$QARTO_ROOT" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARTO_WERROR=ON \
    "${toolchain[@]}" -DQARTO_MINGW_DEPS="$deps" -DQARTO_PACKAGE_SIGNER="$signer" $(compiler_launcher) "$@" >/dev/null
}

configure_win64() { configure_windows "$WIN64_TREE" x86_64; }
# The product's smoke tests borrow the test lane's helper programs (wintool,
# trustca), which run at native speed where 32-bit code is emulated.
configure_win32() { configure_windows "$WIN32_TREE" i686 -DQARTO_HELPER_TREE="$WIN64_TREE"; }

# build_tree TREE [TARGET...]
build_tree() {
  local tree=$1; shift
  local targets=()
  local t
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$tree" -j"$JOBS" "${targets[@]}" | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
}

# The throwaway Wine prefix of a Windows tree, created on first use.
ensure_wineprefix() { "$QARTO_ROOT/scripts/lib/wine-prefix" "$1/wineprefix"; }
# Ends every Wine process of the trees' prefixes and of the prefix templates (a
# test that timed out may have left them spinning, emulated ones above all).
stop_wineservers() {
  local prefix
  for prefix in "$WIN64_TREE"/wineprefix* "$WIN32_TREE"/wineprefix* \
                "$QARTO_CACHE"/wine-prefix/* "$QARTO_CACHE"/wine-prefix-win32/*; do
    [ -d "$prefix/dosdevices" ] || continue
    WINEPREFIX=$prefix timeout 20 wineserver -k 2>/dev/null || true
  done
}

FUZZ_TREE=$QARTO_ROOT/build/fuzz
BENCH_TREE=$QARTO_ROOT/build/bench

configure_fuzz() {
  local seconds=${QARTO_FUZZ_SECONDS:-20}
  if [ ! -f "$FUZZ_TREE/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$QARTO_ROOT" -B "$FUZZ_TREE" -G Ninja -DQARTO_FUZZ=ON -DQARTO_WERROR=ON \
      -DQARTO_FUZZ_SECONDS="$seconds" $(compiler_launcher) >/dev/null
  else
    cmake -S "$QARTO_ROOT" -B "$FUZZ_TREE" -DQARTO_FUZZ_SECONDS="$seconds" >/dev/null
  fi
}

configure_bench() {
  cmake -S "$QARTO_ROOT" -B "$BENCH_TREE" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARTO_BENCH=ON -DQARTO_WERROR=ON \
    $(compiler_launcher) >/dev/null
}
