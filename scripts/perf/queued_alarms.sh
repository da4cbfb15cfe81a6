# shellcheck shell=bash
# write_queued_alarms COUNT: a voz.ini that loads my.dat at start and a my.dat of COUNT "once"
# alarms with messages, from 10 minutes ahead to the end of the day (at most 10 minutes apart).
# Prints "alarms=COUNT from HH:MM:SS every N s". Sourced after tests/desktop/harness.sh.
write_queued_alarms()
{
    local count=$1 now midnight first step at i
    avoid_midnight
    now=$(date +%s)
    midnight=$(date -d "tomorrow 00:00:00" +%s)
    first=$((now + 600))
    ((midnight - 1 - first >= count)) || fail "too close to midnight for $count alarms later today"
    step=$(((midnight - 1 - first) / count))
    ((step > 600)) && step=600
    write_autoload_ini
    : >"$(program_file my.dat)"
    for ((i = 0; i < count; i++)); do
        at=$(clock_at $((first + i * step)))
        printf '"once %s"\r\n"Alarm %d at %s"\r\n' "$at" $((i + 1)) "$at" >>"$(program_file my.dat)"
    done
    echo "alarms=$count from $(clock_at "$first") every $step s"
}
