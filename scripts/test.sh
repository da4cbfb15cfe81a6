#!/usr/bin/env bash
# Sets up what is missing, builds Voz with its tests and runs every test: unit, widget, fuzz
# and desktop (under Xvfb).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOZ_BUILD_TESTS=ON >/dev/null
cmake --build "$root/build"
cd "$root/build"
ctest --output-on-failure --timeout 900 "$@"
