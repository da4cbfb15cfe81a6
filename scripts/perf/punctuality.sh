#!/usr/bin/env bash
# Firing punctuality under load: COUNT alarms (default 50) SPACING seconds apart (default 3),
# loaded from my.dat at start, each with a message, while a busy loop keeps one more core busy.
# Each alarm is timed by the first change of the "Message" window (shown for the first alarm,
# its text growing by one message per alarm) after the alarm's second, watched by
# scripts/perf/xwatch.py; the song's onset at the null sink is a second witness. Prints one
# "alarm" line per alarm and key=value totals.
#   VOZ_PROGRAM_DIR=build-perf/voz VOZ_SCENARIO_TIMEOUT=400 scripts/perf/punctuality.sh [COUNT [SPACING]]
# Measured on Xvfb, as the earlier reports were.
export VOZ_X_SERVER=${VOZ_X_SERVER:-Xvfb}
# shellcheck source=tests/desktop/harness.sh disable=SC2119,SC2317
source "$(dirname "$0")/../../tests/desktop/harness.sh"
count=${1:-50}
spacing=${2:-3}
lead=20  # start-up, the tray and the watcher before the first alarm
XWATCH=$(dirname "$0")/xwatch.py

harness_start
# All alarms lie within today: the program only knows the day it runs on.
left=$(($(date -d "tomorrow 00:00:00" +%s) - $(date +%s)))
if ((left < lead + count * spacing + 60)); then
    note "midnight is $left s away: waiting for the new day"
    sleep $((left + 2))
fi
write_autoload_ini
start_recording "$WORK_DIR/sound.wav"
RECORD_START=$(awk -v t="$(date +%s.%N)" 'BEGIN { printf "%.3f\n", t - 0.05 }')
first=$(($(date +%s) + lead))
: >"$(program_file my.dat)"
alarms=()
for ((i = 0; i < count; i++)); do
    at=$((first + i * spacing))
    alarms+=("$at")
    printf '"once %s"\r\n"Alarm %d at %s"\r\n' "$(clock_at "$at")" $((i + 1)) "$(clock_at "$at")" >>"$(program_file my.dat)"
done
last=${alarms[count - 1]}
echo "alarms=$count from $(clock_at "$first") every $spacing s"

# The other core, kept busy for the whole run.
setpriv --pdeathsig KILL -- yes >/dev/null &
remember_pid busy-loop $!
busy_pid=$!

start_voz
wait_for_tray_icon 30 || fail "no icon in the tray"
park_pointer
"$PYTHON" "$XWATCH" message $((last + spacing + 2)) >"$WORK_DIR/message-events" &
watch_pid=$!
remember_pid xwatch "$watch_pid"
wait "$watch_pid"
forget_pid "$watch_pid"
stop_pid "$busy_pid" busy-loop
stop_recording
voz_running || fail "voz ended during the run"
"$PYTHON" "$XWATCH" onsets "$WORK_DIR/sound.wav" "$RECORD_START" >"$WORK_DIR/onsets" ||
    fail "cannot read the recording"
screenshot punctuality >/dev/null

# For each alarm: the first window event and the first sound onset from its second until the next
# alarm's. "In its second" means before the alarm's second has ended.
printf '%s\n' "${alarms[@]}" | awk -v spacing="$spacing" '
    FILENAME == ARGV[1] { events[++ne] = $2; next }
    FILENAME == ARGV[2] { sounds[++ns] = $2; next }
    { alarm[++na] = $1 }
    function first_in(list, n, from, to,    i) {
        for (i = 1; i <= n; i++) if (list[i] >= from && list[i] < to) return list[i]
        return ""
    }
    END {
        for (k = 1; k <= na; k++) {
            a = alarm[k]
            w = first_in(events, ne, a, a + spacing)
            s = first_in(sounds, ns, a - 0.2, a + spacing)
            wd = (w == "") ? "none" : sprintf("%.0f", (w - a) * 1000)
            sd = (s == "") ? "none" : sprintf("%.0f", (s - a) * 1000)
            printf "alarm %d %s window_ms=%s sound_ms=%s\n", k, a, wd, sd
            if (w != "" && w < a + 1) on_time++
            if (w == "") missing++
            else if (w - a > worst) worst = w - a
            if (s != "" && s < a + 1) sound_on_time++
            if (s != "" && s - a > sworst) sworst = s - a
            if (w != "" && w - a <= 0.1) window_prompt++
            if (s != "" && s - a <= 0.15) sound_prompt++
        }
        printf "in_second=%d\nno_window_change=%d\nworst_ms=%.0f\n", on_time, missing, worst * 1000
        printf "sound_in_second=%d\nsound_worst_ms=%.0f\n", sound_on_time, sworst * 1000
        printf "window_events=%d\nsound_onsets=%d\n", ne, ns
        printf "window_within_100ms=%d\nsound_within_150ms=%d\n", window_prompt, sound_prompt
    }' "$WORK_DIR/message-events" "$WORK_DIR/onsets" -
