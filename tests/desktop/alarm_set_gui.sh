#!/usr/bin/env bash
# The Alarm Set window driven through its own controls: an alarm typed into the time boxes and
# added with Return gets a message by a double-click and "Save", is saved to gui.dat through the
# "Voz files" chooser, and fires with its message and sound. The Settings window's automatic-load
# box, stored on "Close", makes a list saved as my.dat come back and fire after a restart. With the
# first alarm pending, the window's own minimise button minimises it under icewm (which obeys the
# Motif hints) with no minimise box in the title bar, and a close request from outside
# (_NET_CLOSE_WINDOW, as wmctrl -c sends) only hides it like "Exit": the alarm still rings.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

# type_alarm WIN EPOCH: types that second's time of day into the hour, minute and second boxes
# (12-hour clock), flips AM/PM with the up button when the box (AM_SHOWN) holds the other half of
# the day. ALARM_AT, ALARM_CLOCK: the alarm as for prepare_alarm.
type_alarm()
{
    local win=$1 h24 minute second box half=AM
    ALARM_AT=$2 ALARM_CLOCK=$(clock_at "$2")
    IFS=: read -r h24 minute second <<<"$ALARM_CLOCK"
    ((10#$h24 >= 12)) && half=PM
    for box in "hour $(((10#$h24 + 11) % 12 + 1))" "minute $minute" "second $second"; do
        click_control "$win" "alarm_set.${box% *}"
        press_keys ctrl+a
        xdotool type --delay 60 "${box#* }"
    done
    if [[ $half != "$AM_SHOWN" ]]; then
        click_control "$win" alarm_set.am_pm
        AM_SHOWN=$half
    fi
    note "typed the alarm at $ALARM_CLOCK as a $half time"
}

motif_hints() { xprop -id "$1" _MOTIF_WM_HINTS 2>/dev/null | sed 's/.*= //'; }

# add_message WIN TEXT: a double-click on the list's first alarm, TEXT typed, "Save".
add_message()
{
    local input
    double_click_first_alarm "$1"
    input=$(wait_for_window_title '^Input message$' 10) || fail "no 'Input message' window after a double-click on the alarm"
    click_control "$input" input.text
    xdotool type --delay 40 "$2"
    screenshot "input_message_${2// /_}" >/dev/null
    click_control "$input" input.save
    wait_for_no_window '^Input message$' 10 || fail "'Input message' stayed open after Save"
    no_window_title '^Voz Warning Message$' || fail "Save in 'Input message' brought a warning"
    pass "a double-click on the alarm opened 'Input message'; Save took '$2'"
}

harness_start
avoid_midnight
remove_program_file my.dat voz.ini
start_voz_in_tray
start_recording "$WORK_DIR/sound.wav"

# 1. An alarm typed into the Alarm Set window and added with Return.
open_from_menu "Alarm Set" '^Voz Alarm Set$'
alarm_set=$WIN
# The window starts at the present half of the day.
AM_SHOWN=$(LC_ALL=C date +%p)
type_alarm "$alarm_set" $(($(date +%s) + 40))
first_clock=$ALARM_CLOCK
screenshot alarm_set_typed >/dev/null
press_keys Return
sleep 0.5
no_window_title '^Voz Warning Message$' || fail "Return on the typed time $first_clock brought a warning"
screenshot alarm_set_added >/dev/null

# 2. The flat bar at the lower right is the window's own minimise button; the tray menu brings the
# window back.
poll_until 10 wm_state_is "$alarm_set" Normal || fail "the window's state is '$(wm_state "$alarm_set")', not Normal"
parked_screenshot alarm_set
hints_before=$(motif_hints "$alarm_set")
[[ -n $hints_before ]] || fail "the window carries no Motif hints"
click_in_window "$alarm_set" $((368 + 20)) $((216 + 6)) || fail "cannot click the minimise button"
poll_until 10 wm_state_is "$alarm_set" Iconic ||
    fail "the minimise button left the window '$(wm_state "$alarm_set")', not Iconic"
screenshot minimised >/dev/null
choose_menu_item "Alarm Set"
poll_until 10 wm_state_is "$alarm_set" Normal || fail "the tray menu left the window '$(wm_state "$alarm_set")'"
poll_until 10 window_viewable "$alarm_set" || fail "the window did not come back"
# Minimising was allowed only for the request: the hints, and so the title bar's boxes, are as before.
[[ $(motif_hints "$alarm_set") == "$hints_before" ]] ||
    fail "the Motif hints went from '$hints_before' to '$(motif_hints "$alarm_set")': the title bar may gain boxes"
pass "the minimise button minimised the window, the tray menu restored it, the Motif hints are as before"
parked_screenshot restored

# A close request only hides it like "Exit"; the tray menu shows it again.
(($(date +%s) < ALARM_AT - 3)) || fail "too slow: the alarm at $ALARM_CLOCK is due before the close request"
"$PYTHON" "$HARNESS_DIR/xprobe.py" close "$alarm_set" || fail "the close request could not be sent"
hidden() { ! window_viewable "$alarm_set"; }
poll_until 10 hidden || fail "the close request left 'Voz Alarm Set' on the screen"
voz_running || fail "voz ended on the close request"
pass "a close request hid 'Voz Alarm Set' at $(date +%T), the alarm at $ALARM_CLOCK still to come"
choose_menu_item "Alarm Set"
poll_until 10 window_viewable "$alarm_set" || fail "the tray menu did not show 'Voz Alarm Set' again"

# 3. A double-click on the new entry opens "Input message"; the typed message is saved.
add_message "$alarm_set" "Tea time"

# 4. The list saved through the chooser as gui.dat: the alarm, then its message.
save_list_as "$alarm_set" gui
no_window_title '^Voz Warning Message$' || fail "a warning showed when saving as 'gui'"
expect_file gui.dat "the alarm once $first_clock and its message" '"once %s"\r\n"Tea time at %s"\r\n' \
    "$first_clock" "$first_clock"

# 5. The alarm fires: its message shows and the song plays.
park_pointer
wait_for_alarm_window $((ALARM_AT - $(date +%s) + 10))
expect_sound
lines=$(message_text_lines "$MESSAGE_WIN" "$SHOT_DIR/message_tea_time.png")
((lines >= 1)) || fail "the 'Message' window shows no text"
screenshot message >/dev/null
close_with "$MESSAGE_WIN" message.ok '^Message'

# 6. Automatic load switched on in the Settings window and stored on Close as record 4.
open_from_menu Settings '^Voz setting$'
click_control "$WIN" settings.autoload
sleep 0.3
screenshot settings >/dev/null
close_with "$WIN" settings.close '^Voz setting$'
record4() { cmp -s <(ini_record 4) <(printf '%-17s\x01\x00\x01\x00%-30s' '[Setting]' AutomaticLoadOn); }
poll_until 5 record4 ||
    { ini_record 4 | od -c | sed 's/^/        /'; fail "voz.ini's record 4 is not [Setting], 1, 1, AutomaticLoadOn"; }
pass "Close stored record 4: [Setting], sound on 1, error message 1, AutomaticLoadOn"

# 7. A second alarm saved as my.dat comes back after a restart and fires.
avoid_midnight
type_alarm "$alarm_set" $(($(date +%s) + 35))
second_clock=$ALARM_CLOCK
click_control "$alarm_set" alarm_set.add
sleep 0.5
no_window_title '^Voz Warning Message$' || fail "Add on the typed time $second_clock brought a warning"
add_message "$alarm_set" "Lunch"
screenshot alarm_set_second >/dev/null
save_list_as "$alarm_set" my
no_window_title '^Voz Warning Message$' || fail "a warning showed when saving as 'my'"
# The fired alarm and its message have left the list.
expect_file my.dat "just the alarm once $second_clock and its message" '"once %s"\r\n"Lunch at %s"\r\n' \
    "$second_clock" "$second_clock"

stop_voz
start_voz_in_tray "after the restart"
park_pointer
(($(date +%s) < ALARM_AT)) || fail "the restart took until $(date +%T), past the alarm at $second_clock"
wait_for_alarm_window 45
expect_sound 5 "the reloaded alarm"
screenshot message_after_restart >/dev/null
passed_while_voz_runs "after the reloaded alarm"
