#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Many quick trips to the tray and back: "zwiń", then a double-click on the
# icon, 200 times. Each trip must leave exactly one icon while in the tray and
# none afterwards, and the program's memory must not grow with the trips
# (resident size after trip 20 against after trip 200).
source "$(dirname "$0")/rig.sh"
[[ -n "${TRAY_TRACE:-}" ]] && set -x
source "$(dirname "$0")/tray_lib.sh"

cycles=${TRAY_CYCLES:-200}
settled_after=20
# A leak of even a few kB a trip adds up to more than this over 180 trips;
# the noise of the allocator and the X connection stays far below it.
max_growth_kb=$((4 * 1024))

rig_start --tray
TRAY_PANEL=$(tray_panel)
[[ -n "$TRAY_PANEL" ]] || fail "trayer's panel cannot be found"
rig_app
rig_window

# A tighter poll than wait_for's: a trip takes a fraction of a second.
poll() {
  local what=$1
  shift
  local deadline=$((SECONDS + 10))
  until "$@"; do
    ((SECONDS < deadline)) || fail "trip $cycle: $what"
    sleep 0.01
  done
}

in_tray() {
  tray_unmapped "$WID" && tray_one_icon_shown
}

back() {
  tray_viewable "$WID" && (($(tray_icon_count) == 0))
}

rss_settled=
for ((cycle = 1; cycle <= cycles; cycle++)); do
  tray_click_zwin
  poll "the window did not give way to exactly one icon: $(tray_describe_icons)" in_tray
  xdotool mousemove --window "$ICON" 11 11 click --repeat 2 --delay 25 1
  poll "the double-click did not bring the window back: $(tray_describe_icons)" back
  tray_alive
  if ((cycle == settled_after)); then
    rss_settled=$(tray_rss_kb)
  fi
done
rss_end=$(tray_rss_kb)
pass "$cycles trips, each with one icon in the tray and none after it"

tray_click_zwin
poll "the last 'zwiń' did not give one icon: $(tray_describe_icons)" in_tray
pass "one icon after the last 'zwiń'"

[[ -n "$rss_settled" ]] || fail "fewer than $settled_after trips were made"
growth=$((rss_end - rss_settled))
echo "resident size after trip $settled_after: $rss_settled kB, after trip $cycles: $rss_end kB, growth $growth kB"
if [[ -n "${STRELKAVO_SANITIZED:-}" ]]; then
  # The address sanitizer holds freed memory back on purpose, so the resident
  # size says nothing there; its leak checker looks at this run instead.
  pass "memory growth not bounded under the sanitizers (leaks are checked)"
else
  ((growth < max_growth_kb)) \
    || fail "the resident size grew by $growth kB from trip $settled_after to trip $cycles"
  pass "memory grew by $growth kB (bound $max_growth_kb kB)"
fi
