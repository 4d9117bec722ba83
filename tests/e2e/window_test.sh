#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The main window as the desktop and a user see it: its title and fixed size,
# the focus, typing a search, the search box's limit, the web button, and
# closing from the title bar. Its place on the screen: window_centre_test.sh.
source "$(dirname "$0")/rig.sh"
# A command that fails where no check expects it still says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

bin_dir=${STRELKAVO_BIN_DIR:?}
build_dir=${STRELKAVO_BUILD_DIR:?}
source_dir=${STRELKAVO_SOURCE_DIR:?}

home_page=$(sed -n 's/.*kHomePage\[\] *= *"\([^"]*\)".*/\1/p' "$source_dir/src/app/frmMain.h")
[[ -n "$home_page" ]] || fail "no kHomePage in src/app/frmMain.h"

# The row that "ging" must select, found in the built data rather than taken
# from the program: gehen's line of the verb file.
gehen_line=$("$bin_dir/strelkavo-data" decode "$bin_dir/czas.dat" | grep -nx 'gehen#ging#gegangen' \
  | cut -d: -f1)
[[ "$gehen_line" =~ ^[0-9]+$ ]] || fail "the built verb file has no line gehen#ging#gegangen"
gehen_row=$((gehen_line - 1))

rig_start
rig_a11y_start

# "WWW" goes to the desktop's opener; this one only notes what it was asked.
mkdir "$RIG_DIR/bin"
opened="$RIG_DIR/opened"
cat >"$RIG_DIR/bin/xdg-open" <<EOF
#!/bin/sh
{ printf '%s' "\$#"; printf '\t%s' "\$@"; printf '\n'; } >>"$opened"
EOF
chmod +x "$RIG_DIR/bin/xdg-open"
export PATH="$RIG_DIR/bin:$PATH"
unset BROWSER DEFAULT_BROWSER XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID

rig_app
rig_window

echo "checking the title"
title=$(xprop -id "$WID" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
[[ "$title" == "Strelkavo" ]] || fail "the window's title is '$title', not 'Strelkavo'"
pass "the title is Strelkavo"

echo "checking the size hints"
hints=$(xprop -id "$WID" WM_NORMAL_HINTS)
grep -q 'program specified minimum size: 408 by 301$' <<<"$hints" \
  || fail "the minimum size is not 408 x 301: $hints"
grep -q 'program specified maximum size: 408 by 301$' <<<"$hints" \
  || fail "the maximum size is not 408 x 301: $hints"
read -r width height < <(xwininfo -id "$WID" | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w, h }')
[[ "$width x $height" == "408 x 301" ]] || fail "the client area is $width x $height, not 408 x 301"
pass "minimum = maximum = client area = 408 x 301"

echo "checking what the window manager allows"
wait_for 10 bash -c "xprop -id $WID _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_CLOSE" \
  || fail "the window manager allows no closing: $(xprop -id "$WID" _NET_WM_ALLOWED_ACTIONS)"
actions=$(xprop -id "$WID" _NET_WM_ALLOWED_ACTIONS)
for action in _NET_WM_ACTION_MAXIMIZE_HORZ _NET_WM_ACTION_MAXIMIZE_VERT _NET_WM_ACTION_RESIZE; do
  if grep -qw "$action" <<<"$actions"; then
    fail "the window manager allows $action: $actions"
  fi
done
pass "closing is allowed, maximising and resizing are not"

window_active() {
  [[ "$(xprop -root _NET_ACTIVE_WINDOW)" == *" $(printf '0x%x' "$WID")" ]]
}
activate_window() {
  xdotool windowactivate "$WID"
  wait_for 10 window_active || fail "the window could not be made active"
}
app_ended() {
  ! rig_running "$APP_PID"
}

echo "checking the state at start"
rig_a11y --wait 10 is-focused "Lista czasowników" || fail "the verb list does not have the focus at start"
rig_a11y has-text Szukaj "" || fail "the search box is not empty at start"
selection=$(rig_a11y selection) || fail "the list's selection cannot be read"
[[ -z "$selection" ]] || fail "a row is selected at start: $selection"
pass "the verb list has the focus, the search box is empty, no row is selected"

echo "checking that one Tab goes from the list to the search box"
activate_window
xdotool key Tab
rig_a11y --wait 10 is-focused Szukaj || fail "Tab did not move the focus into the search box"
pass "Tab moved the focus into the search box"

echo "checking that typing 'ging' selects gehen's row ($gehen_row)"
xdotool type ging
rig_a11y --wait 10 has-text Szukaj ging || fail "the search box does not hold 'ging'"
rig_a11y --wait 10 has-selection "gehen ging gegangen" || fail "'ging' did not select gehen's row"
selection=$(rig_a11y selection)
[[ "${selection%%$'\t'*}" == "$gehen_row" ]] \
  || fail "'ging' selected row ${selection%%$'\t'*}, gehen is row $gehen_row"
pass "'ging' selected row $gehen_row: ${selection#*$'\t'}"

echo "saving a screenshot"
mkdir -p "$build_dir/screenshots"
shot="$build_dir/screenshots/window.png"
rm -f "$shot"
rig_screenshot "$shot" "$WID" || fail "no screenshot could be taken"
read -r shot_w shot_h shot_colours < <(identify -format '%w %h %k\n' "$shot")
[[ "$shot_w x $shot_h" == "408 x 301" ]] || fail "the screenshot is $shot_w x $shot_h, not the window"
((shot_colours > 16)) || fail "the screenshot has only $shot_colours colours: nothing is drawn"
pass "screenshot $shot ($shot_colours colours)"

echo "checking that the search box refuses an eleventh character"
xdotool key ctrl+a
xdotool type gegangenxyz
# Whether the "z" was taken shows once a later key has been handled.
xdotool key BackSpace
if ! rig_a11y --wait 10 has-text Szukaj gegangenx; then
  fail "after 11 characters and one BackSpace the search box holds '$(rig_a11y text Szukaj)', not 'gegangenx'"
fi
pass "'gegangenxyz' was cut to 10 characters"

echo "checking that WWW opens the home page $home_page"
read -r www_x www_y < <(rig_a11y centre WWW) || fail "the WWW button cannot be found"
xdotool mousemove "$www_x" "$www_y" click 1
wait_for 20 test -s "$opened" || fail "WWW did not call xdg-open"
while IFS= read -r call; do
  [[ "$call" == "1"$'\t'"$home_page" ]] || fail "xdg-open was called with: ${call//$'\t'/ | }"
done <"$opened"
rig_running "$APP_PID" || fail "the program ended after WWW"
rig_a11y has-text Szukaj gegangenx || fail "WWW changed the search box"
pass "xdg-open was called with $home_page alone, and the program goes on"

echo "checking that closing from the title bar ends the program"
activate_window
xdotool key alt+F4
wait_for 20 app_ended || fail "the program did not end after the window was closed"
rig_app_wait
status=$APP_STATUS
[[ "$status" == 0 ]] || fail "the program ended with status $status; it said: $(cat "$RIG_DIR/app.log")"
pass "closed with status 0"
