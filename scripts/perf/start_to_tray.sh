#!/usr/bin/env bash
# Time from starting voz to its icon shown in the tray (Xvfb + icewm), over several starts on a
# fresh program folder. Prints "run N MS cpu_ms=CPU libraries=COUNT" lines; the harness's FAIL
# lines mean no measurement.
#   VOZ_PROGRAM_DIR=build-perf/voz scripts/perf/start_to_tray.sh [RUNS]
# Measured on Xvfb, as the earlier reports were.
export VOZ_X_SERVER=${VOZ_X_SERVER:-Xvfb}
# shellcheck source=tests/desktop/harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/../../tests/desktop/harness.sh"
runs=${1:-7}
XWATCH=$(dirname "$0")/xwatch.py

harness_start
for ((run = 1; run <= runs; run++)); do
    # The watcher is running and has walked nothing yet when voz starts.
    coproc WATCH { "$PYTHON" "$XWATCH" tray; }
    # Bash drops the coprocess's variables once it ends: keep copies.
    # shellcheck disable=SC2153  # set by coproc
    watch_pid=$WATCH_PID
    exec {from_watch}<&"${WATCH[0]}" {to_watch}>&"${WATCH[1]}"
    remember_pid xwatch "$watch_pid"
    read -r line <&"$from_watch" || line=""
    [[ $line == ready ]] || fail "the tray watcher did not start"
    echo go >&"$to_watch"
    start_voz
    read -r _ started <&"$from_watch" || fail "the tray watcher ended early"
    read -r what at <&"$from_watch" || fail "the tray watcher ended early"
    [[ $what == icon ]] || fail "no tray icon within 30 s of start $run"
    exec {from_watch}<&- {to_watch}>&-
    wait "$watch_pid" 2>/dev/null
    forget_pid "$watch_pid"
    # What the start cost voz itself, which the machine's load changes far less than the wall
    # clock: CPU time of all its threads (the scheduler's, in ns) and the shared objects mapped.
    cpu_ms=$(cat "/proc/$VOZ_PID"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%.1f", n / 1e6 }')
    libs=$(awk '$6 ~ /\.so/ { print $6 }' "/proc/$VOZ_PID/maps" 2>/dev/null | sort -u | wc -l)
    echo "run $run $(awk -v a="$at" -v s="$started" 'BEGIN { printf "%.0f\n", (a - s) * 1000 }') cpu_ms=$cpu_ms libraries=$libs"
    stop_voz
    wait_for_no_tray_icon 10 || fail "the icon stayed after voz ended"
    sleep 1
done
