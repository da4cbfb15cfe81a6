#!/usr/bin/env bash
# "Voz Alarm Set" holding an alarm soon due: its own minimise button minimises it under icewm
# (which obeys the Motif hints) with no minimise box in the title bar, and a close request from
# outside (_NET_CLOSE_WINDOW, as wmctrl -c sends) only hides it like "Exit": the alarm still rings.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

# wm_state WINDOW: Normal, Iconic or Withdrawn, as the window manager set it.
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ {print $NF}'; }
wm_state_is() { [[ $(wm_state "$1") == "$2" ]]; }

start_with_alarm once 35 "Tea time"

choose_menu_item "Alarm Set"
win=$(wait_for_window_title '^Voz Alarm Set$' 20) || fail "no 'Voz Alarm Set' window"
poll_until 10 wm_state_is "$win" Normal || fail "the window's state is '$(wm_state "$win")', not Normal"
park_pointer
sleep 0.3
screenshot alarm_set >/dev/null

# The flat bar at the lower right is the window's own minimise button.
motif_hints() { xprop -id "$1" _MOTIF_WM_HINTS 2>/dev/null | sed 's/.*= //'; }
hints_before=$(motif_hints "$win")
[[ -n $hints_before ]] || fail "the window carries no Motif hints"
window_geometry "$win" || fail "no geometry for the window"
click_in_window "$win" $((368 + 20)) $((216 + 6)) || fail "cannot click the minimise button"
poll_until 10 wm_state_is "$win" Iconic || fail "the minimise button left the window '$(wm_state "$win")', not Iconic"
pass "the window's own minimise button minimised it (WM_STATE Iconic)"
screenshot minimised >/dev/null

choose_menu_item "Alarm Set"
poll_until 10 wm_state_is "$win" Normal || fail "the tray menu left the window '$(wm_state "$win")'"
poll_until 10 window_viewable "$win" || fail "the window did not come back"
pass "the tray menu restored the window"
# Minimising was allowed only for the request: the hints, and so the title bar's boxes, are as before.
[[ $(motif_hints "$win") == "$hints_before" ]] ||
    fail "the Motif hints went from '$hints_before' to '$(motif_hints "$win")': the title bar may gain boxes"
pass "the Motif hints are as before minimising ($hints_before)"
park_pointer
sleep 0.3
screenshot restored >/dev/null

(($(date +%s) < ALARM_AT - 3)) || fail "too slow: the alarm at $ALARM_CLOCK is due before the close request"
"$PYTHON" "$HARNESS_DIR/xprobe.py" close "$win" || fail "the close request could not be sent"
hidden() { ! window_viewable "$win"; }
poll_until 10 hidden || fail "the close request left 'Voz Alarm Set' on the screen"
voz_running || fail "voz ended on the close request"
pass "a close request hid 'Voz Alarm Set' at $(date +%T), the alarm at $ALARM_CLOCK still to come"

wait_for_alarm_window $((ALARM_AT - $(date +%s) + 10))
expect_sound
pass "the alarm at $ALARM_CLOCK rang after the close request"
screenshot rang >/dev/null

# The tray menu shows the same window again, the fired alarm gone from it.
choose_menu_item "Alarm Set"
poll_until 10 window_viewable "$win" || fail "the tray menu did not show 'Voz Alarm Set' again"
pass "the tray menu shows the hidden window again"
passed_while_voz_runs
