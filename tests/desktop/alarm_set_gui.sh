#!/usr/bin/env bash
# The Alarm Set window driven through its own controls: an alarm typed into the time boxes and
# added with Return gets a message by a double-click and "Save", is saved to gui.dat through the
# "Voz files" chooser, and fires with its message and sound. The Settings window's automatic-load
# box, stored on "Close", makes a list saved as my.dat come back and fire after a restart.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

# type_alarm WIN EPOCH: types that second's time of day into the hour, minute and second boxes
# (12-hour clock), flips AM/PM with the up button when the box (AM_SHOWN) holds the other half of
# the day. ALARM_CLOCK: the alarm as HH:MM:SS.
type_alarm()
{
    local win=$1 at=$2 h24 box value
    ALARM_CLOCK=$(clock_at "$at")
    h24=$((10#$(date -d "@$at" +%H)))
    local values=($(((h24 + 11) % 12 + 1)) "$(date -d "@$at" +%M)" "$(date -d "@$at" +%S)")
    local boxes=(hour minute second)
    for box in 0 1 2; do
        value=${values[box]}
        click_control "$win" "alarm_set.${boxes[box]}"
        press_keys ctrl+a
        xdotool type --delay 60 "$value"
    done
    local half=AM
    ((h24 >= 12)) && half=PM
    if [[ $half != "$AM_SHOWN" ]]; then
        click_control "$win" alarm_set.am_pm
        AM_SHOWN=$half
    fi
    note "typed ${values[*]} for the alarm at $ALARM_CLOCK"
}

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

# save_list_as WIN NAME: the save button, then NAME typed into the chooser and Return.
save_list_as()
{
    click_control "$1" alarm_set.save
    local chooser
    chooser=$(wait_for_window_title '^Voz files$' 10) || fail "no 'Voz files' window after the save button"
    # A window left black is noted and fails the scenario at the end, so the steps after it still run.
    poll_until 5 window_painted "$chooser" || note_fault "the 'Voz files' window opened for '$2' stayed unpainted (black)"
    click_control "$chooser" files.name
    xdotool type --delay 60 "$2"
    sleep 0.3
    screenshot "chooser_$2" >/dev/null
    press_keys Return
    wait_for_no_window '^Voz files$' 10 || fail "the chooser stayed open after Return with the name '$2'"
    no_window_title '^Voz Warning Message$' || fail "a warning showed when saving as '$2'"
}

harness_start
avoid_midnight
remove_program_file my.dat
remove_program_file voz.ini
start_voz_in_tray
start_recording "$WORK_DIR/sound.wav"

# 1. An alarm typed into the Alarm Set window and added with Return.
choose_menu_item "Alarm Set"
alarm_set=$(wait_for_window_title '^Voz Alarm Set$' 20) || fail "no 'Voz Alarm Set' window after Alarm Set"
pass "the tray menu's Alarm Set opened 'Voz Alarm Set'"
# The window starts at the present half of the day.
AM_SHOWN=AM
((10#$(date +%H) >= 12)) && AM_SHOWN=PM
first_at=$(($(date +%s) + 20))
type_alarm "$alarm_set" "$first_at"
first_clock=$ALARM_CLOCK
screenshot alarm_set_typed >/dev/null
press_keys Return
sleep 0.5
no_window_title '^Voz Warning Message$' || fail "Return on the typed time $first_clock brought a warning"
screenshot alarm_set_added >/dev/null

# 2. A double-click on the new entry opens "Input message"; the typed message is saved.
add_message "$alarm_set" "Tea time"

# 3. The list saved through the chooser as gui.dat: the alarm, then its message.
save_list_as "$alarm_set" gui
poll_until 5 file_is gui.dat '"once %s"\r\n"Tea time at %s"\r\n' "$first_clock" "$first_clock" || {
    show_bytes gui.dat
    fail "gui.dat does not hold the alarm once $first_clock and its message"
}
pass "gui.dat holds \"once $first_clock\" and \"Tea time at $first_clock\", each closed by CR LF"

# 4. The alarm fires: its message shows and the song reaches the sink.
park_pointer
message=$(wait_for_window_title '^Message' 40) || fail "no 'Message' window by $(date +%T) for the alarm at $first_clock"
shown_at=$(date +%s)
((shown_at >= first_at && shown_at <= first_at + 3)) ||
    fail "the 'Message' window showed at $(clock_at "$shown_at"), the alarm was at $first_clock"
expect_sound
pass "the alarm at $first_clock showed its message at $(clock_at "$shown_at") and played"
lines=$(message_text_lines "$message" "$SHOT_DIR/message_tea_time.png")
((lines >= 1)) || fail "the 'Message' window shows no text"
screenshot message >/dev/null
click_control "$message" message.ok
wait_for_no_window '^Message' 10 || fail "the 'Message' window stayed after OK"

# 5. Automatic load switched on in the Settings window and stored on Close as record 4.
choose_menu_item Settings
settings=$(wait_for_window_title '^Voz setting$' 20) || fail "no 'Voz setting' window after Settings"
click_control "$settings" settings.autoload
sleep 0.3
screenshot settings >/dev/null
click_control "$settings" settings.close
wait_for_no_window '^Voz setting$' 10 || fail "'Voz setting' stayed open after Close"
record4()
{
    cmp -s <(tail -c +$((3 * 51 + 1)) "$(program_file voz.ini)" | head -c 51) \
        <(printf '%-17s\x01\x00\x01\x00%-30s' '[Setting]' AutomaticLoadOn)
}
poll_until 5 record4 || {
    od -c -j 153 -N 51 "$(program_file voz.ini)" | sed 's/^/        /'
    fail "voz.ini's record 4 is not [Setting], 1, 1, AutomaticLoadOn"
}
pass "Close stored record 4: [Setting], sound on 1, error message 1, AutomaticLoadOn"

# 6. A second alarm saved as my.dat comes back after a restart and fires.
avoid_midnight
second_at=$(($(date +%s) + 35))
type_alarm "$alarm_set" "$second_at"
second_clock=$ALARM_CLOCK
click_control "$alarm_set" alarm_set.add
sleep 0.5
no_window_title '^Voz Warning Message$' || fail "Add on the typed time $second_clock brought a warning"
add_message "$alarm_set" "Lunch"
screenshot alarm_set_second >/dev/null
save_list_as "$alarm_set" my
# The fired alarm and its message have left the list.
poll_until 5 file_is my.dat '"once %s"\r\n"Lunch at %s"\r\n' "$second_clock" "$second_clock" || {
    show_bytes my.dat
    fail "my.dat does not hold just the alarm once $second_clock and its message"
}
pass "my.dat holds \"once $second_clock\" and \"Lunch at $second_clock\""

stop_voz
start_voz_in_tray "after the restart"
park_pointer
((10#$(date +%s) < second_at)) || fail "the restart took until $(date +%T), past the alarm at $second_clock"
message=$(wait_for_window_title '^Message' 45) || fail "no 'Message' window by $(date +%T) for the reloaded alarm at $second_clock"
shown_at=$(date +%s)
((shown_at >= second_at && shown_at <= second_at + 3)) ||
    fail "the 'Message' window showed at $(clock_at "$shown_at"), the reloaded alarm was at $second_clock"
expect_sound 5 "the reloaded alarm"
pass "the alarm at $second_clock, loaded from my.dat at start, fired at $(clock_at "$shown_at") and played"
screenshot message_after_restart >/dev/null
passed_while_voz_runs "after the reloaded alarm"
