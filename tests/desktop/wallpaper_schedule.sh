#!/usr/bin/env bash
# The timed change on a plain X11 desktop: record 5 saved with the change box checked, 5 minutes
# and priority order loads the wallpaper window hidden at start, and its schedule changes the
# root window's picture at 10:05 and 10:10 of a faked clock, in list order (a .bmp, then a .jpg
# through tmpFile.bmp), with no window shown and nothing changed before each due minute.
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
# Records 1 to 4 empty; record 5: keep, change, priority, "5 min", the window at 0,0.
zeros=$(printf '\\x00%.0s' {1..204})
write_program_file voz.ini "${zeros}%-17s\\x00\\x00\\x00\\x00%-30s" '[WallpaperLoc]' 'CheckCheckPrior 0'

start=$(date -d "$(date +%F) 10:01:00" +%s)
VOZ_ENV=(XDG_CURRENT_DESKTOP= XDG_SESSION_TYPE=x11 WAYLAND_DISPLAY=)
start_voz_on_fake_clock "$start"
wait_for_fake_clock $(($(fake_now) + 2)) || fail "the program's clock stands still"
no_window_title '^Voz Wallpaper$' || fail "the wallpaper window showed at start; record 5 loads it hidden"
! root_pixmap_set || fail "a wallpaper was set at start, before any change was due"

expect_change_at $((start + 4 * 60)) "$BLUE" a.bmp
screenshot scheduled_first >/dev/null
expect_change_at $((start + 9 * 60)) "$GREEN" c.jpg
screenshot scheduled_second >/dev/null
[[ -s $PICTURES/tmpFile.bmp ]] || fail "c.jpg did not go through tmpFile.bmp in the pictures folder"
no_window_title '^Voz Wallpaper$' || fail "the wallpaper window showed during the changes"
no_window_title '^Voz Warning Message$' || fail "a warning showed during the changes"
passed_while_voz_runs
