#!/usr/bin/env bash
# The Debian package: built with CPack from this build, its contents and dependencies, its menu
# entry, and its launcher making the user's copy of the program folder on first start and
# refreshing it, the user's own files kept, when the version changes.
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
: "${VOZ_BUILD_DIR:?}"
for tool in dpkg-deb "${VOZ_CPACK:-cpack}"; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

"${VOZ_CPACK:-cpack}" -G DEB --config "$VOZ_BUILD_DIR/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack failed"; finish; }
deb="$(ls "$work"/pkg/voz_*.deb)"

contents="$(dpkg-deb -c "$deb" | awk '{print $NF}')"
for f in usr/bin/voz usr/lib/voz/voz usr/lib/voz/librodidad.so usr/lib/voz/libvozmidi.so usr/lib/voz/libvozsound.so usr/lib/voz/ding.wav usr/lib/voz/didi.snd \
    usr/lib/voz/air.mid usr/share/applications/voz.desktop; do
  grep -qxF "./$f" <<<"$contents" || fail "the package lacks /$f"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for dep in libqt6widgets6 libqt6multimedia6 libfluidsynth3 libsndfile1 qt6-qpa-plugins; do
  grep -q "\b$dep\b" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

dpkg-deb -x "$deb" "$work/root"
check_icons "$work/root/usr/share/icons/hicolor"
validate_desktop "$work/root/usr/share/applications/voz.desktop"
[[ -z "$(cd "$work/root/usr/lib/voz" && ls voz.ini ./*.dat 2>/dev/null)" ]] || fail "the package holds user files"

# First start: the copy goes to the default data folder.
export HOME="$work/home"
unset XDG_DATA_HOME
copy="$HOME/.local/share/voz"
mkdir -p "$HOME"
launcher="$work/root/usr/bin/voz"
version="$(dpkg-deb -f "$deb" Version)"
start_voz "$launcher" "$copy/voz" && stop_voz
[[ "$(cat "$copy/.package-version" 2>/dev/null)" == "$version" ]] || fail "the copy is not marked with version $version"
diff -r "$work/root/usr/lib/voz" "$copy" -x .package-version -x voz.ini >/dev/null \
  || fail "the copy differs from the installed program folder"

# A new version refreshes the program's files and keeps the user's.
printf 'x\n' | tee "$copy/voz.ini" "$copy/my.dat" "$copy/Wpaper.dat" >/dev/null
: >"$copy/ding.wav"
sed -i "s/^version='.*'/version='99.0'/" "$launcher"
start_voz "$launcher" "$copy/voz" && stop_voz
cmp -s "$work/root/usr/lib/voz/ding.wav" "$copy/ding.wav" || fail "ding.wav was not refreshed"
[[ "$(cat "$copy/.package-version")" == 99.0 ]] || fail "the copy is not marked with the new version"
for f in voz.ini my.dat Wpaper.dat; do
  [[ "$(cat "$copy/$f")" == x ]] || fail "$f was not kept"
done

# A per-user install in that folder is left as it is, whatever the version.
touch "$copy/.installed-files"
: >"$copy/ding.wav"
sed -i "s/^version='.*'/version='99.1'/" "$launcher"
start_voz "$launcher" "$copy/voz" && stop_voz
[[ ! -s "$copy/ding.wav" ]] || fail "the package's launcher overwrote a per-user install"
finish
