#!/usr/bin/env bash
# Takes the user guide's pictures anew: runs the desktop scenario that opens every window and
# copies its pictures to docs/pictures/.  Usage: scripts/update-guide-pictures.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
ctest --test-dir "$build" -R '^desktop_guide_pictures$' --output-on-failure
mkdir -p docs/pictures
cp "$build/tests/desktop/screenshots/guide_pictures/"{about,alarm_set,settings,warning,input_message,file_chooser,overwrite,wallpaper,message,load_error}.png docs/pictures/
echo "pictures copied to docs/pictures/"
