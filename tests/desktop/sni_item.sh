#!/usr/bin/env bash
# A StatusNotifierItem host (our own watcher on a private session bus) gets the icon: the item
# registers, its menu is exported over dbusmenu with the eight items, the separators and a live
# "Disabled" check; Activate stops a "repeat" alarm; ContextMenu(x, y) opens the menu there. A
# watcher that starts 4 s after voz still gets the item, and the XEmbed icon then leaves the tray.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"
# shellcheck source=sni_support.sh
source "$HARNESS_DIR/sni_support.sh"

if ! command -v dbus-daemon >/dev/null || ! command -v gdbus >/dev/null; then echo "SKIP: no dbus-daemon or gdbus"; exit 77; fi
"$PYTHON" -c 'from gi.repository import Gio' 2>/dev/null || { echo "SKIP: no python3-gi"; exit 77; }

ITEMS=$WORK_DIR/items
WATCHER_PID=""

watcher_owned() { bus_name_owned org.kde.StatusNotifierWatcher; }

start_watcher()
{
    DBUS_SESSION_BUS_ADDRESS=$BUS setpriv --pdeathsig TERM -- "$PYTHON" "$HARNESS_DIR/sni_watcher.py" "$ITEMS" \
        >"$WORK_DIR/watcher.log" 2>&1 &
    WATCHER_PID=$!
    remember_pid watcher "$WATCHER_PID"
    poll_until 10 watcher_owned || { cat "$WORK_DIR/watcher.log"; fail "the watcher did not take its name"; }
}

item_registered() { [[ -s $ITEMS ]]; }

item_service() { tail -n 1 "$ITEMS"; }
disabled_shows() { layout_lines | grep -qxF "Disabled [$1]"; }

harness_start
start_bus
start_watcher
VOZ_ENV=(DBUS_SESSION_BUS_ADDRESS="$BUS")
prepare_alarm repeat 8 "Until activated"
start_voz
poll_until 10 item_registered || fail "no item registered with the watcher"
pass "the item registered as $(tail -n 1 "$ITEMS")"

check_menu_layout
pass "Menu $MENU_PATH: eight items, three separators, 'Disabled' unchecked"

wait_for_window_title '^Message' 40 >/dev/null || fail "no 'Message' window for the alarm at $ALARM_CLOCK"
poll_until 5 sound_flowing || fail "no sound reached the sink"
item Activate 0 0 >/dev/null || fail "Activate failed"
poll_until 3 sound_silent 1 || fail "still sound in the last second after Activate"
pass "Activate stopped the repeating song"
# Seconds after the start: the watcher is preferred, no second icon in the XEmbed tray.
no_tray_icon || fail "an XEmbed icon shows beside the registered item"
pass "no XEmbed icon beside the item"
stop_recording

item ContextMenu 900 700 >/dev/null || fail "ContextMenu failed"
poll_until 10 find_tray_menu || fail "no menu after ContextMenu(900, 700)"
screenshot context-menu >/dev/null
((MENU_X + MENU_W >= 898 && MENU_X + MENU_W <= 902)) || fail "the menu's right edge is at $((MENU_X + MENU_W)), not 900"
((MENU_Y <= 700 && MENU_Y + MENU_H >= 700)) || fail "the menu (y $MENU_Y to $((MENU_Y + MENU_H))) is not at y 700"
pass "ContextMenu(900, 700) opened the menu with its right edge at 900 (${MENU_W}x${MENU_H} at ${MENU_X},${MENU_Y})"
poll_until 10 keyboard_grabbed || fail "the menu does not hold the keyboard"
close_tray_menu || fail "Escape did not close the menu"

# "Disabled" chosen through the host: the handler runs and the check reaches the host both ways.
menu Event 10 clicked '<0>' 0 >/dev/null || fail "Event on 'Disabled' failed"
poll_until 5 disabled_shows x || fail "'Disabled' is not checked after the host's click: $(layout_lines | tr '\n' '|')"
menu Event 10 clicked '<0>' 0 >/dev/null || fail "second Event on 'Disabled' failed"
poll_until 5 disabled_shows ' ' || fail "'Disabled' stays checked after the second click"
pass "a click on 'Disabled' from the host checks and unchecks it"

# A host that comes later: voz starts beside the XEmbed tray, the watcher 4 s after it.
stop_voz
stop_pid "$WATCHER_PID" watcher
: >"$ITEMS"
start_voz
started=$SECONDS
wait_for_tray_icon 30 || fail "no XEmbed icon while there is no watcher"
while ((SECONDS - started < 4)); do sleep 0.2; done
start_watcher
came=$SECONDS
poll_until 10 item_registered || fail "the item did not register with a watcher that came 4 s after voz"
((SECONDS - came <= 3)) || fail "the item registered $((SECONDS - came)) s after the watcher came"
pass "a watcher started 4 s after voz got the item within $((SECONDS - came)) s"
wait_for_no_tray_icon 10 || fail "the XEmbed icon stays beside the registered item"
check_menu_layout "the late watcher's"
pass "the XEmbed icon left the tray; the late item has the full menu"
passed_while_voz_runs
