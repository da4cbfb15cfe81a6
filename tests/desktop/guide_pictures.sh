#!/usr/bin/env bash
# Every window of Voz opened the way a user opens it (tray menu, buttons, a double-click, an
# alarm going off) and pictured on its own; the user guide in the README shows these pictures
# (scripts/update-guide-pictures.sh copies them to docs/pictures/).
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

centre() { echo $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)); }
read -r SAVEFILE_X SAVEFILE_Y < <(centre 1560 3720 252 252)
read -r SETTINGS_CLOSE_X SETTINGS_CLOSE_Y < <(centre 3480 1920 612 372)
read -r MSG_SAVE_X MSG_SAVE_Y < <(centre 2040 2280 972 372)
read -r NAME_X NAME_Y < <(centre 240 3240 3132 264)
read -r NO_X NO_Y < <(centre 2280 720 732 252)
read -r WARN_OK_X WARN_OK_Y < <(centre 1320 1200 732 372)
read -r ERR_OK_X ERR_OK_Y < <(centre 1800 1440 732 372)
read -r ADD_X ADD_Y < <(centre 5520 1680 612 372)
read -r WALL_CLOSE_X WALL_CLOSE_Y < <(centre 4560 3600 852 372)
FIRST_ITEM_X=$((1812 / 2 / 15 + 8)) FIRST_ITEM_Y=$((360 / 15 + 9))

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
start_voz
wait_for_tray_icon 30 || fail "no icon in the tray"

picture '^Voz load data error$' load_error
errors=$WIN
click_in_window "$errors" "$ERR_OK_X" "$ERR_OK_Y" || fail "could not click OK"
wait_for_no_window '^Voz load data error$' 10 || fail "the load error window stayed"

choose_menu_item About
picture '^ $' about
about=$WIN
press_keys Return
wait_for_no_window '^ $' 10 || fail "About stayed open after Return"

choose_menu_item Settings
picture '^Voz setting$' settings
settings=$WIN
click_in_window "$settings" "$SETTINGS_CLOSE_X" "$SETTINGS_CLOSE_Y" || fail "could not click Close"
wait_for_no_window '^Voz setting$' 10 || fail "Settings stayed open"

choose_menu_item "Alarm Set"
picture '^Voz Alarm Set$' alarm_set
alarm_set=$WIN

# "Add" with no time typed: the warning window.
click_in_window "$alarm_set" "$ADD_X" "$ADD_Y" || fail "could not click Add"
picture '^Voz Warning Message$' warning
warning=$WIN
click_in_window "$warning" "$WARN_OK_X" "$WARN_OK_Y" || fail "could not click OK"
wait_for_no_window '^Voz Warning Message$' 10 || fail "the warning stayed"

window_geometry "$alarm_set"
move_pointer $((WIN_X + FIRST_ITEM_X)) $((WIN_Y + FIRST_ITEM_Y)) || fail "could not reach the alarm list"
xdotool click --repeat 2 --delay 80 1
picture '^Input message$' input_message
input=$WIN
# "Save" puts the message back (opening the window took it out of the list).
click_in_window "$input" "$MSG_SAVE_X" "$MSG_SAVE_Y" || fail "could not click Save"
wait_for_no_window '^Input message$' 10 || fail "'Input message' stayed open"

click_in_window "$alarm_set" "$SAVEFILE_X" "$SAVEFILE_Y" || fail "could not click the save button"
picture '^Voz files$' file_chooser
chooser=$WIN
click_in_window "$chooser" "$NAME_X" "$NAME_Y" || fail "could not click the name box"
xdotool type --delay 60 my
press_keys Return
picture '^Voz Warning Message$' overwrite
confirm=$WIN
click_in_window "$confirm" "$NO_X" "$NO_Y" || fail "could not click No"
wait_for_no_window '^Voz Warning Message$' 10 || fail "the confirmation stayed"
wait_for_no_window '^Voz files$' 10 || press_keys Escape

choose_menu_item Wallpaper
picture '^Voz Wallpaper$' wallpaper
wallpaper=$WIN
click_in_window "$wallpaper" "$WALL_CLOSE_X" "$WALL_CLOSE_Y" || fail "could not click Close"
wait_for_no_window '^Voz Wallpaper$' 10 || fail "the wallpaper window stayed"

wait_for_clock "$alarm_at" || fail "the clock never reached $alarm"
picture '^Message' message
screenshot desktop >/dev/null
voz_running || fail "voz ended"
scenario_passed
