#!/usr/bin/env bash
# On a faked clock that starts at 10:01, with alarms loaded from my.dat and record 5 (change box,
# 5 minutes, priority order) loading the wallpaper window hidden:
#  1. the clock jumps forward over alarm A (a resume, a time change): A is shown as missed at
#     once, without sound, and alarm B a few seconds later still rings at its own second;
#  2. the timed change on a plain X11 desktop changes the root window's picture at 10:05 and
#     10:10, in list order (a .bmp, then a .jpg through tmpFile.bmp), with no window shown and
#     nothing changed before each due minute;
#  3. the clock jumps from 23:59:30 to 00:00:20 over a "thrice" alarm at 23:59:45: within the
#     first minute of the new day it is shown as missed ("alarm at" and its message), without
#     sound, and on the next evening nothing rings at 23:59:45.
# shellcheck source=harness.sh disable=SC2034,SC2119,SC2317
source "$(dirname "$0")/harness.sh"
# shellcheck source=fake_clock.sh
source "$(dirname "$0")/fake_clock.sh"

BLUE="32 96 192" GREEN="48 160 64"

# expect_change_at EPOCH "R G B" NAME: the clock is moved to 4 s before EPOCH; the desktop keeps
# its picture until EPOCH and shows NAME's colour within 3 s of it.
expect_change_at()
{
    local due=$1 before
    before=$(root_rgb)
    fake_clock_set $((due - 4))
    sleep 2
    [[ $(root_rgb) == "$before" ]] || fail "the desktop changed at $(fake_time "$(fake_now)"), before $(fake_time "$due")"
    poll_until 10 root_shows "$2" || fail "the desktop shows $(root_rgb) at $(fake_time "$(fake_now)"), not $3's colour ($2) due at $(fake_time "$due")"
    local at
    at=$(fake_now)
    ((at >= due && at <= due + 3)) || fail "$3 showed at $(fake_time "$at"), due at $(fake_time "$due")"
    root_pixmap_set || fail "no _XROOTPMAP_ID with $3 shown"
    pass "the schedule showed $3 at $(fake_time "$at") (due $(fake_time "$due"))"
}

harness_start
make_pictures "a.bmp:$BLUE" "c.jpg:$GREEN"
write_program_file Wpaper.dat '"a.bmp"\r\n"c.jpg"\r\n'
# Record 5: keep, change, priority, "5 min", the window at 0,0.
write_autoload_ini '%-17s\x00\x00\x00\x00%-30s' '[WallpaperLoc]' 'CheckCheckPrior 0'
start=$(date -d "$(date +%F) 10:01:00" +%s)
A=$((start + 120)) B=$((start + 126)) evening=$(date -d "$(date +%F) 23:59:45" +%s)
write_program_file my.dat \
    '"once %s"\r\n"once %s"\r\n"thrice 23:59:45"\r\n"Alarm A at %s"\r\n"Alarm B at %s"\r\n"Late call at 23:59:45"\r\n' \
    "$(fake_time "$A")" "$(fake_time "$B")" "$(fake_time "$A")" "$(fake_time "$B")"
note "alarm A at $(fake_time "$A"), alarm B at $(fake_time "$B")"
start_recording "$WORK_DIR/sound.wav"
VOZ_ENV=(XDG_CURRENT_DESKTOP= XDG_SESSION_TYPE=x11 WAYLAND_DISPLAY=)
start_voz_on_fake_clock "$start"
# Some ticks on the loaded list first, so that the jump meets alarm A already read as the next one.
wait_for_fake_clock $(($(fake_now) + 3)) || fail "the program's clock stands still"
(($(fake_now) < A - 10)) || fail "the program took until $(fake_time "$(fake_now)") to start"
no_window_title '^Voz Wallpaper$' || fail "the wallpaper window showed at start; record 5 loads it hidden"
! root_pixmap_set || fail "a wallpaper was set at start, before any change was due"

# ---- 1. the jump over alarm A -------------------------------------------------------------
fake_clock_set $((A + 2))
message=$(wait_for_window_title '^Message' 10) || fail "alarm A was not shown as missed by $(fake_time "$(fake_now)")"
shown=$(fake_now)
((shown < B)) || fail "alarm A was shown as missed only at $(fake_time "$shown"), after B's second"
pass "alarm A shown as missed at $(fake_time "$shown"), before B's second"

poll_until $((B - $(fake_now) + 10)) sound_flowing || fail "no sound for alarm B by $(fake_time "$(fake_now)")"
poll_until 8 sound_silent 1 || fail "the sound still plays at $(fake_time "$(fake_now)"), long after one song"
stop_recording
late=$(awk -v f="$(fake_of "$(sound_onset "$WORK_DIR/sound.wav")")" -v b="$B" 'BEGIN { printf "%.2f\n", f - b }')
# The first sound of the whole recording: the missed alarm A made none.
between "$late" -0.3 2.0 || fail "the first sound began $late s from B's second"
pass "alarm B rang at its second (sound from +$late s), nothing before it"

expect_message_lines "$message" message_window -ge 3 "A's missed line, its message and B's message"
screenshot rang_b >/dev/null

# ---- 2. the wallpaper schedule ------------------------------------------------------------
expect_change_at $((start + 4 * 60)) "$BLUE" a.bmp
screenshot scheduled_first >/dev/null
expect_change_at $((start + 9 * 60)) "$GREEN" c.jpg
screenshot scheduled_second >/dev/null
[[ -s $PICTURES/tmpFile.bmp ]] || fail "c.jpg did not go through tmpFile.bmp in the pictures folder"
no_window_title '^Voz Wallpaper$' || fail "the wallpaper window showed during the changes"
no_window_title '^Voz Warning Message$' || fail "a warning showed during the changes"

# ---- 3. over midnight ---------------------------------------------------------------------
close_with "$message" message.ok '^Message'
start_recording "$WORK_DIR/midnight.wav"
fake_clock_set $((evening - 20))
wait_for_fake_clock $((evening - 15)) || fail "the program's clock did not reach 23:59:30"
(($(fake_now) <= evening - 10)) || fail "the program's clock is already at $(fake_time "$(fake_now)")"
no_window_title '^Message' || fail "a 'Message' window before the alarm"

midnight=$((evening + 15))
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
next=$((evening + 86400))
fake_clock_set $((next - 6))
wait_for_fake_clock $((next + 4)) || fail "the program's clock did not pass the next evening's 23:59:45"
stop_recording
rms=$(sound_rms "$RECORD_FILE")
below "$rms" 0.001 || fail "sound was played (RMS $rms over the recording)"
after=$(message_text_lines "$message" "$SHOT_DIR/next_evening.png")
((after == lines)) || fail "the message window went from $lines to $after lines on the next evening"
screenshot next_evening >/dev/null
pass "no sound at all, nothing new on the next evening (RMS $rms)"
passed_while_voz_runs
