#!/usr/bin/env bash
# A my.dat with two bad lines among good ones opens the "Voz load data error" window listing the
# file and one line per bad entry; the good entries still load, so their alarm goes off.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
avoid_midnight
write_autoload_ini
start_recording "$WORK_DIR/sound.wav"
alarm_at=$(($(date +%s) + 10))
alarm=$(clock_at "$alarm_at")
# Lines 1 and 3 are bad (an unknown play word, no time at all); the good ones follow each.
write_program_file my.dat '"sometimes 08:00:00"\r\n"once %s"\r\n"junk"\r\n"Still loaded at %s"\r\n' \
    "$alarm" "$alarm"
start_voz
note "good alarm at $alarm"

errors=$(wait_for_window_title '^Voz load data error$' 20) || fail "no 'Voz load data error' window"
pass "the 'Voz load data error' window opened"
park_pointer
sleep 0.3
capture_window "$errors" "$WORK_DIR/errors.png"
screenshot load_errors >/dev/null
window_geometry "$errors"
# The list: "my.dat" and one line for each of the two bad entries.
lines=$(text_lines "$WORK_DIR/errors.png" 10 10 $((WIN_W - 20)) 70)
((lines == 3)) || fail "the error list shows $lines lines, not the file name and two errors"
pass "the error list shows 3 lines: the file and two bad entries"

message=$(wait_for_window_title '^Message' 30) || fail "no 'Message' window by $(date +%T) for the good alarm at $alarm"
expect_sound 5 "the good alarm"
expect_message_lines "$message" message -eq 1 "the one message"
pass "the good alarm at $alarm went off with its message"
screenshot good_alarm >/dev/null
passed_while_voz_runs
