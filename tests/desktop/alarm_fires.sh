#!/usr/bin/env bash
# A "once" alarm loaded from my.dat at start plays the song one time at its second and shows its
# message in the "Message" window, whose title then carries the running date and time.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
prepare_alarm once 8 "Wake up"
start_voz
wait_for_tray_icon 30 || fail "no icon in the tray"
park_pointer

message=$(wait_for_window_title '^Message' 40) || fail "no 'Message' window by $(date +%T) for the alarm at $ALARM_CLOCK"
shown_at=$(date +%s)
((shown_at >= ALARM_AT && shown_at <= ALARM_AT + 3)) ||
    fail "the 'Message' window showed at $(clock_at "$shown_at"), the alarm was at $ALARM_CLOCK"
pass "the 'Message' window showed at $(clock_at "$shown_at") for the alarm at $ALARM_CLOCK"

# The song is 2 s long: wait for it to end, and for a second of silence after it.
poll_until 5 sound_flowing || fail "no sound reached the sink by $(date +%T)"
poll_until 8 sound_silent 1 || fail "the sound still plays at $(date +%T), long after one song"
stop_recording
rms=$(sound_active_rms "$WORK_DIR/sound.wav")
active=$(sound_active_length "$WORK_DIR/sound.wav")
onset=$(awk -v s="$RECORD_START" -v o="$(sound_onset "$WORK_DIR/sound.wav")" -v a="$ALARM_AT" \
    'BEGIN { printf "%.2f\n", s + o - a }')
note "sound: RMS $rms over $active s, starting $onset s after the alarm's second"
above "$rms" 0.02 || fail "the song reached the sink only at RMS $rms"
between "$active" 1.2 3.0 || fail "sound for $active s, not one 2 s song"
between "$onset" -0.3 2.0 || fail "the sound began $onset s from the alarm's second"
pass "the song played once at the alarm (RMS $rms, $active s, from +$onset s)"

# The title now shows "Message  " and the date and time, and keeps up with the clock.
title_is_clock()
{
    title=$(xdotool getwindowname "$message" 2>/dev/null) &&
        [[ $title =~ ^Message\ \ [^\ ].*[0-9]{1,2}:[0-9]{2}:[0-9]{2} ]]
}
poll_until 3 title_is_clock || fail "the window's title is '$title', not 'Message  ' with the date and time"
first=$title
[[ $first == *"$(date +%y)"* || $first == *"$(date +%Y)"* ]] || fail "no year in the title '$first'"
title_moved_on() { title_is_clock && [[ $title != "$first" ]]; }
poll_until 3 title_moved_on || fail "the title stays '$first'"
now=$(date +%T)
[[ $title =~ ([0-9]{1,2}):([0-9]{2}):([0-9]{2}) ]]
behind=$(((10#$(date -d "$now" +%s) - 10#$(date -d "${BASH_REMATCH[0]}" +%s) + 86400) % 86400))
((behind <= 2)) || fail "the title '$title' is $behind s behind the clock ($now)"
pass "the title went from '$first' to '$title'"

lines=$(message_text_lines "$message" "$SHOT_DIR/message_window.png")
((lines == 1)) || fail "the message window shows $lines lines of text, not the one message"
pass "the message window shows one line of text"
screenshot message >/dev/null
voz_running || fail "voz ended after the alarm"
scenario_passed
