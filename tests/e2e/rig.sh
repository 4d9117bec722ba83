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
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  rm -rf "$RIG_DIR"
}
trap rig_stop EXIT

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

# Waits for the program to end; prints its exit status.
rig_app_status() {
  local status=0
  wait "$APP_PID" || status=$?
  echo "$status"
}

# Saves a PNG of a window (or the whole screen) to $1.
rig_screenshot() {
  import -window "${2:-root}" "$1"
}
