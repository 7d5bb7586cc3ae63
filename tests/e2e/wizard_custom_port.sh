#!/usr/bin/env bash
# A user installs a sample-package printer on the custom port "FILE:" with
# the real Orvello.exe, driven from outside by control names: the main
# page, the port type, the model, the port, the name, the summary, the busy
# dialog and the end page. Along the way it switches the language and opens
# the about dialog, and it saves a screenshot of every window it passes in
# build/screenshots/wizard-*.png.
#
# Runs in a 32-bit prefix of its own: Wine's spooler lives inside the
# calling process, so under a 64-bit prefix the 32-bit installer could add
# the x64 driver but never a printer that uses it (AddPrinter answers 1797).
# A 32-bit prefix is a 32-bit Windows, where both halves agree.
set -u
exe=$1
build=$2
export ORVELLO_WINEPREFIX="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/wineprefix32"
export WINEARCH=win32
source "$(dirname "${BASH_SOURCE[0]}")/lib/driving.bash"
shot() { import -window root "$shots/wizard-$1.png" 2>/dev/null || true; }
on_failure() { shot failure; }
# The page whose Next button is on screen.
on_page() {
  for _ in $(seq 1 50); do
    ui visible MainFrame "$1" >/dev/null && return 0
    sleep 0.2
  done
  fail "page with $1 did not appear"
}
reg_has() { "$run" reg query "$1" </dev/null >/dev/null 2>&1; }

printer="Orvello Étiquette 1"
printers_key='HKLM\System\CurrentControlSet\Control\Print\Printers'
# A fresh machine every run: no printer or driver of an earlier run.
WINEPREFIX="$ORVELLO_WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
rm -rf "$ORVELLO_WINEPREFIX"
"$run" --prepare

"$run" "$exe" &
app=$!
ui wait-class MainFrame 60000 >/dev/null || fail "no main window"
on_page btn_form_main_next
sleep 1
shot 01-main-en

# The language dialog switches the visible texts at once.
ui click MainFrame windowlangbtn >/dev/null &
ui wait-class DlgSoftLanguage 10000 >/dev/null || fail "no language dialog"
sleep 0.5
shot 02-language
click DlgSoftLanguage menu_lang_ChineseSimplified
sleep 0.5
[ "$(ui gettext MainFrame btn_form_main_next | tr -d '\r')" = "下一步" ] || fail "main page not in Chinese"
click DlgSoftLanguage btn_cancel
ui wait-gone DlgSoftLanguage 10000 >/dev/null || fail "language dialog did not close"
# Without a window manager the uncovered part is repainted a moment later.
sleep 2
shot 03-main-zh
# The choice outlives the dialog; back to English for the rest.
ui click MainFrame windowlangbtn >/dev/null &
ui wait-class DlgSoftLanguage 10000 >/dev/null || fail "no language dialog the second time"
ui checked DlgSoftLanguage menu_lang_ChineseSimplified >/dev/null || fail "the dialog does not mark the current language"
click DlgSoftLanguage menu_lang_English
click DlgSoftLanguage btn_cancel
ui wait-gone DlgSoftLanguage 10000 >/dev/null || fail "language dialog did not close"
[ "$(ui gettext MainFrame btn_form_main_next | tr -d '\r')" = "Next" ] || fail "main page not back in English"

ui click MainFrame windowaboutbtn >/dev/null &
ui wait-class DlgAbout 10000 >/dev/null || fail "no about dialog"
sleep 0.5
shot 04-about
click DlgAbout windowclosebtn
ui wait-gone DlgAbout 10000 >/dev/null || fail "about dialog did not close"

# Install, custom port. A fresh machine has no catalogue driver, so the
# first page proposes installing.
ui checked MainFrame chk_install_driver >/dev/null || fail "install is not proposed on a fresh machine"
click MainFrame btn_form_main_next
on_page btn_form_printer_port_next
click MainFrame chk_port_custom
shot 05-port
click MainFrame btn_form_printer_port_next

on_page btn_form_custom_printer_mode_next
sleep 0.5
ui check-row MainFrame grid_custom_printer_mode 1 >/dev/null || fail "could not tick the first model"
model=$(ui cell MainFrame grid_custom_printer_mode 1 1 | tr -d '\r')
shot 06-model
click MainFrame btn_form_custom_printer_mode_next

on_page btn_form_custom_port_next
sleep 0.5
rows=$(ui rows MainFrame grid_custom_port | tr -d '\r')
file_row=""
for r in $(seq 1 "${rows:-0}"); do
  for c in 1 2; do
    [ "$(ui cell MainFrame grid_custom_port "$r" "$c" | tr -d '\r')" = "FILE:" ] && file_row=$r
  done
  [ -n "$file_row" ] && break
done
[ -n "$file_row" ] || fail "no FILE: row among $rows ports"
ui checked MainFrame grid_custom_port "$file_row" >/dev/null && fail "FILE: is ticked before the user chose it"
ui check-row MainFrame grid_custom_port "$file_row" >/dev/null || fail "could not tick FILE:"
shot 07-port-file
click MainFrame btn_form_custom_port_next

on_page btn_form_printer_name_next
ui settext MainFrame text_printer_name "$printer" >/dev/null || fail "could not type the name"
ui checked MainFrame chk_set_default_printer >/dev/null || fail "default printer not proposed"
shot 08-name
click MainFrame btn_form_printer_name_next

on_page btn_form_setup_prepare_next
[ "$(ui gettext MainFrame td_printer_name | tr -d '\r')" = "$printer" ] || fail "summary shows another name"
shot 09-summary
click MainFrame btn_form_setup_prepare_next
if ui wait-class DlgLoading 10000 >/dev/null; then
  sleep 0.7
  shot 10-loading
fi

on_page btn_form_setup_first
ui wait-gone DlgLoading 120000 >/dev/null || fail "busy dialog stayed open"
# The last line comes once the UI thread has finished the run.
log=""
for _ in $(seq 1 50); do
  log=$(ui gettext MainFrame text_setup_msg | tr -d '\r')
  echo "$log" | grep -q "Installation completed." && break
  sleep 0.2
done
shot 11-end
echo "$log" | sed 's/^/  log: /'
echo "$log" | grep -q "Installation completed." || fail "no 'Installation completed.' in the log"
ui visible MainFrame btn_form_setup_print_test_page >/dev/null || fail "printer buttons hidden after success"

reg_has "$printers_key\\$printer" || fail "printer '$printer' is not in the spooler"
reg_has "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\$model" ||
  fail "driver '$model' is not installed"
port=$("$run" reg query "$printers_key\\$printer" /v Port </dev/null 2>/dev/null | tr -d '\r' | awk '/Port/ {print $NF}')
[ "$port" = "FILE:" ] || fail "printer is on port '$port'"

click MainFrame btn_form_setup_cancel
expect_exit Close
echo "PASS: custom-port installation of '$model' as '$printer' on FILE:"
