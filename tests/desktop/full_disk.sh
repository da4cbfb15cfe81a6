#!/usr/bin/env bash
# shellcheck disable=SC2119,SC2317
# The program folder on a small tmpfs of its own, filled to the last page:
#  1. saving the alarm list over my.dat through the Alarm Set window, the chooser and "Yes" in the
#     overwrite question fails; my.dat keeps every byte and a warning says so;
#  2. a voz.ini record that needs a new page (no voz.ini yet) is not stored, and nothing of it
#     is left half-written;
#  3. with a file size limit that cuts a record in the middle (what a disk that takes only part
#     of a write does), voz.ini keeps every byte.
# Skipped (77) without the right to mount a tmpfs in a private mount namespace.
VOZ_FULL_DISK=1
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"

same_bytes() { cmp -s "$(program_file "$1")" "$2"; }
# Files of the folder that the program did not bring: leftovers of a failed write would show here.
extra_files()
{
    comm -13 <(find "$VOZ_PROGRAM_DIR" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort) \
        <(find "$PROGRAM_DIR" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort) |
        grep -vxE 'my\.dat|voz\.ini|filler' || true
}
window_size_is() { window_geometry "$1" && ((WIN_W == $2 && WIN_H == $3)); }
# The warning window (229x114; the overwrite question shares its title but is 222x81).
find_warning()
{
    local w
    for w in $(xdotool search --onlyvisible --name '^Voz Warning Message$' 2>/dev/null); do
        window_size_is "$w" 229 114 && { echo "$w"; return 0; }
    done
    return 1
}
# The Settings window's Close stores record 4.
settings_close()
{
    open_from_menu Settings '^Voz setting$'
    close_with "$WIN" settings.close '^Voz setting$'
    sleep 0.5
}

harness_start

# ---- 1. my.dat ---------------------------------------------------------------------------
avoid_midnight
write_autoload_ini
first=$(clock_at $(($(date +%s) + 100)))
second=$(clock_at $(($(date +%s) + 110)))
# Out of order, so the list the program would write differs from the file.
write_program_file my.dat '"once %s"\r\n"once %s"\r\n"Old note at %s"\r\n' "$second" "$first" "$first"
cp "$(program_file my.dat)" "$WORK_DIR/my.dat.old"
cp "$(program_file voz.ini)" "$WORK_DIR/voz.ini.old"
start_voz_in_tray

open_from_menu "Alarm Set" '^Voz Alarm Set$'
alarm_set=$WIN
save_list_as "$alarm_set" my
question=$(wait_for_window_title '^Voz Warning Message$' 10) || fail "no overwrite question for my.dat"
window_size_is "$question" 222 81 || fail "the window after the chooser is ${WIN_W}x${WIN_H}, not the overwrite question"
screenshot overwrite_question >/dev/null
click_control "$question" overwrite.yes
pass "the chooser asked to overwrite my.dat; Yes"

warning=$(poll_until 10 find_warning && find_warning) || fail "no warning after the failed save on the full disk"
parked_screenshot save_failed
capture_window "$warning" "$WORK_DIR/warning.png"
lines=$(text_lines "$WORK_DIR/warning.png" 16 8 200 65)
((lines >= 2)) || fail "the warning shows $lines lines of text, not the file's name and the reason"
pass "a warning with $lines lines of text tells of the failed save"
same_bytes my.dat "$WORK_DIR/my.dat.old" || { show_bytes my.dat; fail "my.dat changed"; }
[[ -z $(extra_files) ]] || fail "the failed save left files behind: $(extra_files | tr '\n' ' ')"
pass "my.dat keeps every byte of the old file, nothing is left behind"

# Closing the Alarm Set window stores record 1 in the page voz.ini already has: whole or not at all.
xdotool windowclose "$alarm_set" 2>/dev/null || xdotool key --window "$alarm_set" alt+F4
wait_for_no_window '^Voz Alarm Set$' 10 || fail "the Alarm Set window stayed open"
sleep 0.5
record1_whole()
{
    local ini
    ini=$(program_file voz.ini)
    (($(stat -c %s "$ini") == 204)) || return 1
    cmp -s <(tail -c +52 "$ini") <(tail -c +52 "$WORK_DIR/voz.ini.old") || return 1
    head -c 51 "$ini" | cmp -s - <(head -c 51 "$WORK_DIR/voz.ini.old") && return 0
    [[ $(head -c 17 "$ini") == '[TimeInputLoc]   ' ]] && (($(head -c 51 "$ini" | tr -d '\0' | wc -c) >= 17))
}
record1_whole || { od -c "$(program_file voz.ini)" | head -n 12; fail "voz.ini is not its four whole records"; }
pass "voz.ini still holds four whole records"
stop_voz

# ---- 2. a record that needs a page the disk does not have -------------------------------------
remove_program_file voz.ini
start_voz_in_tray "(second start)"
settings_close
ini=$(program_file voz.ini)
[[ ! -s $ini ]] ||
    { od -c "$ini" | head -n 16; fail "voz.ini holds $(stat -c %s "$ini") bytes on the full disk, not nothing"; }
pass "record 4 was not stored on the full disk, and nothing of it is in voz.ini"
screenshot settings_on_full_disk >/dev/null
stop_voz

# ---- 3. a write cut in the middle of a record ------------------------------------------------
rm -f "$(program_file filler)"
head -c 153 "$WORK_DIR/voz.ini.old" >"$ini" || fail "cannot write voz.ini"  # records 1 to 3
cp "$ini" "$WORK_DIR/voz.ini.three"
# Past the limit a write fails with EFBIG instead of stopping the program.
trap '' XFSZ
start_voz
trap - XFSZ
prlimit --pid "$VOZ_PID" --fsize=170 || fail "cannot limit the program's file size"
wait_for_tray_icon 30 || fail "no icon in the tray (third start)"
settings_close
same_bytes voz.ini "$WORK_DIR/voz.ini.three" ||
    { od -c "$ini" | head -n 16; fail "voz.ini changed though record 4 could not be written whole"; }
pass "a record 4 cut by the file size limit left voz.ini as it was (153 bytes)"
passed_while_voz_runs
