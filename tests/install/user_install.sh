#!/usr/bin/env bash
# The per-user install into a private home whose XDG folders lie elsewhere (with a space and a
# quote in the path): what lands where, the menu and autostart entries, the launcher starting
# the installed program, an update while Voz runs, then uninstall keeping the user's own files
# and --purge removing the rest.
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
: "${VOZ_SOURCE_DIR:?}" "${VOZ_BUILD_DIR:?}"

tree="$work/tree"  # the logs stay outside
export HOME="$tree/my home"
export XDG_DATA_HOME="$tree/it's data"
export XDG_CONFIG_HOME="$tree/config"
mkdir -p "$HOME"
program="$XDG_DATA_HOME/voz"
launcher="$HOME/.local/bin/voz"
menu="$XDG_DATA_HOME/applications/voz.desktop"
autostart="$XDG_CONFIG_HOME/autostart/voz.desktop"
install() { "$VOZ_SOURCE_DIR/scripts/install.sh" --no-build --build-dir "$VOZ_BUILD_DIR" "$@" >"$work/install.log" 2>&1 \
  || { fail "install.sh $* failed"; cat "$work/install.log" >&2; }; }

install --autostart
for f in voz librodidad.so libvozmidi.so libvozsound.so ding.wav didi.snd air.mid; do
  [[ -f "$program/$f" ]] || fail "no $f in the program folder"
done
for f in ding.wav didi.snd air.mid; do
  cmp -s "$VOZ_BUILD_DIR/voz/$f" "$program/$f" || fail "$f differs from the built one"
done
[[ -x "$program/voz" && -x "$launcher" ]] || fail "voz or its launcher is not executable"
[[ -f "$menu" && -f "$autostart" ]] || fail "menu or autostart entry missing"
check_icons "$XDG_DATA_HOME/icons/hicolor"
[[ ! -e "$HOME/.local/share" && ! -e "$HOME/.config" ]] || fail "wrote to the default XDG folders"
validate_desktop "$menu" "$autostart"
grep -qxF "Exec=\"$launcher\"" "$menu" || fail "the menu entry does not run $launcher: $(grep ^Exec= "$menu")"
cmp -s "$menu" "$autostart" || fail "the autostart entry differs from the menu entry"

# The user's own files, and a file an older install had put there.
printf 'x\n' | tee "$program/voz.ini" "$program/my.dat" "$program/Wpaper.dat" "$program/own song.wav" >/dev/null
touch "$program/retired.bin"
echo "$program/retired.bin" >>"$program/.installed-files"

# Updating (now without autostart) while Voz runs from the folder.
if start_voz "$launcher" "$program/voz"; then
  install
  kill -0 "$voz_pid" 2>/dev/null || fail "the running Voz did not survive the update"
  stop_voz
fi
[[ ! -e "$autostart" ]] || fail "the autostart entry stayed although not asked for"
[[ ! -e "$program/retired.bin" ]] || fail "a file of the older install stayed"
[[ -f "$menu" && -x "$program/voz" ]] || fail "the update lost files"

"$VOZ_SOURCE_DIR/scripts/uninstall.sh" >"$work/uninstall.log" 2>&1 || fail "uninstall.sh failed"
left="$(cd "$tree" && find . -type f | sort)"
expected="$(printf '%s\n' "./it's data/voz/Wpaper.dat" "./it's data/voz/my.dat" "./it's data/voz/own song.wav" \
  "./it's data/voz/voz.ini" | sort)"
[[ "$left" == "$expected" ]] || fail "after uninstall, expected only the user's files, found:"$'\n'"$left"
[[ "$(cat "$program/voz.ini")" == x ]] || fail "voz.ini changed"
[[ ! -d "$XDG_DATA_HOME/icons/hicolor/16x16" ]] || fail "an empty icon folder stayed"

"$VOZ_SOURCE_DIR/scripts/uninstall.sh" --purge >"$work/uninstall.log" 2>&1 || fail "uninstall.sh --purge failed"
[[ -z "$(cd "$tree" && find . -type f)" ]] || fail "files left after --purge: $(cd "$tree" && find . -type f)"
finish
