#!/usr/bin/env bash
# CPU time of a running voz left alone for SECONDS (default 60) with 100 alarms queued (a my.dat
# loaded at start, alarms from 10 minutes ahead to the end of the day) and the hourly chime turned
# on in the Alarm Set window ("Every" with "60"; the chime is not kept in any file). Reads
# utime+stime from /proc/PID/stat before and after. Prints key=value lines.
#   VOZ_PROGRAM_DIR=build-perf/voz scripts/perf/idle_cpu.sh [SECONDS]
# Measured on Xvfb, as the earlier reports were.
export VOZ_X_SERVER=${VOZ_X_SERVER:-Xvfb}
# shellcheck source=tests/desktop/harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/../../tests/desktop/harness.sh"
# shellcheck source=scripts/perf/queued_alarms.sh
source "$(dirname "$0")/queued_alarms.sh"
span=${1:-60}

# Control centres in pixels from the Alarm Set window's client origin (design places in twips).
centre() { echo $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)); }
read -r _ EM_LIST_Y < <(centre 3000 1800 732 276)
EM_LIST_X=$(((3000 + 732) / 15 - 8))   # the list's drop-down arrow (its field takes typing)
EM_CHECK_X=$((2160 / 15 + 7)) EM_CHECK_Y=$(((1800 + 90) / 15))   # the "Every" box's square
read -r EXIT_X EXIT_Y < <(centre 5520 3600 612 372)

harness_start
write_queued_alarms 100
start_voz
wait_for_tray_icon 30 || fail "no icon in the tray"
[[ $(cat "/proc/$VOZ_PID/comm" 2>/dev/null) == voz ]] || fail "pid $VOZ_PID is not voz"

# The chime: choose "60" in the list beside "Every", then tick the box.
choose_menu_item "Alarm Set"
win=$(wait_for_window_title '^Voz Alarm Set$' 20) || fail "no 'Voz Alarm Set' window"
sleep 0.5
window_geometry "$win"
box_x=$((WIN_X + EM_CHECK_X - 8)) box_y=$((WIN_Y + EM_CHECK_Y - 8))
capture_region "$box_x" "$box_y" 60 16 "$WORK_DIR/every-before.png"
click_in_window "$win" "$EM_LIST_X" "$EM_LIST_Y" || fail "cannot click the chime interval list"
sleep 0.5
press_keys End Return
sleep 0.5
click_in_window "$win" "$EM_CHECK_X" "$EM_CHECK_Y" || fail "cannot click the 'Every' box"
sleep 0.5
capture_region "$box_x" "$box_y" 60 16 "$WORK_DIR/every-after.png"
screenshot chime_on >/dev/null
dark_before=$(count_pixels "$WORK_DIR/every-before.png" 0 0 16 16 'r < 90 && g < 90 && b < 90')
dark_after=$(count_pixels "$WORK_DIR/every-after.png" 0 0 16 16 'r < 90 && g < 90 && b < 90')
((dark_after > dark_before + 4)) ||
    fail "the 'Every' box does not look ticked ($dark_before dark pixels before, $dark_after after)"
click_in_window "$win" "$EXIT_X" "$EXIT_Y" || fail "cannot click Exit"
wait_for_no_window '^Voz Alarm Set$' 10 || fail "the Alarm Set window stayed open"
park_pointer
echo "chime=on, every 60 minutes (set in the Alarm Set window)"

sleep 5  # let start-up and the window's closing settle
# The hourly chime sounds at the full hour: the minute measured is one without it.
to_hour=$((3600 - 10#$(date +%M) * 60 - 10#$(date +%S)))
if ((to_hour < span + 10)); then
    note "waiting for the chime at the full hour to pass"
    sleep $((to_hour + 10))
fi
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$VOZ_PID/stat"; }
switches() { awk '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { print n }' "/proc/$VOZ_PID/status"; }
# Nanoseconds on the CPU, summed over the threads (finer than the clock ticks of stat).
run_ns() { cat "/proc/$VOZ_PID"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%.0f\n", n }'; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$VOZ_PID/status"; }
t0=$(date +%s.%N) c0=$(ticks) s0=$(switches) n0=$(run_ns)
sleep "$span"
t1=$(date +%s.%N) c1=$(ticks) s1=$(switches) n1=$(run_ns)
voz_running || fail "voz ended during the measurement"
hz=$(getconf CLK_TCK)
awk -v t0="$t0" -v t1="$t1" -v c="$((c1 - c0))" -v hz="$hz" -v s="$((s1 - s0))" 'BEGIN {
    wall = t1 - t0
    printf "wall_s=%.1f\ncpu_ms=%.0f\ncpu_percent=%.3f\nwakeups_per_s=%.2f\n", wall, c * 1000 / hz, c / hz / wall * 100, s / wall }'
awk -v t0="$t0" -v t1="$t1" -v n="$((n1 - n0))" 'BEGIN {
    printf "sched_cpu_ms=%.1f\nsched_cpu_percent=%.4f\n", n / 1e6, n / 1e9 / (t1 - t0) * 100 }'
echo "rss_kb=$(rss)"
echo "clock_ticks_per_s=$hz"
