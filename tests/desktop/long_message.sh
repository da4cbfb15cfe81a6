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
start_voz
wait_for_tray_icon 30 || fail "no icon in the tray"
park_pointer

message=$(wait_for_window_title '^Message' 30) || fail "no 'Message' window by $(date +%T) for the alarm at $ALARM_CLOCK"
shown_at=$(date +%s.%N)
late=$(awk -v s="$shown_at" -v a="$ALARM_AT" 'BEGIN { printf "%.2f\n", s - a }')
between "$late" -0.1 2.0 || fail "the 'Message' window showed $late s after the alarm's second $ALARM_CLOCK"
pass "the 'Message' window showed $late s after the alarm's second $ALARM_CLOCK"
poll_until 3 sound_flowing || fail "no sound reached the sink by $(date +%T)"
pass "the song plays"

# The clock goes on: the title carries the time and moves on.
title_is_clock()
{
    title=$(xdotool getwindowname "$message" 2>/dev/null) &&
        [[ $title =~ ^Message\ \ [^\ ].*[0-9]{1,2}:[0-9]{2}:[0-9]{2} ]]
}
poll_until 3 title_is_clock || fail "the window's title is '$title', not 'Message  ' with the date and time"
first=$title
title_moved_on() { title_is_clock && [[ $title != "$first" ]]; }
poll_until 3 title_moved_on || fail "the title stays '$first': the clock does not tick"
pass "the title went from '$first' to '$title'"

sleep 0.3
lines=$(message_text_lines "$message" "$SHOT_DIR/message_window.png")
((lines >= 3)) || fail "the message window shows $lines lines of text, not the wrapped start of the message"
pass "the message window shows $lines lines of the message"
screenshot message >/dev/null
voz_running || fail "voz ended"
scenario_passed
