#!/usr/bin/env bash
# Sets up what is missing, builds Voz with its tests and runs every test: unit, widget, fuzz
# and desktop (on Xorg's dummy driver, else Xvfb); then builds the unit and widget tests once
# more under AddressSanitizer and UndefinedBehaviorSanitizer (in build-asan) and runs them there,
# where any report fails its test. Fails when either run fails.
#
#   scripts/test.sh                     both runs
#   scripts/test.sh <ctest arguments>   the normal build only, e.g. -L unit
#   scripts/test.sh --sanitize [<ctest arguments>]   the sanitizer build only
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

# Each step chains with && so that a failure is the function's status even where the caller
# tests it (set -e does not apply there).
normal() {
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOZ_BUILD_TESTS=ON >/dev/null &&
    cmake --build "$root/build" &&
    (cd "$root/build" && ctest --output-on-failure --timeout 900 "$@")
}

# Debug keeps Qt's and our asserts (the tree adds -O1 to stay fast); the test binaries and the
# program are built; the program runs in the one desktop scenario labelled "sanitized".
sanitized() {
  cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOZ_SANITIZE=ON >/dev/null &&
    cmake --build "$root/build-asan" --target voz_tests voz &&
    (cd "$root/build-asan" && ctest --output-on-failure --timeout 900 -L 'unit|widget|sanitized' "$@")
}

if [[ "${1-}" == --sanitize ]]; then
  shift
  sanitized "$@"
elif [[ $# -gt 0 ]]; then
  normal "$@"
else
  rc=0
  normal || rc=$?
  echo "=== The unit and widget tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  sanitized || rc=$?
  exit "$rc"
fi
