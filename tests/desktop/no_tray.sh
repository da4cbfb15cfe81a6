#!/usr/bin/env bash
# With no notification area at all (no window manager, no tray, no session bus) voz shows its
# "Voz" window within 5 s; icewm started later takes the icon and the window goes; when the tray
# goes away the window comes back, and a tray that comes again takes the icon again.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

WINDOW='^Voz$'
harness_start no-wm
start_voz
started=$SECONDS
win=$(wait_for_window_title "$WINDOW" 15) || fail "no 'Voz' window without a tray"
waited=$((SECONDS - started))
((waited <= 7)) || fail "the 'Voz' window took $waited s"
pass "the 'Voz' window shows after $waited s without a tray"
window_geometry "$win"
capture_stable "$SHOT_DIR/window.png" capture_window "$win" || fail "the window does not settle"
# The clock picture and a column of command buttons: dark text and the clock's light face.
dark=$(count_pixels "$SHOT_DIR/window.png" 0 0 "$WIN_W" "$WIN_H" 'r < 90 && g < 90 && b < 90')
((dark >= 200)) || fail "the window looks empty ($dark dark pixels)"
pass "the window holds its picture and commands (${WIN_W}x${WIN_H}, $dark dark pixels)"

# tray_came WHEN: the icon must show within 2 s of the tray (whole seconds, so 3 here); the
# window goes.
tray_came()
{
    local came=$SECONDS
    wait_for_tray_icon 10 || fail "no icon in the tray that came $1"
    ((SECONDS - came <= 3)) || fail "the icon took $((SECONDS - came)) s to show in the tray that came $1"
    wait_for_no_window "$WINDOW" 15 || fail "the 'Voz' window stays with the icon in the tray that came $1"
    pass "the tray that came $1 got the icon at ${TRAY_X},${TRAY_Y}; the 'Voz' window went"
}
start_wm
tray_came "after voz"
screenshot late-tray >/dev/null

stop_pid "$ICEWM_PID" icewm
wait_for_window_title "$WINDOW" 15 >/dev/null ||
    fail "no 'Voz' window after the tray went away; windows named Voz: $(xwininfo -root -tree 2>/dev/null | grep -c '"Voz"')"
pass "the 'Voz' window came back when the tray went away"
TRAY_WIN=""
start_wm
tray_came again
open_tray_menu || fail "no menu from the icon in the late tray"
close_tray_menu || fail "Escape did not close the menu"
passed_while_voz_runs
