#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plans a burst of input for the search box and says what the box must hold.

    typing_plan.py SEED CHARACTERS MAX_LENGTH

Prints one step a line, fields separated by tabs:
    type    N TEXT      type TEXT, N characters, at machine speed
    back    N           press BackSpace N times
    click   INDEX TEXT  click letter button INDEX (0 to 3); TEXT is what the
                        box holds afterwards
    end     TEXT        what the box holds after the last step
CHARACTERS characters are typed in all. The box keeps the caret at the end
throughout: typing and the letter buttons append, BackSpace takes the last
character, and nothing is taken beyond MAX_LENGTH characters.
"""

import random
import sys

LETTERS = "äöüß"
ALPHABET = (
    "abcdefghijklmnopqrstuvwxyz" * 3
    + "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    + "äöüßÄÖÜ" * 2
    + "ąćęłńóśźżĄŁŻ"
    + "0123456789 "
)


def plan(seed, characters, max_length):
    rng = random.Random(seed)
    text = ""
    typed = 0
    steps = []
    while typed < characters:
        roll = rng.random()
        if roll < 0.7:
            chunk = "".join(rng.choice(ALPHABET)
                            for _ in range(min(rng.randint(1, 12), characters - typed)))
            typed += len(chunk)
            text = (text + chunk)[:max_length]
            steps.append(f"type\t{len(chunk)}\t{chunk}")
        elif roll < 0.9:
            count = rng.randint(1, 5)
            text = text[: max(0, len(text) - count)]
            steps.append(f"back\t{count}")
        else:
            index = rng.randrange(len(LETTERS))
            if len(text) < max_length:
                text += LETTERS[index]
            steps.append(f"click\t{index}\t{text}")
    steps.append(f"end\t{text}")
    return steps


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    sys.stdout.reconfigure(encoding="utf-8")
    print("\n".join(plan(int(argv[0]), int(argv[1]), int(argv[2]))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
