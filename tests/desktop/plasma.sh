#!/usr/bin/env bash
# Opt-in (some 340 packages): voz in a Plasma 5 session on a private display and session bus,
# kded5's StatusNotifierWatcher and `plasmashell --no-respawn` (software GL), no other window
# manager or tray. The item registers with Plasma's watcher and no "Voz" window shows; its menu
# over dbusmenu has the eight items, and Plasma's menu from a right-click on its icon shows them;
# "Wallpaper" chosen there opens the wallpaper window, whose "Change Now" reaches plasmashell (the
# desktop's config names Voz's copy of the picture, the screen shows its colour) and whose "Clear
# Wallpaper" gives Plasma's plain colour back.
#   apt-get install --no-install-recommends plasma-workspace plasma-desktop kded5
#   VOZ_PROGRAM_DIR=build/voz bash tests/desktop/plasma.sh   (or -DVOZ_TEST_PLASMA=ON, ctest -L plasma)
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"
# shellcheck source=sni_support.sh
source "$HARNESS_DIR/sni_support.sh"

missing=()
for tool in plasmashell kded5 dbus-daemon gdbus; do command -v "$tool" >/dev/null || missing+=("$tool"); done
compgen -G '/usr/lib/*/qt5/plugins/kf5/kded/statusnotifierwatcher.so' >/dev/null || missing+=(statusnotifierwatcher.so)
KAMD=$(compgen -G '/usr/lib/*/libexec/kactivitymanagerd' | head -n 1)
[[ -n $KAMD ]] || missing+=(kactivitymanagerd)
if ((${#missing[@]})); then
    echo "SKIPPED: $SCENARIO: missing ${missing[*]}; install them with:"
    echo "    apt-get install --no-install-recommends plasma-workspace plasma-desktop kded5"
    exit 77
fi

# plasma_start NAME COMMAND...: one of Plasma's own processes, in the session's environment.
plasma_start()
{
    env HOME="$WORK_DIR/home" XDG_CONFIG_HOME="$WORK_DIR/home/.config" XDG_CACHE_HOME="$WORK_DIR/home/.cache" \
        XDG_DATA_HOME="$WORK_DIR/home/.local/share" XDG_RUNTIME_DIR="$WORK_DIR/runtime" \
        DBUS_SESSION_BUS_ADDRESS="$BUS" XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 \
        XDG_SESSION_TYPE=x11 LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb \
        setpriv --pdeathsig TERM -- "${@:2}" >"$WORK_DIR/$1.log" 2>&1 &
    remember_pid "$1" $!
}

plasmashell_call() { bus_call --dest org.kde.plasmashell --object-path /PlasmaShell --method "org.kde.PlasmaShell.$1" "${@:2}"; }
plasma_answers() { plasmashell_call evaluateScript 'print(desktops().length)' 2>/dev/null | grep -q "'[1-9]"; }
host_registered() { watcher_property IsStatusNotifierHostRegistered | grep -q true; }
registered_items() { watcher_property RegisteredStatusNotifierItems; }
voz_item_registered() { registered_items | grep -q "org.kde.StatusNotifierItem-$VOZ_PID-1"; }

BLUE="32 96 192"

# ---- the session ------------------------------------------------------------------------------

harness_start no-wm
start_bus

plasma_start kded5 kded5
poll_until 30 bus_name_owned org.kde.StatusNotifierWatcher || { tail "$WORK_DIR/kded5.log"; fail "kded5 did not provide org.kde.StatusNotifierWatcher"; }
pass "kded5 owns org.kde.StatusNotifierWatcher"
# plasmashell will not load its shell without the activity manager.
plasma_start kactivitymanagerd "$KAMD"
poll_until 30 bus_name_owned org.kde.ActivityManager || { tail "$WORK_DIR/kactivitymanagerd.log"; fail "kactivitymanagerd did not take org.kde.ActivityManager"; }
plasma_start plasmashell plasmashell --no-respawn
poll_until 90 plasma_answers || { tail -n 20 "$WORK_DIR/plasmashell.log"; fail "plasmashell does not answer evaluateScript"; }
poll_until 30 host_registered || fail "plasmashell's system tray did not register as a StatusNotifierHost"
pass "plasmashell is up, its system tray is a StatusNotifierHost"
screenshot plasma_started >/dev/null

# ---- (1) the item goes to Plasma's watcher; no "Voz" window ------------------------------------

make_pictures "blue.jpg:$BLUE"
VOZ_ENV=(DBUS_SESSION_BUS_ADDRESS="$BUS" XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=x11 WAYLAND_DISPLAY=)
# The tray's free end of the panel, left of the keyboard layout and the arrow (a 1024x768 screen).
TRAY_AREA=(760 $((SCREEN_H - 38)) 74 36)
capture_stable "$WORK_DIR/tray_before.png" capture_region "${TRAY_AREA[@]}" || fail "the panel does not settle"
start_voz
started=$SECONDS
poll_until 15 voz_item_registered || fail "voz's item is not among Plasma's RegisteredStatusNotifierItems: $(registered_items)"
pass "the item registered with Plasma's watcher after $((SECONDS - started)) s: $(registered_items)"
ITEM_SERVICE=org.kde.StatusNotifierItem-$VOZ_PID-1
# The window would show within 5 s without a notification area.
! poll_until $((started + 8 - SECONDS)) find_window_title '^Voz$' >/dev/null ||
    fail "the 'Voz' no-tray window shows beside Plasma's tray"
no_tray_icon || fail "an XEmbed icon shows beside the registered item"
pass "no 'Voz' window and no XEmbed icon after 8 s"
capture_stable "$SHOT_DIR/tray_icon.png" capture_region "${TRAY_AREA[@]}" || fail "the panel does not settle"
read -r icon_x icon_y icon_w icon_h < <(diff_box "$WORK_DIR/tray_before.png" "$SHOT_DIR/tray_icon.png")
[[ -n ${icon_h:-} ]] || fail "no icon came into Plasma's tray"
ICON_X=$((TRAY_AREA[0] + icon_x + icon_w / 2)) ICON_Y=$((TRAY_AREA[1] + icon_y + icon_h / 2))
pass "an icon (${icon_w}x$icon_h) came into Plasma's tray at $ICON_X,$ICON_Y"
screenshot item_registered >/dev/null

# ---- (2) the menu over dbusmenu ------------------------------------------------------------------

check_menu_layout
pass "GetLayout of $MENU_PATH: the eight items and three separators"

# Plasma's own menu, built from that layout: a right-click on the icon in its tray.
find_plasma_menu()
{
    local w
    for w in $(xdotool search --onlyvisible --classname '^plasmashell$' 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_POPUP_MENU || continue
        window_geometry "$w" && ((WIN_H >= 60)) && { PLASMA_MENU=$w; return 0; }
    done
    return 1
}
no_plasma_menu() { ! find_plasma_menu; }
click_at "$ICON_X" "$ICON_Y" 3 || fail "could not right-click the icon in Plasma's tray"
poll_until 10 find_plasma_menu || fail "no menu from Plasma after a right-click on the icon"
capture_stable "$SHOT_DIR/plasma_menu.png" capture_window "$PLASMA_MENU" || fail "Plasma's menu does not settle"
lines=$(text_lines "$SHOT_DIR/plasma_menu.png" 0 0 "$WIN_W" "$WIN_H")
((lines == 8)) || fail "Plasma's menu shows $lines lines of text, not the eight items (see $SHOT_DIR/plasma_menu.png)"
pass "Plasma's menu from the icon shows eight items (${WIN_W}x$WIN_H at $WIN_X,$WIN_Y)"

# ---- (3) a wallpaper change through voz reaches Plasma ------------------------------------------

# The fifth line, "Wallpaper", is the fourth item down (separators are skipped).
press_keys Down Down Down Down Return
poll_until 10 no_plasma_menu || fail "Plasma's menu stayed open after Return on 'Wallpaper'"
WIN=$(wait_for_window_title '^Voz Wallpaper$' 20) || fail "no 'Voz Wallpaper' window after 'Wallpaper' in Plasma's menu"
pass "'Wallpaper' chosen in Plasma's menu opened 'Voz Wallpaper'"
# No window manager raises it: it may open under Plasma's desktop.
xdotool windowraise "$WIN" 2>/dev/null
window_geometry "$WIN"

click_control "$WIN" wallpaper.search_arrow
poll_until 5 find_combo_popup || fail "the list of \"Search\" did not drop down"
screenshot search_list >/dev/null
# The pictures folder's only picture, after the drive and folder entries: the last row.
press_keys End Return
poll_until 5 no_combo_popup || fail "the list of \"Search\" stayed open after Return"
click_control "$WIN" wallpaper.change_now

plasma_image() { plasmashell_call evaluateScript "var d = desktops()[0]; d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General']; print(d.wallpaperPlugin + ' ' + d.readConfig('Image'))" 2>/dev/null; }
copy_named() { plasma_image | grep -qE "org\.kde\.image file://$WORK_DIR/home/\.cache/voz/wallpaper/wallpaper-[0-9a-f]+\.[a-z]+"; }
poll_until 10 copy_named || fail "plasmashell's desktop reads: $(plasma_image)"
pass "plasmashell's desktop has Voz's copy: $(plasma_image)"
APPLETSRC=$WORK_DIR/home/.config/plasma-org.kde.plasma.desktop-appletsrc
saved() { grep -qE "^Image=file://$WORK_DIR/home/\.cache/voz/wallpaper/wallpaper-" "$APPLETSRC" 2>/dev/null; }
poll_until 30 saved || fail "$APPLETSRC names no copy of the picture"
pass "$(basename "$APPLETSRC"): $(grep -m1 '^Image=' "$APPLETSRC")"

# A point of the desktop that neither the panel nor the wallpaper window covers.
ROOT_X=$((SCREEN_W - 60)) ROOT_Y=$((SCREEN_H / 3))
desktop_blue() { rgb_near "$(screen_rgb "$ROOT_X" "$ROOT_Y")" "$BLUE" 16; }
poll_until 30 desktop_blue || fail "the desktop shows $(screen_rgb "$ROOT_X" "$ROOT_Y") at $ROOT_X,$ROOT_Y, not the picture's blue"
pass "the desktop shows the picture's blue at $ROOT_X,$ROOT_Y"
screenshot wallpaper_changed >/dev/null
no_window_title '^Voz Warning Message$' || fail "a warning showed after \"Change Now\""

click_control "$WIN" wallpaper.clear
plain_colour() { plasma_image | grep -q "'org\.kde\.color "; }
poll_until 10 plain_colour || fail "after \"Clear Wallpaper\" plasmashell's desktop reads: $(plasma_image)"
not_blue() { ! desktop_blue; }
poll_until 30 not_blue || fail "the desktop still shows the picture's blue after \"Clear Wallpaper\""
pass "\"Clear Wallpaper\": Plasma's plain colour plugin, the desktop shows $(screen_rgb "$ROOT_X" "$ROOT_Y")"
screenshot wallpaper_cleared >/dev/null
no_window_title '^Voz Warning Message$' || fail "a warning showed after \"Clear Wallpaper\""

# Plasma reads the item's and the menu's interfaces: every method and signal must be there.
! grep -E 'Skipped method|Cannot relay signal' "$VOZ_LOG" || fail "QtDBus left parts of voz's item or menu off the bus"
passed_while_voz_runs
