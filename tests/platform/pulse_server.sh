#!/usr/bin/env bash
# pulse_server.sh start|stop DIR
# start: a private PulseAudio for the audio tests, its default output a null sink, its socket
#        DIR/runtime/native; it keeps running after this script, its pid in DIR/daemon.pid.
# stop:  ends the server that start began, by that pid.
set -euo pipefail
action=${1:?start or stop}
dir=${2:?folder for the server}
pidfile=$dir/daemon.pid
runtime=$dir/runtime

ours() # PID: is it the server started for DIR (and not a process that got its pid since)?
{
    [[ $(cat "/proc/$1/comm" 2>/dev/null) == pulseaudio ]] &&
        tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | grep -qxF "PULSE_RUNTIME_PATH=$runtime"
}

stop_server()
{
    [[ -f $pidfile ]] || return 0
    local pid
    pid=$(<"$pidfile")
    if [[ $pid =~ ^[0-9]+$ ]] && ours "$pid"; then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 50); do ours "$pid" || break; sleep 0.1; done
        if ours "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    fi
    rm -f "$pidfile"
}

[[ $action == start || $action == stop ]] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
stop_server  # on start, one left over by an interrupted run
[[ $action == stop ]] && exit 0

command -v pulseaudio >/dev/null || { echo "pulseaudio is missing (scripts/packages.txt)" >&2; exit 1; }
mkdir -p "$runtime" "$dir/home/.config"
chmod 700 "$runtime"
rm -f "$runtime/native"
# Its own session and no inherited descriptors, so that ctest does not wait for it.
env -u DISPLAY -u PULSE_SERVER HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" \
    XDG_RUNTIME_DIR="$runtime" PULSE_RUNTIME_PATH="$runtime" DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no-bus" \
    setsid pulseaudio --daemonize=no --exit-idle-time=-1 --system=false -n --use-pid-file=false \
    --high-priority=no --realtime=no --log-target=stderr \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=voztests" \
    </dev/null >"$dir/pulse.log" 2>&1 &
echo $! >"$pidfile"
export PULSE_SERVER=unix:$runtime/native
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
if ! pactl info >/dev/null 2>&1; then
    tail -n 20 "$dir/pulse.log" >&2
    stop_server
    echo "PulseAudio did not start" >&2
    exit 1
fi
pactl set-default-sink voztests
echo "PulseAudio $(<"$pidfile") at $PULSE_SERVER"
