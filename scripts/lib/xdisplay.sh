# ensure_display: when there is no X display, starts Xvfb on a free display number,
# exports DISPLAY and stops it when the calling shell exits. Source, then call.
ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  QARTO_XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
  QARTO_STARTED_XVFB=1
  trap 'kill "$QARTO_XVFB_PID" 2>/dev/null || true' EXIT
}
