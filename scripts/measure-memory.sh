#!/usr/bin/env bash
# Resident memory of voz idle with 100 alarms queued, and after every window opened and closed once.
#   scripts/measure-memory.sh [BUILD_DIR]   (default build-bench, configured with VOZ_BUILD_BENCH=ON)
# Runs on the desktop test harness (Xvfb, icewm's tray, a PulseAudio), so the icon docks as on a
# desktop, with a my.dat of 100 alarms that voz.ini loads at start. Two readings: the real voz,
# VmRSS three seconds after its icon showed, started three times (the median counts: what the
# kernel maps of the shared libraries varies a little from start to start); then bench/voz_memory,
# which starts the program the same way and opens, draws and closes each window from code (the
# commands the menu and buttons run), printing VmRSS/VmHWM and what grew most.
build=$(cd "${1:-build-bench}" && pwd) || exit 2
probe=$build/bench/voz_memory
[[ -x $probe && -x $build/voz/voz ]] || { echo "build voz_memory first: cmake --build $build --target voz_memory" >&2; exit 2; }
export VOZ_PROGRAM_DIR=$build/voz VOZ_X_SERVER=${VOZ_X_SERVER:-Xvfb}
# shellcheck source=tests/desktop/harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/../tests/desktop/harness.sh"
# shellcheck source=scripts/perf/queued_alarms.sh
source "$(dirname "$0")/perf/queued_alarms.sh"

status_kb() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$2/status"; }

harness_start
write_queued_alarms 100
readings=()
for run in 1 2 3; do
    start_voz
    wait_for_tray_icon 30 || fail "no icon in the tray"
    sleep 3
    voz_running || fail "voz ended early"
    rss=$(status_kb VmRSS "$VOZ_PID") hwm=$(status_kb VmHWM "$VOZ_PID")
    echo "voz idle, start $run:          VmRSS $rss kB   VmHWM $hwm kB"
    readings+=("$rss $hwm")
    stop_voz
    wait_for_no_tray_icon 10 || fail "the icon stayed after voz ended"
done
read -r rss hwm < <(printf '%s\n' "${readings[@]}" | sort -n | sed -n 2p)
echo "voz idle after start-up:     VmRSS $rss kB   VmHWM $hwm kB"

# The same session as start_voz gives voz.
env HOME="$WORK_DIR/home" XDG_RUNTIME_DIR="$WORK_DIR/runtime" XDG_CONFIG_HOME="$WORK_DIR/home/.config" \
    LANG="${LANG:-C.UTF-8}" QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK_DIR/no-bus" \
    "$probe" "$PROGRAM_DIR" || fail "voz_memory: a window did not show"
