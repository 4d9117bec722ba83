# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Sourced after rig.sh. xdotool types a letter that the keyboard map lacks by
# binding it to a scratch key for a moment and undoing that afterwards; at
# machine speed the program can see the key after it has been unbound, and the
# letter is lost. Giving the German and Polish letters keys of their own, once,
# before the program starts, makes typing them as dependable as typing ASCII.

KEYS_LETTERS=(
  "adiaeresis Adiaeresis" "odiaeresis Odiaeresis" "udiaeresis Udiaeresis" "ssharp ssharp"
  "aogonek Aogonek" "cacute Cacute" "eogonek Eogonek" "lstroke Lstroke" "nacute Nacute"
  "oacute Oacute" "sacute Sacute" "zacute Zacute" "zabovedot Zabovedot"
)

# Binds every letter of KEYS_LETTERS to a key that has nothing bound yet.
keys_map_letters() {
  local -a free
  mapfile -t free < <(xmodmap -pke | awk 'NF == 3 && $2 >= 100 { print $2 }')
  ((${#free[@]} >= ${#KEYS_LETTERS[@]})) \
    || fail "the keyboard map has ${#free[@]} free keys, ${#KEYS_LETTERS[@]} are needed"
  local i expressions=()
  for i in "${!KEYS_LETTERS[@]}"; do
    expressions+=(-e "keycode ${free[i]} = ${KEYS_LETTERS[i]}")
  done
  xmodmap "${expressions[@]}" || fail "xmodmap could not bind the letters"
  local map letter
  map=$(xmodmap -pke)
  for i in "${!KEYS_LETTERS[@]}"; do
    letter=${KEYS_LETTERS[i]%% *}
    grep -qw "$letter" <<<"$map" || fail "the letter $letter is not in the keyboard map"
  done
}
