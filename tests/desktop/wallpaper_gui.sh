#!/usr/bin/env bash
# The "Voz Wallpaper" window driven through its own controls on a plain X11 desktop (icewm, no
# desktop settings service): a .jpg and a .bmp picked in "Search" and set with "Change Now" become
# the root window's background (_XROOTPMAP_ID), "Clear Wallpaper" removes it; the three pictures
# added to the list are saved as Wpaper.dat, a second time through the overwrite question; a list
# click previews, delete, reload and clear change the list, the minimise button minimises; an
# interval, the change box, random order and "Save above setting" are stored by "Close" as record
# 5 of voz.ini; after a restart the window comes back from the tray with the same list, choices
# and place.
# shellcheck source=harness.sh disable=SC2034,SC2119,SC2317
source "$(dirname "$0")/harness.sh"

# Control places in pixels from the window's client origin (design places are in twips).
read -r PREVIEW_X PREVIEW_Y <<<"$(control_centre wallpaper.preview)"
PAPER_ARROW_X=$(((2520 + 2652) / 15 - 8)) PAPER_ARROW_Y=$(((240 + 138) / 15))
INTERVAL_ARROW_X=$(((3480 + 1092) / 15 - 8)) INTERVAL_ARROW_Y=$(((2280 + 138) / 15))
# Inside the wallpaper list's border; its lines are as high as the design font's.
LIST_X=$((120 / 15 + 3)) LIST_Y=$((2160 / 15 + 3)) LIST_W=$((1572 / 15 - 6)) LIST_H=$((1308 / 15 - 6))
# The list, the change choices and "Save above setting": what must look the same after a restart.
STATE_X=$((120 / 15)) STATE_Y=$((1920 / 15)) STATE_W=$(((5820 - 120) / 15)) STATE_H=$(((3468 - 1920) / 15))
BLUE="32 96 192" RED="192 48 32" GREEN="48 160 64"

root_pixmap_unset() { ! xprop -root _XROOTPMAP_ID 2>/dev/null | grep -q 'pixmap id'; }
root_cleared() { root_pixmap_unset && root_shows "0 0 0"; }

preview_shows()
{
    window_geometry "$WIN" && rgb_near "$(screen_rgb $((WIN_X + PREVIEW_X)) $((WIN_Y + PREVIEW_Y)))" "$1"
}

# choose_entry ARROW_X ARROW_Y ROW WHAT: opens a combo box of the window by its arrow and chooses
# the 0-based ROW with the keyboard.
choose_entry()
{
    click_in_window "$WIN" "$1" "$2" || fail "could not click the arrow of $4"
    poll_until 5 find_combo_popup || fail "the list of $4 did not drop down"
    local at="$WIN_X $WIN_Y $WIN_W $WIN_H"
    # shellcheck disable=SC2086
    poll_until 3 painted $at || note_fault "the drop-down list of $4 shows black, not its entries"
    [[ $4 == '"Search"' && $3 == 2 ]] && screenshot search_list >/dev/null
    local i
    press_keys Home
    for ((i = 0; i < $3; i++)); do press_keys Down; done
    press_keys Return
    poll_until 5 no_combo_popup || fail "the list of $4 stayed open after Return"
}

# pick_picture ROW "R G B" NAME: the picture chosen in "Search" shows in the preview.
pick_picture()
{
    choose_entry "$PAPER_ARROW_X" "$PAPER_ARROW_Y" "$1" '"Search"'
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

window_iconic() { xprop -id "$WIN" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }

# click WHAT: clicks the wallpaper window's control (see VOZ_CONTROLS).
click() { click_control "$WIN" "wallpaper.$1"; }

open_wallpaper_window()
{
    choose_menu_item Wallpaper
    WIN=$(wait_for_window_title '^Voz Wallpaper$' 20) || fail "no 'Voz Wallpaper' window after Wallpaper ($1)"
    poll_until 3 window_painted "$WIN" || note_fault "the 'Voz Wallpaper' window shows black, not its face ($1)"
}

# record5 OFFSET LENGTH: bytes of voz.ini's record 5: 17 of label, top and left (16-bit LE), 30 of text.
record5() { tail -c +$((205 + $1)) "$(program_file voz.ini)" 2>/dev/null | head -c "$2"; }
record5_is() { [[ $(record5 0 17) == '[WallpaperLoc]   ' && $(record5 21 30) == "$(printf '%-30s' "$1")" ]]; }

# ---- set-up: three one-colour pictures in a pictures folder of their own ----------------------

harness_start
PICTURES=$WORK_DIR/pictures
mkdir -p "$PICTURES" "$WORK_DIR/home/.config"
for made in "a.bmp:$BLUE" "b.gif:$RED" "c.jpg:$GREEN"; do
    colour=${made#*:}
    convert -size 64x48 "xc:rgb(${colour// /,})" -quality 95 "$PICTURES/${made%%:*}" || fail "cannot make ${made%%:*}"
done
printf 'XDG_PICTURES_DIR="%s"\n' "$PICTURES" >"$WORK_DIR/home/.config/user-dirs.dirs"
# No desktop settings service: the root window itself gets the picture.
VOZ_ENV=(XDG_CURRENT_DESKTOP= XDG_SESSION_TYPE=x11 WAYLAND_DISPLAY=)
remove_program_file voz.ini
remove_program_file Wpaper.dat
start_voz_in_tray
root_pixmap_unset || fail "the fresh display already has a root pixmap"

# 1. Opened from the tray, moved where the overwrite question will show over it.
open_wallpaper_window "first opening"
pass "the tray menu's Wallpaper opened 'Voz Wallpaper'"
xdotool windowmove "$WIN" 260 140
poll_until 5 window_geometry "$WIN" || fail "the window went away"
window_placed() { window_geometry "$WIN" && ((WIN_X > 200 && WIN_Y > 100)); }
poll_until 5 window_placed || fail "the window could not be moved (at $WIN_X,$WIN_Y)"
park_pointer
sleep 0.3
screenshot wallpaper_opened >/dev/null
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
poll_until 5 file_is Wpaper.dat '"a.bmp"\r\n"b.gif"\r\n"c.jpg"\r\n' || {
    show_bytes Wpaper.dat
    fail "Wpaper.dat does not hold \"a.bmp\", \"b.gif\", \"c.jpg\" (Add, Add, Return, save)"
}
no_window_title '^Voz Warning Message$' || fail "the first save asked a question"
pass "Add, Add and Return filled the list; the save button wrote Wpaper.dat with three quoted CR LF lines"

# 5. One more entry, saved over the file through the overwrite question.
click add
click save
question=$(wait_for_window_title '^Voz Warning Message$' 10) || fail "no overwrite question on saving over Wpaper.dat"
poll_until 3 window_painted "$question" || note_fault "the overwrite question shows black, not its face"
screenshot wallpaper_overwrite >/dev/null
file_is Wpaper.dat '"a.bmp"\r\n"b.gif"\r\n"c.jpg"\r\n' || fail "Wpaper.dat changed before the answer"
click_control "$question" overwrite.yes
wait_for_no_window '^Voz Warning Message$' 10 || fail "the overwrite question stayed after Yes"
poll_until 5 file_is Wpaper.dat '"a.bmp"\r\n"b.gif"\r\n"c.jpg"\r\n"c.jpg"\r\n' || {
    show_bytes Wpaper.dat
    fail "after Yes, Wpaper.dat does not hold the four entries"
}
pass "saving again asked to overwrite; Yes wrote the four entries"

# 6. A click on an entry previews it; the delete button removes the selected entry, the reload
# button reads Wpaper.dat again, the clear button empties the list; the minimise button
# minimises the window and the tray restores it.
list_shows 4 || fail "the wallpaper list shows $(list_lines) entries, not 4"
row_y=$(list_bands | sed -n 2p)
[[ -n $row_y ]] || fail "cannot find the list's second entry"
click_in_window "$WIN" $((LIST_X + 20)) "$row_y" || fail "could not click the list's second entry"
poll_until 5 preview_shows "$RED" || fail "a click on b.gif in the list does not preview its red"
click delete
poll_until 5 list_shows 3 || fail "the list shows $(list_lines) entries after deleting b.gif, not 3"
click load
poll_until 5 list_shows 4 || fail "the list shows $(list_lines) entries after the reload, not Wpaper.dat's 4"
click delete_all
poll_until 5 list_shows 0 || fail "the list shows $(list_lines) entries after the clear button"
click load
poll_until 5 list_shows 4 || fail "the list shows $(list_lines) entries after the second reload, not 4"
pass "list click previews b.gif; delete leaves 3 entries, reload 4, clear none, reload 4 again"
click minimise
poll_until 5 window_iconic || fail "the minimise button did not minimise the window"
choose_menu_item Wallpaper
restored() { ! window_iconic && window_viewable "$WIN"; }
poll_until 5 restored || fail "Wallpaper in the tray menu did not restore the minimised window"
pass "the minimise button minimised the window; the tray menu restored it"

# 7. "10 min", the change box, random order, "Save above setting"; "Close" stores record 5 and,
# with a schedule running, hides the window.
WIN=$(find_window_title '^Voz Wallpaper$') || fail "the wallpaper window went away"
choose_entry "$INTERVAL_ARROW_X" "$INTERVAL_ARROW_Y" 1 '"min / hr"'
click change
click random
click keep
park_pointer
sleep 0.3
window_geometry "$WIN"
placed_at="$WIN_X $WIN_Y"
capture_stable "$WORK_DIR/state_before.png" capture_region $((WIN_X + STATE_X)) $((WIN_Y + STATE_Y)) "$STATE_W" "$STATE_H" ||
    fail "the window does not settle"
screenshot wallpaper_settings >/dev/null
capture_window "$WIN" "$SHOT_DIR/wallpaper_window.png"
click close
wait_for_no_window '^Voz Wallpaper$' 10 || fail "'Voz Wallpaper' stayed open after Close"
poll_until 5 record5_is 'CheckCheckRando 1' || {
    od -c -j 204 -N 51 "$(program_file voz.ini)" | sed 's/^/        /'
    fail "record 5 of voz.ini is not [WallpaperLoc] with CheckCheckRando 1"
}
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
click close
wait_for_no_window '^Voz Wallpaper$' 10 || fail "'Voz Wallpaper' stayed open after Close"

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
