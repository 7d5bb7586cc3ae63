# Sourced by the end-to-end scripts that drive Orvello.exe from outside.
# Expects $build (the Windows build folder) and, for a prefix of the
# script's own, ORVELLO_WINEPREFIX and WINEARCH set before it is sourced.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
run="$here/scripts/wine-run"
shots="$here/build/screenshots"
mkdir -p "$shots"
app=""  # the pid of the program under test, once started

ui() { "$run" "$build/tools/orvello_uidriver.exe" "$@"; }
# A script may define on_failure (a last screenshot, say).
fail() {
  echo "FAIL: $*"
  declare -F on_failure >/dev/null && on_failure
  [ -n "$app" ] && kill "$app" 2>/dev/null
  exit 1
}
click() { ui click "$1" "$2" >/dev/null || fail "could not click $2 in $1"; }
# After the last window closed: the program ends by itself, with code 0.
expect_exit() {
  for _ in $(seq 1 100); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$app" 2>/dev/null && fail "Orvello did not exit after $1"
  wait "$app"
  local rc=$?
  [ $rc -eq 0 ] || fail "Orvello exited with $rc after $1"
}
