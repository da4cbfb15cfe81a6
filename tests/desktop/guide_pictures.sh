#!/usr/bin/env bash
# Every window of Voz opened the way a user opens it (tray menu, buttons, a double-click, an
# alarm going off) and pictured on its own; the user guide in the README shows these pictures
# (scripts/update-guide-pictures.sh copies them to docs/pictures/). On the way: a my.dat with two
# bad lines lists the file and each bad entry in "Voz load data error" while its good alarm still
# loads and goes off; "Help" without a help file warns, and OK closes the warning.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

# picture TITLE_REGEX NAME: waits for the window and keeps a picture of it alone; WIN is its id.
picture()
{
    WIN=$(wait_for_window_title "$1" 20) || fail "no window '$1'"
    park_pointer
    sleep 0.6
    capture_window "$WIN" "$SHOT_DIR/$2.png" || fail "could not picture '$1'"
    # A picture of an unpainted window is one flat colour.
    (($(convert "$SHOT_DIR/$2.png" -format '%k' info:) > 8)) || fail "the picture of '$1' is blank"
    pass "pictured '$1' as $2.png"
}

harness_start
avoid_midnight
write_autoload_ini
remove_program_file help.chm
start_recording "$WORK_DIR/sound.wav"
alarm_at=$(($(date +%s) + 50))
alarm=$(clock_at "$alarm_at")
# Lines 1 and 3 are bad (an unknown play word, no time at all); the good ones follow each. No
# descenders in the message: text_lines would count their rows as a line.
write_program_file my.dat '"sometimes 08:00:00"\r\n"once %s"\r\n"junk"\r\n"Water the flowers at %s"\r\n' \
    "$alarm" "$alarm"
start_voz_in_tray

picture '^Voz load data error$' load_error
window_geometry "$WIN"
lines=$(text_lines "$SHOT_DIR/load_error.png" 10 10 $((WIN_W - 20)) 70)
((lines == 3)) || fail "the error list shows $lines lines, not the file name and two errors"
close_with "$WIN" load_error.ok '^Voz load data error$'

choose_menu_item Help
picture '^Voz Warning Message$' help_warning
window_geometry "$WIN"
((WIN_W == 229 && WIN_H == 114)) || fail "the warning window is ${WIN_W}x${WIN_H}, not 229x114"
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
close_with "$WIN" warning.ok '^Voz Warning Message$'
find_tray_icon || fail "the tray icon went away after the warning"

choose_menu_item About
picture '^ $' about
press_keys Return
wait_for_no_window '^ $' 10 || fail "About stayed open after Return"

choose_menu_item Settings
picture '^Voz setting$' settings
close_with "$WIN" settings.close '^Voz setting$'

choose_menu_item "Alarm Set"
picture '^Voz Alarm Set$' alarm_set
alarm_set=$WIN

# "Add" with no time typed: the warning window.
click_control "$alarm_set" alarm_set.add
picture '^Voz Warning Message$' warning
close_with "$WIN" warning.ok '^Voz Warning Message$'

double_click_first_alarm "$alarm_set"
picture '^Input message$' input_message
# "Save" puts the message back (opening the window took it out of the list).
close_with "$WIN" input.save '^Input message$'

click_control "$alarm_set" alarm_set.save
picture '^Voz files$' file_chooser
click_control "$WIN" files.name
xdotool type --delay 60 my
press_keys Return
picture '^Voz Warning Message$' overwrite
close_with "$WIN" overwrite.no '^Voz Warning Message$'
wait_for_no_window '^Voz files$' 10 || press_keys Escape

choose_menu_item Wallpaper
picture '^Voz Wallpaper$' wallpaper
close_with "$WIN" wallpaper.close '^Voz Wallpaper$'

wait_for_clock "$alarm_at" || fail "the clock never reached $alarm"
expect_sound 5 "the good alarm"
picture '^Message' message
expect_message_lines "$WIN" message_lines -eq 1 "the one message"
screenshot desktop >/dev/null
passed_while_voz_runs
