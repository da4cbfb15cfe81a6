# shellcheck shell=bash disable=SC2034  # variables the scenarios use
# Sourced after harness.sh: runs voz on a clock the scenario can move, through libfaketime. The
# program's wall clock is the real one plus an offset that libfaketime reads from a file on every
# call, so rewriting the file makes the clock jump; timers keep the real monotonic clock.
# Without libfaketime the scenario ends as skipped (exit 77).

FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 /usr/lib/faketime/libfaketimeMT.so.1 2>/dev/null | head -n 1)
if [[ -z $FAKETIME_LIB ]]; then
    echo "SKIP: $SCENARIO: libfaketime is not installed (Debian package libfaketime)"
    exit 77
fi

FAKE_CLOCK_FILE=$WORK_DIR/faketime
FAKE_OFFSET=0
FAKED_PIDS=()

# fake_clock_set EPOCH: from now on the program's clock reads EPOCH (a jump).
fake_clock_set()
{
    FAKE_OFFSET=$(($1 - $(date +%s)))
    printf '%+d\n' "$FAKE_OFFSET" >"$FAKE_CLOCK_FILE.new" && mv "$FAKE_CLOCK_FILE.new" "$FAKE_CLOCK_FILE"
    note "the program's clock jumps to $(date -d "@$1" '+%F %T')"
}

# fake_now: the program's clock, whole seconds since the epoch; fake_of REAL: a real moment
# (fractions allowed) on the program's clock.
fake_now() { echo $(($(date +%s) + FAKE_OFFSET)); }
fake_of() { awk -v t="$1" -v o="$FAKE_OFFSET" 'BEGIN { printf "%.2f\n", t + o }'; }
fake_clock_reached() { (($(fake_now) >= $1)); }
wait_for_fake_clock() { poll_until $(($1 - $(fake_now) + 5)) fake_clock_reached "$1"; }
fake_time() { date -d "@${1%.*}" +%T; }

# libfaketime leaves its shared memory behind in /dev/shm; remove what our program made.
fake_clock_cleanup()
{
    local pid
    for pid in "${FAKED_PIDS[@]}"; do
        rm -f "/dev/shm/faketime_shm_$pid" "/dev/shm/sem.faketime_sem_$pid"
    done
}
trap 'harness_cleanup; fake_clock_cleanup' EXIT

# start_voz_on_fake_clock EPOCH: voz, whose clock reads EPOCH now, in the tray; the pointer parked.
start_voz_on_fake_clock()
{
    fake_clock_set "$1"
    VOZ_ENV+=(LD_PRELOAD="$FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$FAKE_CLOCK_FILE" FAKETIME_NO_CACHE=1
        FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1)
    start_voz
    FAKED_PIDS+=("$VOZ_PID")
    wait_for_tray_icon 30 || fail "no icon in the tray"
    park_pointer
}
