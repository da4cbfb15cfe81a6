#!/usr/bin/env bash
# A "once" alarm loaded from my.dat at start plays the song one time at its second and shows its
# message in the "Message" window, whose title then carries the running date and time.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
prepare_alarm once 8 "Wake up"
start_voz_in_tray
park_pointer
# The sound output and the libraries it brings come with the first sound, not at start.
mapped() { grep -q "$1" "/proc/$VOZ_PID/maps"; }
! mapped libvozsound.so && ! mapped libQt6Multimedia || fail "the sound output was loaded before any sound"
wait_for_alarm_window

# The song is 2 s long: wait for it to end, and for a second of silence after it.
expect_sound
check_song 1.2 3.0 "one 2 s song"
onset=$(awk -v s="$RECORD_START" -v o="$(sound_onset "$RECORD_FILE")" -v a="$ALARM_AT" \
    'BEGIN { printf "%.2f\n", s + o - a }')
between "$onset" -0.3 2.0 || fail "the sound began $onset s from the alarm's second"
pass "the song played once at the alarm (RMS $SONG_RMS, $SONG_LENGTH s, from +$onset s)"
mapped libvozsound.so || fail "the song played, but not from the sound module"

# The title now shows "Message  " and the date and time, and keeps up with the clock.
wait_for_clock_title "$MESSAGE_WIN"
[[ $TITLE_FIRST == *"$(date +%y)"* || $TITLE_FIRST == *"$(date +%Y)"* ]] || fail "no year in the title '$TITLE_FIRST'"
now=$(date +%T)
[[ $TITLE =~ ([0-9]{1,2}):([0-9]{2}):([0-9]{2}) ]]
behind=$(((10#$(date -d "$now" +%s) - 10#$(date -d "${BASH_REMATCH[0]}" +%s) + 86400) % 86400))
((behind <= 2)) || fail "the title '$TITLE' is $behind s behind the clock ($now)"

expect_message_lines "$MESSAGE_WIN" message_window -eq 1 "the one message"
screenshot message >/dev/null
passed_while_voz_runs "after the alarm"
