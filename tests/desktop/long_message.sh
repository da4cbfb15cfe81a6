#!/usr/bin/env bash
# A hand-edited my.dat whose message is one line of 1 MiB without a blank: the "Message" window
# shows within two seconds of the alarm, with the message's start, and the clock keeps ticking
# (its title moves on every second) while it shows.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
message_text=$(head -c 1048576 /dev/zero | tr '\0' x)
prepare_alarm once 12 "$message_text"
unset message_text
(($(stat -c %s "$(program_file my.dat)") > 1048576)) || fail "my.dat does not hold the 1 MiB message"
start_voz_in_tray
park_pointer

message=$(wait_for_window_title '^Message' 30) || fail "no 'Message' window by $(date +%T) for the alarm at $ALARM_CLOCK"
shown_at=$(date +%s.%N)
late=$(awk -v s="$shown_at" -v a="$ALARM_AT" 'BEGIN { printf "%.2f\n", s - a }')
between "$late" -0.1 2.0 || fail "the 'Message' window showed $late s after the alarm's second $ALARM_CLOCK"
pass "the 'Message' window showed $late s after the alarm's second $ALARM_CLOCK"
expect_sound 3
pass "the song plays"
# The clock goes on: the title carries the time and moves on.
wait_for_clock_title "$message"
sleep 0.3
expect_message_lines "$message" message_window -ge 3 "the wrapped start of the message"
screenshot message >/dev/null
passed_while_voz_runs
