# The PNG conformance pictures (PngSuite and libpng's test pictures, with the files
# known to have crashed decoders) for the PNG codec's conformance test. They come from
# Debian's libpng1.6 source package into the cache, outside the repository; only the
# two picture folders are kept. Sourced after common.sh (needs the deb-src entry,
# see ensure_deb_src, and dpkg-dev). Sets and exports QARTO_PNGSUITE_DIR, which the
# test reads; "$QARTO_CACHE/pngsuite/current" points at the same folder so that a
# test run by hand finds it too.

# The source version of the installed libpng (the test's oracle) names the folder;
# when the mirror no longer serves it, the newest version it serves is used and
# recorded in VERSION.
pngsuite_dir() {
  local want
  want=$(dpkg-query -W -f='${source:Version}' libpng-dev 2>/dev/null || true)
  [ -n "$want" ] || want=unversioned
  echo "$QARTO_CACHE/pngsuite/$want"
}

ensure_pngsuite() {
  QARTO_PNGSUITE_DIR=$(pngsuite_dir)
  export QARTO_PNGSUITE_DIR
  if [ -f "$QARTO_PNGSUITE_DIR/.complete" ]; then
    echo "    cached: $QARTO_PNGSUITE_DIR (libpng1.6 $(cat "$QARTO_PNGSUITE_DIR/VERSION"))"
  else
    local want work ver fetched=
    want=$(basename "$QARTO_PNGSUITE_DIR")
    work="$QARTO_PNGSUITE_DIR.work"
    rm -rf "$work" "$QARTO_PNGSUITE_DIR"
    mkdir -p "$work"
    for ver in $( (echo "$want"; apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -rV) |
                  awk '$0 != "unversioned" && !seen[$0]++'); do
      if (cd "$work" && apt-get source -q --only-source "libpng1.6=$ver" >"$work.log" 2>&1); then
        fetched=$ver; break
      fi
      echo "    libpng1.6 source $ver not available, trying the next"
    done
    if [ -z "$fetched" ]; then
      echo "error: no libpng1.6 source could be fetched (see $work.log)" >&2
      return 1
    fi
    local src
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n1)
    mkdir -p "$QARTO_PNGSUITE_DIR"
    cp -r "$src/contrib/pngsuite" "$src/contrib/testpngs" "$QARTO_PNGSUITE_DIR/"
    echo "$fetched" >"$QARTO_PNGSUITE_DIR/VERSION"
    rm -rf "$work" "$work.log"
    touch "$QARTO_PNGSUITE_DIR/.complete"
    echo "    libpng1.6 source $fetched: $QARTO_PNGSUITE_DIR"
  fi
  ln -sfn "$(basename "$QARTO_PNGSUITE_DIR")" "$QARTO_CACHE/pngsuite/current"
}
