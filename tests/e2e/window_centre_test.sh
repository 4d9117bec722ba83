#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The window, frame included, is centred on the screen's work area when it is
# first shown. The window manager adds the frame only after the window has
# been shown, so the program has to centre again once the frame is known; how
# soon the frame becomes known differs from one start to the next, so the
# program is started several times and must be centred every time.
source "$(dirname "$0")/rig.sh"
# A command that fails where no check expects it still says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

starts=5

rig_start

# Prints the offset of the frame's centre from the work area's centre, doubled
# so that an odd frame size cannot tip it: "dx dy".
centre_offset() {
  local x y w h left right top bottom area
  read -r x y w h < <(xwininfo -id "$WID" | awk '
    /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
    /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print x, y, w, h }')
  read -r left right top bottom < <(xprop -id "$WID" _NET_FRAME_EXTENTS \
    | sed -n 's/.*= *//p' | tr -d ,)
  read -r -a area < <(xprop -root _NET_WORKAREA | sed -n 's/.*= *//p' | tr -d ,)
  [[ -n "$x" && -n "$left" && ${#area[@]} -ge 4 ]] || return 1
  local frame_x=$((x - left)) frame_y=$((y - top))
  local frame_w=$((w + left + right)) frame_h=$((h + top + bottom))
  echo $(((2 * frame_x + frame_w) - (2 * area[0] + area[2]))) \
    $(((2 * frame_y + frame_h) - (2 * area[1] + area[3])))
}
# Within 3 pixels either way.
centred() {
  local dx dy
  read -r dx dy < <(centre_offset) || return 1
  ((dx >= -6 && dx <= 6 && dy >= -6 && dy <= 6))
}
offset_text() {
  local dx dy
  read -r dx dy < <(centre_offset) || { echo "unknown"; return; }
  echo "$((dx / 2)),$((dy / 2)) pixels"
}
window_active() {
  [[ "$(xprop -root _NET_ACTIVE_WINDOW)" == *" $(printf '0x%x' "$WID")" ]]
}
app_ended() {
  ! rig_running "$APP_PID"
}

work_area_known() {
  [[ "$(xprop -root _NET_WORKAREA)" == *=* ]]
}
wait_for 10 work_area_known || fail "the window manager sets no work area"
read -r -a area < <(xprop -root _NET_WORKAREA | sed -n 's/.*= *//p' | tr -d ,)
echo "the work area is ${area[2]} x ${area[3]} at ${area[0]},${area[1]}"

for ((start = 1; start <= starts; start++)); do
  echo "start $start of $starts"
  rig_app
  rig_window
  wait_for 10 centred || fail "start $start: the frame's centre is $(offset_text) off the work" \
    "area's centre (frame extents $(xprop -id "$WID" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p')," \
    "client $(xwininfo -id "$WID" | sed -n 's/^  -geometry //p'))"
  pass "start $start: the frame's centre is $(offset_text) off the work area's centre"

  xdotool windowactivate "$WID"
  wait_for 10 window_active || fail "start $start: the window could not be made active"
  xdotool key alt+F4
  wait_for 20 app_ended || fail "start $start: the program did not end after its window was closed"
  rig_app_wait
  status=$APP_STATUS
  [[ "$status" == 0 ]] || fail "start $start: the program ended with status $status"
done
