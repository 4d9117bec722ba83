#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The icon as a StatusNotifierItem on the session bus, where a host (here the
# test's own watcher, which plays the host's part) does the clicking: the
# item's Activate restores the window, ContextMenu opens the menu, and while
# the menu is open another Activate does nothing. An X11 panel runs as well,
# so that choosing the bus over the panel is seen to be the program's.
source "$(dirname "$0")/rig.sh"
[[ -n "${TRAY_TRACE:-}" ]] && set -x
source "$(dirname "$0")/tray_lib.sh"

rig_start --tray
rig_a11y_start
tray_watcher_start

rig_app
rig_window

# The menu opens at the pointer; keep the pointer off the main window.
xdotool mousemove 900 700

echo "checking that 'zwiń' puts one item on the bus and nothing into the panel"
tray_click_zwin
tray_wait_withdrawn
wait_for 10 tray_one_item || fail "no single item registered with the watcher: $(cat "$TRAY_ITEMS")"
# Once the item is there the program has made its choice; an icon window
# would have been embedded by now.
sleep 1
(($(tray_icon_count) == 0)) || fail "an icon was embedded in the panel as well: $(tray_describe_icons)"
tray_one_item || fail "the item did not stay registered: $(cat "$TRAY_ITEMS")"
pass "item $ITEM_SERVICE $ITEM_PATH, no icon in the panel"

echo "checking the item's title and tooltip"
title=$(tray_item_get Title) || fail "the item's Title cannot be read"
[[ "$title" == Strelkavo ]] || fail "the item's Title is '$title'"
IFS=$'\t' read -r tip_title tip_text < <(tray_item_get ToolTip) || fail "the item's ToolTip cannot be read"
[[ "$tip_title" == Strelkavo ]] || fail "the tooltip's title is '$tip_title'"
[[ -z "$tip_text" ]] || fail "the tooltip says more than Strelkavo: '$tip_text'"
pass "Title and tooltip say Strelkavo"

echo "checking that the middle button's SecondaryActivate does nothing"
tray_item_call SecondaryActivate 900 700 || fail "SecondaryActivate was refused"
sleep 1
tray_alive
tray_window_withdrawn || fail "SecondaryActivate changed the window"
tray_no_menu || fail "SecondaryActivate opened a menu"
pass "nothing happened"

echo "checking that ContextMenu opens the menu and Activate does nothing while it is open"
tray_item_call ContextMenu 900 700 || fail "ContextMenu was refused"
wait_for 10 tray_menu_shown || fail "ContextMenu opened no menu"
tray_item_call Activate 900 700 || fail "Activate was refused"
sleep 1
tray_alive
tray_window_withdrawn || fail "Activate while the menu was open restored the window"
tray_menu_shown || fail "Activate while the menu was open closed the menu"
pass "the menu ($MENU) opened and the Activate meanwhile was dropped"

echo "checking that Escape closes the menu and leaves the item"
xdotool key Escape
wait_for 10 tray_no_menu || fail "Escape did not close the menu"
sleep 0.5
tray_alive
tray_window_withdrawn || fail "Escape in the menu changed the window"
tray_one_item || fail "Escape in the menu took the item away: $(cat "$TRAY_ITEMS")"
pass "still in the tray"

echo "checking that Activate restores the window with the focus in the search box"
tray_item_call Activate 900 700 || fail "Activate was refused"
tray_wait_shown
tray_alive
wait_for 10 tray_no_item || fail "the item stayed on the bus next to the window: $(cat "$TRAY_ITEMS")"
rig_a11y --wait 10 is-focused Szukaj || fail "the focus is not in the search box after Activate"
xdotool type ging
rig_a11y --wait 10 has-selection "gehen ging gegangen" || fail "typing 'ging' after Activate did not select gehen's row"
pass "restored, the item left the bus, 'ging' selected gehen"

echo "checking that 'zwiń' again gives one item, and the menu's 'Pokaż główne okno programu' restores"
tray_click_zwin
tray_wait_withdrawn
wait_for 10 tray_one_item || fail "not one item after the second 'zwiń': $(cat "$TRAY_ITEMS")"
tray_item_call ContextMenu 900 700 || fail "ContextMenu was refused"
wait_for 10 tray_menu_shown || fail "ContextMenu opened no menu"
xdotool key Down Return
tray_wait_shown
tray_alive
wait_for 10 tray_no_item || fail "the item stayed on the bus after the restore: $(cat "$TRAY_ITEMS")"
wait_for 10 tray_no_menu || fail "the menu stayed open after the restore"
pass "one item; restored from the menu without a crash"

echo "checking that the menu's 'Zamknij' takes the item away and ends the program"
tray_click_zwin
tray_wait_withdrawn
wait_for 10 tray_one_item || fail "not one item after the third 'zwiń': $(cat "$TRAY_ITEMS")"
tray_item_call ContextMenu 900 700 || fail "ContextMenu was refused"
wait_for 10 tray_menu_shown || fail "ContextMenu opened no menu"
xdotool key Down Down Return
wait_for 10 tray_app_ended || fail "the program did not end after 'Zamknij'"
rig_app_wait
status=$APP_STATUS
[[ "$status" == 0 ]] || fail "the program ended with status $status: $(cat "$RIG_DIR/app.log")"
wait_for 10 tray_no_item || fail "the item stayed registered: $(cat "$TRAY_ITEMS")"
pass "the program ended with status 0"
