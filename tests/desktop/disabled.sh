#!/usr/bin/env bash
# "Disabled" swaps the tray icon for the crossed-out clock with a red lower right quarter and
# checks the item; choosing it again brings back the very same clock icon.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
start_voz_in_tray
park_pointer
capture_stable "$WORK_DIR/normal.png" capture_tray_icon || fail "cannot take a steady picture of the icon"
screenshot enabled >/dev/null

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

icon_changed()
{
    capture_tray_icon "$WORK_DIR/now.png" && ! images_identical "$WORK_DIR/now.png" "$WORK_DIR/normal.png"
}
open_tray_menu || fail "the menu did not open"
capture_stable "$WORK_DIR/menu-unchecked.png" capture_menu || fail "the menu does not settle"
choose_menu_item Disabled
read -r item_top item_bottom <<<"$(menu_highlight "$WORK_DIR/menu-choice.png")"
park_pointer
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

choose_menu_item Disabled
park_pointer
back_to_normal()
{
    capture_tray_icon "$WORK_DIR/now.png" && images_identical "$WORK_DIR/now.png" "$WORK_DIR/normal.png"
}
poll_until 10 back_to_normal || fail "the icon did not return to the normal clock after Disabled again"
screenshot enabled_again >/dev/null
pass "Disabled again brought back the normal clock icon, pixel for pixel"

open_tray_menu || fail "the menu did not open a third time"
capture_stable "$WORK_DIR/menu-again.png" capture_menu || fail "the menu does not settle"
close_tray_menu || fail "Escape did not close the menu"
images_identical "$WORK_DIR/menu-unchecked.png" "$WORK_DIR/menu-again.png" ||
    fail "the Disabled item still looks checked"
pass "the Disabled item is unchecked again"
passed_while_voz_runs "after the second Disabled"
