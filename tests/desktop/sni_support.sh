# shellcheck shell=bash disable=SC2034
# Sourced by the StatusNotifierItem scenarios after harness.sh: calls on the private session bus
# $BUS, and on the item that the scenario's item_service names (by default $ITEM_SERVICE).
BUS=unix:path=$WORK_DIR/bus

# The tray menu as layout_lines prints it.
SNI_EXPECTED_LAYOUT=$'About\n-\nAlarm Set\nSettings\nWallpaper\n-\nHelp\nStop\n-\nDisabled [ ]\nRemove'

bus_call() { gdbus call --address "$BUS" "$@"; }
bus_name_owned()
{
    bus_call --dest org.freedesktop.DBus --object-path / --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null |
        grep -q true
}

# start_bus: a private session bus at $BUS that starts nothing on demand, so every process on it
# is one the scenario started.
start_bus()
{
    cat >"$WORK_DIR/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>$BUS</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    setpriv --pdeathsig TERM -- dbus-daemon --config-file="$WORK_DIR/bus.conf" --nofork >"$WORK_DIR/bus.log" 2>&1 &
    remember_pid dbus-daemon $!
    poll_until 10 bus_name_owned org.freedesktop.DBus || fail "the session bus did not start"
}

# watcher_property NAME: a property of the StatusNotifierWatcher.
watcher_property()
{
    bus_call --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "$1" 2>/dev/null
}

item_service() { echo "$ITEM_SERVICE"; }

# item METHOD ARGS...: a method of the item; menu METHOD ARGS...: of its dbusmenu ($MENU_PATH).
item() { bus_call --dest "$(item_service)" --object-path /StatusNotifierItem --method "org.kde.StatusNotifierItem.$1" "${@:2}"; }
item_property() { bus_call --dest "$(item_service)" --object-path /StatusNotifierItem --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"; }
menu() { bus_call --dest "$(item_service)" --object-path "$MENU_PATH" --method "com.canonical.dbusmenu.$1" "${@:2}"; }

# The layout as one line a child: "label" or "-" for a separator, with "[x]"/"[ ]" for a check.
layout_lines()
{
    menu GetLayout -- 0 -1 '[]' | grep -o "<([0-9]*, {[^}]*}" | sed -E "
        /'type': <'separator'>/ { s/.*/-/; b }
        s/.*'label': <'([^']*)'>.*'toggle-state': <1>.*/\1 [x]/; t
        s/.*'label': <'([^']*)'>.*'toggle-state': <0>.*/\1 [ ]/; t
        s/.*'label': <'([^']*)'>.*/\1/"
}

# check_menu_layout [WHOSE]: the item names its dbusmenu (into MENU_PATH), whose layout is the tray menu's.
check_menu_layout()
{
    MENU_PATH=$(item_property Menu | grep -o "'/[^']*'" | tr -d "'")
    [[ -n $MENU_PATH && $MENU_PATH != /NO_DBUSMENU ]] || fail "${1:-the} item's Menu is '$MENU_PATH'"
    local got
    got=$(layout_lines)
    [[ $got == "$SNI_EXPECTED_LAYOUT" ]] || fail "GetLayout of ${1:-the} item's $MENU_PATH gives: $(tr '\n' '|' <<<"$got")"
}
