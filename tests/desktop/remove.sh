#!/usr/bin/env bash
# "Remove" takes the icon out of the tray and ends the program at once.
# shellcheck source=harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/harness.sh"

harness_start
start_voz_in_tray
icon=$TRAY_WIN
screenshot before >/dev/null

choose_menu_item Remove
wait_for_process_exit "$VOZ_PID" 20 || fail "voz still runs 20 s after Remove"
pass "Remove ended voz (exit status $LAST_EXIT_STATUS)"
((LAST_EXIT_STATUS == 0)) || fail "voz ended with status $LAST_EXIT_STATUS after Remove"
wait_for_no_tray_icon 20 || fail "the icon is still in the tray"
icon_window_gone() { ! xwininfo -id "$icon" >/dev/null 2>&1; }
poll_until 20 icon_window_gone || fail "the icon's window $icon still exists"
pass "the icon left the tray"
embedded_clients() { xwininfo -root -tree 2>/dev/null | grep -c '"YXTrayEmbedder"'; }
tray_empty() { (($(embedded_clients) == 0)); }
poll_until 20 tray_empty || fail "the tray still embeds $(embedded_clients) window(s)"
pass "the tray is empty"
park_pointer
screenshot after >/dev/null
scenario_passed
