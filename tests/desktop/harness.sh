# shellcheck shell=bash disable=SC2034,SC2120,SC2317  # variables and functions the scenarios use
# Sourced by the desktop scenarios: each gets its own X display (Xorg + icewm, whose taskbar holds
# the tray), PulseAudio with a null sink and copy of the program folder. Every child runs under
# setpriv --pdeathsig, so even a killed scenario leaves nothing behind.

[[ -n ${VOZ_HARNESS_LOADED:-} ]] && return 0
VOZ_HARNESS_LOADED=1
set -u -o pipefail

# VOZ_FULL_DISK=1: the program folder is a tmpfs of its own, filled to the last page each time the
# program starts (a disk that filled up under it). Mounting needs a private mount namespace.
if [[ -n ${VOZ_FULL_DISK:-} && -z ${VOZ_PRIVATE_MOUNTS:-} ]]; then
    if ! unshare --mount --propagation private true 2>/dev/null; then
        echo "SKIPPED: $(basename "$0" .sh): no private mount namespace for VOZ_FULL_DISK"
        exit 77
    fi
    VOZ_PRIVATE_MOUNTS=1 exec unshare --mount --propagation private -- bash "$0" "$@"
fi

HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
VOZ_PROGRAM_DIR=${VOZ_PROGRAM_DIR:-/work/main/build/voz}
SCENARIO=${SCENARIO:-$(basename "$0" .sh)}
VOZ_SCREENSHOT_DIR=${VOZ_SCREENSHOT_DIR:-$PWD/screenshots}
SHOT_DIR=$VOZ_SCREENSHOT_DIR/$SCENARIO
# Left below the ctest TIMEOUT, so a stuck scenario still reports and cleans up.
VOZ_SCENARIO_TIMEOUT=${VOZ_SCENARIO_TIMEOUT:-165}
if [[ -x /usr/bin/python3 ]]; then PYTHON=/usr/bin/python3; else PYTHON=python3; fi

# The tray menu's items in order; keyboard navigation skips its three separators.
VOZ_MENU_ITEMS=("About" "Alarm Set" "Settings" "Wallpaper" "Help" "Stop" "Disabled" "Remove")

WORK_DIR=$(mktemp -d "${TMPDIR:-/tmp}/voz-desktop.XXXXXX") || { echo "FAIL: $SCENARIO: no temp dir"; exit 1; }
PROGRAM_DIR=$WORK_DIR/program
VOZ_LOG=$WORK_DIR/voz.log
VOZ_PID="" LAST_EXIT_STATUS="" RECORD_PID="" RECORD_FILE=""
SCREEN_W=0 SCREEN_H=0
FULL_DISK_MOUNTED=""
TRAY_WIN="" TRAY_X=0 TRAY_Y=0 TRAY_W=0 TRAY_H=0
MENU_WIN="" MENU_X=0 MENU_Y=0 MENU_W=0 MENU_H=0
WIN_X=0 WIN_Y=0 WIN_W=0 WIN_H=0
MENU_AT_X=0 MENU_AT_Y=0
HARNESS_PIDS=()
VOZ_ENV=()  # more environment for the program, e.g. a faked clock
HARNESS_NAMES=()
mkdir -p "$SHOT_DIR" "$WORK_DIR/home" "$WORK_DIR/runtime"
chmod 700 "$WORK_DIR/runtime"

# ---- reporting -----------------------------------------------------------------------------

note() { echo "      $SCENARIO: $*"; }
pass() { echo "PASS: $SCENARIO: $*"; }

# fail MESSAGE: report, keep a picture of the screen and the program's output, end the scenario.
fail()
{
    echo "FAIL: $SCENARIO: $*"
    if [[ -n ${DISPLAY:-} ]]; then
        local shot
        shot=$(screenshot failure 2>/dev/null) && echo "      screen at the failure: $shot"
    fi
    if [[ -n $VOZ_PID ]] && process_ended "$VOZ_PID"; then
        echo "      voz (pid $VOZ_PID) is not running"
    fi
    if [[ -s $VOZ_LOG ]]; then
        echo "      voz output (last lines):"
        tail -n 20 "$VOZ_LOG" | sed 's/^/        /'
    fi
    exit 1
}

# note_fault TEXT: a fault that fails the scenario at its end, so the steps after it still run.
DEFERRED_FAULTS=()
note_fault()
{
    DEFERRED_FAULTS+=("$1")
    echo "FAIL: $SCENARIO: $1 (going on)"
}

scenario_passed()
{
    ((${#DEFERRED_FAULTS[@]} == 0)) || fail "$(printf '%s; ' "${DEFERRED_FAULTS[@]}")"
    # The sanitizer build reports to its output and may carry on (or end only at exit).
    if [[ -s $VOZ_LOG ]] && grep -qE 'ERROR: AddressSanitizer|runtime error:' "$VOZ_LOG"; then
        fail "a sanitizer report in voz's output"
    fi
    echo "PASS: $SCENARIO (all checks, $SECONDS s)"
    exit 0
}

# passed_while_voz_runs [WHEN]: the scenario passed, provided voz has not ended.
passed_while_voz_runs()
{
    voz_running || fail "voz ended${1:+ $1}"
    scenario_passed
}

# ---- processes -----------------------------------------------------------------------------

remember_pid() { HARNESS_NAMES+=("$1"); HARNESS_PIDS+=("$2"); }

# forget_pid PID: once reaped its number may be reused, so cleanup must not signal it.
forget_pid()
{
    local i
    for i in "${!HARNESS_PIDS[@]}"; do
        [[ ${HARNESS_PIDS[i]} == "$1" ]] && HARNESS_PIDS[i]=""
    done
}

# process_running PID: true while it runs (a zombie waiting to be reaped has ended).
process_running()
{
    local state
    [[ -r /proc/$1/stat ]] || return 1
    state=$(sed -E 's/^.*\) (.).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
    [[ -n $state && $state != Z && $state != X ]]
}

process_ended() { ! process_running "$1"; }

# stop_pid PID [NAME]: TERM, then KILL when it lingers; reaps it.
stop_pid()
{
    local pid=$1
    [[ -n $pid ]] || return 0
    forget_pid "$pid"
    process_running "$pid" || { wait "$pid" 2>/dev/null; return 0; }
    kill -TERM "$pid" 2>/dev/null
    poll_until 5 process_ended "$pid" ||
        { note "${2:-process $pid} ignored TERM; killing it"; kill -KILL "$pid" 2>/dev/null; }
    wait "$pid" 2>/dev/null
    return 0
}

harness_cleanup()
{
    local i
    trap - EXIT INT TERM
    for ((i = ${#HARNESS_PIDS[@]} - 1; i >= 0; i--)); do
        stop_pid "${HARNESS_PIDS[i]}" "${HARNESS_NAMES[i]}"
    done
    # Detached before the work folder goes; running processes keep their view.
    [[ -n ${FULL_DISK_MOUNTED:-} ]] && umount -l "$PROGRAM_DIR" 2>/dev/null
    if [[ -n ${VOZ_KEEP_TEMP:-} ]]; then
        echo "      $SCENARIO: kept $WORK_DIR"
    else
        rm -rf "$WORK_DIR"
    fi
}

harness_interrupted() { echo "FAIL: $SCENARIO: stopped by $1 after $SECONDS s"; exit 1; }
trap harness_cleanup EXIT
trap 'harness_interrupted INT' INT
trap 'harness_interrupted TERM' TERM

# poll_until SECONDS COMMAND...: every 0.1 s until the command succeeds; false on time-out.
poll_until()
{
    local deadline=$((SECONDS + $1))
    shift
    while true; do
        "$@" && return 0
        ((SECONDS >= deadline)) && return 1
        sleep 0.1
    done
}

# wait_for_process_exit [PID [SECONDS]]: true once it (voz by default) has ended; status in LAST_EXIT_STATUS.
wait_for_process_exit()
{
    local pid=${1:-$VOZ_PID} limit=${2:-20}
    poll_until "$limit" process_ended "$pid" || return 1
    wait "$pid" 2>/dev/null
    LAST_EXIT_STATUS=$?
    forget_pid "$pid"
    return 0
}

# ---- display, window manager, sound ------------------------------------------------------

# Ends a scenario that runs too long through its TERM trap.
start_watchdog()
{
    # shellcheck disable=SC2016  # expanded by the watchdog shell
    setpriv --pdeathsig KILL -- bash -c 'trap "kill \$timer 2>/dev/null; exit 0" TERM
        setpriv --pdeathsig KILL -- sleep "$1" & timer=$!
        wait $timer && kill -TERM "$2"' watchdog "$VOZ_SCENARIO_TIMEOUT" "$$" &
    remember_pid watchdog $!
}

# Xorg with the dummy driver, the server users have; on a seat of its own it takes no virtual
# terminal, so several run side by side. Xvfb where it cannot start (or VOZ_X_SERVER=Xvfb).
start_xorg()
{
    [[ $(id -u) == 0 ]] || { note "Xorg: not root"; return 1; }
    command -v Xorg >/dev/null || { note "Xorg: not installed"; return 1; }
    [[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ]] || { note "Xorg: no dummy video driver"; return 1; }
    cat >"$WORK_DIR/xorg.conf" <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 28.0-80.0
    VertRefresh 48.0-75.0
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768"
        Virtual 1024 768
    EndSubSection
EndSection
EOF
    # -dpi 100 as Xvfb reports, so text comes out the same size on either server.
    launch_x_server Xorg Xorg -config "$WORK_DIR/xorg.conf" -logfile "$WORK_DIR/xorg.log" \
        -seat seat1 -dpi 100 -noreset -nolisten tcp -displayfd 3 && return 0
    note "Xorg did not start; it said:"
    grep -hE '\(EE\)|Fatal' "$WORK_DIR/xorg.log" "$WORK_DIR/Xorg.out" 2>/dev/null | tail -n 5 | sed 's/^/        /'
    return 1
}

# launch_x_server NAME COMMAND...: the server writes its display number to fd 3 once it takes
# clients; sets DISPLAY, or false when it ends or stays silent.
launch_x_server()
{
    local name=$1 fdfile=$WORK_DIR/displayfd-$1
    shift
    : >"$fdfile"
    setpriv --pdeathsig TERM -- "$@" 3>"$fdfile" >"$WORK_DIR/$name.out" 2>&1 &
    local pid=$!
    remember_pid "$name" "$pid"
    display_number_written() { grep -qE '^[0-9]+$' "$fdfile" || ! process_running "$pid"; }
    poll_until 30 display_number_written
    local number
    number=$(head -n 1 "$fdfile")
    { [[ $number =~ ^[0-9]+$ ]] && process_running "$pid"; } || { stop_pid "$pid" "$name"; return 1; }
    export DISPLAY=:$number
}

start_display()
{
    X_SERVER=Xvfb
    if [[ ${VOZ_X_SERVER:-Xorg} == Xvfb ]]; then
        note "Xvfb, as VOZ_X_SERVER asks"
    elif start_xorg; then
        X_SERVER=Xorg
    else
        note "Xorg cannot start here: falling back to Xvfb"
    fi
    if [[ $X_SERVER == Xvfb ]]; then
        launch_x_server Xvfb Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset ||
            { cat "$WORK_DIR/Xvfb.out"; fail "Xvfb did not start"; }
    fi
    poll_until 30 xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
    read -r SCREEN_W SCREEN_H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2]; exit }')
    note "display $DISPLAY ($X_SERVER, ${SCREEN_W}x$SCREEN_H)"
}

wm_ready()
{
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || return 1
    local owner
    owner=$("$PYTHON" "$HARNESS_DIR/xprobe.py" tray-owner 2>/dev/null) || return 1
    [[ -n $owner && $owner != 0x0 ]]
}

start_wm()
{
    local cfg=$WORK_DIR/icewm
    mkdir -p "$cfg"
    # A quiet taskbar: nothing on it moves, so pictures of the tray compare equal.
    cat >"$cfg/preferences" <<'EOF'
TaskBarShowClock=0
TaskBarShowCPUStatus=0
TaskBarShowNetStatus=0
TaskBarShowMEMStatus=0
TaskBarShowMailboxStatus=0
TaskBarShowApm=0
TaskBarShowTray=1
TaskBarEnableSystemTray=1
EOF
    : >"$cfg/toolbar"
    ICEWM_PRIVCFG=$cfg HOME=$WORK_DIR/home setpriv --pdeathsig TERM -- icewm >"$WORK_DIR/icewm.log" 2>&1 &
    ICEWM_PID=$!
    remember_pid icewm "$ICEWM_PID"
    poll_until 30 wm_ready || { cat "$WORK_DIR/icewm.log"; fail "icewm and its tray did not come up"; }
}

# A PulseAudio of our own whose only sink is a null one.
PULSE_ARGS=(--daemonize=no --exit-idle-time=-1 --system=false -n --use-pid-file=false --high-priority=no
    --realtime=no --log-target=stderr --load=module-native-protocol-unix --load="module-null-sink sink_name=vozsink")

start_pulse()
{
    local dir=$WORK_DIR/pulse
    mkdir -p "$dir" "$WORK_DIR/home/.config"
    chmod 700 "$dir"
    env -u DISPLAY HOME="$WORK_DIR/home" XDG_CONFIG_HOME="$WORK_DIR/home/.config" \
        XDG_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir" DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK_DIR/no-bus" \
        setpriv --pdeathsig TERM -- pulseaudio "${PULSE_ARGS[@]}" >"$WORK_DIR/pulse.log" 2>&1 &
    remember_pid pulseaudio $!
    export PULSE_SERVER=unix:$dir/native
    poll_until 30 pactl info >/dev/null 2>&1 || { tail "$WORK_DIR/pulse.log"; fail "PulseAudio did not start"; }
    pactl set-default-sink vozsink >/dev/null 2>&1
}

# harness_start [no-wm]: all a scenario needs before voz starts; no-wm: no window manager, no tray.
harness_start()
{
    start_watchdog
    start_display
    [[ ${1:-} == no-wm ]] || start_wm
    start_pulse
    prepare_program_dir
}

# ---- sound ---------------------------------------------------------------------------------

# start_recording FILE: the null sink's sound (16-bit stereo 44.1 kHz WAV) until stop_recording;
# returns once data flows. A short latency: what parec still buffers when stopped is lost.
# RECORD_START: when it began (epoch, fractions): 8 KiB are the header and some 45 ms of sound.
start_recording()
{
    RECORD_FILE=$1
    setpriv --pdeathsig TERM -- parec --device=vozsink.monitor --file-format=wav --format=s16le \
        --rate=44100 --channels=2 --latency-msec=50 "$1" >"$WORK_DIR/parec.log" 2>&1 &
    RECORD_PID=$!
    remember_pid parec "$RECORD_PID"
    recording_flows() { (($(stat -c %s "$RECORD_FILE" 2>/dev/null || echo 0) > 8192)); }
    poll_until 10 recording_flows || fail "the recording does not start"
    RECORD_START=$(awk -v t="$(date +%s.%N)" 'BEGIN { printf "%.3f\n", t - 0.05 }')
}

stop_recording()
{
    [[ -n $RECORD_PID ]] || return 0
    # parec writes the WAV header's sizes when it is interrupted.
    kill -INT "$RECORD_PID" 2>/dev/null
    wait_for_process_exit "$RECORD_PID" 10 || stop_pid "$RECORD_PID"
    RECORD_PID=""
}

# recording_rms FILE [SECONDS]: the RMS amplitude (0..1) of a recording, also of one still being
# made, or of just its last SECONDS.
recording_rms()
{
    local file=$1 last=${2:-} at size data start
    at=$(grep -obUa -m1 data "$file" 2>/dev/null | head -n 1 | cut -d: -f1)
    [[ -n $at ]] || { echo 0; return 0; }
    size=$(stat -c %s "$file")
    data=$(((size - at - 8) / 4 * 4))  # whole frames only; parec may be mid-write
    start=$((at + 8))
    if [[ -n $last ]]; then
        local want
        want=$(awk -v s="$last" 'BEGIN { print int(s * 44100) * 4 }')
        ((want < data)) && { start=$((start + data - want)); data=$want; }
    fi
    ((data >= 4)) || { echo 0; return 0; }
    tail -c +$((start + 1)) "$file" | head -c "$data" |
        sox -t raw -r 44100 -e signed -b 16 -c 2 - -n stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'
}

# sound_rms / sound_length FILE: the whole recording's RMS amplitude (0..1) and length in seconds.
sound_rms() { sox "$1" -n stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'; }
sound_length() { sox "$1" -n stat 2>&1 | awk '/^Length/ {print $3}'; }

# active_stat FILE FIELD [THRESHOLD]: sox's "stat" figure from the first to the last sample above
# the threshold (default 1%), so the silence around a song does not dilute it; 0 for silence.
active_stat()
{
    local threshold=${3:-1%} value
    value=$(sox "$1" -n silence 1 0.005 "$threshold" reverse silence 1 0.005 "$threshold" reverse stat 2>&1 |
        awk -v field="^$2" '$0 ~ field {print $3}')
    echo "${value:-0}"
}

# ---- the program folder and the program ----------------------------------------------------

prepare_program_dir()
{
    [[ -x $VOZ_PROGRAM_DIR/voz ]] || fail "no program at $VOZ_PROGRAM_DIR/voz (build the voz target)"
    mkdir -p "$PROGRAM_DIR"
    if [[ -n ${VOZ_FULL_DISK:-} ]]; then
        # Room for the program and the scenario's files (a few MiB at most); the filler takes the rest.
        local size_k=$(($(du -sk "$VOZ_PROGRAM_DIR" | cut -f1) + 4096))
        mount -t tmpfs -o "size=${size_k}k,mode=0755" vozfull "$PROGRAM_DIR" 2>"$WORK_DIR/mount.log" || {
            echo "SKIPPED: $SCENARIO: cannot mount a tmpfs: $(cat "$WORK_DIR/mount.log")"
            exit 77
        }
        FULL_DISK_MOUNTED=1
        note "program folder on a tmpfs of $size_k KiB, filled whenever voz starts"
    fi
    cp -a "$VOZ_PROGRAM_DIR/." "$PROGRAM_DIR/" || fail "cannot copy $VOZ_PROGRAM_DIR"
}

program_file() { echo "$PROGRAM_DIR/$1"; }

# write_program_file NAME FORMAT [ARGS...]: printf's output becomes the file, byte for byte. On a
# full disk the scenario's own files go in first; it fills again when voz starts.
write_program_file()
{
    [[ -n ${FULL_DISK_MOUNTED:-} ]] && rm -f "$PROGRAM_DIR/filler"
    # shellcheck disable=SC2059
    printf "$2" "${@:3}" >"$PROGRAM_DIR/$1" || fail "cannot write $1"
}

remove_program_file() { (cd "$PROGRAM_DIR" && rm -f -- "$@"); }

start_voz()
{
    if [[ -n ${FULL_DISK_MOUNTED:-} ]]; then
        cat /dev/zero >>"$PROGRAM_DIR/filler" 2>/dev/null
        [[ $(df --output=avail -B1 "$PROGRAM_DIR" | tail -n 1 | tr -d ' ') == 0 ]] || fail "the program folder still has room"
    fi
    (
        cd "$WORK_DIR" || exit 1
        exec env HOME="$WORK_DIR/home" XDG_RUNTIME_DIR="$WORK_DIR/runtime" \
            XDG_CONFIG_HOME="$WORK_DIR/home/.config" LANG="${LANG:-C.UTF-8}" \
            QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK_DIR/no-bus" "${VOZ_ENV[@]}" \
            setpriv --pdeathsig TERM -- "$PROGRAM_DIR/voz"
    ) >>"$VOZ_LOG" 2>&1 &
    VOZ_PID=$!
    remember_pid voz "$VOZ_PID"
    note "voz started, pid $VOZ_PID"
}

# start_voz_in_tray [WHEN]: start_voz, then its icon in the tray; WHEN tells the start in a failure.
start_voz_in_tray() { start_voz; wait_for_tray_icon 30 || fail "no icon in the tray${1:+ $1}"; }

voz_running() { [[ -n $VOZ_PID ]] && process_running "$VOZ_PID"; }

# As a session ends it (TERM).
stop_voz()
{
    [[ -n $VOZ_PID ]] || return 0
    kill -TERM "$VOZ_PID" 2>/dev/null
    wait_for_process_exit "$VOZ_PID" 10 || stop_pid "$VOZ_PID" voz
    VOZ_PID="" TRAY_WIN=""
}

# ---- windows -------------------------------------------------------------------------------

# window_geometry WIN: the client area's place and size into WIN_X WIN_Y WIN_W WIN_H.
window_geometry()
{
    local g
    g=$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { if (x != "" && w != "") print x, y, w, h }') &&
        [[ -n $g ]] && read -r WIN_X WIN_Y WIN_W WIN_H <<<"$g"
}

window_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# wm_state WIN: Normal, Iconic or Withdrawn, as the window manager set it.
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ {print $NF}'; }
wm_state_is() { [[ $(wm_state "$1") == "$2" ]]; }

# find_window_title REGEX: the first shown window whose title matches.
find_window_title() { xdotool search --onlyvisible --name "$1" 2>/dev/null | awk 'NR == 1 { print } END { exit NR == 0 }'; }

# wait_for_window_title REGEX [SECONDS]: prints the window's id once it shows.
wait_for_window_title() { poll_until "${2:-20}" find_window_title "$1"; }

no_window_title() { ! find_window_title "$1" >/dev/null; }

wait_for_no_window() { poll_until "${2:-20}" no_window_title "$1"; }

pointer_at() { [[ $(xdotool getmouselocation 2>/dev/null) == "x:$1 y:$2 "* ]]; }

# Waits until the pointer is there (xdotool's --sync hangs when it already is).
move_pointer()
{
    pointer_at "$1" "$2" && return 0
    xdotool mousemove "$1" "$2" && poll_until 5 pointer_at "$1" "$2"
}

click_at() { move_pointer "$1" "$2" && xdotool click "${3:-1}"; }

# click_in_window WIN X Y [BUTTON]: X,Y of the client area.
click_in_window() { window_geometry "$1" && click_at $((WIN_X + $2)) $((WIN_Y + $3)) "${4:-1}"; }

press_keys() { xdotool key --delay 40 "$@"; }

# Controls as the windows place them, in twips from the client area's origin: left, top, width, height.
declare -A VOZ_CONTROLS=(
    [alarm_set.add]="5520 1680 612 372" [alarm_set.save]="1560 3720 252 252"
    [alarm_set.hour]="3720 120 372 264" [alarm_set.minute]="4320 120 372 264"
    [alarm_set.second]="4920 120 372 264" [alarm_set.am_pm]="5880 120 252 108"
    [files.name]="240 3240 3132 264" [overwrite.yes]="1200 720 732 252" [overwrite.no]="2280 720 732 252"
    [input.text]="240 120 3852 2052" [input.save]="2040 2280 972 372" [message.ok]="3600 2520 612 252"
    [settings.autoload]="240 840 132 180" [settings.close]="3480 1920 612 372"
    [warning.ok]="1320 1200 732 372" [load_error.ok]="1800 1440 732 372"
    [wallpaper.preview]="120 120 1572 1332" [wallpaper.change_now]="3720 720 1452 252"
    [wallpaper.clear]="3720 1200 1452 252" [wallpaper.add]="600 1560 492 252"
    [wallpaper.change]="1920 2280 132 180" [wallpaper.random]="4680 2640 252 180"
    [wallpaper.keep]="1920 2760 132 180" [wallpaper.close]="4560 3600 852 372"
    [wallpaper.save]="240 3960 252 252" [wallpaper.load]="720 3960 252 252"
    [wallpaper.delete]="240 3600 372 252" [wallpaper.delete_all]="840 3600 732 252"
    [wallpaper.minimise]="4560 3312 852 180"
    # A combo box's arrow: the rightmost 16 px of the box.
    [wallpaper.search_arrow]="4932 240 240 276" [wallpaper.interval_arrow]="4332 2280 240 276"
)

# control_centre CONTROL: "X Y", the control's centre in pixels from the client area's origin.
control_centre()
{
    local -a place
    read -ra place <<<"${VOZ_CONTROLS[$1]}"
    ((${#place[@]} == 4)) || fail "no control $1"
    echo $(((place[0] + place[2] / 2) / 15)) $(((place[1] + place[3] / 2) / 15))
}

double_click_first_alarm()
{
    window_geometry "$1" || fail "no Alarm Set window $1"
    move_pointer $((WIN_X + 1812 / 2 / 15 + 8)) $((WIN_Y + 360 / 15 + 9)) || fail "could not reach the alarm list"
    xdotool click --repeat 2 --delay 80 1
}

# shellcheck disable=SC2046  # the centre is two words
click_control() { click_in_window "$1" $(control_centre "$2") || fail "could not click $2"; }

# open_from_menu ITEM TITLE_REGEX: the tray menu's item opens the window; its id into WIN.
open_from_menu()
{
    choose_menu_item "$1"
    WIN=$(wait_for_window_title "$2" 20) || fail "no '${2//[\^$]/}' window after $1"
}

# close_with WIN CONTROL TITLE_REGEX: the window's button closes it.
close_with()
{
    click_control "$1" "$2"
    wait_for_no_window "$3" 10 || fail "'${3//[\^$]/}' stayed open after $2"
}

# save_list_as WIN NAME: the window's save button, then NAME typed into the chooser and Return.
save_list_as()
{
    click_control "$1" alarm_set.save
    local chooser
    chooser=$(wait_for_window_title '^Voz files$' 10) || fail "no 'Voz files' window after the save button"
    poll_until 5 window_painted "$chooser" || note_fault "the 'Voz files' window opened for '$2' stayed unpainted (black)"
    click_control "$chooser" files.name
    xdotool type --delay 60 "$2"
    sleep 0.3
    screenshot "chooser_$2" >/dev/null
    press_keys Return
    wait_for_no_window '^Voz files$' 10 || fail "the chooser stayed open after Return with the name '$2'"
}

# ---- the tray icon -------------------------------------------------------------------------

# An embedded tray icon carries _XEMBED_INFO, is shown inside the tray and has an icon's size.
tray_candidate()
{
    xprop -id "$1" _XEMBED_INFO 2>/dev/null | grep -q '=' || return 1
    window_viewable "$1" && window_geometry "$1" || return 1
    ((WIN_W >= 16 && WIN_W <= 64 && WIN_H >= 16 && WIN_H <= 64)) || return 1
    TRAY_WIN=$1 TRAY_X=$WIN_X TRAY_Y=$WIN_Y TRAY_W=$WIN_W TRAY_H=$WIN_H
}

# find_tray_icon: into TRAY_WIN TRAY_X TRAY_Y TRAY_W TRAY_H: the icon found last while it still
# shows, else a window of WM_CLASS "voz" in the tree, else one of the program's pid.
find_tray_icon()
{
    local line w
    local re='^[[:space:]]*(0x[0-9a-f]+) .*\("voz" "[^"]*"\)[[:space:]]+[0-9]+x[0-9]+\+'
    [[ -n $TRAY_WIN ]] && tray_candidate "$TRAY_WIN" && return 0
    while IFS= read -r line; do
        [[ $line =~ $re ]] && tray_candidate "${BASH_REMATCH[1]}" && return 0
    done < <(xwininfo -root -tree 2>/dev/null)
    if [[ -n $VOZ_PID ]]; then
        for w in $(xdotool search --pid "$VOZ_PID" 2>/dev/null); do
            tray_candidate "$(printf '0x%x' "$w")" && return 0
        done
    fi
    TRAY_WIN=""
    return 1
}

wait_for_tray_icon() { poll_until "${1:-30}" find_tray_icon; }
no_tray_icon() { ! find_tray_icon; }
wait_for_no_tray_icon() { poll_until "${1:-20}" no_tray_icon; }

click_tray_icon() { find_tray_icon && click_at $((TRAY_X + TRAY_W / 2)) $((TRAY_Y + TRAY_H / 2)) "${1:-1}"; }

# Off the tray, so no tooltip or hover covers the icon in a picture.
park_pointer() { move_pointer 512 300; }

capture_tray_icon() { find_tray_icon && capture_window "$TRAY_WIN" "$1"; }

# ---- the tray menu -------------------------------------------------------------------------

# find_popup MIN_W MIN_H [MAX_H]: a shown override-redirect window of the program (a menu, a
# drop-down list, a tooltip), not the tray icon, of that size: its id into POPUP_WIN, its place
# and size into WIN_X WIN_Y WIN_W WIN_H.
find_popup()
{
    local w
    for w in $(xdotool search --onlyvisible --classname '^voz$' 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        window_geometry "$w" || continue
        ((WIN_W >= $1 && WIN_H >= $2 && WIN_H <= ${3:-99999})) || continue
        [[ $(printf '0x%x' "$w") != "$TRAY_WIN" ]] && { POPUP_WIN=$w; return 0; }
    done
    return 1
}

# find_tray_menu: the shown popup menu (a tooltip is far smaller) into MENU_WIN, MENU_X/Y/W/H.
find_tray_menu()
{
    find_popup 40 60 || { MENU_WIN=""; return 1; }
    MENU_WIN=$POPUP_WIN MENU_X=$WIN_X MENU_Y=$WIN_Y MENU_W=$WIN_W MENU_H=$WIN_H
}

no_tray_menu() { ! find_tray_menu; }

keyboard_grabbed() { "$PYTHON" "$HARNESS_DIR/xprobe.py" keyboard-grabbed 2>/dev/null; }

# open_tray_menu: right-clicks the icon and waits until the menu shows and holds the keyboard.
# The pointer stays on the icon, so it never hovers over an item. MENU_AT_X/Y: where it clicked.
open_tray_menu()
{
    local attempt
    find_tray_menu && return 0
    for attempt in 1 2; do
        click_tray_icon 3 || return 1
        MENU_AT_X=$((TRAY_X + TRAY_W / 2)) MENU_AT_Y=$((TRAY_Y + TRAY_H / 2))
        # A click can be lost while the icon is still being embedded: one more try then.
        if poll_until 10 find_tray_menu; then
            poll_until 10 keyboard_grabbed || return 1
            return 0
        fi
        note "no menu after right-click $attempt"
    done
    return 1
}

# menu_item_index CAPTION: the item's 1-based place among the items (not separators).
menu_item_index() { printf '%s\n' "${VOZ_MENU_ITEMS[@]}" | grep -nxF -- "$1" | cut -d: -f1; }

# menu_highlight FILE: "TOP BOTTOM" of the highlighted item's band in a picture of the menu, by
# its coloured pixels (the rest of the menu is grey); nothing when no item is highlighted.
menu_highlight()
{
    pixels "$1" $((MENU_W / 2)) 0 1 "$MENU_H" | awk '
        { hi = $3; lo = $3
          for (i = 4; i <= 5; i++) { if ($i > hi) hi = $i; if ($i < lo) lo = $i }
          if (hi - lo > 60) { if (top == "") top = $2; bottom = $2 } }
        END { if (top != "") print top, bottom }'
}

capture_menu() { capture_window "$MENU_WIN" "$1"; }

# choose_menu_item CAPTION: opens the menu when it is not open, moves to the item with the
# Down key and presses Return. Fails when the menu shows no highlighted item before Return.
choose_menu_item()
{
    local index i
    index=$(menu_item_index "$1") || fail "no menu item '$1'"
    open_tray_menu || fail "the tray menu did not open"
    for ((i = 0; i < index; i++)); do press_keys Down; done
    sleep 0.2
    capture_menu "$WORK_DIR/menu-choice.png"
    [[ -n $(menu_highlight "$WORK_DIR/menu-choice.png") ]] || fail "no item highlighted in the menu before choosing '$1'"
    press_keys Return
    poll_until 10 no_tray_menu || fail "the menu stayed open after choosing '$1'"
}

close_tray_menu() { find_tray_menu || return 0; press_keys Escape; poll_until 10 no_tray_menu; }

# ---- pictures ------------------------------------------------------------------------------

# capture_region X Y W H FILE: what the screen shows there (one GetImage on the root window).
capture_region()
{
    "$PYTHON" "$HARNESS_DIR/xprobe.py" capture "$1" "$2" "$3" "$4" |
        convert -size "${3}x${4}" -depth 8 bgra:- -alpha off "$5"
}

# screenshot NAME: the whole screen into the scenario's folder; prints the file.
screenshot() { capture_region 0 0 "$SCREEN_W" "$SCREEN_H" "$SHOT_DIR/$1.png" && echo "$SHOT_DIR/$1.png"; }

# parked_screenshot NAME: the same without the pointer's hover, once the repaint it brings is done.
parked_screenshot() { park_pointer; sleep 0.3; screenshot "$1" >/dev/null; }

# painted X Y W H: the screen there (not a window's own image, which can be painted while the
# screen stays black) shows mostly a window's light face; window_painted WIN: the same for a window.
painted()
{
    capture_region "$1" "$2" "$3" "$4" "$WORK_DIR/painted.png" &&
        (($(count_pixels "$WORK_DIR/painted.png" 0 0 "$3" "$4" 'r > 200 && g > 200 && b > 200') * 2 > $3 * $4))
}
window_painted() { window_geometry "$1" && painted "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H"; }

# capture_window WIN FILE: what the screen shows inside the window (no compositor: a quicker crop).
capture_window() { xwd -silent -display "$DISPLAY" -id "$1" | convert xwd:- "$2"; }

# pixels FILE X Y W H: "X Y R G B" (0..255, X and Y within the region) for each pixel of it.
pixels()
{
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- 2>/dev/null |
        awk -F '[,:() ]+' '/^[0-9]+,[0-9]+:/ { print $1, $2, $3, $4, $5 }'
}

# find_combo_popup: the shown drop-down list of a combo box into WIN_X WIN_Y WIN_W WIN_H.
find_combo_popup() { find_popup 60 12; }
no_combo_popup() { ! find_combo_popup; }

# screen_rgb X Y: "R G B" of one pixel of the screen.
screen_rgb() { capture_region "$1" "$2" 1 1 "$WORK_DIR/pixel.png" && pixels "$WORK_DIR/pixel.png" 0 0 1 1 | cut -d' ' -f3-; }

# root_rgb / root_shows "R G B": the desktop at a point no window of a scenario covers.
ROOT_X=820 ROOT_Y=560
root_rgb() { screen_rgb "$ROOT_X" "$ROOT_Y"; }
root_shows() { rgb_near "$(root_rgb)" "$1"; }
root_pixmap_set() { xprop -root _XROOTPMAP_ID 2>/dev/null | grep -q 'pixmap id # 0x'; }

# make_pictures NAME:"R G B"...: one-colour pictures in PICTURES, the user's pictures folder.
make_pictures()
{
    local made colour
    PICTURES=$WORK_DIR/pictures
    mkdir -p "$PICTURES" "$WORK_DIR/home/.config"
    for made in "$@"; do
        colour=${made#*:}
        convert -size 64x48 "xc:rgb(${colour// /,})" -quality 95 "$PICTURES/${made%%:*}" || fail "cannot make ${made%%:*}"
    done
    printf 'XDG_PICTURES_DIR="%s"\n' "$PICTURES" >"$WORK_DIR/home/.config/user-dirs.dirs"
}

# rgb_near "R G B" "R G B" [TOLERANCE]: each channel within TOLERANCE (12: a JPEG's rounding).
rgb_near()
{
    local a b i d
    read -ra a <<<"$1"
    read -ra b <<<"$2"
    ((${#a[@]} == 3)) || return 1
    for i in 0 1 2; do
        d=$((a[i] - b[i]))
        ((d >= -${3:-12} && d <= ${3:-12})) || return 1
    done
}

# count_pixels FILE X Y W H AWK_CONDITION: how many pixels meet a condition such as 'r > 180 && g < 70'.
count_pixels() { pixels "$@" | awk '{ r = $3; g = $4; b = $5; if ('"$6"') n++ } END { print n + 0 }'; }

images_identical() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }

# diff_box A B: "X Y W H", the smallest rectangle holding every pixel that differs between two
# pictures of one size; nothing when they are identical.
diff_box()
{
    local box
    box=$(convert "$1" "$2" -compose difference -composite -separate -evaluate-sequence max \
        -threshold 0 -format '%@' info: 2>/dev/null)
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 0
    ((BASH_REMATCH[1] > 0 && BASH_REMATCH[2] > 0)) || return 0
    echo "${BASH_REMATCH[3]} ${BASH_REMATCH[4]} ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
}

# capture_stable FILE CAPTURE_COMMAND...: runs the capture (which takes FILE last) until two
# pictures in a row are identical, so a repaint in progress is never what gets compared.
capture_stable()
{
    local file=$1 i
    shift
    "$@" "$file.previous" || return 1
    for ((i = 0; i < 50; i++)); do
        sleep 0.1
        "$@" "$file" || return 1
        images_identical "$file" "$file.previous" && { rm -f "$file.previous"; return 0; }
        mv "$file" "$file.previous"
    done
    return 1
}

# ---- alarms --------------------------------------------------------------------------------

# write_autoload_ini [FORMAT ARGS...]: a voz.ini whose fourth record turns on loading my.dat at
# start, then the records of printf's FORMAT.
write_autoload_ini()
{
    local zeros
    zeros=$(printf '\\x00%.0s' {1..153})  # records 1..3
    write_program_file voz.ini "${zeros}%-17s\\x01\\x00\\x01\\x00%-30s${1:-}" '[Setting]' AutomaticLoadOn "${@:2}"
}

# ini_record N: the bytes of voz.ini's record N: 17 of label, top and left (16-bit LE), 30 of text.
ini_record() { tail -c +$((($1 - 1) * 51 + 1)) "$(program_file voz.ini)" 2>/dev/null | head -c 51; }

# clock_at EPOCH: that moment's time of day, HH:MM:SS.
clock_at() { date -d "@$1" +%H:%M:%S; }

# The program only knows alarms of the same day: near midnight, wait for the new day.
avoid_midnight()
{
    local left
    left=$((86400 - 10#$(date +%H) * 3600 - 10#$(date +%M) * 60 - 10#$(date +%S)))
    ((left > 120)) && return 0
    note "midnight is $left s away: waiting for the new day"
    past_midnight() { [[ $(date +%H) == 00 ]]; }
    poll_until $((left + 10)) past_midnight || fail "the clock did not pass midnight"
    sleep 1
}

clock_reached() { (($(date +%s) >= $1)); }
wait_for_clock() { poll_until $(($1 - $(date +%s) + 5)) clock_reached "$1"; }

# Decimal numbers: above VALUE LIMIT, below VALUE LIMIT, between VALUE LOW HIGH.
above() { awk -v v="$1" -v l="$2" 'BEGIN { exit !(v > l) }'; }
below() { awk -v v="$1" -v l="$2" 'BEGIN { exit !(v < l) }'; }
between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v > lo && v < hi) }'; }

# sound_flowing / sound_silent [SECONDS]: whether the recording's last SECONDS (0.3) hold sound.
sound_flowing() { above "$(recording_rms "$RECORD_FILE" "${1:-0.3}")" 0.01; }
sound_silent() { below "$(recording_rms "$RECORD_FILE" "${1:-0.3}")" 0.001; }

# sound_onset FILE [THRESHOLD]: when (epoch, fractions) the latest recording's first sample above
# it reached the sink.
sound_onset()
{
    local total rest
    total=$(sound_length "$1")
    rest=$(sox "$1" -n silence 1 0.005 "${2:-1%}" stat 2>&1 | awk '/^Length/ {print $3}')
    awk -v s="$RECORD_START" -v t="$total" -v r="${rest:-0}" 'BEGIN { printf "%.3f\n", s + t - r }'
}

# prepare_alarm WORD SECONDS [MESSAGE]: starts recording the sink and writes a voz.ini that loads
# my.dat at start and a my.dat with one alarm (once, twice, thrice or repeat) SECONDS from now
# and, when given, its message; start voz next. ALARM_AT: the alarm's second (epoch),
# ALARM_CLOCK: the same as HH:MM:SS.
prepare_alarm()
{
    local word=$1 ahead=$2 message=${3:-}
    avoid_midnight
    write_autoload_ini
    start_recording "$WORK_DIR/sound.wav"
    ALARM_AT=$(($(date +%s) + ahead))
    ALARM_CLOCK=$(clock_at "$ALARM_AT")
    write_program_file my.dat '"%s %s"\r\n' "$word" "$ALARM_CLOCK"
    [[ -z $message ]] || printf '"%s at %s"\r\n' "$message" "$ALARM_CLOCK" >>"$PROGRAM_DIR/my.dat"
    note "alarm '$word' at $ALARM_CLOCK"
}

# start_with_alarm WORD SECONDS [MESSAGE]: harness_start, prepare_alarm, voz in the tray.
start_with_alarm()
{
    harness_start
    prepare_alarm "$@"
    start_voz_in_tray
    park_pointer
}

# wait_for_alarm_window [SECONDS]: the prepared alarm's "Message" window into MESSAGE_WIN; fails when
# it does not show within SECONDS (40), or shows more than 3 s from the alarm's second. SHOWN_LATE:
# seconds from the alarm's second to the window (fractions).
wait_for_alarm_window()
{
    MESSAGE_WIN=$(wait_for_window_title '^Message' "${1:-40}") ||
        fail "no 'Message' window by $(date +%T) for the alarm at $ALARM_CLOCK"
    local shown_at
    SHOWN_LATE=$(awk -v s="$(date +%s.%N)" -v a="$ALARM_AT" 'BEGIN { printf "%.2f\n", s - a }')
    shown_at=$(date +%s)
    ((shown_at >= ALARM_AT && shown_at <= ALARM_AT + 3)) ||
        fail "the 'Message' window showed at $(clock_at "$shown_at"), the alarm was at $ALARM_CLOCK"
    pass "the 'Message' window showed at $(clock_at "$shown_at") for the alarm at $ALARM_CLOCK"
}

# expect_sound [SECONDS] [WHAT]: fails unless sound reaches the sink within SECONDS (5).
expect_sound() { poll_until "${1:-5}" sound_flowing || fail "no sound${2:+ for $2} reached the sink by $(date +%T)"; }

# check_song LOW HIGH WHAT [SECONDS]: once the sound has stopped for a second (within SECONDS, 8),
# stops the recording: the sound, without the silence around it, was loud and lasted LOW to HIGH
# seconds, as WHAT does. SONG_RMS, SONG_LENGTH: what was measured.
check_song()
{
    poll_until "${4:-8}" sound_silent 1 || fail "the sound still plays at $(date +%T), long after $3"
    stop_recording
    SONG_RMS=$(active_stat "$RECORD_FILE" 'RMS +amplitude')
    SONG_LENGTH=$(active_stat "$RECORD_FILE" Length)
    note "sound: RMS $SONG_RMS over $SONG_LENGTH s"
    above "$SONG_RMS" 0.02 || fail "the song reached the sink only at RMS $SONG_RMS"
    between "$SONG_LENGTH" "$1" "$2" || fail "sound for $SONG_LENGTH s, not $3"
}

# text_lines FILE X Y W H: how many lines of dark text (bands of rows with dark pixels) the region holds.
text_lines()
{
    pixels "$@" | awk '$3 < 100 && $4 < 100 && $5 < 100 { dark[$2]++ }
        END { for (y = 0; y < '"$5"'; y++) { if (dark[y] && !dark[y - 1]) n++ } print n + 0 }'
}

# message_text_lines WIN FILE: the "Message" window into FILE; prints the lines of text its text
# box shows (inside its margins, above the button row).
message_text_lines()
{
    capture_window "$1" "$2"
    window_geometry "$1"
    text_lines "$2" 10 10 $((WIN_W - 40)) $((WIN_H - 50))
}

# expect_message_lines WIN NAME OP COUNT WHAT: a picture of the "Message" window as NAME.png among the
# scenario's pictures; fails unless its lines of text, `lines`, are -eq (exactly) or -ge COUNT.
expect_message_lines()
{
    lines=$(message_text_lines "$1" "$SHOT_DIR/$2.png")
    test "$lines" "$3" "$4" || fail "the message window shows $lines line(s) of text, not $5"
    pass "the message window shows $lines line(s) of text"
}

# wait_for_clock_title WIN: the "Message" window's title shows "Message  ", the date and the time,
# and moves on with the clock; TITLE_FIRST and TITLE: the first and the last title seen.
wait_for_clock_title()
{
    title_is_clock()
    {
        TITLE=$(xdotool getwindowname "$1" 2>/dev/null) &&
            [[ $TITLE =~ ^Message\ \ [^\ ].*[0-9]{1,2}:[0-9]{2}:[0-9]{2} ]]
    }
    title_moved_on() { title_is_clock "$1" && [[ $TITLE != "$TITLE_FIRST" ]]; }
    TITLE=""
    poll_until 3 title_is_clock "$1" || fail "the window's title is '$TITLE', not 'Message  ' with the date and time"
    TITLE_FIRST=$TITLE
    poll_until 3 title_moved_on "$1" || fail "the title stays '$TITLE_FIRST': the clock does not tick"
    pass "the title went from '$TITLE_FIRST' to '$TITLE'"
}

# file_is NAME EXPECTED_PRINTF_FORMAT ARGS...: the program folder's file holds exactly those bytes.
# shellcheck disable=SC2059
file_is() { cmp -s "$(program_file "$1")" <(printf "$2" "${@:3}"); }

# show_bytes NAME: the start of a program folder's file, for a failure report.
show_bytes() { od -c "$(program_file "$1")" | head -n 8 | sed 's/^/        /'; }

# expect_file NAME WHAT FORMAT ARGS...: within 5 s the file holds exactly file_is's bytes.
expect_file()
{
    poll_until 5 file_is "$1" "${@:3}" || { show_bytes "$1"; fail "$1 does not hold $2"; }
    pass "$1 holds $2"
}
