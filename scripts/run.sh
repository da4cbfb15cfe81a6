#!/usr/bin/env bash
# Sets up what is missing, builds Voz and starts it in the tray.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target voz
exec "$root/build/voz/voz"
