# X displays for the tests. Source, then call.

# start_xvfb: starts Xvfb on a free display number; sets XVFB_DISPLAY (":N") and
# XVFB_PID. The caller stops it.
start_xvfb() {
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  XVFB_DISPLAY=":$n"
}

# ensure_display: when there is no X display, starts Xvfb on a free display number,
# exports DISPLAY and stops it when the calling shell exits.
ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  start_xvfb
  QARTO_XVFB_PID=$XVFB_PID
  export DISPLAY=$XVFB_DISPLAY
  QARTO_STARTED_XVFB=1
  trap 'kill "$QARTO_XVFB_PID" 2>/dev/null || true' EXIT
}
