# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Sourced by the tray tests after rig.sh: finding the program's icon in the
# X11 panel, its popup menu, its items on the session bus, and the state of its
# main window as the window manager sees it.

TRAY_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The bus helper needs Debian's python with Gio, not whatever python is first on PATH.
TRAY_PYTHON=/usr/bin/python3

# The "zwiń" button, in the window's own pixels.
TRAY_ZWIN_X=380
TRAY_ZWIN_Y=284

# Clicks "zwiń" on the main window $WID.
tray_click_zwin() {
  xdotool mousemove --window "$WID" "$TRAY_ZWIN_X" "$TRAY_ZWIN_Y" click 1
}

# trayer's panel: the window that the icons are embedded in.
tray_panel() {
  # awk reads to the end: stopping early would fail the pipe (pipefail).
  xwininfo -root -tree | awk '/\("panel" "trayer"\)/ && !found { print $1; found = 1 }'
}

# The program's windows inside the panel, one id a line: its embedded icons.
# Set TRAY_PANEL=$(tray_panel) once trayer runs to spare looking it up each time.
tray_icons() {
  local panel=${TRAY_PANEL:-}
  [[ -n "$panel" ]] || panel=$(tray_panel)
  [[ -n "$panel" ]] || return 0
  xwininfo -tree -id "$panel" | awk '/\("strelkavo" "Strelkavo"\)/ { print $1 }'
}

# What the panel holds of the program, for messages: "ID:MAPSTATE ...".
tray_describe_icons() {
  local window described=()
  for window in $(tray_icons); do
    described+=("$window:$(xwininfo -id "$window" 2>/dev/null | sed -n 's/.*Map State: //p')")
  done
  echo "${described[*]:-no icon}"
}

tray_icon_count() {
  tray_icons | grep -c . || true
}

# Whether exactly one icon is embedded and shown; sets ICON to it.
tray_one_icon_shown() {
  local icons
  mapfile -t icons < <(tray_icons)
  ((${#icons[@]} == 1)) || return 1
  tray_viewable "${icons[0]}" || return 1
  ICON=${icons[0]}
}

# Waits for exactly one shown icon; sets ICON.
tray_wait_icon() {
  wait_for "${1:-10}" tray_one_icon_shown \
    || fail "not exactly one shown icon in the panel: $(tray_describe_icons)"
  # wait_for's own call has set ICON.
}

# Output is read whole before it is searched: with pipefail, "| grep -q"
# fails whenever grep stops reading before the writer has finished.
tray_viewable() {
  [[ "$(xwininfo -id "$1" 2>/dev/null)" == *"Map State: IsViewable"* ]]
}

tray_unmapped() {
  [[ "$(xwininfo -id "$1" 2>/dev/null)" == *"Map State: IsUnMapped"* ]]
}

# The program's shown popup menus: top-level override-redirect windows of its
# own other than the main window, one id a line.
tray_menus() {
  local window
  for window in $(xwininfo -root -children | awk '/\("strelkavo" "Strelkavo"\)/ { print $1 }'); do
    [[ $((window)) == $((WID)) ]] && continue
    [[ "$(xwininfo -id "$window" 2>/dev/null)" == *"Override Redirect State: yes"* ]] || continue
    tray_viewable "$window" && echo "$window"
  done
}

tray_menu_shown() {
  MENU=$(tray_menus | head -n1)
  [[ -n "$MENU" ]]
}

tray_no_menu() {
  [[ -z "$(tray_menus)" ]]
}

# Whether the window manager manages $WID as a normal, shown window: mapped,
# WM_STATE Normal, in the client list (so it has a taskbar entry), and not
# asked to be left out of the taskbar.
tray_window_shown() {
  tray_viewable "$WID" || return 1
  [[ "$(xprop -id "$WID" WM_STATE)" == *"window state: Normal"* ]] || return 1
  tray_in_client_list || return 1
  [[ "$(xprop -id "$WID" _NET_WM_STATE)" != *_NET_WM_STATE_SKIP_TASKBAR* ]]
}

tray_in_client_list() {
  local id
  for id in $(xprop -root _NET_CLIENT_LIST | sed -n 's/.*# *//p' | tr -d ,); do
    [[ $((id)) == $((WID)) ]] && return 0
  done
  return 1
}

# Whether $WID is hidden the way the tray hides it: unmapped and withdrawn, so
# that no taskbar shows it.
tray_window_withdrawn() {
  tray_unmapped "$WID" || return 1
  local state
  state=$(xprop -id "$WID" WM_STATE 2>/dev/null)
  [[ "$state" != *"window state: Normal"* && "$state" != *"window state: Iconic"* ]] || return 1
  ! tray_in_client_list
}

tray_wait_shown() {
  wait_for "${1:-10}" tray_window_shown && return 0
  tray_alive
  fail "the window was not shown again: $(xwininfo -id "$WID" | grep 'Map State')," \
      "$(xprop -id "$WID" WM_STATE | tr '\n\t' '  ')"
}

tray_wait_withdrawn() {
  wait_for "${1:-10}" tray_window_withdrawn && return 0
  tray_alive
  fail "the window was not hidden: $(xwininfo -id "$WID" | grep 'Map State')," \
      "$(xprop -id "$WID" WM_STATE | tr '\n\t' '  ')"
}

tray_alive() {
  rig_running "$APP_PID" && return 0
  local status
  rig_app_wait
  status=$APP_STATUS
  fail "the program ended with status $status$( ((status > 128)) && echo " (signal $((status - 128)))"):" \
    "$(tail -n 20 "$RIG_DIR/app.log")"
}

tray_app_ended() {
  ! rig_running "$APP_PID"
}

# The StatusNotifierWatcher of sni_watcher.py, owning its name on this
# session bus: tray_watcher_start [--no-host]. Its record of registered items
# is $TRAY_ITEMS.
tray_watcher_start() {
  TRAY_ITEMS="$RIG_DIR/sni-items"
  "$TRAY_PYTHON" -I "$TRAY_E2E_DIR/sni_watcher.py" serve "$TRAY_ITEMS" "$@" \
    >"$RIG_DIR/sni-watcher.log" 2>&1 &
  RIG_PIDS+=($!)
  wait_for 10 grep -qx ready "$RIG_DIR/sni-watcher.log" \
    || fail "the StatusNotifierWatcher did not start: $(cat "$RIG_DIR/sni-watcher.log")"
}

tray_item_count() {
  grep -c . "$TRAY_ITEMS" || true
}

# Whether exactly one item is registered; sets ITEM_SERVICE and ITEM_PATH.
tray_one_item() {
  (($(tray_item_count) == 1)) || return 1
  read -r ITEM_SERVICE ITEM_PATH <"$TRAY_ITEMS"
}

tray_no_item() {
  (($(tray_item_count) == 0))
}

# Calls a method of the registered item: tray_item_call Activate X Y.
tray_item_call() {
  "$TRAY_PYTHON" -I "$TRAY_E2E_DIR/sni_watcher.py" call "$ITEM_SERVICE" "$ITEM_PATH" "$@"
}

tray_item_get() {
  "$TRAY_PYTHON" -I "$TRAY_E2E_DIR/sni_watcher.py" get "$ITEM_SERVICE" "$ITEM_PATH" "$1"
}

# VmRSS of the program, in kB.
tray_rss_kb() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$APP_PID/status"
}
