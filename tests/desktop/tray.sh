#!/usr/bin/env bash
# The clock icon shows in the tray; a right-click opens the menu upward with its right edge at the
# pointer, holding eight items in three separated groups: About | Alarm Set, Settings, Wallpaper |
# Help, Stop | Disabled, Remove.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
start_voz_in_tray
pass "icon in the tray at ${TRAY_X},${TRAY_Y} (${TRAY_W}x${TRAY_H})"
park_pointer
capture_tray_icon "$WORK_DIR/icon.png"
# A drawn clock: dark hands and ticks on a light face, not an empty or uniform square.
dark=$(count_pixels "$WORK_DIR/icon.png" 0 0 "$TRAY_W" "$TRAY_H" 'r < 90 && g < 90 && b < 90')
light=$(count_pixels "$WORK_DIR/icon.png" 0 0 "$TRAY_W" "$TRAY_H" 'r > 220 && g > 220 && b > 220')
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
highlight_after_down()
{
    local band try
    press_keys Down
    for ((try = 0; try < 30; try++)); do
        sleep 0.1
        capture_menu "$WORK_DIR/walk.png"
        band=$(menu_highlight "$WORK_DIR/walk.png")
        [[ -n $band && $band != "$1" ]] && { echo "$band"; return 0; }
    done
    return 1
}
tops=() bottoms=() band=""
for ((i = 1; i <= ${#VOZ_MENU_ITEMS[@]}; i++)); do
    band=$(highlight_after_down "$band") || fail "no newly highlighted item after $i Down key(s)"
    read -r top bottom <<<"$band"
    tops+=("$top") bottoms+=("$bottom")
done
note "item bands: $(for i in "${!tops[@]}"; do printf '%s-%s ' "${tops[i]}" "${bottoms[i]}"; done)"
height=$((bottoms[0] - tops[0]))
separators=()
for ((i = 0; i < ${#tops[@]}; i++)); do
    ((bottoms[i] - tops[i] == height)) || fail "item $((i + 1)) is not as high as the first item"
    if ((i > 0)); then
        gap=$((tops[i] - bottoms[i - 1] - 1))
        ((gap >= 0)) || fail "item $((i + 1)) is not below item $i"
        ((gap > 0)) && separators+=("$i")
    fi
done
[[ ${separators[*]-} == "1 4 6" ]] ||
    fail "separators follow items '${separators[*]-}', expected after About, Wallpaper and Stop"
band=$(highlight_after_down "$band") || fail "no highlighted item after the ninth Down key"
[[ $band == "${tops[0]} ${bottoms[0]}" ]] || fail "a ninth item at rows $band"
pass "8 items of equal height, separators after About, Wallpaper and Stop, no ninth item"

close_tray_menu || fail "Escape did not close the menu"
passed_while_voz_runs "while its menu was walked"
