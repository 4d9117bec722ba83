#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The notification-area icon in an X11 panel that embeds it (trayer): "zwiń"
# swaps the window for the icon; a double-click brings the window back with the
# focus in the search box; a single click, the pointer passing over it and the
# right button going down do nothing; the right button's release opens the
# menu, whose "Pokaż główne okno programu" restores, Escape leaves everything
# in the tray, and "Zamknij" ends the program.
source "$(dirname "$0")/rig.sh"
[[ -n "${TRAY_TRACE:-}" ]] && set -x
source "$(dirname "$0")/tray_lib.sh"

build_dir=${STRELKAVO_BUILD_DIR:?}

rig_start --tray
rig_a11y_start
# A watcher without a host: the bus offers no tray, so the icon must go into
# the panel, and a single click there must not be taken for a bus host's
# Activate.
tray_watcher_start --no-host
# A grey desktop, so that the screenshot shows where the panel and menu end.
xsetroot -solid '#5a6a7a'

rig_app
rig_window

echo "checking that 'zwiń' swaps the window for one icon in the panel"
(($(tray_icon_count) == 0)) || fail "an icon is in the panel before 'zwiń'"
tray_click_zwin
tray_wait_withdrawn
tray_wait_icon
tray_no_item || fail "the icon went onto the bus although no host is there: $(cat "$TRAY_ITEMS")"
read -r icon_width icon_height < <(xwininfo -id "$ICON" \
  | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w, h }')
((icon_width > 0 && icon_height > 0)) || fail "the icon has no area: ${icon_width}x$icon_height"
pass "the window is withdrawn and one icon ($ICON, ${icon_width}x$icon_height) is in the panel"

centre_x=$((icon_width / 2))
centre_y=$((icon_height / 2))

echo "checking that the pointer passing over the icon and a single click do nothing"
xdotool mousemove --window "$ICON" 2 2 mousemove --window "$ICON" "$centre_x" "$centre_y"
xdotool click 1
# Nothing is to appear; give it the time that a restore takes when it does.
sleep 1
tray_alive
tray_window_withdrawn || fail "a single click on the icon changed the window"
tray_no_menu || fail "a single click on the icon opened a menu"
tray_one_icon_shown || fail "a single click on the icon took the icon away: $(tray_describe_icons)"
pass "the window stays hidden and the icon stays"

echo "checking that a double-click brings the window back with the focus in the search box"
xdotool mousemove --window "$ICON" "$centre_x" "$centre_y" click --repeat 2 --delay 100 1
tray_wait_shown
tray_alive
wait_for 10 bash -c "[[ \$(xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# *//p') == $(printf '0x%x' "$WID") ]]" \
  || fail "the restored window is not the active window: $(xprop -root _NET_ACTIVE_WINDOW)"
rig_a11y --wait 10 is-focused Szukaj || fail "the focus is not in the search box after the restore"
! tray_viewable "$ICON" || fail "the icon is still shown next to the window"
(($(tray_icon_count) == 0)) || fail "$(tray_icon_count) icons are left in the panel"
xdotool type ging
rig_a11y --wait 10 has-text Szukaj ging || fail "typing after the restore did not reach the search box"
rig_a11y --wait 10 has-selection "gehen ging gegangen" || fail "typing 'ging' did not select gehen's row"
pass "the window is back in the taskbar and active, the icon is gone, 'ging' selected gehen"

echo "checking that 'zwiń' after a restore gives one icon again"
tray_click_zwin
tray_wait_withdrawn
tray_wait_icon
pass "one icon ($ICON)"

echo "checking that the right button opens the menu on its release, not before"
# Near the icon's top edge: the menu opens at the pointer, and where the
# screen ends below it, it opens upwards, leaving the icon in the screenshot.
xdotool mousemove --window "$ICON" "$centre_x" 2 mousedown 3
sleep 1
tray_no_menu || { xdotool mouseup 3; fail "the menu opened while the right button was still down"; }
tray_window_withdrawn || { xdotool mouseup 3; fail "the right button going down changed the window"; }
xdotool mouseup 3
wait_for 10 tray_menu_shown || fail "releasing the right button over the icon opened no menu"
pass "the menu ($MENU) opened when the button came up"

echo "saving a screenshot of the menu over the panel"
mkdir -p "$build_dir/screenshots"
shot="$build_dir/screenshots/tray-menu.png"
# The area around the panel and the menu, with a margin.
read -r left top right bottom < <(
  for window in "$(tray_panel)" "$MENU"; do
    xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
      /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print x, y, x + w, y + h }'
  done | awk 'NR == 1 { l = $1; t = $2; r = $3; b = $4 }
    { if ($1 < l) l = $1; if ($2 < t) t = $2; if ($3 > r) r = $3; if ($4 > b) b = $4 }
    END { print l, t, r, b }')
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
margin=40
left=$((left > margin ? left - margin : 0))
top=$((top > margin ? top - margin : 0))
right=$((right + margin < screen_w ? right + margin : screen_w))
bottom=$((bottom + margin < screen_h ? bottom + margin : screen_h))
rig_screenshot "$RIG_DIR/screen.png" || fail "no screenshot could be taken"
convert "$RIG_DIR/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$shot" \
  || fail "the screenshot could not be cropped"
pass "saved $shot"

echo "checking that 'Pokaż główne okno programu' in the menu restores the window"
xdotool key Down Return
tray_wait_shown
wait_for 10 tray_no_menu || fail "the menu stayed open after the restore"
tray_alive
(($(tray_icon_count) == 0)) || fail "the icon stayed in the panel after the restore from the menu"
rig_a11y --wait 10 is-focused Szukaj || fail "the focus is not in the search box after the restore from the menu"
rig_a11y has-text Szukaj ging || fail "the search box lost its text on the way through the tray"
pass "restored from the menu, the program runs on, the search box kept 'ging'"

echo "checking that Escape closes the menu and leaves everything in the tray"
tray_click_zwin
tray_wait_withdrawn
tray_wait_icon
xdotool mousemove --window "$ICON" "$centre_x" "$centre_y" click 3
wait_for 10 tray_menu_shown || fail "a right click on the icon opened no menu"
xdotool key Escape
wait_for 10 tray_no_menu || fail "Escape did not close the menu"
tray_alive
tray_window_withdrawn || fail "Escape in the menu changed the window"
tray_one_icon_shown || fail "Escape in the menu took the icon away: $(tray_describe_icons)"
xdotool mousemove --window "$ICON" "$centre_x" "$centre_y" click --repeat 2 --delay 100 1
tray_wait_shown
tray_alive
pass "the menu closed, the program stayed in the tray, the next double-click restored it"

echo "checking that 'Zamknij' takes the icon away and ends the program"
tray_click_zwin
tray_wait_withdrawn
tray_wait_icon
xdotool mousemove --window "$ICON" "$centre_x" "$centre_y" click 3
wait_for 10 tray_menu_shown || fail "a right click on the icon opened no menu"
xdotool key Down Down Return
wait_for 10 tray_app_ended || fail "the program did not end after 'Zamknij'"
rig_app_wait
status=$APP_STATUS
[[ "$status" == 0 ]] || fail "the program ended with status $status: $(cat "$RIG_DIR/app.log")"
(($(tray_icon_count) == 0)) || fail "an icon is left in the panel after 'Zamknij'"
pass "the program ended with status 0 and left no icon"
