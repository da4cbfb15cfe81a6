#!/usr/bin/env bash
# Measures Voz on this machine and writes docs/performance.md: idle CPU, resident memory, start to
# tray, the data-file load and wallpaper benchmarks, and firing punctuality under load, each
# against its target. Takes five to ten minutes after the build; not part of the test run.
#   scripts/perf-report.sh
# Environment: VOZ_PERF_BUILD (build folder, default build-perf: Release with the benchmarks),
# VOZ_PERF_OUT (default docs/performance.md), VOZ_PERF_TRAY_RUNS (default 7).
# Exit status: 0 when every measurement was made (targets missed or not: the report says which),
# 1 when a measurement could not be made (the report names it), 2 when setting up failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOZ_PERF_BUILD:-$root/build-perf}
out=${VOZ_PERF_OUT:-$root/docs/performance.md}
tray_runs=${VOZ_PERF_TRAY_RUNS:-7}
work=$(mktemp -d "${TMPDIR:-/tmp}/voz-perf.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
export VOZ_SCREENSHOT_DIR=$work/screenshots
missing_measurements=()

say() { echo "perf-report: $*"; }
setup_failed() { echo "perf-report: setup failed: $*" >&2; exit 2; }

# ---- tools, machine --------------------------------------------------------------------------

for tool in cmake ninja python3 Xvfb icewm xdotool xwininfo xprop xdpyinfo xwd convert pulseaudio pactl parec sox setpriv yes; do
    command -v "$tool" >/dev/null || setup_failed "$tool is not installed (scripts/setup.sh installs what Voz needs)"
done

cpu_sample() { awk '/^cpu / { idle = $5 + $6; total = 0; for (i = 2; i <= 9; i++) total += $i; print total, idle, $9 }' /proc/stat; }
read -r cpu_total0 cpu_idle0 cpu_steal0 < <(cpu_sample)
load_start=$(cut -d' ' -f1-3 /proc/loadavg)
started_at=$(date -u '+%Y-%m-%d %H:%M UTC')
cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
cores=$(nproc)
mem_gib=$(awk '/^MemTotal/ { printf "%.1f", $2 / 1048576 }' /proc/meminfo)
os=$(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-?}")
kernel=$(uname -sr)
qt=$(qtpaths6 --qt-version 2>/dev/null || echo "?")
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo "?")
git -C "$root" diff --quiet HEAD 2>/dev/null || commit="$commit (with uncommitted changes)"
say "machine: $cpu_model, $cores cores, $mem_gib GiB, $os; load $load_start"

# ---- build -----------------------------------------------------------------------------------

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
say "building in $build (Release, benchmarks on)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOZ_BUILD_BENCH=ON \
    -DVOZ_BUILD_TESTS=OFF -DVOZ_BUILD_FUZZ=OFF "${launcher[@]}" >"$work/configure.log" 2>&1 ||
    { tail -n 20 "$work/configure.log" >&2; setup_failed "cmake could not configure $build"; }
cmake --build "$build" --target voz voz_bench voz_bench_wallpaper voz_memory >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log" >&2; setup_failed "the build failed"; }
compiler=$("$(awk -F= '/^CMAKE_CXX_COMPILER:/ { print $2 }' "$build/CMakeCache.txt")" --version | head -n 1)
export VOZ_PROGRAM_DIR=$build/voz

# ---- measurements ----------------------------------------------------------------------------

# measure NAME COMMAND...: output to $work/NAME.out; a failing command is a measurement not made.
measure()
{
    local name=$1
    shift
    say "measuring: $name"
    if ! "$@" >"$work/$name.out" 2>&1; then
        missing_measurements+=("$name: $(grep -m1 '^FAIL' "$work/$name.out" || tail -n 1 "$work/$name.out")")
        say "  $name could not be measured"
        return 1
    fi
}
# value FILE KEY: the value of a key=value line.
value() { awk -F= -v k="$2" '$1 == k { print $2; exit }' "$work/$1.out" 2>/dev/null; }

measure load_bench "$build/bench/voz_bench" --benchmark_filter=BM_MergeDataFile --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_out="$work/load.json" --benchmark_out_format=json
measure wallpaper_bench "$build/bench/voz_bench_wallpaper" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_out="$work/wallpaper.json" --benchmark_out_format=json
measure memory "$root/scripts/measure-memory.sh" "$build"
measure tray "$root/scripts/perf/start_to_tray.sh" "$tray_runs"
VOZ_SCENARIO_TIMEOUT=300 measure idle "$root/scripts/perf/idle_cpu.sh" 60
VOZ_SCENARIO_TIMEOUT=400 measure punctuality "$root/scripts/perf/punctuality.sh" 50 3

load_end=$(cut -d' ' -f1-3 /proc/loadavg)
read -r cpu_total1 cpu_idle1 cpu_steal1 < <(cpu_sample)
busy=$(awk -v t="$((cpu_total1 - cpu_total0))" -v i="$((cpu_idle1 - cpu_idle0))" 'BEGIN { printf "%.0f", t ? (t - i) * 100 / t : 0 }')
steal=$(awk -v t="$((cpu_total1 - cpu_total0))" -v s="$((cpu_steal1 - cpu_steal0))" 'BEGIN { printf "%.1f", t ? s * 100 / t : 0 }')

# ---- figures ---------------------------------------------------------------------------------

# Benchmark medians from the JSON files: "name real_ms cpu_ms counters..."
bench_medians()
{
    [[ -s $1 ]] || return 0
    python3 - "$1" <<'EOF'
import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
    extra = " ".join("%s=%g" % (k, round(b[k], 1)) for k in ("alarms", "messages", "server_cpu_ms") if k in b)
    print(b["run_name"], "%.2f" % (b["real_time"] * scale), "%.2f" % (b["cpu_time"] * scale), extra)
EOF
}
bench_medians "$work/load.json" >"$work/load.medians"
bench_medians "$work/wallpaper.json" >"$work/wallpaper.medians"

rss_start_kb=$(awk '/^voz idle after start-up/ { print $(NF - 4) }' "$work/memory.out" 2>/dev/null)
rss_all_kb=$(awk '/^every window opened/ { print $(NF - 4) }' "$work/memory.out" 2>/dev/null)
not_shown=$(grep -c 'DID NOT SHOW' "$work/memory.out" 2>/dev/null)
# The windows that added most: "NAME +MiB" for the three largest steps.
memory_steps=$(awk '/^started:/ { prev = $3 }
    /^  / && /VmRSS/ { kb = $(NF - 1); name = substr($0, 3, 26); sub(/ +$/, "", name)
                       printf "%s\t%.1f\n", name, (kb - prev) / 1024; prev = kb }' "$work/memory.out" 2>/dev/null |
    sort -t$'\t' -k2 -rn | head -n 3 | awk -F'\t' '{ printf "%s%s +%s MiB", (NR > 1 ? ", " : ""), $1, $2 }')
mapfile -t tray_ms < <(awk '/^run / { print $3 }' "$work/tray.out" 2>/dev/null)
tray_median=""
((${#tray_ms[@]})) && tray_median=$(printf '%s\n' "${tray_ms[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
idle_percent=$(value idle cpu_percent)
in_second=$(value punctuality in_second)
worst_ms=$(value punctuality worst_ms)

mib() { [[ -n $1 ]] && awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }' || echo "not measured"; }
# verdict VALUE CONDITION: "met", "missed" or "not measured", CONDITION in awk over v.
verdict() { [[ -n $1 ]] || { echo "not measured"; return; }; awk -v v="$1" "BEGIN { print ($2) ? \"met\" : \"**missed**\" }"; }

idle_verdict=$(verdict "$idle_percent" 'v <= 0.07')
wakeups=$(value idle wakeups_per_s)
wakeups_verdict=$(verdict "$wakeups" 'v <= 1.3')
rss_start_verdict=$(verdict "$rss_start_kb" 'v <= 32 * 1024')
rss_all_verdict=$(verdict "$rss_all_kb" 'v <= 36 * 1024')
tray_verdict=$(verdict "$tray_median" 'v < 150')
punct_verdict=$(verdict "$in_second" 'v == 50')
window_prompt=$(value punctuality window_within_100ms)
sound_prompt=$(value punctuality sound_within_150ms)
window_prompt_verdict=$(verdict "$window_prompt" 'v == 50')
sound_prompt_verdict=$(verdict "$sound_prompt" 'v == 50')
read -r load_real load_cpu < <(awk '$1 ~ /\/100000$/ { print $2, $3 }' "$work/load.medians")
load_verdict=$(verdict "${load_real:-}" 'v < 50')
overloaded=$(awk -v l="${load_start%% *}" -v e="${load_end%% *}" -v c="$cores" 'BEGIN { print (l > c || e > c) ? 1 : 0 }')

# ---- the report ------------------------------------------------------------------------------

# The section "## Before and after" of the report being replaced is kept as it is: it compares
# this build with an earlier one, measured by hand the same way.
before_after=$(awk '/^## / { keep = ($0 == "## Before and after") } keep' "$out" 2>/dev/null)

{
    echo "# Voz performance"
    echo
    echo "Written by \`scripts/perf-report.sh\` on $started_at from commit $commit. Rerun it to measure"
    echo "again on your machine: it builds a Release copy with the benchmarks in \`build-perf/\`, measures"
    echo "(five to ten minutes) and rewrites this file."
    echo
    echo "## Machine"
    echo
    echo "| | |"
    echo "|---|---|"
    echo "| CPU | $cpu_model, $cores cores |"
    echo "| Memory | $mem_gib GiB |"
    echo "| System | $os, $kernel |"
    echo "| Qt, compiler | Qt $qt, $compiler, Release build |"
    echo "| Load average (1, 5, 15 min) | $load_start at the start, $load_end at the end |"
    echo "| Whole machine's CPU busy during the run | $busy % (with the punctuality run's own busy loop; hypervisor steal $steal %) |"
    echo
    if ((overloaded)); then
        echo "**The machine was shared and loaded beyond its $cores cores while this ran** (other people's"
        echo "builds and tests; load average above $cores). Wall-clock figures (start to tray, benchmark real"
        echo "times, firing delays) include waiting for a core; CPU times and memory are affected far less."
        echo "A target missed below is reported as measured, not measured again until it passes."
    else
        echo "The machine is shared with other people's builds and tests; the load above says how busy it was."
    fi
    echo
    echo "## Summary"
    echo
    echo "| Measure | Result | Target | |"
    echo "|---|---|---|---|"
    echo "| Idle CPU, 60 s, 100 alarms queued, chime on | ${idle_percent:-?} % of a core ($(value idle cpu_ms) ms) | 0.07 % or less | $idle_verdict |"
    echo "| Wake-ups a second, idle as above | ${wakeups:-?} | 1.3 or less | $wakeups_verdict |"
    echo "| Resident memory idle, 100 alarms queued (median of 3 starts) | $(mib "$rss_start_kb") | 32 MiB or less | $rss_start_verdict |"
    echo "| Resident memory after every window opened and closed once | $(mib "$rss_all_kb") | 36 MiB or less | $rss_all_verdict |"
    echo "| Start to tray icon, median of ${#tray_ms[@]} | ${tray_median:-?} ms | under 150 ms | $tray_verdict |"
    echo "| Alarms shown within their second, one core kept busy | ${in_second:-?} of 50, worst $(value punctuality worst_ms) ms after the second began | 50 of 50 | $punct_verdict |"
    echo "| Message window within 100 ms of the alarm's second, one core kept busy | ${window_prompt:-?} of 50 | 50 of 50 | $window_prompt_verdict |"
    echo "| Song's onset at the sink within 150 ms of the alarm's second | ${sound_prompt:-?} of 50, worst $(value punctuality sound_worst_ms) ms | 50 of 50 | $sound_prompt_verdict |"
    while read -r name real cpu extra; do
        lines=${name#BM_MergeDataFile/}
        kept=$(sed -E 's/alarms=([0-9]+) messages=([0-9]+)/\1 alarms and \2 messages kept/' <<<"$extra")
        if ((lines == 100000)); then
            echo "| Data-file load, $lines alarm lines + $((lines / 10)) message lines ($kept) | $real ms ($cpu ms CPU) | under 50 ms | $(verdict "$real" 'v < 50') |"
        else
            echo "| Data-file load, $lines alarm lines + $((lines / 10)) message lines ($kept) | $real ms ($cpu ms CPU) | (no target) | |"
        fi
    done <"$work/load.medians"
    while read -r name real cpu extra; do
        screen="1920x1080"
        [[ $name == *screen4k:1* ]] && screen="3840x2160"
        echo "| Wallpaper change, 3840x2160 JPEG on a $screen X11 root | $real ms ($cpu ms CPU, ${extra#server_cpu_ms=} ms X server CPU) | (no target) | |"
    done <"$work/wallpaper.medians"
    echo
    missed=()
    [[ $idle_verdict == *missed* || $wakeups_verdict == *missed* ]] && missed+=("Idle CPU: voz's own CPU time, which load changes little (a busy machine can make the same work slower through cache misses and moves between cores); the scheduler's finer figure below is a cross-check.")
    [[ $rss_all_verdict == *missed* || $rss_start_verdict == *missed* ]] && missed+=("Resident memory: not a matter of load. The largest steps come with opening ${memory_steps:-the windows}; what grew most over all windows is listed under Resident memory below.")
    [[ $tray_verdict == *missed* ]] && missed+=("Start to tray: wall-clock time, so it includes waiting for a core under the load above; see the single runs below.")
    [[ $load_verdict == *missed* ]] && missed+=("Data-file load of 100,000 lines: $load_real ms of real time for $load_cpu ms of CPU; the rest is waiting for a core under the load above.")
    [[ $punct_verdict == *missed* || $window_prompt_verdict == *missed* || $sound_prompt_verdict == *missed* ]] && missed+=("Punctuality: wall-clock time under the machine's load plus one busy core; the per-alarm delays below show which alarms came late and by how much.")
    if ((${#missed[@]})); then
        echo "**Targets missed:**"
        echo
        for m in "${missed[@]}"; do echo "- $m"; done
        echo
    fi
    if ((${#missing_measurements[@]})); then
        echo "**Not measured:**"
        echo
        for m in "${missing_measurements[@]}"; do echo "- $m"; done
        echo
    fi

    if [[ -n $before_after ]]; then
        echo "$before_after"
        echo
    fi
    echo "## How each figure was taken"
    echo
    echo "### Idle CPU"
    echo
    echo "\`scripts/perf/idle_cpu.sh\`: voz under the desktop test harness (Xvfb, icewm's tray, a PulseAudio"
    echo "null sink) with a \`voz.ini\` that loads \`my.dat\` at start and a \`my.dat\` of 100 alarms with"
    echo "messages, $(value idle alarms | sed 's/^100 //'). The chime is not kept in any file, so the script"
    echo "turns it on in the Alarm Set window as a user would (\"60\" in the list beside \"Every\", then the"
    echo "\"Every\" box; checked in a picture of the box) and closes the window. Five seconds later it reads"
    echo "utime+stime from \`/proc/PID/stat\`, waits 60 s and reads them again; no alarm or chime falls in"
    echo "that minute. The clock ticks every 800 ms, so voz wakes about 1.25 times a second."
    echo
    echo "| | |"
    echo "|---|---|"
    echo "| CPU time in $(value idle wall_s) s (utime+stime, $(value idle clock_ticks_per_s) ticks a second) | $(value idle cpu_ms) ms = $(value idle cpu_percent) % of a core |"
    echo "| The same from the scheduler's per-thread run time (ns) | $(value idle sched_cpu_ms) ms = $(value idle sched_cpu_percent) % of a core |"
    echo "| Wake-ups (context switches) a second | $(value idle wakeups_per_s) |"
    echo "| Resident memory at the end (100 alarms, Alarm Set window used once) | $(mib "$(value idle rss_kb)") |"
    echo
    echo "### Resident memory"
    echo
    echo "\`scripts/measure-memory.sh\` on the desktop test harness (Xvfb, icewm's tray, so the icon docks"
    echo "as on a desktop) with a \`voz.ini\` that loads \`my.dat\` at start and a \`my.dat\` of 100 alarms with"
    echo "messages, as for the idle CPU. Idle: VmRSS from \`/proc\` of the real \`voz\` three seconds after its"
    echo "icon showed, over three starts (the median counts: how much of the shared libraries the kernel"
    echo "maps varies a little from start to start). Every window: \`bench/voz_memory\`, which starts the"
    echo "program the same way (the 100 alarms loaded) and opens, draws and closes every window once from"
    echo "code (the commands its menu and buttons run), letting the closed windows be deleted as the"
    echo "program's event loop does. Resident memory counts the shared libraries' pages the program has"
    echo "mapped (most of it: Qt's code), not only its own heap."
    [[ -n $memory_steps ]] && echo "Largest steps: $memory_steps."
    if [[ -n $not_shown && $not_shown != 0 ]]; then
        echo "$not_shown window(s) did not show in that run (marked below)."
    fi
    echo
    echo '```'
    grep -E 'VmRSS|^grew' "$work/memory.out" 2>/dev/null
    echo '```'
    echo
    echo "### Start to tray icon"
    echo
    echo "\`scripts/perf/start_to_tray.sh\`: voz started ${#tray_ms[@]} times on a fresh program folder under"
    echo "Xvfb and icewm; \`scripts/perf/xwatch.py\` walks the X window tree every 3 ms from the moment voz"
    echo "is launched until a window of class \`voz\` carrying \`_XEMBED_INFO\` is viewable, that is embedded"
    echo "in the tray and shown. Each start after the first finds the program's files in the page cache."
    echo
    echo "Runs (ms): ${tray_ms[*]:-none}"
    echo
    echo "voz's own CPU time up to the icon (all threads, the scheduler's count, read when the icon"
    echo "showed), less dependent on the machine's load than the wall clock, and the shared objects it had"
    echo "mapped by then: $(awk '/^run / { sub("cpu_ms=", "", $4); sub("libraries=", "", $5); printf "%s%s ms/%s", (n++ ? ", " : ""), $4, $5 }' "$work/tray.out" 2>/dev/null)."
    echo
    echo "### Firing punctuality"
    echo
    echo "\`scripts/perf/punctuality.sh\`: a \`my.dat\` of 50 \"once\" alarms 3 s apart, each with a message,"
    echo "loaded at start, while \`yes >/dev/null\` keeps one more core busy (on top of the machine's own"
    echo "load). \`scripts/perf/xwatch.py\` grabs the \"Message\" window's pixels every 20 ms: the window"
    echo "appears for the first alarm and its text grows by one message per alarm, so the first change"
    echo "from an alarm's second on is when that alarm showed. An alarm counts when it showed before its"
    echo "second ended. The song's onset at the null sink (from a recording, 10 ms blocks) is a second"
    echo "witness; it trails the window by the sound server's latency."
    echo
    echo "| | |"
    echo "|---|---|"
    echo "| Shown within their second | ${in_second:-?} of 50 |"
    echo "| Worst delay after the alarm's second began (window) | ${worst_ms:-?} ms$([[ -n $worst_ms ]] && ((worst_ms < 1000)) && echo ", $((1000 - worst_ms)) ms before that second ended") |"
    echo "| No window change at all for | $(value punctuality no_window_change) alarm(s) |"
    echo "| Song started within the second (sound) | $(value punctuality sound_in_second) of 50, worst $(value punctuality sound_worst_ms) ms |"
    echo
    echo "Delays per alarm, window / sound (ms):"
    echo
    awk '/^alarm / { sub("window_ms=", "", $4); sub("sound_ms=", "", $5); printf "%s%s/%s", (n++ ? ", " : ""), $4, $5 } END { print "" }' "$work/punctuality.out" 2>/dev/null
    echo
    echo "Alarms 3 s apart meet the 800 ms tick at every phase it has (0, 200, 400 and 600 ms into"
    echo "the second). The tick's precise wake runs the alarm steps a millisecond into the alarm's second;"
    echo "the 800 ms tick alone would see it up to 800 ms after it began."
    echo
    echo "### Data-file load"
    echo
    echo "\`bench/voz_bench\` (\`BM_MergeDataFile\`, Google Benchmark, median of 5 repetitions): merging a"
    echo "generated data file of N alarm lines and N/10 message lines in random order into empty lists"
    echo "(checks, each new alarm put at its second of the day and merged with the list in one walk,"
    echo "duplicates dropped; a day holds only 86,399 alarm seconds after"
    echo "midnight, so the 100,000-line file keeps that many). Real time and process CPU time."
    echo
    echo "### Wallpaper change"
    echo
    echo "\`bench/voz_bench_wallpaper\` (median of 5): decoding a generated photo-like 3840x2160 JPEG,"
    echo "scaling it to the screen and handing an Xvfb server the root window's pixmap, on a 1920x1080"
    echo "and a 3840x2160 screen; the X server's own CPU time per change is counted too."
    echo
} >"$out.new" && mv "$out.new" "$out"

say "wrote $out"
echo
echo "Idle CPU:            ${idle_percent:-?} % of a core            target <= 0.07 %  $idle_verdict"
echo "Wake-ups:            ${wakeups:-?} a second                target <= 1.3     $wakeups_verdict"
echo "Memory idle:         $(mib "$rss_start_kb")          target <= 32 MiB  $rss_start_verdict"
echo "Memory, all windows: $(mib "$rss_all_kb")          target <= 36 MiB  $rss_all_verdict"
echo "Start to tray:       ${tray_median:-?} ms (median)          target < 150 ms   $tray_verdict"
echo "Punctuality:         ${in_second:-?}/50, worst ${worst_ms:-?} ms     target 50/50      $punct_verdict"
echo "Window in 100 ms:    ${window_prompt:-?}/50                     target 50/50      $window_prompt_verdict"
echo "Sound in 150 ms:     ${sound_prompt:-?}/50                     target 50/50      $sound_prompt_verdict"
sed 's/^/Data-file load:      /' "$work/load.medians"
sed 's/^/Wallpaper change:    /' "$work/wallpaper.medians"
echo "Load average:        $load_start -> $load_end on $cores cores"
if ((${#missing_measurements[@]})); then
    printf 'Not measured: %s\n' "${missing_measurements[@]}"
    exit 1
fi
exit 0
