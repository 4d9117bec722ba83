#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A desktop without a notification area: "zwiń" cannot hide the window behind
# an icon, so it minimises it instead (iconified, still managed, not
# withdrawn), from where the desktop brings it back as it was. A watcher on the
# bus without a host is no notification area either.
source "$(dirname "$0")/rig.sh"
[[ -n "${TRAY_TRACE:-}" ]] && set -x
source "$(dirname "$0")/tray_lib.sh"

rig_start
rig_a11y_start
tray_watcher_start --no-host

rig_app
rig_window

iconified() {
  [[ "$(xprop -id "$WID" WM_STATE 2>/dev/null)" == *"window state: Iconic"* ]] && tray_in_client_list
}

echo "typing a search first, to see that it survives"
xdotool windowactivate --sync "$WID"
rig_a11y --wait 10 is-focused "Lista czasowników" || fail "the verb list does not have the focus at start"
xdotool key Tab
rig_a11y --wait 10 is-focused Szukaj || fail "Tab did not move the focus into the search box"
xdotool type ging
rig_a11y --wait 10 has-selection "gehen ging gegangen" || fail "'ging' did not select gehen's row"
pass "'ging' selected gehen"

for round in 1 2; do
  echo "checking that 'zwiń' minimises the window (round $round)"
  tray_click_zwin
  wait_for 10 iconified \
    || fail "the window is not iconified: $(xprop -id "$WID" WM_STATE | tr '\n\t' '  ')"
  tray_unmapped "$WID" || fail "the iconified window is still shown"
  tray_alive
  [[ -z "$(tray_menus)" ]] || fail "a menu appeared"
  tray_no_item || fail "an item went onto the bus although no host is there: $(cat "$TRAY_ITEMS")"
  # No icon window of the program anywhere: its only top-level windows with
  # an area are the main window and Qt's own helpers.
  icons=$(xwininfo -root -tree | awk '/\("strelkavo" "Strelkavo"\)/ && / 22x22\+/ { print $1 }')
  [[ -z "$icons" ]] || fail "an icon window was made: $icons"
  pass "iconified (WM_STATE Iconic), still in the client list, no icon"

  echo "checking that the desktop can bring it back (round $round)"
  if ((round == 1)); then
    xdotool windowactivate "$WID"
  else
    xdotool windowmap "$WID"
  fi
  tray_wait_shown
  tray_alive
  rig_a11y --wait 10 has-text Szukaj ging || fail "the search box lost its text"
  rig_a11y --wait 10 has-selection "gehen ging gegangen" || fail "gehen's row is no longer selected"
  pass "shown again with its taskbar entry, search text and selection as before"
done
