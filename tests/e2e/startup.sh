#!/usr/bin/env bash
# Orvello.exe under Wine: starts, shows its window titled "Orvello", keeps a
# second copy from opening another window, writes the debug log, and exits
# cleanly when its window is closed.
set -u
exe=$1
build=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
run="$here/scripts/wine-run"
driver="$build/tools/orvello_uidriver.exe"
exe_dir=$(dirname "$exe")
shots="$here/build/screenshots"
mkdir -p "$shots"
fail() { echo "FAIL: $*"; kill "$app" 2>/dev/null; exit 1; }

rm -rf "$exe_dir/Log"
"$run" "$exe" -debug &
app=$!
"$run" "$driver" wait-class MainFrame 60000 || fail "no main window on screen"
[ "$("$run" "$driver" count Orvello | tr -d '\r')" = "1" ] || fail "the main window is not titled Orvello"
sleep 1
import -window root "$shots/e2e-startup.png" 2>/dev/null || true

# A second copy brings the first forward and ends without a window of its own.
timeout 60 "$run" "$exe"
rc=$?
[ $rc -eq 0 ] || fail "second copy exited with $rc"
count=$("$run" "$driver" count Orvello | tr -d '\r')
[ "$count" = "1" ] || fail "expected one Orvello window, found $count"

"$run" "$driver" close Orvello || fail "could not close the window"
for _ in $(seq 1 100); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$app" 2>/dev/null && fail "Orvello did not exit after WM_CLOSE"
wait "$app"
rc=$?
[ $rc -eq 0 ] || fail "Orvello exited with $rc"

# -debug: the daily log beside the program, UTF-16LE with its byte-order mark.
log="$exe_dir/Log/Orvello $(date +%Y-%m-%d).log"
[ -f "$log" ] || fail "no log file $log"
[ "$(head -c 2 "$log" | od -An -tx1 | tr -d ' ')" = "fffe" ] || fail "log has no FF FE mark"
iconv -f UTF-16LE -t UTF-8 "$log" | grep -q ' : Run Orvello application' || fail "log lacks the start-up line"
echo "PASS: start-up, single instance, debug log, clean exit"
