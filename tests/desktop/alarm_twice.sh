#!/usr/bin/env bash
# A "twice" alarm plays the 2 s song two times back to back, then stops by itself.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
prepare_alarm twice 8 "Twice over"
start_voz_in_tray
park_pointer
wait_for_alarm_window
expect_sound
# The gap between the two songs, if any, must stay under this second of silence.
check_song 3.2 5.0 "two 2 s songs" 10
pass "the song played twice (RMS $SONG_RMS, $SONG_LENGTH s)"
screenshot message >/dev/null
passed_while_voz_runs "after the alarm"
