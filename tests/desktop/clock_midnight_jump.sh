#!/usr/bin/env bash
# The clock jumps from 23:59:30 to 00:00:20 over an alarm at 23:59:45: within the first minute of
# the new day it is shown as missed ("alarm at" and its message), without sound, and on the next
# evening nothing rings at 23:59:45.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"
# shellcheck source=fake_clock.sh
source "$(dirname "$0")/fake_clock.sh"

harness_start
write_autoload_ini
day=$(date +%F)
start=$(date -d "$day 23:59:00" +%s)
alarm=$(date -d "$day 23:59:45" +%s)
write_program_file my.dat '"thrice 23:59:45"\r\n"Late call at 23:59:45"\r\n'
start_recording "$WORK_DIR/sound.wav"
start_voz_on_fake_clock "$start"
wait_for_fake_clock $((start + 30)) || fail "the program's clock did not reach 23:59:30"
((($(fake_now) - start) <= 35)) || fail "the program's clock is already at $(fake_time "$(fake_now)")"
no_window_title '^Message' || fail "a 'Message' window before the alarm"

midnight=$(date -d "$day 23:59:45 15 seconds" +%s)
fake_clock_set $((midnight + 20))
message=$(wait_for_window_title '^Message' 45) || fail "no 'Message' window by $(fake_time "$(fake_now)")"
shown=$(fake_now)
((shown < midnight + 62)) || fail "the alarm was shown as missed only at $(fake_time "$shown")"
# "alarm at" shows first, the alarm's message joins it a moment later.
two_lines() { lines=$(message_text_lines "$message" "$SHOT_DIR/missed_window.png"); ((lines >= 2)); }
poll_until 10 two_lines || fail "the message window shows $lines line(s), not 'alarm at' and the message"
screenshot missed >/dev/null
pass "the 23:59:45 alarm shown as missed at $(fake_time "$shown") with $lines lines"

# The next evening: nothing left to ring at 23:59:45.
next=$((alarm + 86400))
fake_clock_set $((next - 6))
wait_for_fake_clock $((next + 4)) || fail "the program's clock did not pass the next evening's 23:59:45"
stop_recording
rms=$(sound_rms "$WORK_DIR/sound.wav")
below "$rms" 0.001 || fail "sound was played (RMS $rms over the recording)"
after=$(message_text_lines "$message" "$SHOT_DIR/next_evening.png")
((after == lines)) || fail "the message window went from $lines to $after lines on the next evening"
screenshot next_evening >/dev/null
pass "no sound at all, nothing new on the next evening (RMS $rms)"
passed_while_voz_runs
