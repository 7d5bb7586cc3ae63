#!/usr/bin/env bash
# The toolkit's Win32 backend seen from outside, as the end-to-end tests see
# the product: a window of the real skin (orvello_uidemo) is found, listed
# and driven with orvello_uidriver; every action must reach the window's
# forms as the user's own would.
set -u
build=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
run="$here/scripts/wine-run"
driver="$build/tools/orvello_uidriver.exe"
demo="$build/tools/orvello_uidemo.exe"
skin="Z:$(echo "$build/package/stage" | tr / '\\')"
log="$build/ui_backend_e2e.log"
shots="$here/build/screenshots"
mkdir -p "$shots"
rm -f "$log"
d() { "$run" "$driver" "$@"; }
fail() { echo "FAIL: $*"; kill "$app" 2>/dev/null; exit 1; }

"$run" "$demo" "$skin" MainFrame.xml MainFrame form_printer_name "Z:$(echo "$log" | tr / '\\')" &
app=$!
d wait-class MainFrame 60000 || fail "no MainFrame window"
sleep 1
import -window root "$shots/e2e-ui-backend.png" 2>/dev/null || true

d list MainFrame | grep -q "^windowclosebtn	Button	1	1" || fail "list lacks the close button"
d find MainFrame text_printer_name || fail "no text_printer_name"
d find MainFrame no_such_control && fail "found a control that does not exist"
d visible MainFrame text_printer_name || fail "the name box is not visible"
d visible MainFrame chk_install_driver && fail "a control of another page is visible"

d settext MainFrame text_printer_name "LP-200 (USB)" || fail "settext"
[ "$(d gettext MainFrame text_printer_name | tr -d '\r')" = "LP-200 (USB)" ] || fail "gettext after settext"

d checked MainFrame chk_set_default_printer || fail "the default-printer box starts ticked"
d click MainFrame chk_set_default_printer || fail "click on the check box"
sleep 0.5
d checked MainFrame chk_set_default_printer && fail "the check box did not toggle"

d key MainFrame 0x0D || fail "Enter"
d key MainFrame 0x1B || fail "Escape"
sleep 0.5
d click MainFrame windowclosebtn || fail "click on the close button"
d wait-gone MainFrame 20000 || fail "the window did not close"
wait "$app"
rc=$?
[ $rc -eq 0 ] || fail "the demo exited with $rc"

for line in "windowinit mainframe_root" "textchanged text_printer_name" "click chk_set_default_printer" \
    "selectchanged chk_set_default_printer" "click btn_form_printer_name_next" "click btn_form_printer_name_cancel" \
    "click windowclosebtn"; do
  grep -qx "$line" "$log" || fail "the forms did not receive: $line"
done
echo "PASS: named native controls found, driven and reported from outside"
