#!/usr/bin/env bash
# A "twice" alarm plays the 2 s song two times back to back, then stops by itself.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
prepare_alarm twice 8 "Twice over"
start_voz
wait_for_tray_icon 30 || fail "no icon in the tray"
park_pointer

wait_for_window_title '^Message' 40 >/dev/null || fail "no 'Message' window by $(date +%T) for the alarm at $ALARM_CLOCK"
poll_until 5 sound_flowing || fail "no sound reached the sink by $(date +%T)"
# The gap between the two songs, if any, must stay under this second of silence.
poll_until 10 sound_silent 1 || fail "the sound still plays at $(date +%T), long after two songs"
stop_recording
rms=$(sound_active_rms "$WORK_DIR/sound.wav")
active=$(sound_active_length "$WORK_DIR/sound.wav")
note "sound: RMS $rms over $active s"
above "$rms" 0.02 || fail "the song reached the sink only at RMS $rms"
between "$active" 3.2 5.0 || fail "sound for $active s, not two 2 s songs"
pass "the song played twice (RMS $rms, $active s)"
screenshot message >/dev/null
voz_running || fail "voz ended after the alarm"
scenario_passed
