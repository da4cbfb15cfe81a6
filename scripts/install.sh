#!/usr/bin/env bash
# Installs Voz for the current user: builds it (unless --no-build), then puts the program folder
# in $XDG_DATA_HOME/voz (where Voz can write its settings and lists beside itself), a voz
# launcher in ~/.local/bin, the menu entry and the icon. --autostart also starts Voz at login.
# Running it again updates the install; files the user made in the program folder stay.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

usage() {
  echo "usage: $0 [--autostart] [--no-build] [--build-dir DIR]" >&2
  exit 2
}
autostart=0 build=1 build_dir="$root/build"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --autostart) autostart=1 ;;
    --no-build) build=0 ;;
    --build-dir) [[ $# -ge 2 ]] || usage; build_dir="$2"; shift ;;
    -h|--help) usage ;;
    *) echo "$0: unknown option $1" >&2; usage ;;
  esac
  shift
done

# XDG base directories must be absolute; anything else means the default.
xdg_dir() { [[ "${1:-}" == /* ]] && echo "$1" || echo "$2"; }
data="$(xdg_dir "${XDG_DATA_HOME:-}" "$HOME/.local/share")"
config="$(xdg_dir "${XDG_CONFIG_HOME:-}" "$HOME/.config")"
bin_dir="$HOME/.local/bin"
program_dir="$data/voz"
manifest="$program_dir/.installed-files"
launcher="$bin_dir/voz"
for path in "$data" "$config" "$HOME"; do
  [[ "$path" != *$'\n'* ]] || { echo "$0: cannot install under a path with a line break" >&2; exit 1; }
done

if [[ $build -eq 1 ]]; then
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build_dir" --target voz_dist
fi

# Stage beside the destination so every file moves into place by a rename: a Voz running from
# the folder keeps its open executable and library.
mkdir -p "$program_dir"
stage="$(mktemp -d "$data/.voz-install.XXXXXX")"
trap 'rm -rf "$stage"' EXIT
cmake --install "$build_dir" --prefix "$stage/usr" --strip >/dev/null

# Desktop entry values: Exec quotes the launcher's path (escaping ", `, $ and \ inside the
# quotes, then % and \ for the file itself).
exec_value() {
  local s="$1"
  s="${s//\\/\\\\}"; s="${s//\"/\\\"}"; s="${s//\`/\\\`}"; s="${s//\$/\\\$}"
  s="\"$s\""
  s="${s//%/%%}"; s="${s//\\/\\\\}"
  printf '%s' "$s"
}
# Shell single quotes for the launcher script.
shell_quote() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

installed=()
place() {  # place SOURCE DEST: moves one staged file into place
  mkdir -p "$(dirname "$2")"
  mv -f "$1" "$2"
  installed+=("$2")
}

(cd "$stage/usr/lib/voz" && find . -type f) >"$stage/program-files"
while IFS= read -r f; do
  place "$stage/usr/lib/voz/${f#./}" "$program_dir/${f#./}"
done <"$stage/program-files"
(cd "$stage/usr/share/icons" && find . -type f) >"$stage/icon-files"
while IFS= read -r f; do
  place "$stage/usr/share/icons/${f#./}" "$data/icons/${f#./}"
done <"$stage/icon-files"

printf '#!/bin/sh\n# Starts the per-user install of Voz.\nexec %s "$@"\n' \
  "$(shell_quote "$program_dir/voz")" >"$stage/launcher"
chmod 755 "$stage/launcher"
place "$stage/launcher" "$launcher"

exec_line="Exec=$(exec_value "$launcher")"
sed "s|^Exec=.*|$(printf '%s' "$exec_line" | sed 's/[|&\\]/\\&/g')|" \
  "$stage/usr/share/applications/voz.desktop" >"$stage/voz.desktop"
cp "$stage/voz.desktop" "$stage/autostart.desktop"
place "$stage/voz.desktop" "$data/applications/voz.desktop"
[[ $autostart -eq 1 ]] && place "$stage/autostart.desktop" "$config/autostart/voz.desktop"

# What an earlier install put here and this one did not (an autostart entry no longer asked
# for, a file of an older version) goes; the new list replaces the old.
printf '%s\n' "${installed[@]}" >"$stage/manifest"
if [[ -f "$manifest" ]]; then
  while IFS= read -r old; do
    grep -qxF -- "$old" "$stage/manifest" || rm -f -- "$old"
  done <"$manifest"
fi
mv -f "$stage/manifest" "$manifest"
# A folder the package's launcher filled is now this install's.
rm -f "$program_dir/.package-version"

if [[ -f "$data/icons/hicolor/icon-theme.cache" ]] && command -v gtk-update-icon-cache >/dev/null; then
  gtk-update-icon-cache -q -t -f "$data/icons/hicolor" || true
fi

echo "Voz is installed in $program_dir (its settings and alarm lists are kept there)."
echo "Start it from the applications menu or with: $launcher"
[[ $autostart -eq 1 ]] && echo "It starts at login ($config/autostart/voz.desktop)."
case ":$PATH:" in
  *":$bin_dir:"*) ;;
  *) echo "Note: $bin_dir is not on your PATH yet; it usually is after the next login." ;;
esac
