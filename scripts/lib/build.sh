# Configures and builds the two trees. Source after common.sh and mingw-deps.sh
# (ensure_mingw_deps sets QARTO_MINGW_DEPS).

HOST_TREE=$QARTO_ROOT/build/host
WIN32_TREE=$QARTO_ROOT/build/win32
WINEPREFIX_OF_TREE=$WIN32_TREE/wineprefix

configure_host() {
  cmake -S "$QARTO_ROOT" -B "$HOST_TREE" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQARTO_WERROR=ON >/dev/null
}

configure_win32() {
  # Libraries found in another dependency build stay cached: start that tree afresh.
  if [ -f "$WIN32_TREE/CMakeCache.txt" ] &&
     ! grep -qx "QARTO_MINGW_DEPS:UNINITIALIZED=$QARTO_MINGW_DEPS" "$WIN32_TREE/CMakeCache.txt"; then
    rm -rf "$WIN32_TREE/CMakeCache.txt" "$WIN32_TREE/CMakeFiles"
  fi
  # The toolchain file is read only when the tree is first configured.
  local toolchain=()
  [ -f "$WIN32_TREE/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$QARTO_ROOT/cmake/mingw-i686.cmake")
  cmake -S "$QARTO_ROOT" -B "$WIN32_TREE" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARTO_WERROR=ON \
    "${toolchain[@]}" -DQARTO_MINGW_DEPS="$QARTO_MINGW_DEPS" >/dev/null
}

# build_tree TREE [TARGET...]
build_tree() {
  local tree=$1; shift
  local targets=()
  local t
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$tree" -j"$JOBS" "${targets[@]}" | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
}

# The throwaway Wine prefix of the Windows tree, created on first use.
ensure_wineprefix() { "$QARTO_ROOT/scripts/lib/wine-prefix" "$WINEPREFIX_OF_TREE"; }

FUZZ_TREE=$QARTO_ROOT/build/fuzz
BENCH_TREE=$QARTO_ROOT/build/bench

configure_fuzz() {
  local seconds=${QARTO_FUZZ_SECONDS:-20}
  if [ ! -f "$FUZZ_TREE/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$QARTO_ROOT" -B "$FUZZ_TREE" -G Ninja -DQARTO_FUZZ=ON -DQARTO_WERROR=ON \
      -DQARTO_FUZZ_SECONDS="$seconds" >/dev/null
  else
    cmake -S "$QARTO_ROOT" -B "$FUZZ_TREE" -DQARTO_FUZZ_SECONDS="$seconds" >/dev/null
  fi
}

configure_bench() {
  cmake -S "$QARTO_ROOT" -B "$BENCH_TREE" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARTO_BENCH=ON -DQARTO_WERROR=ON >/dev/null
}
