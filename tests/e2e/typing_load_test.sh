#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A thousand characters typed into the search box at machine speed, mixed with
# BackSpace and clicks on the letter buttons. Every search yields to the event
# loop, so keys arrive while earlier searches wait; the box must still hold
# exactly what was typed (no key lost, doubled or reordered, never more than
# ten characters), the program must stay alive and answering, and the last
# text must select its own row.
source "$(dirname "$0")/rig.sh"
# A command that fails where no check expects it still says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
source "$RIG_E2E_DIR/keys.sh"

bin_dir=${STRELKAVO_BIN_DIR:?}
seed=20260601
characters=1000
max_length=10

gehen_line=$("$bin_dir/strelkavo-data" decode "$bin_dir/czas.dat" | grep -nx 'gehen#ging#gegangen' \
  | cut -d: -f1)
[[ "$gehen_line" =~ ^[0-9]+$ ]] || fail "the built verb file has no line gehen#ging#gegangen"
# "gegangen" must lead to gehen alone, or the end state would prove little.
matches=$("$bin_dir/strelkavo-data" decode "$bin_dir/czas2.dat" | grep -ci '^gegangen' || true)
[[ "$matches" == 1 ]] || fail "the built word file has $matches words starting with gegangen, not 1"

rig_start
keys_map_letters
rig_a11y_start
rig_app
rig_window

xdotool windowactivate "$WID"
window_active() {
  [[ "$(xprop -root _NET_ACTIVE_WINDOW)" == *" $(printf '0x%x' "$WID")" ]]
}
wait_for 10 window_active || fail "the window could not be made active"
xdotool key Tab
rig_a11y --wait 10 is-focused Szukaj || fail "Tab did not move the focus into the search box"

# The letter buttons are the four leftmost buttons, ä ö ü ß from left to right.
mapfile -t letter_buttons < <(rig_a11y --wait 10 controls | awk -F'\t' '$1 == "push button"' \
  | sort -t$'\t' -k2,2n | head -n 4 | awk -F'\t' '{ print $2 + int($4 / 2), $3 + int($5 / 2), $6 }')
((${#letter_buttons[@]} == 4)) || fail "the four letter buttons cannot be found"

echo "typing $characters characters (plan seed $seed)"
typed=0
clicks=0
backspaces=0
while IFS=$'\t' read -r step first second; do
  case $step in
    type)
      xdotool type --delay 0 "$second"
      typed=$((typed + first))
      ;;
    back)
      keys=()
      for ((i = 0; i < first; i++)); do keys+=(BackSpace); done
      xdotool key --delay 0 "${keys[@]}"
      backspaces=$((backspaces + first))
      ;;
    click)
      read -r x y letter <<<"${letter_buttons[first]}"
      xdotool mousemove "$x" "$y" click 1
      clicks=$((clicks + 1))
      # The click hands the focus back to the box only once its search is
      # done; keys sent before then go to the button, as they would for a user.
      rig_a11y --wait 20 has-text Szukaj "$second" + is-focused Szukaj \
        || fail "after $typed characters, $backspaces BackSpaces and a click on $letter the box is wrong"
      ;;
    end)
      rig_a11y --wait 20 has-text Szukaj "$first" \
        || fail "after $typed characters, $backspaces BackSpaces and $clicks clicks the box is wrong"
      ;;
  esac
done < <(/usr/bin/python3 -I "$RIG_E2E_DIR/typing_plan.py" "$seed" "$characters" "$max_length")
((typed == characters)) || fail "only $typed characters were typed"
pass "$typed characters, $backspaces BackSpaces and $clicks letter clicks: the box holds exactly what was typed"

rig_running "$APP_PID" || fail "the program has ended"
pass "the program is alive"

echo "clearing the box and typing gegangen"
xdotool key ctrl+a BackSpace
xdotool type --delay 0 gegangen
rig_a11y --wait 20 has-text Szukaj gegangen + has-selection "gehen ging gegangen" \
  || fail "'gegangen' did not select gehen's row"
selection=$(rig_a11y selection)
[[ "${selection%%$'\t'*}" == $((gehen_line - 1)) ]] \
  || fail "row ${selection%%$'\t'*} is selected, gehen is row $((gehen_line - 1))"
pass "'gegangen' selected gehen's row $((gehen_line - 1)), and the program answers"
