#!/usr/bin/env bash
# The clock icon shows in the tray; a right-click opens the menu upward with its right edge at the
# pointer, holding eight items in three separated groups: About | Alarm Set, Settings, Wallpaper |
# Help, Stop | Disabled, Remove. "Disabled" swaps the icon for the crossed-out clock with a red
# lower right quarter and checks the item; an alarm whose second passes meanwhile makes no sound.
# Choosing it again brings back the very same clock icon, and the missed alarm shows by the next
# second 0 of a minute in the "Message" window ("alarm at" and its message), still without sound.
# "Remove" then takes the icon out of the tray and ends the program.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

start_with_alarm once 40 "Missed meeting"
pass "icon in the tray at ${TRAY_X},${TRAY_Y} (${TRAY_W}x${TRAY_H})"
park_pointer
capture_stable "$WORK_DIR/normal.png" capture_tray_icon || fail "cannot take a steady picture of the icon"
# A drawn clock: dark hands and ticks on a light face, not an empty or uniform square.
dark=$(count_pixels "$WORK_DIR/normal.png" 0 0 "$TRAY_W" "$TRAY_H" 'r < 90 && g < 90 && b < 90')
light=$(count_pixels "$WORK_DIR/normal.png" 0 0 "$TRAY_W" "$TRAY_H" 'r > 220 && g > 220 && b > 220')
((dark >= 20 && light >= 60)) || fail "the icon does not look like a clock face ($dark dark, $light light pixels)"
pass "the icon shows a clock face ($dark dark, $light light pixels)"
screenshot tray >/dev/null

open_tray_menu || fail "no menu after a right-click on the icon"
pass "right-click opened the menu (${MENU_W}x${MENU_H} at ${MENU_X},${MENU_Y})"
screenshot menu >/dev/null
right=$((MENU_X + MENU_W))
((right >= MENU_AT_X - 2 && right <= MENU_AT_X + 2)) ||
    fail "the menu's right edge is at x=$right, not at the pointer's x=$MENU_AT_X"
((MENU_Y + MENU_H <= MENU_AT_Y)) || fail "the menu does not open upward from the pointer (y=$MENU_AT_Y)"
pass "the menu opens upward with its right edge at the pointer"

# Walk the items with the Down key and measure each highlighted band: eight bands of one height
# going down the menu, touching except where a separator lies between them; one more Down wraps
# round to the first, so there is no ninth item.
new_band()
{
    capture_menu "$WORK_DIR/walk.png" && band=$(menu_highlight "$WORK_DIR/walk.png") && [[ -n $band && $band != "$1" ]]
}
# highlight_after_down BAND: Down, then the highlighted band (into band) once it is not BAND.
highlight_after_down() { press_keys Down; poll_until 4 new_band "$1"; }
tops=() bottoms=() separators=() band=""
for ((i = 0; i < ${#VOZ_MENU_ITEMS[@]}; i++)); do
    highlight_after_down "$band" || fail "no newly highlighted item after $((i + 1)) Down key(s)"
    read -r top bottom <<<"$band"
    note "item $((i + 1)): rows $band"
    tops+=("$top") bottoms+=("$bottom")
    ((bottom - top == bottoms[0] - tops[0])) || fail "item $((i + 1)) is not as high as the first item"
    ((i > 0)) || continue
    gap=$((top - bottoms[i - 1] - 1))
    ((gap >= 0)) || fail "item $((i + 1)) is not below item $i"
    ((gap > 0)) && separators+=("$i")
done
[[ ${separators[*]-} == "1 4 6" ]] ||
    fail "separators follow items '${separators[*]-}', expected after About, Wallpaper and Stop"
highlight_after_down "$band" || fail "no highlighted item after the ninth Down key"
[[ $band == "${tops[0]} ${bottoms[0]}" ]] || fail "a ninth item at rows $band"
pass "8 items of equal height, separators after About, Wallpaper and Stop, no ninth item"

close_tray_menu || fail "Escape did not close the menu"
voz_running || fail "voz ended while its menu was walked"

# "Disabled": the icon's lower right quarter turns red and the item is checked; again: as before.
red='r > 180 && g < 70 && b < 70'
half_w=$((TRAY_W / 2)) half_h=$((TRAY_H / 2))
quarter=$((half_w * half_h))
red_quarter() { count_pixels "$1" "$half_w" "$half_h" "$half_w" "$half_h" "$red"; }
red_elsewhere()
{
    echo $(($(count_pixels "$1" 0 0 "$TRAY_W" "$half_h" "$red") +
        $(count_pixels "$1" 0 "$half_h" "$half_w" "$half_h" "$red")))
}
normal_red=$(red_quarter "$WORK_DIR/normal.png")
((normal_red == 0)) || fail "the normal icon already has $normal_red red pixels"

icon_changed() { capture_tray_icon "$WORK_DIR/now.png" && ! images_identical "$WORK_DIR/"{now,normal}.png; }
icon_normal() { capture_tray_icon "$WORK_DIR/now.png" && images_identical "$WORK_DIR/"{now,normal}.png; }
open_tray_menu || fail "the menu did not open"
capture_stable "$WORK_DIR/menu-unchecked.png" capture_menu || fail "the menu does not settle"
choose_menu_item Disabled
read -r item_top item_bottom <<<"$(menu_highlight "$WORK_DIR/menu-choice.png")"
park_pointer
disabled_at=$(date +%s)
((disabled_at <= ALARM_AT - 2)) || fail "Disabled only at $(clock_at "$disabled_at"), too close to the alarm at $ALARM_CLOCK"
poll_until 10 icon_changed || fail "the icon did not change after Disabled"
capture_stable "$WORK_DIR/disabled.png" capture_tray_icon || fail "the disabled icon does not settle"
screenshot disabled >/dev/null
in_quarter=$(red_quarter "$WORK_DIR/disabled.png")
elsewhere=$(red_elsewhere "$WORK_DIR/disabled.png")
((in_quarter * 100 >= quarter * 40)) || fail "only $in_quarter of $quarter pixels of the lower right quarter are red"
((elsewhere * 20 <= in_quarter)) || fail "$elsewhere red pixels outside the lower right quarter"
pass "Disabled turned the icon's lower right quarter red ($in_quarter of $quarter pixels)"
voz_running || fail "voz ended after Disabled"

# The menu now differs from before only in the "Disabled" row: its check mark.
open_tray_menu || fail "the menu did not open again"
capture_stable "$WORK_DIR/menu-checked.png" capture_menu || fail "the menu does not settle"
screenshot disabled_menu >/dev/null
read -r _ box_y _ box_h <<<"$(diff_box "$WORK_DIR/menu-unchecked.png" "$WORK_DIR/menu-checked.png")"
[[ -n ${box_h-} ]] || fail "the menu looks the same as before Disabled: no check mark"
((box_y >= item_top && box_y + box_h - 1 <= item_bottom)) ||
    fail "the menu changed in rows $box_y..$((box_y + box_h - 1)), not only in the Disabled row $item_top..$item_bottom"
pass "the Disabled item shows a check mark"
close_tray_menu || fail "Escape did not close the menu"

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
poll_until 10 icon_normal || fail "the icon did not return to the normal clock after Disabled again"
screenshot enabled_again >/dev/null
pass "Disabled again brought back the normal clock icon, pixel for pixel"

open_tray_menu || fail "the menu did not open a third time"
capture_stable "$WORK_DIR/menu-again.png" capture_menu || fail "the menu does not settle"
close_tray_menu || fail "Escape did not close the menu"
images_identical "$WORK_DIR/menu-unchecked.png" "$WORK_DIR/menu-again.png" ||
    fail "the Disabled item still looks checked"
pass "the Disabled item is unchecked again"

# Any sound of the missed alarm has had 3 s to reach the sink.
wait_for_clock $((shown_at + 4))
stop_recording
rms=$(sound_rms "$RECORD_FILE")
below "$rms" 0.001 || fail "sound was played (RMS $rms over the recording)"
pass "no sound for the missed alarm (RMS $rms)"
expect_message_lines "$message" missed_window -ge 2 "the alarm's time and its message"
screenshot missed >/dev/null

icon=$TRAY_WIN
choose_menu_item Remove
wait_for_process_exit "$VOZ_PID" 20 || fail "voz still runs 20 s after Remove"
((LAST_EXIT_STATUS == 0)) || fail "voz ended with status $LAST_EXIT_STATUS after Remove"
wait_for_no_tray_icon 20 || fail "the icon is still in the tray"
icon_window_gone() { ! xwininfo -id "$icon" >/dev/null 2>&1; }
poll_until 20 icon_window_gone || fail "the icon's window $icon still exists"
embedded_clients() { xwininfo -root -tree 2>/dev/null | grep -c '"YXTrayEmbedder"'; }
tray_empty() { (($(embedded_clients) == 0)); }
poll_until 20 tray_empty || fail "the tray still embeds $(embedded_clients) window(s)"
pass "Remove ended voz; the icon and its window left the tray"
park_pointer
screenshot after_remove >/dev/null
scenario_passed
