#!/usr/bin/env bash
# An alarm whose second passes while "Disabled" is checked makes no sound; once "Disabled" is
# unchecked it shows, by the next second 0 of a minute, in the "Message" window as
# "alarm at HH:MM:SS" with its message, still without sound.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

start_with_alarm once 15 "Missed meeting"
choose_menu_item Disabled
park_pointer
disabled_at=$(date +%s)
((disabled_at <= ALARM_AT - 2)) || fail "Disabled only at $(clock_at "$disabled_at"), too close to the alarm at $ALARM_CLOCK"
pass "Disabled chosen at $(clock_at "$disabled_at"), before the alarm at $ALARM_CLOCK"

wait_for_clock $((ALARM_AT + 3)) || fail "the clock did not reach $(clock_at $((ALARM_AT + 3)))"
no_window_title '^Message' || fail "a 'Message' window showed while Disabled was checked"
quiet=$(recording_rms "$RECORD_FILE")
below "$quiet" 0.001 || fail "sound while Disabled was checked (RMS $quiet)"
pass "nothing at the alarm's second while Disabled was checked"

choose_menu_item Disabled
park_pointer
enabled_at=$(date +%s)
# The next second 0 of a minute, plus the tick's slack.
due=$(((enabled_at / 60 + 1) * 60 + 2))
note "Disabled unchecked at $(clock_at "$enabled_at"); the missed alarm is due by $(clock_at "$due")"
message=$(wait_for_window_title '^Message' $((due - enabled_at + 3))) ||
    fail "no 'Message' window by $(date +%T) after Disabled was unchecked at $(clock_at "$enabled_at")"
shown_at=$(date +%s)
((shown_at <= due)) || fail "the 'Message' window only showed at $(clock_at "$shown_at")"
pass "the 'Message' window showed at $(clock_at "$shown_at")"

# Give any sound time to reach the sink before judging the silence.
sleep 3
stop_recording
rms=$(sound_rms "$WORK_DIR/sound.wav")
length=$(sound_length "$WORK_DIR/sound.wav")
note "sound: RMS $rms over the whole $length s recording"
below "$rms" 0.001 || fail "sound was played (RMS $rms over the recording)"
pass "no sound for the missed alarm (RMS $rms)"

expect_message_lines "$message" missed_window -ge 2 "the alarm's time and its message"
screenshot missed >/dev/null
passed_while_voz_runs "after the missed alarm"
