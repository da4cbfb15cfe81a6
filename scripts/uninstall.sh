#!/usr/bin/env bash
# Removes the per-user install of Voz: every file scripts/install.sh put in place. The files Voz
# and the user made in the program folder (voz.ini, alarm lists *.dat, Wpaper.dat, own songs)
# stay unless --purge, which removes the whole program folder.
set -euo pipefail

purge=0
case "${1:-}" in
  "") ;;
  --purge) purge=1 ;;
  *) echo "usage: $0 [--purge]" >&2; exit 2 ;;
esac

xdg_dir() { [[ "${1:-}" == /* ]] && echo "$1" || echo "$2"; }
data="$(xdg_dir "${XDG_DATA_HOME:-}" "$HOME/.local/share")"
program_dir="$data/voz"
manifest="$program_dir/.installed-files"

if [[ -f "$manifest" ]]; then
  while IFS= read -r file; do
    [[ -n "$file" && ! -d "$file" ]] || continue
    rm -f -- "$file"
    # Icon size folders the install made and that are now empty.
    if [[ "$file" == "$data/icons/hicolor/"*/apps/voz.png ]]; then
      rmdir -- "${file%/*}" "${file%/apps/voz.png}" 2>/dev/null || true
    fi
  done <"$manifest"
  rm -f -- "$manifest"
  echo "Removed the files the install had put in place."
  if [[ -f "$data/icons/hicolor/icon-theme.cache" ]] && command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t -f "$data/icons/hicolor" || true
  fi
elif [[ $purge -eq 0 ]]; then
  echo "$0: Voz is not installed for this user (no $manifest)" >&2
  exit 1
fi

if [[ ! -d "$program_dir" ]]; then
  exit 0
elif [[ $purge -eq 1 ]]; then
  rm -rf -- "$program_dir"
  echo "Removed $program_dir with your settings and alarm lists."
elif rmdir -- "$program_dir" 2>/dev/null; then
  :
else
  echo "Kept your own files in $program_dir (remove them with --purge):"
  (cd "$program_dir" && ls -A)
fi
