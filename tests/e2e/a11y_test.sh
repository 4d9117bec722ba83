#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The window read as a screen reader reads it: every control that is shown has
# a name, the letter buttons say which letter they type, and the verb list says
# what it holds. Controls are told apart by their kind and place, not by the
# names under test.
source "$(dirname "$0")/rig.sh"
# A command that fails where no check expects it still says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

rig_start
rig_a11y_start
rig_app
rig_window

echo "reading the window's controls over the accessibility bus"
controls=$(rig_a11y --wait 10 controls) || fail "the program's controls cannot be read"
# role, x, y, width, height, name, description; empty fields stay fields.
of_role() {
  awk -F'\t' -v role="$1" '$1 == role' <<<"$controls" | sort -t$'\t' -k2,2n -k3,3n
}
field() {
  cut -f"$1" <<<"$2"
}
describe() {
  printf '%s at %s,%s: name "%s", description "%s"' "$1" "$(field 2 "$2")" "$(field 3 "$2")" \
    "$(field 6 "$2")" "$(field 7 "$2")"
}

echo "checking that exactly the nine visible controls are shown"
count=$(grep -c . <<<"$controls")
lists=$(of_role list)
texts=$(of_role text)
labels=$(of_role label)
buttons=$(of_role "push button")
[[ "$count" == 9 && $(grep -c . <<<"$lists") == 1 && $(grep -c . <<<"$texts") == 1 \
  && $(grep -c . <<<"$labels") == 1 && $(grep -c . <<<"$buttons") == 6 ]] \
  || fail "expected one list, one text box, one label and six buttons, got:"$'\n'"$controls"
pass "one list, one text box, one label and six buttons; the hidden list and picture are not shown"

echo "checking the verb list"
[[ -n "$(field 6 "$lists")" ]] || fail "the list has no name: $(describe list "$lists")"
[[ -n "$(field 7 "$lists")" ]] || fail "the list has no description: $(describe list "$lists")"
pass "the list is \"$(field 6 "$lists")\": $(field 7 "$lists")"

echo "checking the search box and its label"
[[ -n "$(field 6 "$texts")" ]] || fail "the search box has no name: $(describe "text box" "$texts")"
[[ -n "$(field 6 "$labels")" ]] || fail "the label has no name: $(describe label "$labels")"
# The label stands left of the box that it names, on the same line.
(($(field 2 "$labels") < $(field 2 "$texts"))) || fail "the label is not left of the search box"
pass "the search box is \"$(field 6 "$texts")\", its label reads \"$(field 6 "$labels")\""

echo "checking the buttons, left to right"
letters=(ä ö ü ß)
index=0
while IFS= read -r button; do
  name=$(field 6 "$button")
  description=$(field 7 "$button")
  [[ -n "$name" ]] || fail "button $((index + 1)) from the left has no name: $(describe button "$button")"
  if ((index < 4)); then
    letter=${letters[index]}
    [[ "$description" == *"$letter"* ]] \
      || fail "letter button $((index + 1)) does not name its letter $letter: $(describe button "$button")"
    pass "letter button $((index + 1)) is \"$name\": $description"
  else
    pass "button $((index + 1)) is \"$name\""
  fi
  index=$((index + 1))
done <<<"$buttons"

# The two buttons right of the letters carry their captions as names.
[[ "$(field 6 "$(sed -n 5p <<<"$buttons")")" == WWW ]] || fail "the fifth button is not WWW"
[[ "$(field 6 "$(sed -n 6p <<<"$buttons")")" == zwiń ]] || fail "the sixth button is not zwiń"
pass "the buttons right of the letters are WWW and zwiń"
