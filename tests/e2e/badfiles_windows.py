#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Lists the windows that the window manager took over between two marks of a
log of `xev -root -event substructure -event property`.

    badfiles_windows.py LOG MARK_ATOM N

The marks are changes of the root window's property MARK_ATOM; the part of the
log read is the one after the N-th change and before the next. Every top-level
window is created as a child of the root window, which reports its size; a
window manager that frames a window moves it into the frame, which the root
window reports too. So every window that was shown is listed, with its size
as last reported before it was framed, however briefly it was on the screen:

    0x600006 500x86
"""

import re
import sys

HEADER = re.compile(r"^(\w+) event, serial \d+, synthetic \w+, window (0x[0-9a-f]+),")
GEOMETRY = re.compile(r"window (0x[0-9a-f]+), \((-?\d+),(-?\d+)\), width (\d+), height (\d+)")
REPARENT = re.compile(r"window (0x[0-9a-f]+), parent (0x[0-9a-f]+)")


def main(log, atom, mark):
    marks = 0
    event = root = None
    sizes = {}
    managed = []
    with open(log, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            header = HEADER.match(line)
            if header:
                event, root = header.group(1), header.group(2)
                continue
            if event == "PropertyNotify" and f"({atom})" in line:
                marks += 1
                if marks > mark:
                    break
                continue
            if marks < mark:
                continue
            if event in ("CreateNotify", "ConfigureNotify"):
                geometry = GEOMETRY.search(line)
                if geometry:
                    sizes[geometry.group(1)] = f"{geometry.group(4)}x{geometry.group(5)}"
            elif event == "ReparentNotify":
                reparent = REPARENT.search(line)
                # Handing a window back to the root window is no showing.
                if reparent and reparent.group(2) != root:
                    window = reparent.group(1)
                    managed.append(f"{window} {sizes.get(window, 'unknown')}")
    if marks <= mark:
        print(f"the log has no end mark after mark {mark}", file=sys.stderr)
        return 1
    print("\n".join(managed))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2], int(sys.argv[3])))
