#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program against damaged, odd and missing data files. Each case runs a
# copy of the program in a directory of its own, beside the good file of the
# other kind. A file that cannot be loaded must end the program with status 1
# after one message (on stderr and in a box) naming the file and, where there
# is one, the line, and the main window must never be shown. Files that can be
# loaded must give a working window. Never a crash or a hang, and no file is
# ever changed.
source "$(dirname "$0")/rig.sh"
# A command that fails where no check expects it still says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

bin_dir=${STRELKAVO_BIN_DIR:?}
good_verbs="$bin_dir/czas.dat"
good_words="$bin_dir/czas2.dat"
build_sums=$(sha256sum "$STRELKAVO_BIN" "$good_verbs" "$good_words")

# What the good verb file holds, read with the data tool rather than the program.
verb_rows=$(wc -l <"$good_verbs")
((verb_rows > 2)) || fail "the built verb file has only $verb_rows lines"
first_row=$("$bin_dir/strelkavo-data" decode "$good_verbs" | sed -n '1{s/#/ /g;p}')
last_row=$("$bin_dir/strelkavo-data" decode "$good_verbs" | sed -n '${s/#/ /g;p}')
[[ -n "$first_row" && -n "$last_row" ]] || fail "the built verb file cannot be decoded"

rig_start
rig_a11y_start

# Every window that the window manager frames is logged, so that a main window
# shown for a moment only is seen too.
xev -root -event substructure -event property >"$RIG_DIR/xev.log" 2>&1 &
RIG_PIDS+=($!)
MARK_ATOM=_STRELKAVO_E2E_MARK
MARKS=0
mark() {
  MARKS=$((MARKS + 1))
  xprop -root -f "$MARK_ATOM" 8s -set "$MARK_ATOM" "$MARKS"
  wait_for 10 marked "$MARKS" || fail "the X event log does not follow"
}
marked() {
  (($(grep -c "($MARK_ATOM)" "$RIG_DIR/xev.log") >= $1))
}
# The log is trusted once it shows a change made after it started.
xev_ready() {
  xprop -root -f _STRELKAVO_E2E_READY 8s -set _STRELKAVO_E2E_READY 1
  grep -q '(_STRELKAVO_E2E_READY)' "$RIG_DIR/xev.log"
}
wait_for 10 xev_ready || fail "the X event log does not start"

# The unprivileged cases need to reach their files.
chmod 711 "$RIG_DIR"
cases_dir=$(realpath "$RIG_DIR")/cases
mkdir -m 755 "$cases_dir"

encode() {
  "$bin_dir/strelkavo-data" encode || fail "strelkavo-data cannot encode: $*"
}

# A fresh directory with a copy of the program and both good files.
new_case() {
  CASE=$1
  CASE_DIR="$cases_dir/$1"
  mkdir -m 755 "$CASE_DIR"
  cp "$STRELKAVO_BIN" "$good_verbs" "$good_words" "$CASE_DIR/"
  CASE_RUNNER=()
  CASE_A11Y=1
  echo "case $CASE"
}

# The program is run as an unprivileged user, without this session's buses.
as_nobody() {
  CASE_RUNNER=(env -u XDG_RUNTIME_DIR -u DBUS_SESSION_BUS_ADDRESS HOME=/nonexistent
    setpriv --reuid=nobody --regid=nogroup --clear-groups)
  CASE_A11Y=0
}

case_files() {
  (cd "$CASE_DIR" && find . -printf '%p %y %m %s\n' | sort \
    && find . -type f -exec sha256sum {} + | sort)
}

app_ended() {
  ! rig_running "$APP_PID"
}

# Starts the case's program and waits for its main window (CASE_SEEN=window,
# WID) or its message box (CASE_SEEN=box, BOX_WID).
launch() {
  CASE_SUMS=$(case_files)
  mark
  CASE_MARK=$MARKS
  (cd / && exec "${CASE_RUNNER[@]}" "$CASE_DIR/strelkavo") >"$CASE_DIR.out" 2>"$CASE_DIR.err" &
  APP_PID=$!
  RIG_PIDS+=("$APP_PID")
  CASE_SEEN=
  local deadline=$((SECONDS + 20)) window type size
  while [[ -z "$CASE_SEEN" ]]; do
    for window in $(xdotool search --onlyvisible --pid "$APP_PID" --name '^Strelkavo$' 2>/dev/null); do
      type=$(xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null) || continue
      size=$(xwininfo -id "$window" 2>/dev/null \
        | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w "x" h }')
      if [[ "$type" == *_NET_WM_WINDOW_TYPE_DIALOG* ]]; then
        CASE_SEEN=box BOX_WID=$window
      elif [[ "$size" == 408x301 ]]; then
        CASE_SEEN=window WID=$window
      fi
    done
    if [[ -z "$CASE_SEEN" ]] && app_ended; then
      rig_app_wait
      fail "$CASE: the program ended with status $APP_STATUS before showing anything;" \
        "it said: $(cat "$CASE_DIR.err")"
    fi
    ((SECONDS < deadline)) || fail "$CASE: neither the window nor a message appeared in 20 s"
    [[ -n "$CASE_SEEN" ]] || sleep 0.05
  done
}

active() {
  [[ "$(xprop -root _NET_ACTIVE_WINDOW)" == *" $(printf '0x%x' "$1")" ]]
}
activate() {
  xdotool windowactivate "$1" 2>/dev/null || true
  wait_for 10 active "$1" || fail "$CASE: window $1 could not be made active"
}

# Waits for the program's end; fails on a hang or a crash.
finish() {
  local expected=$1
  wait_for 20 app_ended || fail "$CASE: the program still runs 20 s after it was told to end"
  rig_app_wait
  local status=$APP_STATUS
  ((status < 128)) || fail "$CASE: the program crashed (status $status); it said: $(cat "$CASE_DIR.err")"
  [[ "$status" == "$expected" ]] \
    || fail "$CASE: status $status, expected $expected; it said: $(cat "$CASE_DIR.err")"
  mark
  CASE_WINDOWS=$(/usr/bin/python3 -I "$RIG_E2E_DIR/badfiles_windows.py" "$RIG_DIR/xev.log" \
    "$MARK_ATOM" "$CASE_MARK") || fail "$CASE: the X event log cannot be read"
  [[ "$(case_files)" == "$CASE_SUMS" ]] || fail "$CASE: the files beside the program changed"
}

# The program must refuse to start: FILE is czas.dat or czas2.dat, LINE the
# line to be named, 0 for none, or "any" for some line; CHAR, if given, the
# position in the line of the first byte that cannot be decoded, which the
# message may name as well.
expect_failure() {
  local file=$1 line=$2 char=${3:-}
  launch
  [[ "$CASE_SEEN" == box ]] || fail "$CASE: the main window was shown instead of a message"
  local messages message
  messages=$(grep '^strelkavo: ' "$CASE_DIR.err" || true)
  [[ -n "$messages" && "$messages" != *$'\n'* ]] \
    || fail "$CASE: not one message on stderr, but: $(cat "$CASE_DIR.err")"
  message=${messages#strelkavo: }
  local named="Nie można wczytać pliku „$CASE_DIR/$file”"
  case $line in
    0) [[ "$message" == "$named: "* ]] || fail "$CASE: the message does not name $file alone: $message" ;;
    any) [[ "$message" =~ ^"$named, wiersz "[1-9][0-9]*[:,]" " ]] \
      || fail "$CASE: the message does not name $file and a line: $message" ;;
    *) [[ "$message" == "$named, wiersz $line"[:,]" "* ]] \
      || fail "$CASE: the message does not name $file, line $line: $message" ;;
  esac
  if [[ -n "$char" && "$message" == "$named, wiersz $line, znak "* ]]; then
    [[ "$message" == "$named, wiersz $line, znak $char: "* ]] \
      || fail "$CASE: the message does not name character $char: $message"
  fi
  if ((CASE_A11Y)); then
    local shown
    shown=$(rig_a11y --wait 10 dialog) || fail "$CASE: the message box shows no text"
    grep -qxF -- "$message" <<<"$shown" \
      || fail "$CASE: the box says '$shown', stderr says '$message'"
  fi
  rig_running "$APP_PID" || fail "$CASE: the program ended before its message was closed"
  activate "$BOX_WID"
  xdotool key Return
  finish 1
  [[ -n "$CASE_WINDOWS" && "$CASE_WINDOWS" != *$'\n'* ]] \
    || fail "$CASE: not one window but these were shown: ${CASE_WINDOWS:-none}"
  [[ "$CASE_WINDOWS" != *" 408x301" ]] || fail "$CASE: the main window was shown: $CASE_WINDOWS"
  pass "$CASE: status 1 after the box; $message"
}

# The program must start: ROWS rows in the list, then what rig_a11y checks
# in CHECKS (joined by "+") must hold too.
expect_start() {
  local rows=$1
  shift
  launch
  [[ "$CASE_SEEN" == window ]] \
    || fail "$CASE: a message instead of the main window: $(cat "$CASE_DIR.err")"
  local checks=(has-rows "$rows")
  (($#)) && checks+=(+ "$@")
  rig_a11y --wait 10 "${checks[@]}" || fail "$CASE: the list is not as expected"
  close_window
  pass "$CASE: started with $rows rows, closed with status 0"
}

close_window() {
  activate "$WID"
  xdotool key alt+F4
  finish 0
  # The watch must have seen the window it is trusted to see in the failures.
  grep -q " 408x301$" <<<"$CASE_WINDOWS" \
    || fail "$CASE: the X event log missed the main window; it has: ${CASE_WINDOWS:-nothing}"
}

# Shown text, one line per argument, in the stored form with CR LF line ends.
stored() {
  printf '%s\n' "$@" | encode
}

# --- missing, unreadable, not a file -----------------------------------------

new_case verbs-missing
rm "$CASE_DIR/czas.dat"
expect_failure czas.dat 0

new_case words-missing
rm "$CASE_DIR/czas2.dat"
expect_failure czas2.dat 0

new_case verbs-unreadable
chmod 000 "$CASE_DIR/czas.dat"
as_nobody
expect_failure czas.dat 0

new_case words-unreadable
chmod 000 "$CASE_DIR/czas2.dat"
as_nobody
expect_failure czas2.dat 0

new_case verbs-directory
rm "$CASE_DIR/czas.dat"
mkdir "$CASE_DIR/czas.dat"
expect_failure czas.dat 0

new_case words-directory
rm "$CASE_DIR/czas2.dat"
mkdir "$CASE_DIR/czas2.dat"
expect_failure czas2.dat 0

# --- empty files, other line ends --------------------------------------------

new_case verbs-empty
: >"$CASE_DIR/czas.dat"
expect_start 0

new_case words-empty
: >"$CASE_DIR/czas2.dat"
expect_start "$verb_rows" has-row 0 "$first_row"

new_case verbs-lf-only
tr -d '\r' <"$good_verbs" >"$CASE_DIR/czas.dat"
expect_start "$verb_rows" has-row 0 "$first_row" + has-row $((verb_rows - 1)) "$last_row"

new_case words-lf-only
tr -d '\r' <"$good_words" >"$CASE_DIR/czas2.dat"
expect_start "$verb_rows"

new_case verbs-no-final-line-end
head -c -2 "$good_verbs" >"$CASE_DIR/czas.dat"
expect_start "$verb_rows" has-row $((verb_rows - 1)) "$last_row"

new_case words-no-final-line-end
head -c -2 "$good_words" >"$CASE_DIR/czas2.dat"
expect_start "$verb_rows"

# --- undecodable bytes -------------------------------------------------------

new_case verbs-byte-f8
{ head -n 2 "$good_verbs"; printf 'YZ\xf8[\r\n'; tail -n +3 "$good_verbs"; } >"$CASE_DIR/czas.dat"
expect_failure czas.dat 3 3

new_case words-byte-ff
{ head -n 4 "$good_words"; printf '\xff\r\n'; tail -n +5 "$good_words"; } >"$CASE_DIR/czas2.dat"
expect_failure czas2.dat 5 1

new_case verbs-byte-ff-last
{ cat "$good_verbs"; printf 'YZ[\xff'; } >"$CASE_DIR/czas.dat"
expect_failure czas.dat $((verb_rows + 1)) 4

# 0x79 decodes to 0x81 and 0x90 to 0x98, codes that Windows-1250 leaves out.
new_case verbs-undefined-code
{ head -n 1 "$good_verbs"; printf 'YZ\x79\r\n'; tail -n +2 "$good_verbs"; } >"$CASE_DIR/czas.dat"
expect_failure czas.dat 2 3

new_case words-undefined-code
{ head -n 3 "$good_words"; printf 'YZ\x90\r\n'; tail -n +4 "$good_words"; } >"$CASE_DIR/czas2.dat"
expect_failure czas2.dat 4 3

# --- plain data that some readers take for something else --------------------

# 0x1A is a stored double quote, and an end of file to some text readers.
new_case verbs-byte-1a
{ stored 'zitieren#"zitierte"#zitiert'; cat "$good_verbs"; } >"$CASE_DIR/czas.dat"
grep -q $'\x1a' "$CASE_DIR/czas.dat" || fail "$CASE: the stored line holds no byte 0x1A"
expect_start $((verb_rows + 1)) has-row 0 'zitieren "zitierte" zitiert' \
  + has-row "$verb_rows" "$last_row"

new_case verbs-line-without-separator
{ head -n 1 "$good_verbs"; stored 'ohnetrenner'; tail -n +2 "$good_verbs"; } >"$CASE_DIR/czas.dat"
expect_start $((verb_rows + 1)) has-row 1 'ohnetrenner' + has-row 2 \
  "$("$bin_dir/strelkavo-data" decode "$good_verbs" | sed -n '2{s/#/ /g;p}')"

# A stored quote (0x22) that is never closed.
new_case words-unbalanced-quote
{ head -n 2 "$good_words"; printf '"'; stored 'ging'; tail -n +3 "$good_words"; } \
  >"$CASE_DIR/czas2.dat"
expect_start "$verb_rows"

# --- size ----------------------------------------------------------------------

# One line of a megabyte: refusing it and showing it are both sound.
new_case verbs-megabyte-line
{ cat "$good_verbs"; head -c $((1 << 20)) /dev/zero | tr '\0' 'Y'; printf '\r\n'; } \
  >"$CASE_DIR/czas.dat"
launch
if [[ "$CASE_SEEN" == window ]]; then
  rig_a11y --wait 20 has-rows $((verb_rows + 1)) || fail "$CASE: the list is not as expected"
  close_window
  pass "$CASE: started with the long line as row $verb_rows"
else
  activate "$BOX_WID"
  xdotool key Return
  finish 1
  pass "$CASE: refused with status 1: $(cat "$CASE_DIR.err")"
fi

# Random bytes: the first byte that cannot be decoded is named.
random_bytes() {
  /usr/bin/python3 -I -c '
import random, sys
sys.stdout.buffer.write(random.Random(int(sys.argv[1])).randbytes(10 << 20))' "$1"
}
first_bad_line() {
  /usr/bin/python3 -I -c '
import sys
bad = set(range(0xF8, 0x100)) | {0x79, 0x7B, 0x80, 0x88, 0x90}
for number, line in enumerate(open(sys.argv[1], "rb").read().split(b"\n"), 1):
    for position, byte in enumerate(line.removesuffix(b"\r"), 1):
        if byte in bad:
            print(number, position)
            sys.exit()' "$1"
}

new_case verbs-random-10mb
random_bytes 1 >"$CASE_DIR/czas.dat"
read -r bad_line bad_char < <(first_bad_line "$CASE_DIR/czas.dat")
[[ -n "$bad_line" ]] || fail "$CASE: the random bytes hold no undecodable byte"
expect_failure czas.dat "$bad_line" "$bad_char"

new_case words-random-10mb
random_bytes 2 >"$CASE_DIR/czas2.dat"
expect_failure czas2.dat any

[[ "$(sha256sum "$STRELKAVO_BIN" "$good_verbs" "$good_words")" == "$build_sums" ]] \
  || fail "the program or the data files in the build tree changed"
pass "the build tree's program and data files are unchanged"
