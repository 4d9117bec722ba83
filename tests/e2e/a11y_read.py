#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a running program's controls over the accessibility bus, the way a
screen reader sees them. Run with Debian's own /usr/bin/python3, which has
pyatspi; rig.sh's rig_a11y does that.

    a11y_read.py [--wait SECONDS] PID COMMAND [ARGS...] [+ COMMAND [ARGS...]]...

Commands joined by "+" run one after the other in one call, each waited for
as --wait says; the first that fails ends the call.

Commands that print what they see (exit 1 while the program or the control is
not there yet):
    controls            every showing control of the program's windows, one a
                        line: role, x, y, width, height (on the screen), name,
                        description, separated by tabs
    rows                the number of rows of the verb list
    selection           the selected rows of the verb list: index, tab, text
    row INDEX           the text of row INDEX (from 0) of the verb list
    text NAME           the text of the text control named NAME
    focused             the name of the control that has the keyboard focus
    centre NAME         screen coordinates of the middle of the control NAME
    dialog              the texts shown in the program's message box
Commands that check (exit 0 when true, 1 when not; with --wait they are
retried until true or the time is up, then the last value read is printed on
stderr):
    is-focused NAME     the control named NAME has the keyboard focus
    has-text NAME TEXT  the control named NAME holds exactly TEXT
    has-selection TEXT  exactly one row of the verb list is selected, and its
                        text with its padding blanks taken off is TEXT
    has-rows N          the verb list has N rows
    has-row INDEX TEXT  row INDEX of the verb list, its padding blanks taken
                        off, is TEXT
"""

import sys
import time

import gi

gi.require_version("Atspi", "2.0")
import pyatspi  # noqa: E402
from gi.repository import Atspi  # noqa: E402

VERB_LIST = "Lista czasowników"


class NotThere(Exception):
    """What was asked for cannot be seen (yet)."""


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is None:
            continue
        try:
            if app.get_process_id() == pid:
                # Each read must see the program as it is now, not as an
                # event some time ago left it.
                app.set_cache_mask(Atspi.Cache.NONE)
                return app
        except gi.repository.GLib.Error:
            continue
    raise NotThere(f"no program with process id {pid} on the accessibility bus")


def descendants(node, skip_items=True):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        yield child
        # A list's rows are reached through its Table interface.
        if skip_items and child.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE):
            continue
        yield from descendants(child, skip_items)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def has_text(node):
    return "Text" in pyatspi.listInterfaces(node)


def control(app, name, role=None, test=None):
    found = [
        node
        for node in descendants(app)
        if node.name == name
        and showing(node)
        and (role is None or node.getRole() == role)
        and (test is None or test(node))
    ]
    if not found:
        raise NotThere(f"no showing control named {name!r}")
    if len(found) > 1:
        raise NotThere(f"{len(found)} showing controls are named {name!r}")
    return found[0]


def verb_list(app):
    return control(app, VERB_LIST, pyatspi.ROLE_LIST).queryTable()


def cmd_controls(app):
    lines = []
    for node in descendants(app):
        if node.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_FILLER, pyatspi.ROLE_DIALOG,
                              pyatspi.ROLE_ALERT, pyatspi.ROLE_APPLICATION):
            continue
        if showing(node):
            x, y, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            lines.append(f"{node.getRoleName()}\t{x}\t{y}\t{width}\t{height}"
                         f"\t{node.name}\t{node.description}")
    if not lines:
        raise NotThere("the program shows no controls")
    return "\n".join(lines)


def cmd_rows(app):
    return str(verb_list(app).nRows)


def cmd_selection(app):
    table = verb_list(app)
    return "\n".join(
        f"{row}\t{table.getAccessibleAt(row, 0).name}" for row in table.getSelectedRows()
    )


def cmd_row(app, index):
    table = verb_list(app)
    if not 0 <= int(index) < table.nRows:
        raise NotThere(f"the verb list has no row {index}, it has {table.nRows}")
    return table.getAccessibleAt(int(index), 0).name


def cmd_text(app, name):
    # The label that names a box usually bears the box's name too.
    text = control(app, name, test=has_text).queryText()
    return text.getText(0, -1)


def cmd_focused(app):
    names = [node.name for node in descendants(app)
             if node.getState().contains(pyatspi.STATE_FOCUSED)]
    return "\n".join(names)


def cmd_centre(app, name):
    x, y, width, height = control(app, name).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if width <= 0 or height <= 0:
        raise NotThere(f"{name!r} has no area on the screen")
    return f"{x + width // 2} {y + height // 2}"


def cmd_dialog(app):
    texts = []
    for node in descendants(app):
        if node.getRole() == pyatspi.ROLE_LABEL and showing(node) and node.name:
            texts.append(node.name)
    if not texts:
        raise NotThere("the program shows no message")
    return "\n".join(texts)


def check_is_focused(app, name):
    focused = cmd_focused(app)
    return name in focused.split("\n"), f"focused: {focused!r}"


def check_has_text(app, name, expected):
    text = cmd_text(app, name)
    return text == expected, f"text of {name!r}: {text!r}"


def unpadded(text):
    """A row's words, whatever the padding between its fields."""
    return text.split()


def check_has_selection(app, expected):
    table = verb_list(app)
    rows = [table.getAccessibleAt(row, 0).name for row in table.getSelectedRows()]
    return [unpadded(row) for row in rows] == [unpadded(expected)], f"selected rows: {rows!r}"


def check_has_row(app, index, expected):
    row = cmd_row(app, index)
    return unpadded(row) == unpadded(expected), f"row {index}: {row!r}"


def check_has_rows(app, expected):
    rows = verb_list(app).nRows
    return rows == int(expected), f"rows: {rows}"


READERS = {
    "controls": cmd_controls,
    "rows": cmd_rows,
    "selection": cmd_selection,
    "row": cmd_row,
    "text": cmd_text,
    "focused": cmd_focused,
    "centre": cmd_centre,
    "dialog": cmd_dialog,
}
CHECKS = {
    "is-focused": check_is_focused,
    "has-text": check_has_text,
    "has-selection": check_has_selection,
    "has-rows": check_has_rows,
    "has-row": check_has_row,
}


def run(pid, command, args, wait):
    deadline = time.monotonic() + wait
    while True:
        try:
            app = application(pid)
            if command in READERS:
                print(READERS[command](app, *args))
                return True
            ok, seen = CHECKS[command](app, *args)
            if ok:
                return True
            last = seen
        except NotThere as absent:
            last = str(absent)
        except gi.repository.GLib.Error as error:
            # The program may be between two states of a control, or gone.
            last = f"accessibility bus: {error.message}"
        if time.monotonic() >= deadline:
            print(f"{command}: {last}", file=sys.stderr)
            return False
        time.sleep(0.05)


def main(argv):
    sys.stdout.reconfigure(encoding="utf-8")
    sys.stderr.reconfigure(encoding="utf-8")
    wait = 0.0
    if len(argv) > 2 and argv[0] == "--wait":
        wait = float(argv[1])
        argv = argv[2:]
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    pid = int(argv[0])
    commands = [[]]
    for word in argv[1:]:
        if word == "+":
            commands.append([])
        else:
            commands[-1].append(word)
    for command in commands:
        if not command or (command[0] not in READERS and command[0] not in CHECKS):
            print(__doc__, file=sys.stderr)
            return 2
    for command in commands:
        if not run(pid, command[0], command[1:], wait):
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
