#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package made by cpack: its control fields and dependencies, exactly
# the files it should hold, its desktop entry, metainfo and icons, and the
# program started from the unpacked package through the command on PATH, which
# must find its data beside the real executable. Also `cmake --install` under
# DESTDIR, which must lay out the same tree.
source "$(dirname "$0")/rig.sh"

here=$(cd "$(dirname "$0")" && pwd)
build=${STRELKAVO_BUILD_DIR:?}
source_dir=${STRELKAVO_SOURCE_DIR:?}
app_id=pl.strelkavo.Strelkavo
icon_sizes=(16 32 48 64 128 256)

version=$(sed -n 's/^project(strelkavo VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
[[ -n "$version" ]] || fail "no project version in $source_dir/CMakeLists.txt"
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
[[ -n "$libdir" && "$libdir" != /* ]] || fail "CMAKE_INSTALL_LIBDIR is '$libdir', expected a relative path"
private="usr/$libdir/strelkavo"

# Everything the package must hold besides directories, and nothing more.
expected_files() {
  printf '%s\n' \
    "usr/bin/strelkavo" \
    "$private/strelkavo" "$private/czas.dat" "$private/czas2.dat" \
    "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml"
  for size in "${icon_sizes[@]}"; do
    echo "usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  done
}

# Non-directory entries of an unpacked tree, relative to it.
tree_files() {
  (cd "$1" && find . -not -type d | sed 's#^\./##' | sort)
}

# The command on PATH must be a relative link to the executable in the private
# directory, so that the tree can live under any root.
check_link() {
  local root=$1 target
  [[ -L "$root/usr/bin/strelkavo" ]] || fail "$root/usr/bin/strelkavo is not a symbolic link"
  target=$(readlink "$root/usr/bin/strelkavo")
  [[ "$target" != /* ]] || fail "usr/bin/strelkavo points to the absolute path $target"
  [[ "$(realpath "$root/usr/bin/strelkavo")" == "$(realpath "$root/$private/strelkavo")" ]] \
    || fail "usr/bin/strelkavo -> $target does not reach $private/strelkavo"
}

# --- the package ------------------------------------------------------------

# A private output directory: cpack stages its tree there too, so this test
# shares nothing with the build tree's own packaging or with another run.
# (cpack first brings the build up to date, which after a build does nothing.)
out="$RIG_DIR/package"
(cd "$RIG_DIR" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out") \
  >"$RIG_DIR/cpack.log" 2>&1 || fail "cpack failed: $(cat "$RIG_DIR/cpack.log")"

arch=$(dpkg --print-architecture)
deb="$out/strelkavo_${version}_${arch}.deb"
debs=("$out"/*.deb)
[[ ${#debs[@]} -eq 1 && "${debs[0]}" == "$deb" ]] \
  || fail "cpack made ${debs[*]}, expected just $deb"
pass "cpack made $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == strelkavo ]] || fail "Package: $(field Package)"
[[ "$(field Version)" == "$version" ]] || fail "Version: $(field Version), expected $version"
[[ "$(field Architecture)" == "$arch" ]] || fail "Architecture: $(field Architecture)"
[[ "$(field Section)" == education ]] || fail "Section: $(field Section)"
[[ "$(field Priority)" == optional ]] || fail "Priority: $(field Priority)"
maintainer_form='^[^<]+ <[^@>]+@[^>]+>$'
[[ "$(field Maintainer)" =~ $maintainer_form ]] || fail "Maintainer: '$(field Maintainer)'"
[[ -n "$(field Description)" ]] || fail "no Description"

# Names only: versions and alternatives aside, every one must be listed.
depends=$(field Depends)
names=$(tr ',|' '\n' <<<"$depends" | sed 's/(.*)//; s/[[:space:]]//g' | sort -u)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libqt6dbus6 fonts-dejavu-core qt6-qpa-plugins; do
  grep -qx "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done
pass "Depends: $depends"

# What the archive lists, before anything is unpacked.
contents=$(dpkg-deb -c "$deb")
listed=$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | sed 's#^\./##' | sort)
diff <(expected_files | sort) <(echo "$listed") >"$RIG_DIR/files.diff" \
  || fail "the package holds other files than expected (< missing, > unexpected):
$(cat "$RIG_DIR/files.diff")"
grep -q "^-rwxr-xr-x root/root .* \./$private/strelkavo$" <<<"$contents" \
  || fail "$private/strelkavo is not an executable owned by root: $(grep "$private/strelkavo$" <<<"$contents")"
pass "the package holds exactly $(expected_files | wc -l) files"

root="$RIG_DIR/root"
dpkg-deb -x "$deb" "$root"
check_link "$root"
grep -q '^ELF .*executable' <<<"$(file -b "$root/$private/strelkavo")" \
  || fail "$private/strelkavo is $(file -b "$root/$private/strelkavo")"
for data in czas.dat czas2.dat; do
  cmp -s "$root/$private/$data" "$build/bin/$data" \
    || fail "$private/$data differs from the built $build/bin/$data"
done
pass "the executable and its data share $private; usr/bin/strelkavo -> $(readlink "$root/usr/bin/strelkavo")"

# --- desktop entry, metainfo, icons -----------------------------------------

desktop="$root/usr/share/applications/$app_id.desktop"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"

desktop-file-validate "$desktop" >"$RIG_DIR/desktop.log" 2>&1 \
  || fail "desktop-file-validate: $(cat "$RIG_DIR/desktop.log")"
# Hints are advice; warnings and errors are faults.
! grep -Eq '(error|warning):' "$RIG_DIR/desktop.log" \
  || fail "desktop-file-validate: $(cat "$RIG_DIR/desktop.log")"
appstreamcli validate --no-net "$metainfo" >"$RIG_DIR/metainfo.log" 2>&1 \
  || fail "appstreamcli validate: $(cat "$RIG_DIR/metainfo.log")"
# The installed tree as a whole: the metainfo's launchable must be there.
appstreamcli validate-tree --no-net "$root" >"$RIG_DIR/tree.log" 2>&1 \
  || fail "appstreamcli validate-tree: $(cat "$RIG_DIR/tree.log")"
pass "desktop-file-validate and appstreamcli accept the desktop entry and the metainfo"

entry() { sed -n "s/^$1=//p" "$desktop"; }
[[ "$(entry Exec)" == strelkavo ]] || fail "Exec=$(entry Exec), expected the command on PATH"
[[ -x "$root/usr/bin/$(entry Exec)" ]] || fail "Exec=$(entry Exec) is not in usr/bin"
[[ "$(entry Icon)" == "$app_id" ]] || fail "Icon=$(entry Icon), expected $app_id"
[[ "$(entry Terminal)" == false ]] || fail "Terminal=$(entry Terminal)"
[[ -n "$(entry 'GenericName\[pl\]')" && -n "$(entry 'Comment\[pl\]')" ]] \
  || fail "the desktop entry has no Polish GenericName or Comment"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
  || fail "the metainfo does not launch $app_id.desktop"
grep -q '<binary>strelkavo</binary>' "$metainfo" || fail "the metainfo does not provide the binary strelkavo"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
[[ "$newest" == "$version" ]] || fail "the metainfo's newest release is $newest, the package is $version"
pass "desktop entry and metainfo agree on the id, the command and release $version"

for size in "${icon_sizes[@]}"; do
  png="usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  grep -q "^PNG image data, $size x $size," <<<"$(file -b "$root/$png")" \
    || fail "$png is $(file -b "$root/$png")"
  python3 "$here/package_icon.py" "$root/$png" "$size" || fail "$png is not the program's icon"
done
pass "the icons are PNG images of the tricolour at ${icon_sizes[*]} pixels"

# --- cmake --install under DESTDIR ------------------------------------------

destdir="$RIG_DIR/destdir"
DESTDIR="$destdir" cmake --install "$build" --prefix /usr >"$RIG_DIR/install.log" 2>&1 \
  || fail "cmake --install: $(cat "$RIG_DIR/install.log")"
diff <(expected_files | sort) <(tree_files "$destdir") >"$RIG_DIR/install.diff" \
  || fail "cmake --install laid out other files than the package (< missing, > unexpected):
$(cat "$RIG_DIR/install.diff")"
check_link "$destdir"
[[ "$(readlink "$destdir/usr/bin/strelkavo")" == "$(readlink "$root/usr/bin/strelkavo")" ]] \
  || fail "cmake --install links usr/bin/strelkavo elsewhere than the package does"
pass "cmake --install with DESTDIR lays out the package's tree"

# --- the program, started through the link ----------------------------------

rig_start
STRELKAVO_BIN="$root/usr/bin/strelkavo" rig_app
rig_window

[[ "$(readlink "/proc/$APP_PID/exe")" == "$(realpath "$root/$private/strelkavo")" ]] \
  || fail "the process runs $(readlink "/proc/$APP_PID/exe"), not the unpacked program"
# A data file not found shows a message box with the same title: the window
# that appeared must be the main window, and nothing may have been reported.
! grep -q '^strelkavo:' "$RIG_DIR/app.log" \
  || fail "the program reported: $(cat "$RIG_DIR/app.log")"
grep -q '= _NET_WM_WINDOW_TYPE_NORMAL$' <<<"$(xprop -id "$WID" _NET_WM_WINDOW_TYPE)" \
  || fail "the window is not the main window: $(xprop -id "$WID" _NET_WM_WINDOW_TYPE)"
pass "started as usr/bin/strelkavo, the program found its data in $private"

# Launchers match the entry to the window by the class part of WM_CLASS.
wm_class=$(xprop -id "$WID" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
[[ "$wm_class" == "$(entry StartupWMClass)" ]] \
  || fail "WM_CLASS class is '$wm_class', the desktop entry says StartupWMClass=$(entry StartupWMClass)"
pass "StartupWMClass=$wm_class matches the window"

xdotool windowactivate --sync "$WID" key alt+F4
exited() {
  local state
  # The state follows the command name, which is in brackets.
  state=$(sed -n 's/.*) \(.\).*/\1/p' "/proc/$APP_PID/stat" 2>/dev/null) || return 0
  [[ -z "$state" || "$state" == Z || "$state" == X ]]
}
wait_for 20 exited || fail "the program did not end after its window was closed"
rig_app_wait
status=$APP_STATUS
[[ "$status" == 0 ]] || fail "the program ended with status $status: $(cat "$RIG_DIR/app.log")"
pass "closing the window ends the program with status 0"
