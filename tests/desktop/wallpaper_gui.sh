#!/usr/bin/env bash
# The "Voz Wallpaper" window driven through its own controls on a plain X11 desktop (icewm, no
# desktop settings service, so the root window gets the pictures), step by step as numbered below.
# shellcheck source=harness.sh disable=SC2034,SC2119,SC2317
source "$(dirname "$0")/harness.sh"

read -r PREVIEW_X PREVIEW_Y <<<"$(control_centre wallpaper.preview)"
# Inside the wallpaper list's border; its lines are as high as the design font's.
LIST_X=$((120 / 15 + 3)) LIST_Y=$((2160 / 15 + 3)) LIST_W=$((1572 / 15 - 6)) LIST_H=$((1308 / 15 - 6))
# The list, the change choices and "Save above setting": what must look the same after a restart.
STATE_X=$((120 / 15)) STATE_Y=$((1920 / 15)) STATE_W=$(((5820 - 120) / 15)) STATE_H=$(((3468 - 1920) / 15))
BLUE="32 96 192" RED="192 48 32" GREEN="48 160 64"

root_cleared() { ! root_pixmap_set && root_shows "0 0 0"; }

preview_shows()
{
    window_geometry "$WIN" && rgb_near "$(screen_rgb $((WIN_X + PREVIEW_X)) $((WIN_Y + PREVIEW_Y)))" "$1"
}

# choose_entry ARROW ROW WHAT: opens a combo box by its arrow and chooses the 0-based ROW with keys.
choose_entry()
{
    click_control "$WIN" "wallpaper.$1"
    poll_until 5 find_combo_popup || fail "the list of $3 did not drop down"
    poll_until 3 painted "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" ||
        note_fault "the drop-down list of $3 shows black, not its entries"
    [[ $1 == search_arrow && $2 == 2 ]] && screenshot search_list >/dev/null
    local i
    press_keys Home
    for ((i = 0; i < $2; i++)); do press_keys Down; done
    press_keys Return
    poll_until 5 no_combo_popup || fail "the list of $3 stayed open after Return"
}

# pick_picture ROW "R G B" NAME: the picture chosen in "Search" shows in the preview.
pick_picture()
{
    choose_entry search_arrow "$1" '"Search"'
    poll_until 5 preview_shows "$2" || fail "the preview does not show $3's colour ($2) after choosing it in \"Search\""
}

# list_bands: the client y of each wallpaper list entry's middle, one a line: bands of rows holding
# anything but the white background (dark text, or a selected entry's blue); one or two blank
# rows, as under the dot of a "j", do not end a band.
list_bands()
{
    window_geometry "$WIN" || return 1
    capture_region $((WIN_X + LIST_X)) $((WIN_Y + LIST_Y)) "$LIST_W" "$LIST_H" "$WORK_DIR/list.png" || return 1
    pixels "$WORK_DIR/list.png" 0 0 "$LIST_W" "$LIST_H" | awk '$3 < 160 || $4 < 160 || $5 < 160 { used[$2]++ }
        END { for (y = 0; y < '"$LIST_H"'; y++) {
                  if (used[y] && !used[y - 1] && !used[y - 2]) top = y
                  if (used[y] && !used[y + 1] && !used[y + 2]) print int((top + y) / 2) + '"$LIST_Y"' } }'
}
list_lines() { list_bands | wc -l; }
list_shows() { [[ $(list_lines) == "$1" ]]; }

click() { click_control "$WIN" "wallpaper.$1"; }

open_wallpaper_window()
{
    open_from_menu Wallpaper '^Voz Wallpaper$'
    poll_until 3 window_painted "$WIN" || note_fault "the 'Voz Wallpaper' window shows black, not its face ($1)"
}

# record5 OFFSET LENGTH: bytes of voz.ini's record 5.
record5() { ini_record 5 | tail -c +$(($1 + 1)) | head -c "$2"; }
record5_is() { [[ $(record5 0 17) == '[WallpaperLoc]   ' && $(record5 21 30) == "$(printf '%-30s' "$1")" ]]; }

harness_start
make_pictures "a.bmp:$BLUE" "b.gif:$RED" "c.jpg:$GREEN"
VOZ_ENV=(XDG_CURRENT_DESKTOP= XDG_SESSION_TYPE=x11 WAYLAND_DISPLAY=)
remove_program_file voz.ini Wpaper.dat
start_voz_in_tray
! root_pixmap_set || fail "the fresh display already has a root pixmap"

# 1. Opened from the tray, moved where the overwrite question will show over it.
open_wallpaper_window "first opening"
pass "the tray menu's Wallpaper opened 'Voz Wallpaper'"
xdotool windowmove "$WIN" 260 140
poll_until 5 window_geometry "$WIN" || fail "the window went away"
window_placed() { window_geometry "$WIN" && ((WIN_X > 200 && WIN_Y > 100)); }
poll_until 5 window_placed || fail "the window could not be moved (at $WIN_X,$WIN_Y)"
parked_screenshot wallpaper_opened
# The preview's tooltip (CJK text): a picture of it for the eye.
find_tooltip() { find_popup 30 0 40; }
window_geometry "$WIN"
move_pointer $((WIN_X + PREVIEW_X)) $((WIN_Y + PREVIEW_Y)) || fail "could not reach the preview"
poll_until 5 find_tooltip || fail "no tooltip over the preview"
sleep 0.3
capture_window "$POPUP_WIN" "$SHOT_DIR/preview_tooltip.png"
screenshot wallpaper_tooltip >/dev/null
park_pointer

# 2. "Change Now" with a .jpg, then a .bmp: both go through the same tmpFile.bmp, and the desktop
# shows each.
pick_picture 2 "$GREEN" c.jpg
click change_now
poll_until 5 root_pixmap_set || fail "no _XROOTPMAP_ID on the root window after \"Change Now\" with c.jpg"
poll_until 5 root_shows "$GREEN" || fail "the desktop shows $(root_rgb), not c.jpg's green"
pass "\"Change Now\" with c.jpg: the root window shows its green and _XROOTPMAP_ID is set"
screenshot wallpaper_green >/dev/null
pick_picture 0 "$BLUE" a.bmp
click change_now
poll_until 5 root_shows "$BLUE" || fail "the desktop shows $(root_rgb), not a.bmp's blue"
root_pixmap_set || fail "no _XROOTPMAP_ID after \"Change Now\" with a.bmp"
pass "\"Change Now\" with a.bmp: the root window shows its blue"

# 3. "Clear Wallpaper": the pixmap goes, the plain background shows.
click clear
poll_until 5 root_cleared || fail "after \"Clear Wallpaper\" the desktop shows $(root_rgb) and $(xprop -root _XROOTPMAP_ID)"
pass "\"Clear Wallpaper\" removed _XROOTPMAP_ID and the picture"

# 4. The three pictures added ("Add", and Return for the last), the list saved as Wpaper.dat.
click add
pick_picture 1 "$RED" b.gif
click add
pick_picture 2 "$GREEN" c.jpg
press_keys Return
click save
expect_file Wpaper.dat "a.bmp, b.gif and c.jpg (Add, Add, Return, save)" '"a.bmp"\r\n"b.gif"\r\n"c.jpg"\r\n'
no_window_title '^Voz Warning Message$' || fail "the first save asked a question"

# 5. One more entry, saved over the file through the overwrite question.
click add
click save
question=$(wait_for_window_title '^Voz Warning Message$' 10) || fail "no overwrite question on saving over Wpaper.dat"
poll_until 3 window_painted "$question" || note_fault "the overwrite question shows black, not its face"
screenshot wallpaper_overwrite >/dev/null
file_is Wpaper.dat '"a.bmp"\r\n"b.gif"\r\n"c.jpg"\r\n' || fail "Wpaper.dat changed before the answer"
close_with "$question" overwrite.yes '^Voz Warning Message$'
expect_file Wpaper.dat "the four entries after Yes" '"a.bmp"\r\n"b.gif"\r\n"c.jpg"\r\n"c.jpg"\r\n'

# 6. A click on an entry previews it; the delete button removes the selected entry, the reload
# button reads Wpaper.dat again, the clear button empties the list; the minimise button
# minimises the window and the tray restores it.
list_shows 4 || fail "the wallpaper list shows $(list_lines) entries, not 4"
row_y=$(list_bands | sed -n 2p)
[[ -n $row_y ]] || fail "cannot find the list's second entry"
click_in_window "$WIN" $((LIST_X + 20)) "$row_y" || fail "could not click the list's second entry"
poll_until 5 preview_shows "$RED" || fail "a click on b.gif in the list does not preview its red"
for step in "delete 3 after deleting b.gif" "load 4 after the reload" "delete_all 0 after the clear button" \
    "load 4 after the second reload"; do
    read -r control count what <<<"$step"
    click "$control"
    poll_until 5 list_shows "$count" || fail "the list shows $(list_lines) entries $what, not $count"
done
pass "list click previews b.gif; delete leaves 3 entries, reload 4, clear none, reload 4 again"
click minimise
poll_until 5 wm_state_is "$WIN" Iconic || fail "the minimise button did not minimise the window"
choose_menu_item Wallpaper
restored() { ! wm_state_is "$WIN" Iconic && window_viewable "$WIN"; }
poll_until 5 restored || fail "Wallpaper in the tray menu did not restore the minimised window"
pass "the minimise button minimised the window; the tray menu restored it"

# 7. "10 min", the change box, random order, "Save above setting"; "Close" stores record 5 and,
# with a schedule running, hides the window.
WIN=$(find_window_title '^Voz Wallpaper$') || fail "the wallpaper window went away"
choose_entry interval_arrow 1 '"min / hr"'
click change
click random
click keep
parked_screenshot wallpaper_settings
window_geometry "$WIN"
placed_at="$WIN_X $WIN_Y"
capture_stable "$WORK_DIR/state_before.png" capture_region $((WIN_X + STATE_X)) $((WIN_Y + STATE_Y)) "$STATE_W" "$STATE_H" ||
    fail "the window does not settle"
capture_window "$WIN" "$SHOT_DIR/wallpaper_window.png"
close_with "$WIN" wallpaper.close '^Voz Wallpaper$'
poll_until 5 record5_is 'CheckCheckRando 1' ||
    { ini_record 5 | od -c | sed 's/^/        /'; fail "record 5 of voz.ini is not [WallpaperLoc] with CheckCheckRando 1"; }
top=$(record5 17 2 | od -An -td2 | tr -d ' ') left=$(record5 19 2 | od -An -td2 | tr -d ' ')
((top >= 100 * 15 && left >= 200 * 15)) || fail "record 5 keeps the place top $top, left $left twips; the window was moved to 260,140 px"
pass "Close stored record 5: [WallpaperLoc], top $top, left $left, \"CheckCheckRando 1\""

# state_as_before WHAT: the window is where it was and shows the same list and choices.
state_as_before()
{
    WIN=$(wait_for_window_title '^Voz Wallpaper$' 20) || fail "no 'Voz Wallpaper' window from the tray ($1)"
    window_geometry "$WIN"
    [[ "$WIN_X $WIN_Y" == "$placed_at" ]] || fail "the window came back at $WIN_X,$WIN_Y, it was at $placed_at ($1)"
    park_pointer
    capture_stable "$WORK_DIR/state.png" capture_region $((WIN_X + STATE_X)) $((WIN_Y + STATE_Y)) "$STATE_W" "$STATE_H" ||
        fail "the window does not settle ($1)"
    images_identical "$WORK_DIR/state.png" "$WORK_DIR/state_before.png" || {
        cp "$WORK_DIR/state.png" "$SHOT_DIR/state_$2.png"
        cp "$WORK_DIR/state_before.png" "$SHOT_DIR/state_before_close.png"
        fail "the list or the choices differ from before Close ($1; see $SHOT_DIR/state_$2.png)"
    }
}

# 8. With its schedule running the window was only hidden: the tray shows it as it was.
choose_menu_item Wallpaper
state_as_before "hidden by Close" hidden
pass "the tray showed the hidden window again with its list and choices"
close_with "$WIN" wallpaper.close '^Voz Wallpaper$'

# 9. After a restart record 5 loads the window hidden (its schedule runs); the tray shows it with
# the same list, choices and place.
stop_voz
start_voz_in_tray "after the restart"
sleep 1
no_window_title '^Voz Wallpaper$' || fail "the wallpaper window showed at start; record 5 loads it hidden"
open_wallpaper_window "after the restart"
state_as_before "after the restart" restart
screenshot wallpaper_restored >/dev/null
pass "after the restart the tray opened the window at its place with the four entries, \"10 min\", the change box, random and \"Save above setting\""

passed_while_voz_runs
