# Static OpenSSL 3.0, libcurl and GoogleTest for the mingw targets (i686: the product;
# x86_64: the Windows test lane), built from Debian's own sources into a versioned
# cache outside the repository, one directory per target.
# Sourced after common.sh and packages.sh. `ensure_mingw_deps ARCH` sets
# QARTO_MINGW_DEPS_<ARCH> (QARTO_MINGW_DEPS_i686, QARTO_MINGW_DEPS_x86_64).

src_version() { dpkg-query -W -f='${source:Version}' "$1"; }

# The cache is keyed by the installed host packages' source versions and this recipe;
# the versions actually built are recorded in VERSIONS inside it.
mingw_deps_dir() {
  local arch=$1 key
  key=$( (echo "openssl $(src_version libssl-dev) curl $(src_version libcurl4-openssl-dev)" \
          "gtest $(src_version googletest)"; cat "${BASH_SOURCE[0]}" "$QARTO_ROOT/cmake/mingw-common.cmake" \
          "$QARTO_ROOT/cmake/mingw-$arch.cmake") |
        sha256sum | cut -c1-12)
  echo "$QARTO_CACHE/mingw-deps/$arch-$key"
}

mingw_triple() { echo "$1-w64-mingw32"; }

# fetch_source PACKAGE VERSION DEST: unpacked Debian source tree (patches applied).
# The mirror may no longer serve the exact version installed (a newer security
# upload replaces it), so the other versions apt knows are tried, newest first.
fetch_source() {
  local pkg=$1 want=$2 dest=$3 ver
  local versions
  versions=$( (echo "$want"; apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -rV) | awk '!seen[$0]++')
  for ver in $versions; do
    rm -rf "$dest"; mkdir -p "$dest"
    if (cd "$dest" && apt-get source -q --only-source "$pkg=$ver" >"$dest.log" 2>&1); then
      echo "$pkg $ver" >>"$(dirname "$dest")/VERSIONS"
      echo "    $pkg source $ver"
      return 0
    fi
    echo "    $pkg source $ver not available, trying the next"
  done
  echo "error: no source of $pkg could be fetched (see $dest.log)" >&2
  return 1
}

# What the programs use of OpenSSL: TLS 1.2 and 1.3 with the usual suites (AES-GCM,
# ChaCha20-Poly1305, ECDHE and DHE, RSA, ECDSA, X.509), MD5, SHA-1/SHA-2, HMAC, AES,
# Base64, PKCS#7 and CMS (signatures), and MD4 with DES for curl's NTLM. The rest is
# left out: less to build on every fresh machine and less code in the product. No
# configuration file is ever loaded (the elevated installer must not read one from
# a folder a user can create).
OPENSSL_OPTIONS=(
  no-shared no-module no-tests no-dso no-engine no-autoload-config
  no-legacy
  no-aria no-bf no-blake2 no-camellia no-cast no-idea no-mdc2 no-rc2 no-rc4 no-rc5 no-rmd160 no-seed
  no-siphash no-sm2 no-sm3 no-sm4 no-whirlpool no-gost no-ocb no-scrypt
  no-srp no-ssl3 no-dtls no-sctp no-srtp no-comp no-ct no-ts no-rfc3779 no-cmp no-ec2m no-ui-console
)

build_openssl() {
  local arch=$1 prefix=$2 work=$3 triple target
  triple=$(mingw_triple "$arch")
  case $arch in i686) target=mingw ;; x86_64) target=mingw64 ;; esac
  fetch_source openssl "$(src_version libssl-dev)" "$work/openssl"
  local dir; dir=$(find "$work/openssl" -mindepth 1 -maxdepth 1 -type d | head -n1)
  # Debian's pic.patch makes the 32-bit assembler position-independent the ELF way
  # (GOT and PLT relocations), which COFF cannot represent; the Windows build takes
  # the assembler as it is upstream. With it, AES and the hashes run at hardware
  # speed instead of the portable C paths.
  (cd "$dir" && patch -R -p1 -s <debian/patches/pic.patch) || { echo "cannot revert pic.patch" >&2; return 1; }
  (cd "$dir" &&
    ./Configure "$target" "${OPENSSL_OPTIONS[@]}" \
      --prefix="$prefix" --libdir=lib --openssldir=/nonexistent \
      CC="$triple-gcc-posix" AR="$triple-ar" \
      RANLIB="$triple-ranlib" RC="$triple-windres" >"$work/openssl.log" 2>&1 &&
    make -j"$JOBS" build_libs >>"$work/openssl.log" 2>&1 &&
    make install_dev >>"$work/openssl.log" 2>&1) ||
    { tail -n 40 "$work/openssl.log"; return 1; }
}

build_curl() {
  local arch=$1 prefix=$2 work=$3 triple
  triple=$(mingw_triple "$arch")
  fetch_source curl "$(src_version libcurl4-openssl-dev)" "$work/curl"
  local dir; dir=$(find "$work/curl" -mindepth 1 -maxdepth 1 -type d | head -n1)
  cmake -S "$dir" -B "$work/curl-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QARTO_ROOT/cmake/mingw-$arch.cmake" -DQARTO_MINGW_DEPS="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
    -DCURL_USE_OPENSSL=ON -DOPENSSL_ROOT_DIR="$prefix" -DOPENSSL_USE_STATIC_LIBS=ON \
    -DCURL_ZLIB=ON -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triple/include" \
    -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
    -DCURL_USE_LIBSSH2=OFF -DUSE_LIBIDN2=OFF -DUSE_NGHTTP2=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
    -DENABLE_THREADED_RESOLVER=ON -DCURL_DISABLE_NTLM=OFF \
    >"$work/curl.log" 2>&1 &&
  cmake --build "$work/curl-build" -j"$JOBS" >>"$work/curl.log" 2>&1 &&
  cmake --install "$work/curl-build" >>"$work/curl.log" 2>&1 ||
    { tail -n 40 "$work/curl.log"; return 1; }
}

build_gtest() {
  local arch=$1 prefix=$2 work=$3
  cmake -S /usr/src/googletest -B "$work/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QARTO_ROOT/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -Dgtest_disable_pthreads=OFF >"$work/gtest.log" 2>&1 &&
  cmake --build "$work/gtest-build" -j"$JOBS" >>"$work/gtest.log" 2>&1 &&
  cmake --install "$work/gtest-build" >>"$work/gtest.log" 2>&1 ||
    { tail -n 40 "$work/gtest.log"; return 1; }
}

# ensure_mingw_deps ARCH: builds the dependencies of one target unless cached.
ensure_mingw_deps() {
  local arch=$1 deps
  deps=$(mingw_deps_dir "$arch")
  printf -v "QARTO_MINGW_DEPS_$arch" '%s' "$deps"
  export "QARTO_MINGW_DEPS_$arch"
  if [ -f "$deps/.complete" ]; then
    echo "    cached: $deps ($(tr '\n' ' ' <"$deps/VERSIONS"))"; return
  fi
  local work="$deps.work"
  rm -rf "$QARTO_CACHE"/mingw-deps/"$arch"-*.work  # left by interrupted builds
  rm -rf "$deps" "$work"; mkdir -p "$work"
  step "build OpenSSL for $arch mingw" build_openssl "$arch" "$deps" "$work"
  step "build curl for $arch mingw" build_curl "$arch" "$deps" "$work"
  step "build GoogleTest for $arch mingw" build_gtest "$arch" "$deps" "$work"
  echo "googletest $(src_version googletest)" >>"$work/VERSIONS"
  mv "$work/VERSIONS" "$deps/VERSIONS"
  rm -rf "$work"
  touch "$deps/.complete"
}

# ensure_mingw_deps_all ARCH...: ensure_mingw_deps for every target, the missing
# ones built side by side (their configure scripts and archive steps run one
# process each, so two builds keep both cores busy where one would leave one
# idle). Each build's output is shown when it ends; its own stages go to the table.
ensure_mingw_deps_all() {
  local arch pids=() logs=() archs=() status=0 i
  for arch in "$@"; do
    if [ -f "$(mingw_deps_dir "$arch")/.complete" ]; then continue; fi
    local log; log=$(mktemp)
    ( ensure_mingw_deps "$arch" ) >"$log" 2>&1 &
    pids+=($!) logs+=("$log") archs+=("$arch")
  done
  for i in "${!pids[@]}"; do
    local rc=0
    wait "${pids[$i]}" || rc=$?
    echo "    --- ${archs[$i]} ---"
    sed 's/^/    /' "${logs[$i]}"
    local line
    while IFS= read -r line; do
      [[ $line =~ ^\ +(build\ .+):\ ([0-9]+)s$ ]] && record_stage "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" 1
    done <"${logs[$i]}"
    rm -f "${logs[$i]}"
    [ "$rc" -eq 0 ] || { echo "error: the ${archs[$i]} dependencies did not build" >&2; status=1; }
  done
  [ "$status" -eq 0 ] || return 1
  for arch in "$@"; do ensure_mingw_deps "$arch"; done
}
