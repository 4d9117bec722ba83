# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Sourced by the end-to-end tests: a private X session with a window manager,
# optionally a notification area, and helpers to drive and read the program.
#
#   source "$(dirname "$0")/rig.sh"     # re-executes the test inside its own session bus
#   rig_start [--tray]                   # Xvfb + openbox (+ trayer)
#   rig_app [ARGS...]                    # starts $STRELKAVO_BIN, sets APP_PID
#   rig_window                           # waits for the visible main window, sets WID
#   ...                                  # everything started is stopped on exit
#
# Needs STRELKAVO_BIN (the built program); CTest passes it.

set -euo pipefail

if [[ -z "${RIG_IN_SESSION_BUS:-}" ]]; then
  export RIG_IN_SESSION_BUS=1
  exec dbus-run-session -- bash "$0" "$@"
fi

RIG_PIDS=()
RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/strelkavo-e2e.XXXXXX")
export XDG_RUNTIME_DIR="$RIG_DIR/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export HOME="$RIG_DIR/home"
mkdir -p "$HOME"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

pass() {
  echo "ok: $*"
}

rig_stop() {
  local pid
  for ((i = ${#RIG_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${RIG_PIDS[i]}
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${RIG_PIDS[@]}"; do
    for _ in $(seq 50); do rig_running "$pid" || break; sleep 0.1; done
    # Once gone, its number may already belong to someone else.
    if rig_running "$pid"; then kill -9 "$pid" 2>/dev/null || true; fi
  done
  rm -rf "$RIG_DIR"
}
trap rig_stop EXIT

RIG_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Whether a process still runs. A daemon that the session bus started is not
# our child: once ended it stays a zombie until init reaps it, which kill -0
# cannot tell from running.
rig_running() {
  local state
  # The state follows the command name, which is in brackets and may hold blanks.
  state=$(sed -n 's/.*) \(.\).*/\1/p' "/proc/$1/stat" 2>/dev/null) || return 1
  [[ -n "$state" && "$state" != Z && "$state" != X ]]
}

# Polls a command until it succeeds, for at most $1 seconds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

rig_start() {
  local tray=0
  [[ "${1:-}" == "--tray" ]] && tray=1
  local displayfile="$RIG_DIR/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$displayfile" \
    >"$RIG_DIR/xvfb.log" 2>&1 &
  RIG_PIDS+=($!)
  wait_for 10 test -s "$displayfile" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$displayfile")"
  wait_for 10 xdpyinfo || fail "X server $DISPLAY does not answer"

  openbox --sm-disable >"$RIG_DIR/openbox.log" 2>&1 &
  RIG_PIDS+=($!)
  wait_for 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
    || fail "openbox did not start"

  if ((tray)); then
    trayer --edge bottom --align right --width 10 --height 24 --expand false \
      --SetDockType true >"$RIG_DIR/trayer.log" 2>&1 &
    RIG_PIDS+=($!)
    wait_for 10 xdotool search --classname trayer || fail "trayer did not start"
  fi
}

# Starts the program in the background; its stdout/stderr go to $RIG_DIR/app.log.
rig_app() {
  "${STRELKAVO_BIN:?}" "$@" >"$RIG_DIR/app.log" 2>&1 &
  APP_PID=$!
  RIG_PIDS+=("$APP_PID")
}

# The visible main window's id, once it is mapped.
rig_window() {
  wait_for 20 xdotool search --onlyvisible --name '^Strelkavo$' \
    || fail "the main window did not appear; program said: $(cat "$RIG_DIR/app.log")"
  WID=$(xdotool search --onlyvisible --name '^Strelkavo$' | head -n1)
}

# Waits for the program to end; sets APP_STATUS to its exit status.
rig_app_wait() {
  APP_STATUS=0
  wait "$APP_PID" || APP_STATUS=$?
}

# Saves a PNG of a window (or the whole screen) to $1.
rig_screenshot() {
  import -window "${2:-root}" "$1"
}

# Starts the accessibility bus and has every program started afterwards publish
# its controls there, as for a screen reader. The bus launcher is started here,
# not by bus activation, so that it runs with this session's environment (its
# socket goes into our private runtime directory) and is stopped with the rig;
# the registry daemon that the bus starts is stopped too.
rig_a11y_start() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$RIG_DIR/a11y.log" 2>&1 &
  RIG_PIDS+=($!)
  wait_for 10 rig_dbus_has_owner org.a11y.Bus || fail "the accessibility bus did not start"
  local address
  address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress | tr -d ' ') || fail "the accessibility bus has no address"
  dbus-send --bus="$address" --print-reply --dest=org.a11y.atspi.Registry \
    /org/a11y/atspi/registry org.freedesktop.DBus.Peer.Ping >/dev/null \
    || fail "the accessibility registry did not start"
  local registry
  registry=$(dbus-send --bus="$address" --print-reply=literal --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID \
    string:org.a11y.atspi.Registry | awk '{ print $2 }')
  [[ "$registry" =~ ^[0-9]+$ ]] || fail "the accessibility registry has no process id"
  RIG_PIDS+=("$registry")
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

rig_dbus_has_owner() {
  [[ "$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner "string:$1")" == *true* ]]
}

# Reads the program's controls over the accessibility bus (after rig_a11y_start
# and rig_app): rig_a11y [--wait SECONDS] COMMAND [ARGS...]; see a11y_read.py.
rig_a11y() {
  local wait=()
  if [[ "${1:-}" == "--wait" ]]; then
    wait=(--wait "$2")
    shift 2
  fi
  /usr/bin/python3 -I "$RIG_E2E_DIR/a11y_read.py" "${wait[@]}" "${APP_PID:?}" "$@"
}
