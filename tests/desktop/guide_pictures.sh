#!/usr/bin/env bash
# Every window of Voz opened the way a user opens it (tray menu, buttons, a double-click, an
# alarm going off) and pictured on its own; the user guide in the README shows these pictures
# (scripts/update-guide-pictures.sh copies them to docs/pictures/).
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"


# picture TITLE_REGEX NAME: waits for the window and keeps a picture of it alone; WIN is its id.
picture()
{
    local win
    win=$(wait_for_window_title "$1" 20) || fail "no window '$1'"
    WIN=$win
    park_pointer
    sleep 0.6
    capture_window "$win" "$SHOT_DIR/$2.png" || fail "could not picture '$1'"
    # A picture of an unpainted window is one flat colour.
    (($(convert "$SHOT_DIR/$2.png" -format '%k' info:) > 8)) || fail "the picture of '$1' is blank"
    pass "pictured '$1' as $2.png"
}

harness_start
avoid_midnight
write_autoload_ini
alarm_at=$(($(date +%s) + 45))
alarm=$(clock_at "$alarm_at")
# One bad line, so that the load error window shows too; the good alarm carries a message.
write_program_file my.dat '"once %s"\r\n"Water the plants at %s"\r\n"sometimes 08:00:00"\r\n' "$alarm" "$alarm"
start_voz_in_tray

picture '^Voz load data error$' load_error
errors=$WIN
click_control "$errors" load_error.ok
wait_for_no_window '^Voz load data error$' 10 || fail "the load error window stayed"

choose_menu_item About
picture '^ $' about
press_keys Return
wait_for_no_window '^ $' 10 || fail "About stayed open after Return"

choose_menu_item Settings
picture '^Voz setting$' settings
settings=$WIN
click_control "$settings" settings.close
wait_for_no_window '^Voz setting$' 10 || fail "Settings stayed open"

choose_menu_item "Alarm Set"
picture '^Voz Alarm Set$' alarm_set
alarm_set=$WIN

# "Add" with no time typed: the warning window.
click_control "$alarm_set" alarm_set.add
picture '^Voz Warning Message$' warning
warning=$WIN
click_control "$warning" warning.ok
wait_for_no_window '^Voz Warning Message$' 10 || fail "the warning stayed"

double_click_first_alarm "$alarm_set"
picture '^Input message$' input_message
input=$WIN
# "Save" puts the message back (opening the window took it out of the list).
click_control "$input" input.save
wait_for_no_window '^Input message$' 10 || fail "'Input message' stayed open"

click_control "$alarm_set" alarm_set.save
picture '^Voz files$' file_chooser
chooser=$WIN
click_control "$chooser" files.name
xdotool type --delay 60 my
press_keys Return
picture '^Voz Warning Message$' overwrite
confirm=$WIN
click_control "$confirm" overwrite.no
wait_for_no_window '^Voz Warning Message$' 10 || fail "the confirmation stayed"
wait_for_no_window '^Voz files$' 10 || press_keys Escape

choose_menu_item Wallpaper
picture '^Voz Wallpaper$' wallpaper
wallpaper=$WIN
click_control "$wallpaper" wallpaper.close
wait_for_no_window '^Voz Wallpaper$' 10 || fail "the wallpaper window stayed"

wait_for_clock "$alarm_at" || fail "the clock never reached $alarm"
picture '^Message' message
screenshot desktop >/dev/null
passed_while_voz_runs
