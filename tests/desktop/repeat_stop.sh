#!/usr/bin/env bash
# A "repeat" alarm plays the song over and over until a left click on the tray icon stops it;
# the sound then stays off and the message window stays up.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

start_with_alarm repeat 8 "Until stopped"
wait_for_alarm_window
expect_sound
# Past the end of the first song, so the sound heard now comes from playing it again.
sleep 3
sound_flowing 1 || fail "the sound stopped within 3 s (RMS $(recording_rms "$RECORD_FILE" 1) in the last second)"
pass "the song still plays 3 s after it began"

click_tray_icon 1 || fail "cannot click the tray icon"
park_pointer
clicked=$SECONDS
poll_until 3 sound_silent 1 || fail "still sound in the last second, $((SECONDS - clicked)) s after the left click"
pass "a left click on the icon stopped the sound"
sleep 3  # stopped for good: nothing starts it again
last=$(recording_rms "$RECORD_FILE" 3)
below "$last" 0.001 || fail "sound again after the stop (RMS $last over the last 3 s)"
stop_recording
rms=$(sound_active_rms "$RECORD_FILE")
active=$(sound_active_length "$RECORD_FILE")
note "sound: RMS $rms over $active s, then RMS $last for 3 s"
above "$active" 2.5 || fail "sound for only $active s before the click"
pass "the song played for $active s (RMS $rms), then silence (RMS $last)"

message=$(find_window_title '^Message') || fail "the 'Message' window went away with the sound"
window_viewable "$message" || fail "the 'Message' window is no longer shown"
pass "the 'Message' window still shows"
screenshot stopped >/dev/null
passed_while_voz_runs "after the stop"
