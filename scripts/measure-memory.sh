#!/usr/bin/env bash
# Resident memory of voz after every window has been opened and closed once.
#   scripts/measure-memory.sh [BUILD_DIR]   (default build-bench, configured with VOZ_BUILD_BENCH=ON)
# Runs under a private Xvfb (xcb, as on a desktop) when Xvfb is installed, otherwise offscreen.
# Two readings: the real voz binary idle after start-up, and bench/voz_memory, which starts the
# program the same way on the same desktop platform and then opens and closes each window from
# code (the commands the menu and buttons run), printing VmRSS/VmHWM from /proc.
set -euo pipefail
build=${1:-build-bench}
probe=$build/bench/voz_memory
[[ -x $probe && -x $build/voz/voz ]] || { echo "build voz_memory first: cmake --build $build --target voz_memory" >&2; exit 2; }

work=$(mktemp -d)
trap 'kill "${voz_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# A fresh program folder: no settings, no my.dat.
cp -r "$build/voz" "$work/voz"
rm -f "$work/voz/"*.dat "$work/voz/"*.ini 2>/dev/null || true
export HOME=$work/home XDG_RUNTIME_DIR=$work/run LANG=C.UTF-8
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

if command -v Xvfb >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 3>"$work/display" &
    xvfb_pid=$!
    for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$work/display") QT_QPA_PLATFORM=xcb
    echo "display: Xvfb $DISPLAY (xcb)"
else
    export QT_QPA_PLATFORM=offscreen
    echo "display: offscreen"
fi

"$work/voz/voz" >"$work/voz.log" 2>&1 &
voz_pid=$!
sleep 3
if kill -0 "$voz_pid" 2>/dev/null; then
    echo "voz idle after start-up:     VmRSS $(awk '/^VmRSS/{print $2,$3}' /proc/$voz_pid/status)   VmHWM $(awk '/^VmHWM/{print $2,$3}' /proc/$voz_pid/status)"
    kill "$voz_pid"; wait "$voz_pid" 2>/dev/null || true
else
    echo "voz ended early:"; cat "$work/voz.log"
fi
unset voz_pid

"$probe" "$work/voz"
