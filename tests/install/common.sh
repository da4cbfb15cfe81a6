# shellcheck shell=bash
# Shared by the install tests: failure reports, picture sizes, desktop entry validation and
# starting Voz through a launcher.
set -uo pipefail
failures=0
skipped=()
work="$(mktemp -d)"
trap 'stop_voz; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
skip() { echo "SKIP: $*" >&2; skipped+=("$*"); }
# Ends the test: failed, skipped when a check could not run, passed only when all ran.
finish() {
  if [[ $failures -gt 0 ]]; then echo "$failures check(s) failed" >&2; exit 1; fi
  if [[ ${#skipped[@]} -gt 0 ]]; then exit 77; fi
  echo "all checks passed"
}

# check_icons DIR: the clock in every size of the hicolor theme under DIR (…/icons/hicolor).
check_icons() {
  local size
  for size in 16 22 24 32 48 64 128 256; do
    local png="$1/${size}x${size}/apps/voz.png" got
    got="$(identify -format '%m %wx%h' "$png" 2>/dev/null)" || { fail "no icon $png"; continue; }
    [[ "$got" == "PNG ${size}x${size}" ]] || fail "$png is $got"
  done
}

validate_desktop() {
  if ! command -v desktop-file-validate >/dev/null; then
    skip "desktop-file-validate is not installed (desktop-file-utils)"
    return
  fi
  local f
  for f in "$@"; do
    desktop-file-validate "$f" || fail "$f does not validate"
  done
}

# start_voz LAUNCHER EXPECTED: the launcher offscreen in the background (output in $work/voz.log)
# until its process has become EXPECTED (the launcher execs the program); its pid in voz_pid.
start_voz() {
  QT_QPA_PLATFORM=offscreen "$1" >"$work/voz.log" 2>&1 &
  voz_pid=$!
  for _ in $(seq 100); do
    [[ "$(readlink "/proc/$voz_pid/exe" 2>/dev/null)" == "$2" ]] && return 0
    kill -0 "$voz_pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "$1 did not start $2 (it runs $(readlink "/proc/$voz_pid/exe" 2>/dev/null || echo nothing))"
  cat "$work/voz.log" >&2
  stop_voz
  return 1
}
voz_pid=""
stop_voz() {
  [[ -n "$voz_pid" ]] || return 0
  kill "$voz_pid" 2>/dev/null || true
  wait "$voz_pid" 2>/dev/null || true
  voz_pid=""
}
