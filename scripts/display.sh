# Sourced by scripts/test and scripts/run: gives Wine a display. Without one
# an Xvfb server of our own is started and stopped again on exit.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  local n
  for n in $(seq 91 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  ORVELLO_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  trap 'kill "$ORVELLO_XVFB_PID" 2>/dev/null || true' EXIT
}
