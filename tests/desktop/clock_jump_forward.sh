#!/usr/bin/env bash
# The clock jumps forward over alarm A (a resume, a time change): A is shown as missed at once,
# without sound, and alarm B a few seconds later still rings at its own second with its message.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"
# shellcheck source=fake_clock.sh
source "$(dirname "$0")/fake_clock.sh"

harness_start
write_autoload_ini
start=$(date -d "$(date +%F) 10:00:00" +%s)
A=$((start + 120)) B=$((start + 126))
write_program_file my.dat '"once %s"\r\n"once %s"\r\n"Alarm A at %s"\r\n"Alarm B at %s"\r\n' \
    "$(fake_time "$A")" "$(fake_time "$B")" "$(fake_time "$A")" "$(fake_time "$B")"
note "alarm A at $(fake_time "$A"), alarm B at $(fake_time "$B")"
start_recording "$WORK_DIR/sound.wav"
record_start_now
start_voz_on_fake_clock "$start"
# Some ticks on the loaded list first, so that the jump meets alarm A already read as the next one.
wait_for_fake_clock $(($(fake_now) + 3)) || fail "the program's clock stands still"
(($(fake_now) < A - 10)) || fail "the program took until $(fake_time "$(fake_now)") to start"

fake_clock_set $((A + 2))
message=$(wait_for_window_title '^Message' 10) || fail "alarm A was not shown as missed by $(fake_time "$(fake_now)")"
shown=$(fake_now)
((shown < B)) || fail "alarm A was shown as missed only at $(fake_time "$shown"), after B's second"
pass "alarm A shown as missed at $(fake_time "$shown"), before B's second"

poll_until $((B - $(fake_now) + 10)) sound_flowing || fail "no sound for alarm B by $(fake_time "$(fake_now)")"
poll_until 8 sound_silent 1 || fail "the sound still plays at $(fake_time "$(fake_now)"), long after one song"
stop_recording
onset=$(awk -v s="$RECORD_START" -v o="$(sound_onset "$WORK_DIR/sound.wav")" 'BEGIN { printf "%.3f\n", s + o }')
late=$(awk -v f="$(fake_of "$onset")" -v b="$B" 'BEGIN { printf "%.2f\n", f - b }')
# The first sound of the whole recording: the missed alarm A made none.
between "$late" -0.3 2.0 || fail "the first sound began $late s from B's second"
pass "alarm B rang at its second (sound from +$late s), nothing before it"

expect_message_lines "$message" message_window -ge 3 "A's missed line, its message and B's message"
screenshot rang_b >/dev/null
passed_while_voz_runs
