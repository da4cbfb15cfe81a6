#!/usr/bin/env bash
# "Help" without a help file beside the program warns in a "Voz Warning Message" window; its OK
# button closes the window and the program keeps running.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
remove_program_file help.chm
start_voz_in_tray

choose_menu_item Help
warning=$(wait_for_window_title '^Voz Warning Message$' 20) || fail "no 'Voz Warning Message' window after Help"
pass "Help opened the 'Voz Warning Message' window"
window_geometry "$warning"
((WIN_W == 229 && WIN_H == 114)) || fail "the warning window is ${WIN_W}x${WIN_H}, not 229x114"
pass "the warning window is 229x114"
# The OK button's outline (the default button's is blue) lies within x 88..137, y 80..105, and
# nothing else in the lower part of the window is outlined; the message area above is grey.
capture_region "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" "$WORK_DIR/warning.png"
blue='b > r + 60'
inside=$(count_pixels "$WORK_DIR/warning.png" 88 80 50 26 "$blue")
below=$(count_pixels "$WORK_DIR/warning.png" 0 76 "$WIN_W" 34 "$blue")
label=$(count_pixels "$WORK_DIR/warning.png" 40 40 150 20 'r == 192 && g == 192 && b == 192')
((inside >= 100 && below == inside)) ||
    fail "no button outline inside x 88..137, y 80..105 of the warning ($inside px there, $below below the message)"
((label > 1000)) || fail "no grey message area in the warning ($label px)"
pass "the warning shows its grey message area and the OK button at x 88..137, y 80..105"
park_pointer
sleep 0.2
screenshot warning >/dev/null

click_in_window "$warning" 112 92 || fail "could not click the warning's OK button"
wait_for_no_window '^Voz Warning Message$' 20 || fail "the warning window stayed after OK"
pass "OK closed the warning window"
find_tray_icon || fail "the tray icon went away after the warning"
screenshot after_ok >/dev/null
passed_while_voz_runs "after the warning"
