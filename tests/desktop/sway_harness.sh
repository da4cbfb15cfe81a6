# shellcheck shell=bash disable=SC2034,SC2317  # variables and functions the scenarios use
# Sourced by the sway scenarios instead of harness.sh (it brings that in). A headless sway 1.7
# (pixman renderer, no input devices) with swaybar's tray and lazy XWayland, run by a throwaway
# system user (sway refuses root, removed at exit) in a private mount and network namespace with
# its own /tmp, so its X display is nobody else's. Keep VOZ_SCREENSHOT_DIR out of /tmp.
# Without root, a tool or the namespace the scenario exits 77.
if [[ -z ${VOZ_SWAY_NAMESPACE:-} ]]; then
    sway_skip() { echo "SKIPPED: $(basename "$0" .sh): $*"; exit 77; }
    [[ $(id -u) == 0 ]] || sway_skip "needs root to make a throwaway user and a private namespace"
    for tool in sway swaymsg swaybar Xwayland wtype grim dbus-daemon dbus-send useradd userdel setpriv unshare \
        xdotool xwininfo; do
        command -v "$tool" >/dev/null || sway_skip "no $tool here"
    done
    unshare --mount --net --propagation private true 2>/dev/null || sway_skip "no private mount and network namespace here"
    VOZ_SWAY_NAMESPACE=1 exec unshare --mount --net --propagation private -- bash "$0" "$@"
fi
# XWayland's socket and lock files then are nobody else's, and none is left behind.
mount -t tmpfs -o mode=1777 voztmp /tmp 2>/dev/null || { echo "SKIPPED: $(basename "$0" .sh): cannot mount a private /tmp"; exit 77; }
mkdir -m 1777 /tmp/.X11-unix
# shellcheck source=harness.sh
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

SWAY_USER="" SWAY_UID="" SWAY_GID="" SWAYSOCK="" WAYLAND_DISPLAY="" SWAY_X_DISPLAY=""
SWAY_BUS="" SWAY_PID=""
SWAY_RUNTIME=$WORK_DIR/sway-runtime

# as_sway_user CMD...: a command of the session, as its user, with its environment; sway_exec: the
# same in place of the shell.
as_sway_user() { (sway_exec "$@"); }
sway_exec()
{
    exec setpriv --reuid "$SWAY_UID" --regid "$SWAY_GID" --clear-groups --pdeathsig TERM -- \
        env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$WORK_DIR/home" LANG=C.UTF-8 \
        XDG_RUNTIME_DIR="$SWAY_RUNTIME" XDG_CONFIG_HOME="$WORK_DIR/home/.config" \
        ${SWAY_BUS:+DBUS_SESSION_BUS_ADDRESS=$SWAY_BUS} ${SWAYSOCK:+SWAYSOCK=$SWAYSOCK} \
        ${WAYLAND_DISPLAY:+WAYLAND_DISPLAY=$WAYLAND_DISPLAY} ${SWAY_X_DISPLAY:+DISPLAY=$SWAY_X_DISPLAY} "$@"
}

# The harness's X11 tools run as the session's user, on its XWayland display.
xdotool() { as_sway_user xdotool "$@"; }
xwininfo() { as_sway_user xwininfo "$@"; }

sway_cleanup()
{
    harness_cleanup
    [[ -n $SWAY_USER ]] && userdel "$SWAY_USER" 2>/dev/null
    SWAY_USER=""
}
trap sway_cleanup EXIT

sway_make_user()
{
    SWAY_USER=vozsway$$
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$SWAY_USER" \
        2>"$WORK_DIR/useradd.log" || { SWAY_USER=""; echo "SKIPPED: $SCENARIO: cannot add a user: $(cat "$WORK_DIR/useradd.log")"; exit 77; }
    SWAY_UID=$(id -u "$SWAY_USER") SWAY_GID=$(id -g "$SWAY_USER")
}

swaymsg_ok() { as_sway_user swaymsg -t get_version >/dev/null 2>&1; }
# sway_tray_host: swaybar took the StatusNotifierWatcher name (it runs the watcher itself).
sway_tray_host()
{
    as_sway_user dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q 'boolean true'
}

# sway_start: the user, a session bus, sway with a bar whose tray shows every item; SWAYSOCK and
# WAYLAND_DISPLAY are set for the scenario and as_sway_user.
sway_start()
{
    start_watchdog
    sway_make_user
    chmod 755 "$WORK_DIR"
    mkdir -p "$SWAY_RUNTIME" "$WORK_DIR/home/.config"
    chmod 700 "$SWAY_RUNTIME"
    chown -R "$SWAY_USER:" "$SWAY_RUNTIME" "$WORK_DIR/home"

    SWAY_BUS=unix:path=$SWAY_RUNTIME/bus
    as_sway_user dbus-daemon --session --nofork --nopidfile --address="$SWAY_BUS" >"$WORK_DIR/dbus.log" 2>&1 &
    remember_pid dbus-daemon $!
    bus_up() { [[ -S $SWAY_RUNTIME/bus ]]; }
    poll_until 20 bus_up || fail "the session bus did not start"

    printf '%s\n' "xwayland enable" "output * bg #336699 solid_color" \
        "bar {" "    position bottom" "    tray_output *" "}" >"$WORK_DIR/sway.config"
    as_sway_user env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -d -c "$WORK_DIR/sway.config" >"$WORK_DIR/sway.log" 2>&1 &
    SWAY_PID=$!
    remember_pid sway "$SWAY_PID"
    sway_socket() { compgen -G "$SWAY_RUNTIME/sway-ipc.*.sock" >/dev/null && [[ -S $SWAY_RUNTIME/wayland-1 ]]; }
    poll_until 30 sway_socket || { tail "$WORK_DIR/sway.log"; fail "sway did not start"; }
    SWAYSOCK=$(compgen -G "$SWAY_RUNTIME/sway-ipc.*.sock" | head -n 1)
    WAYLAND_DISPLAY=wayland-1
    export SWAYSOCK WAYLAND_DISPLAY
    poll_until 30 swaymsg_ok || { tail "$WORK_DIR/sway.log"; fail "sway does not answer on $SWAYSOCK"; }
    poll_until 30 sway_tray_host || { tail "$WORK_DIR/sway.log"; fail "swaybar's tray host is not on the bus"; }
    # The private /tmp/.X11-unix holds only sway's XWayland socket.
    x_socket() { compgen -G '/tmp/.X11-unix/X*' >/dev/null; }
    poll_until 30 x_socket || { tail "$WORK_DIR/sway.log"; fail "sway opened no XWayland socket"; }
    SWAY_X_DISPLAY=:$(basename "$(compgen -G '/tmp/.X11-unix/X*' | head -n 1)" | tr -d X)
    note "sway $SWAY_PID on $WAYLAND_DISPLAY, X on $SWAY_X_DISPLAY (started on first use), user $SWAY_USER"
}

sway_msg() { as_sway_user swaymsg "$@"; }

# sway_shot NAME: the whole output into the scenario's picture folder; prints the file.
sway_shot()
{
    local file=$SHOT_DIR/$1.png
    as_sway_user grim "$SWAY_RUNTIME/shot.png" && mv "$SWAY_RUNTIME/shot.png" "$file" && echo "$file"
}

# sway_keys WTYPE-ARGS...: one wtype run types them to the focused surface.
sway_keys() { as_sway_user wtype "$@"; }

# sway_start_voz [ENV=VALUE...]: the copied program in the session, as the user would start it.
sway_start_voz()
{
    chown -R "$SWAY_USER:" "$PROGRAM_DIR"
    (cd "$WORK_DIR" && sway_exec XDG_SESSION_TYPE=wayland "$@" "$PROGRAM_DIR/voz") >>"$VOZ_LOG" 2>&1 &
    VOZ_PID=$!
    remember_pid voz "$VOZ_PID"
    note "voz started, pid $VOZ_PID${1:+ with $*}"
}

# sway_window TITLE-REGEX: the first window whose title matches, as
# "SHELL FLOATING X Y W H" (FLOATING: floating or tiled; the content's place and size).
sway_window()
{
    sway_msg -t get_tree | "$PYTHON" -c '
import json, re, sys
want = re.compile(sys.argv[1])
def walk(node, floating):
    if node.get("name") and want.search(node["name"]) and node.get("pid"):
        r, w = node["rect"], node["window_rect"]
        print(node.get("shell", "?"), "floating" if floating else "tiled",
              r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"])
        sys.exit(0)
    for child in node.get("nodes", []):
        walk(child, floating)
    for child in node.get("floating_nodes", []):
        walk(child, True)
walk(json.load(sys.stdin), False)
sys.exit(1)' "$1"
}

# sway_tray_icon SHOT: the tray icon's centre on the bar (SWAY_ICON_X, SWAY_ICON_Y), found in a
# picture of the output as the light pixels right of the bar's middle (the bar itself is dark).
sway_tray_icon()
{
    local bar_top bar_h found
    bar_top=$(sway_msg -t get_workspaces | "$PYTHON" -c 'import json, sys
print(max(w["rect"]["y"] + w["rect"]["height"] for w in json.load(sys.stdin)))') || return 1
    bar_h=$((720 - bar_top))
    ((bar_h > 0)) || return 1
    found=$(pixels "$1" 640 "$bar_top" 640 "$bar_h" |
        awk '$3 > 200 && $4 > 200 && $5 > 200 { n++; sx += $1; sy += $2 }
        END { if (n >= 20) printf "%d %d\n", sx / n + 640, sy / n + '"$bar_top"' }')
    [[ -n $found ]] && read -r SWAY_ICON_X SWAY_ICON_Y <<<"$found"
}

# sway_tray_item: the bus name and path of the item swaybar's watcher holds ("NAME PATH").
sway_tray_item()
{
    as_sway_user dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null |
        sed -nE 's|^ *string "([^/"]+)(/[^"]*)".*|\1 \2|p' | head -n 1 | grep .
}

# sway_tray_click METHOD X Y: what swaybar 1.7 does on a click on the item (Activate on the left
# button, ContextMenu on the right; it has no dbusmenu): the method with the click's place in
# layout coordinates. Headless sway has no pointer device, so the bar itself cannot be clicked.
sway_tray_click()
{
    local item
    item=$(sway_tray_item) || return 1
    as_sway_user dbus-send --session --type=method_call --dest="${item% *}" "${item#* }" \
        "org.kde.StatusNotifierItem.$1" "int32:$2" "int32:$3"
}

# sway_start_pulse: the session user's PulseAudio, found through XDG_RUNTIME_DIR.
sway_start_pulse()
{
    as_sway_user pulseaudio "${PULSE_ARGS[@]}" >"$WORK_DIR/pulse.log" 2>&1 &
    remember_pid pulseaudio $!
    pulse_up() { [[ -S $SWAY_RUNTIME/pulse/native ]]; }
    poll_until 30 pulse_up || { tail "$WORK_DIR/pulse.log"; fail "PulseAudio did not start"; }
}
