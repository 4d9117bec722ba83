#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the built program in a private desktop session, as a user and a
screen reader see it.

    driver.py GROUP [ROW...]      run a group's rows (all when none is named)
    driver.py --list              the groups and their rows

One session is set up per run: Xvfb, openbox, a private session bus with the
accessibility bus, a private HOME. Rows then start the program (and panels)
inside it. Debian's /usr/bin/python3 is needed for pyatspi.
"""

import ctypes
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
BIN = Path(os.environ.get("STRELKAVO_BIN_DIR", "build/bin")).resolve()
BUILD = Path(os.environ.get("STRELKAVO_BUILD_DIR", "build")).resolve()
SLOW = 3 if os.environ.get("STRELKAVO_SANITIZED") else 1
VERB_LIST = "Lista czasowników"
MENU_ITEMS = ["Pokaż główne okno programu", "Zamknij"]


class Failure(Exception):
    pass


def until(what, check, timeout=10.0):
    """Polls check() until it gives something true, which it returns."""
    deadline = time.monotonic() + timeout * SLOW
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"{what() if callable(what) else what} (waited {timeout * SLOW:g} s)")
        time.sleep(0.05)


def run(*argv, check=True):
    done = subprocess.run(argv, capture_output=True, text=True)
    if check and done.returncode != 0:
        raise Failure(f"{' '.join(map(str, argv))}: {done.stderr.strip()}")
    return done.stdout


# --- X ------------------------------------------------------------------------

def xprop(window, prop):
    return run("xprop", *(["-root"] if window == "root" else ["-id", str(window)]), prop,
               check=False)


def window_ids(prop):
    return [int(word, 16) for word in xprop("root", prop).replace(",", " ").split()
            if word.startswith("0x")]


def viewable(window):
    return "IsViewable" in run("xwininfo", "-id", str(window), check=False)


def wm_state(window):
    """Normal, Iconic, or "" for a withdrawn window."""
    for state in ("Normal", "Iconic"):
        if f"window state: {state}" in xprop(window, "WM_STATE"):
            return state
    return ""


def shown_normally(window):
    return (viewable(window) and wm_state(window) == "Normal"
            and window in window_ids("_NET_CLIENT_LIST"))


def active(window):
    return window_ids("_NET_ACTIVE_WINDOW") == [window]


def selection_owned(name):
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(xlib.XOpenDisplay(None))
    try:
        return xlib.XGetSelectionOwner(display, xlib.XInternAtom(display, name.encode(), 0))
    finally:
        xlib.XCloseDisplay(display)


def pixels(x, y, width, height):
    raw = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                          "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return lambda px, py: raw[3 * (py * width + px):3 * (py * width + px) + 3]


def tray_icons():
    """Centres of the program's icons in the panel's notification area, found
    by the red band of their tricolour in the right half of the panel strip."""
    left, top, width, height = 640, 984, 640, 40
    pixel = pixels(left, top, width, height)
    red = [[y for y in range(height) if is_red(pixel(x, y))] for x in range(width)]
    icons, run_xs = [], []
    for x, ys in enumerate(red + [[]]):
        if ys:
            run_xs.append(x)
        elif run_xs:
            ys_all = [y for rx in run_xs for y in red[rx]]
            icons.append((left + (run_xs[0] + run_xs[-1]) // 2, top + sum(ys_all) // len(ys_all)))
            run_xs = []
    return icons


def is_red(rgb):
    return rgb[0] > 200 and rgb[1] < 80 and rgb[2] < 80


# --- the session -----------------------------------------------------------------

class Session:
    """A private X display, window manager and buses; everything started is
    stopped by its own process id, in reverse order."""

    def __init__(self):
        self.dir = Path(tempfile.mkdtemp(prefix="strelkavo-e2e."))
        self.started = []
        for name in ("home", "config", "data", "cache", "runtime"):
            (self.dir / name).mkdir(mode=0o700)
        os.environ.update(HOME=str(self.dir / "home"), XDG_CONFIG_HOME=str(self.dir / "config"),
                          XDG_DATA_HOME=str(self.dir / "data"), XDG_CACHE_HOME=str(self.dir / "cache"),
                          XDG_RUNTIME_DIR=str(self.dir / "runtime"), QT_QPA_PLATFORM="xcb",
                          QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        for name in ("WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "BROWSER",
                     "SESSION_MANAGER"):
            os.environ.pop(name, None)

    def spawn(self, name, argv, **options):
        log = open(self.dir / f"{name}.log", "ab")
        process = subprocess.Popen(argv, stdout=options.pop("stdout", log), stderr=log, **options)
        self.started.append(process)
        return process

    def stop(self, process, timeout=10):
        # Only a child not yet waited for still owns its process id.
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if process in self.started:
            self.started.remove(process)

    def start(self):
        read_end, write_end = os.pipe()
        self.spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                            "-nolisten", "tcp", "-noreset"], pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end) as display:
            os.environ["DISPLAY"] = ":" + display.readline().strip()
        bus = self.spawn("dbus", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, text=True)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        self.spawn("openbox", ["openbox", "--sm-disable"])
        until("openbox manages the screen", lambda: window_ids("_NET_SUPPORTING_WM_CHECK"))
        self.spawn("a11y", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        until("the accessibility bus is up", lambda: bus_name_owned("org.a11y.Bus"))

    def close(self):
        while self.started:
            self.stop(self.started[-1])
        shutil.rmtree(self.dir, ignore_errors=True)


# --- D-Bus -----------------------------------------------------------------------

def bus_call(name, path, interface, method, signature=None, *args, timeout=5000):
    from gi.repository import Gio, GLib
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    parameters = GLib.Variant(signature, args) if signature else None
    try:
        reply = bus.call_sync(name, path, interface, method, parameters, None,
                              Gio.DBusCallFlags.NONE, timeout, None)
    except GLib.Error as error:
        raise Failure(f"{method} on {name} {path}: {error.message}")
    return reply.unpack() if reply else ()


def bus_property(name, path, interface, prop):
    return bus_call(name, path, "org.freedesktop.DBus.Properties", "Get", "(ss)",
                    interface, prop)[0]


def bus_name_owned(name):
    return bus_call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                    "NameHasOwner", "(s)", name)[0]


WATCHER = "org.kde.StatusNotifierWatcher"


def sni_items():
    if not bus_name_owned(WATCHER):
        return []
    return bus_property(WATCHER, "/StatusNotifierWatcher", WATCHER,
                        "RegisteredStatusNotifierItems")


def sni_host_registered():
    try:
        return bus_property(WATCHER, "/StatusNotifierWatcher", WATCHER,
                            "IsStatusNotifierHostRegistered")
    except Failure:  # not yet there
        return False


class ExportedMenu:
    """The menu that a StatusNotifierItem exports, read and used as hosts do."""

    def __init__(self, item):
        self.service, _, path = item.partition("/")
        path = "/" + (path or "StatusNotifierItem")
        self.path = bus_property(self.service, path, "org.kde.StatusNotifierItem", "Menu")

    def items(self):
        """Label to id of every visible item of the menu's top level."""
        _, (_, _, children) = bus_call(self.service, self.path, "com.canonical.dbusmenu",
                                       "GetLayout", "(iias)", 0, 1, [])
        return {props.get("label", "").replace("_", "").replace("&", ""): number
                for number, props, _ in children if props.get("visible", True)
                and props.get("type") != "separator"}

    def click(self, label):
        from gi.repository import GLib
        bus_call(self.service, self.path, "com.canonical.dbusmenu", "Event", "(isvu)",
                 self.items()[label], "clicked", GLib.Variant("s", ""), 0)


# --- what a screen reader sees ---------------------------------------------------

def accessible(pid):
    """The accessible application of a process, read afresh on every call."""
    import pyatspi
    from gi.repository import Atspi
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is not None and app.get_process_id() == pid:
                app.set_cache_mask(Atspi.Cache.NONE)
                return app
        except Exception:
            continue
    return None


def nodes(node, showing_only=True):
    import pyatspi
    for child in node or []:
        if child is None:
            continue
        if showing_only and not child.getState().contains(pyatspi.STATE_SHOWING):
            continue
        yield child
        # A list's rows are reached through its table, not one by one.
        if child.getRole() not in (pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE):
            yield from nodes(child, showing_only)


def safely(read):
    """What read() gives, or None while the program is between two states."""
    from gi.repository import GLib
    try:
        return read()
    except (GLib.Error, StopIteration, NotImplementedError, AttributeError):
        return None


def control(pid, name, interface="Component"):
    import pyatspi
    return next(node for node in nodes(accessible(pid))
                if node.name == name and interface in pyatspi.listInterfaces(node))


def menu_items(pid):
    import pyatspi
    return [node.name for node in nodes(accessible(pid))
            if node.getRole() == pyatspi.ROLE_MENU_ITEM and node.name]


def centre(node):
    x, y, width, height = node.queryComponent().getExtents(0)
    return x + width // 2, y + height // 2


# --- the program -----------------------------------------------------------------

class Program:
    """One run of the program; stderr goes to a file of its own."""
    runs = 0

    def __init__(self, session, binary=BIN / "strelkavo", runner=()):
        Program.runs += 1
        self.name = f"program{Program.runs}"
        self.stderr = session.dir / f"{self.name}.log"
        self.process = session.spawn(self.name, [*runner, str(binary)], cwd="/")
        self.pid = self.process.pid
        self.session = session

    def windows(self, dialog=False):
        """The shown main window, or with dialog=True the message box."""
        found = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.pid),
                    "--name", "^Strelkavo$", check=False).split()
        return [int(w) for w in found
                if ("_NET_WM_WINDOW_TYPE_DIALOG" in xprop(w, "_NET_WM_WINDOW_TYPE")) == dialog]

    def window(self):
        self.wid = until("the main window is shown", lambda: self.alive() and self.windows())[0]
        return self.wid

    def alive(self):
        if self.process.poll() is not None:
            raise Failure(f"the program ended with status {self.process.returncode}: "
                          + self.stderr.read_text(errors="replace")[-2000:])
        return True

    def ends(self, status, timeout=20):
        try:
            got = self.process.wait(timeout * SLOW)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program still runs {timeout * SLOW} s after it was told to end")
        self.session.stop(self.process)
        if got != status:
            raise Failure(f"the program ended with status {got}, not {status}: "
                          + self.stderr.read_text(errors="replace")[-2000:])

    def key(self, *keys, window=None):
        activate(window or self.wid)
        run("xdotool", "key", "--delay", "0", *keys)

    def type(self, text):
        run("xdotool", "type", "--delay", "0", text)

    def click(self, name):
        x, y = until(f"{name!r} is on the screen", lambda: safely(
            lambda: centre(control(self.pid, name))))
        run("xdotool", "mousemove", str(x), str(y), "click", "1")

    def focused(self):
        import pyatspi
        return safely(lambda: [node.name for node in nodes(accessible(self.pid))
                               if node.getState().contains(pyatspi.STATE_FOCUSED)]) or []

    def text(self, name="Szukaj"):
        return safely(lambda: control(self.pid, name, "Text").queryText().getText(0, -1))

    def selection(self):
        def read():
            table = control(self.pid, VERB_LIST, "Table").queryTable()
            return [table.getAccessibleAt(row, 0).name.split() for row in table.getSelectedRows()]
        return safely(read)

    def rows(self):
        return safely(lambda: control(self.pid, VERB_LIST, "Table").queryTable().nRows)

    def close(self):
        self.key("alt+F4")
        self.ends(0)


def activate(window):
    run("xdotool", "windowactivate", str(window), check=False)
    until(f"window {window:#x} is active", lambda: active(window))


# --- the window ------------------------------------------------------------------

SIZE = (408, 301)
# Typed at machine speed: a search that read the box before yielding to the
# queued keys would select the row of a beginning ("g", "h") instead.
TYPED = {"ging": "gehen ging gegangen", "hob auf": "aufheben hob auf aufgehoben",
         "schloss ab": "abschließen schloss ab abgeschlossen", "buk": "backen buk gebacken"}


def geometry(window):
    info = run("xwininfo", "-id", str(window))
    value = {line.split(":")[0].strip(): line.split(":")[1].strip()
             for line in info.splitlines() if ":" in line}
    return (int(value["Absolute upper-left X"]), int(value["Absolute upper-left Y"]),
            int(value["Width"]), int(value["Height"]))


def cardinals(window, prop):
    return [int(n, 0) for n in xprop(window, prop).partition("=")[2].replace(",", " ").split()]


def window_hints(ctx):
    wid = ctx.main.wid
    if '"Strelkavo"' not in xprop(wid, "_NET_WM_NAME"):
        raise Failure(f"the title is not Strelkavo: {xprop(wid, '_NET_WM_NAME')}")
    hints = xprop(wid, "WM_NORMAL_HINTS")
    for bound in ("minimum", "maximum"):
        if f"program specified {bound} size: {SIZE[0]} by {SIZE[1]}" not in hints:
            raise Failure(f"the {bound} size is not {SIZE}: {hints}")
    if geometry(wid)[2:] != SIZE:
        raise Failure(f"the client area is {geometry(wid)[2:]}, not {SIZE}")
    actions = until("the window manager says what it allows",
                    lambda: "CLOSE" in xprop(wid, "_NET_WM_ALLOWED_ACTIONS")
                    and xprop(wid, "_NET_WM_ALLOWED_ACTIONS"))
    for action in ("MAXIMIZE_HORZ", "MAXIMIZE_VERT", "RESIZE"):
        if f"_NET_WM_ACTION_{action}" in actions:
            raise Failure(f"the window manager offers {action}: {actions}")
    # Motif hints: flags, functions, decorations; minimise and maximise buttons are 0x60.
    motif = cardinals(wid, "_MOTIF_WM_HINTS")
    if len(motif) < 3 or not motif[0] & 2 or motif[2] & 0x60:
        raise Failure(f"the title bar may have a minimise or maximise button: {motif}")
    (BUILD / "screenshots").mkdir(exist_ok=True)
    run("import", "-window", str(wid), str(BUILD / "screenshots" / "window.png"))


def centred(window):
    """Whether the frame's centre is within 3 pixels of the work area's."""
    x, y, width, height = geometry(window)
    left, right, top, bottom = cardinals(window, "_NET_FRAME_EXTENTS") or (None,) * 4
    area = cardinals("root", "_NET_WORKAREA")[:4]
    if left is None or not area:
        return False
    dx = (2 * (x - left) + width + left + right) - (2 * area[0] + area[2])
    dy = (2 * (y - top) + height + top + bottom) - (2 * area[1] + area[3])
    return abs(dx) <= 6 and abs(dy) <= 6


def centring(ctx):
    # When the frame becomes known differs from start to start.
    for start in range(3):
        program = ctx.main if start == 0 else Program(ctx.session)
        until(f"start {start + 1}: the frame is centred on the work area",
              lambda: centred(program.window()))
        if start:
            program.close()


def focus_and_tab(ctx):
    program = ctx.main
    until("the verb list has the focus at start", lambda: VERB_LIST in program.focused())
    if program.text() != "" or program.selection():
        raise Failure("the search box is not empty or a row is selected at start")
    program.key("Tab")
    until("Tab moves the focus into Szukaj", lambda: "Szukaj" in program.focused())


def typing(ctx):
    program = ctx.main
    for text, row in TYPED.items():
        program.key("ctrl+a", "BackSpace")
        program.type(text)
        until(f"typing {text!r} selects {row!r}",
              lambda: program.text() == text and program.selection() == [row.split()])


def ten_characters(ctx):
    program = ctx.main
    program.key("ctrl+a", "BackSpace")
    program.type("gegangenxyz")
    # Whether the "z" was taken shows once a later key has been handled.
    program.key("BackSpace")
    until("the box keeps 10 of 11 characters", lambda: program.text() == "gegangenx")


def www_without_browser(ctx):
    program = ctx.main
    before = window_ids("_NET_CLIENT_LIST")
    program.click("WWW")
    time.sleep(1)  # nothing is to appear; give it the time it would take
    if window_ids("_NET_CLIENT_LIST") != before:
        raise Failure("WWW opened a window without a browser")
    if program.alive() and program.text() != "gegangenx":
        raise Failure(f"WWW changed the box: {program.text()!r}")


def closing(ctx):
    ctx.main.close()


# --- bad data files --------------------------------------------------------------

VERBS, WORDS = "czas.dat", "czas2.dat"
# Stored bytes that decode to no character of the code page.
UNDECODABLE = set(range(0xF8, 0x100)) | {0x79, 0x7B, 0x80, 0x88, 0x90}


def missing(path):
    path.unlink()


def directory(path):
    path.unlink()
    path.mkdir()


def unreadable(path):
    path.chmod(0)


def inserted(number, line):
    def spoil(path):
        lines = path.read_bytes().splitlines(keepends=True)
        path.write_bytes(b"".join(lines[:number - 1]) + line + b"".join(lines[number - 1:]))
    return spoil


def replaced(contents):
    def spoil(path):
        path.write_bytes(contents(path.read_bytes()))
    return spoil


def first_undecodable(data):
    """The line and character of the first byte that cannot be decoded."""
    for number, line in enumerate(data.split(b"\n"), 1):
        for position, byte in enumerate(line.removesuffix(b"\r"), 1):
            if byte in UNDECODABLE:
                return number, position
    return None


RANDOM = lambda good: random.Random(1).randbytes(10 << 20)  # noqa: E731
# name, file, how it is spoilt, then what must happen: the line and character
# named in the message (0 when it names none, "model" as first_undecodable
# says), or the number of rows the working window shows (None: as built).
BAD_FILES = [
    ("verbs missing", VERBS, missing, "refused", 0, 0),
    ("words missing", WORDS, missing, "refused", 0, 0),
    ("verbs unreadable by its user", VERBS, unreadable, "refused", 0, 0),
    ("words a directory", WORDS, directory, "refused", 0, 0),
    ("verbs empty", VERBS, replaced(lambda good: b""), "shows", 0, None),
    ("words empty", WORDS, replaced(lambda good: b""), "shows", None, None),
    ("verbs byte F8", VERBS, inserted(3, b"YZ\xf8[\r\n"), "refused", 3, 3),
    ("words byte FF", WORDS, inserted(5, b"\xff\r\n"), "refused", 5, 1),
    ("verbs undefined code", VERBS, inserted(2, b"YZ\x79\r\n"), "refused", 2, 3),
    ("words undefined code in quotes", WORDS, inserted(4, b'"YZ\x90\r\n'), "refused", 4, 4),
    ("verbs last line FF, no line end", VERBS, replaced(lambda good: good + b"YZ[\xff"),
     "refused", "model", "model"),
    ("verbs 10 MB of random bytes", VERBS, replaced(RANDOM), "refused", "model", "model"),
]


class Framing:
    """Counts the windows that the window manager frames, however briefly they
    are shown, from a log of the root window's events."""

    def __init__(self, session):
        self.log = session.dir / "xev.log"
        session.spawn("xev", ["xev", "-root", "-event", "substructure", "-event", "property"],
                      stdout=open(self.log, "wb"))
        self.root = run("xwininfo", "-root").split("Window id: ")[1].split()[0]
        self.marks = 0
        self.mark()

    def mark(self):
        """Marks the log; returns where the mark is in it. A mark of its own
        name each time, set until seen: xev may not be listening yet."""
        self.marks += 1
        atom = f"_E2E_MARK_{self.marks}"

        def logged():
            run("xprop", "-root", "-f", atom, "8s", "-set", atom, "1")
            return self.log.read_text(errors="replace").find(f"({atom})") + 1
        return until("the X event log follows", logged)

    def framed_since(self, start):
        events = self.log.read_text(errors="replace")[start:self.mark()].split("\n\n")
        # A window manager frames a window by taking it from the root window.
        return sum(1 for event in events if event.startswith("ReparentNotify")
                   and f"parent {self.root}," not in event)


def tree_digest(folder):
    digest = hashlib.sha256()
    for path in sorted(folder.rglob("*")):
        status = path.lstat()
        digest.update(f"{path} {status.st_mode} {status.st_size}".encode())
        if path.is_file() and status.st_mode & 0o444:
            digest.update(path.read_bytes())
    return digest.hexdigest()


def bad_file(ctx, name, file, spoil, outcome, line, char):
    folder = ctx.session.dir / "cases" / name.replace(" ", "-")
    folder.mkdir(parents=True)
    for part in ("strelkavo", VERBS, WORDS):
        shutil.copy2(BIN / part, folder)
    spoil(folder / file)
    if line == "model":
        line, char = first_undecodable((folder / file).read_bytes())
    as_nobody = spoil is unreadable
    runner = ["env", "-u", "DBUS_SESSION_BUS_ADDRESS", "-u", "XDG_RUNTIME_DIR", "HOME=/nonexistent",
              "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"] if as_nobody else []
    # Another user must reach the program and its files.
    ctx.session.dir.chmod(0o711)
    folder.parent.chmod(0o755)
    folder.chmod(0o755)
    before = tree_digest(folder)
    start = ctx.framing.mark()
    program = Program(ctx.session, folder / "strelkavo", runner)
    if outcome == "shows":
        program.window()
        rows = (folder / VERBS).read_bytes().count(b"\n") if line is None else line
        until(f"the list shows {rows} rows", lambda: program.rows() == rows)
        program.close()
    else:
        refused(ctx, program, folder / file, line, char, a11y=not as_nobody)
        if ctx.framing.framed_since(start) != 1:
            raise Failure("a window besides the message was shown")
    if tree_digest(folder) != before:
        raise Failure("the files beside the program changed")


def refused(ctx, program, path, line, char, a11y):
    box = until("a message is shown", lambda: program.alive() and program.windows(dialog=True))[0]
    if program.windows():
        raise Failure("the main window is shown next to the message")
    said = [text for text in program.stderr.read_text().splitlines() if text.startswith("strelkavo: ")]
    named = f"Nie można wczytać pliku „{path}”" + (f", wiersz {line}" if line else "") \
        + (f", znak {char}" if char else "") + ": "
    if len(said) != 1 or not said[0].startswith("strelkavo: " + named):
        raise Failure(f"stderr does not say once {named!r}: {said}")
    if a11y:
        until("the box shows the same message", lambda: said[0][11:] in (safely(
            lambda: [node.name for node in nodes(accessible(program.pid))]) or []))
    program.key("Return", window=box)
    program.ends(1)


# --- the notification area -----------------------------------------------------

PANELS = {
    # name: command, configuration file and where it goes, whether it hosts
    # StatusNotifierItems (else it embeds X11 icons)
    "tint2": (["tint2", "-c", str(HERE / "panels" / "tint2rc")], None, False),
    "xfce4-panel": (["xfce4-panel"], ("xfce4-panel.xml",
                                      "xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml"), True),
    "lxqt-panel": (["lxqt-panel"], ("lxqt-panel.conf", "lxqt/panel.conf"), True),
}


class Panel:
    def __init__(self, session, name):
        self.session, self.name = session, name
        self.argv, config, self.sni = PANELS[name]
        if config:
            target = Path(os.environ["XDG_CONFIG_HOME"]) / config[1]
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(HERE / "panels" / config[0], target)
        self.process = None

    def start(self):
        self.process = self.session.spawn(self.name, self.argv)
        until(f"{self.name} offers a notification area", self.ready, 20)

    def ready(self):
        if self.sni:
            return sni_host_registered()
        return selection_owned("_NET_SYSTEM_TRAY_S0")

    def kill(self):
        if self.process:
            self.process.send_signal(signal.SIGKILL)
            self.session.stop(self.process)
            self.process = None

    def activate_icon(self):
        x, y = until("one icon is in the panel", lambda: len(tray_icons()) == 1 and tray_icons())[0]
        # A StatusNotifierItem host activates on a click, an X11 icon on a double-click.
        clicks = ["1"] if self.sni else ["--repeat", "2", "--delay", "100", "1"]
        run("xdotool", "mousemove", str(x), str(y), "click", *clicks)

    def open_menu(self):
        x, y = until("one icon is in the panel", lambda: len(tray_icons()) == 1 and tray_icons())[0]
        run("xdotool", "mousemove", str(x), str(y), "click", "3")
        until("the right button opens a menu", popups)
        if self.sni:
            shown = list(ExportedMenu(sni_items()[0]).items())
            if shown != MENU_ITEMS:
                raise Failure(f"the exported menu holds {shown}")

    def choose(self, label):
        self.open_menu()
        if self.sni:
            ExportedMenu(sni_items()[0]).click(label)
            run("xdotool", "key", "Escape")
        else:
            run("xdotool", "key", *["Down"] * (MENU_ITEMS.index(label) + 1), "Return")


def popups():
    """The shown menus of any program."""
    windows = [line.split()[0] for line in run("xwininfo", "-root", "-children").splitlines()
               if line.strip().startswith("0x")]
    return [window for window in windows if "Override Redirect State: yes" in (
        info := run("xwininfo", "-id", window, check=False)) and "IsViewable" in info
        and int(info.split("Width: ")[1].split()[0]) > 8
        and "TOOLTIP" not in xprop(window, "_NET_WM_WINDOW_TYPE")]


def withdrawn(window):
    return (not viewable(window) and wm_state(window) == ""
            and window not in window_ids("_NET_CLIENT_LIST"))


def to_tray(program):
    program.click("zwiń")
    until("'zwiń' swaps the window for one icon",
          lambda: withdrawn(program.wid) and len(tray_icons()) == 1)


def restored(program):
    until(lambda: "a normal, active window comes back with the caret in Szukaj, and no icon; "
          f"state {wm_state(program.wid) or 'Withdrawn'}, active {active(program.wid)}, "
          f"focus {program.focused()}, icons {tray_icons()}",
          lambda: shown_normally(program.wid) and active(program.wid)
          and "Szukaj" in program.focused() and not tray_icons())


def trips(ctx):
    panel = ctx.panel
    program = ctx.program()
    for _ in range(3):
        to_tray(program)
        panel.activate_icon()
        restored(program)
    program.close()


def menu(ctx):
    panel = ctx.panel
    program = ctx.program()
    to_tray(program)
    panel.open_menu()
    run("xdotool", "key", "Escape")
    until("Escape closes the menu", lambda: not popups())
    if not withdrawn(program.wid) or len(tray_icons()) != 1:
        raise Failure("dismissing the menu took the program out of the tray")
    panel.activate_icon()
    restored(program)
    to_tray(program)
    panel.choose(MENU_ITEMS[0])
    restored(program)
    to_tray(program)
    panel.choose("Zamknij")
    program.ends(0)
    until("no icon is left", lambda: not tray_icons() and not sni_items())


def panel_killed(ctx):
    panel = ctx.panel
    program = ctx.program()
    to_tray(program)
    panel.kill()
    until(lambda: f"the window is not back a second after the panel went; state "
          f"{wm_state(program.wid) or 'Withdrawn'}", lambda: shown_normally(program.wid), 1)
    panel.start()
    time.sleep(1)  # a stray icon would show by now
    if tray_icons():
        raise Failure("an icon came back next to the shown window with the new panel")
    to_tray(program)
    panel.activate_icon()
    restored(program)
    program.close()


def panel_after_start(ctx):
    panel = ctx.panel
    panel.kill()
    program = ctx.program()
    place = geometry(program.wid)
    program.click("zwiń")
    until("with no panel 'zwiń' minimises", lambda: wm_state(program.wid) == "Iconic"
          and program.wid in window_ids("_NET_CLIENT_LIST"))
    activate(program.wid)  # as the taskbar does
    until("the taskbar brings the window back to its place",
          lambda: shown_normally(program.wid) and geometry(program.wid) == place)
    panel.start()
    to_tray(program)
    panel.activate_icon()
    restored(program)
    program.close()


TRAY_ROWS = [
    ("'zwiń' and back from the icon, three times", trips),
    ("the menu: its two items, dismissed, 'Pokaż główne okno programu', 'Zamknij'", menu),
    ("the panel killed while in the tray, then started again", panel_killed),
    ("no panel at start, then one", panel_after_start),
]


# --- the package -----------------------------------------------------------------

APP_ID = "pl.strelkavo.Strelkavo"
PACKAGED = {"usr/bin/strelkavo", "usr/lib/strelkavo/strelkavo", "usr/lib/strelkavo/czas.dat",
            "usr/lib/strelkavo/czas2.dat", f"usr/share/applications/{APP_ID}.desktop",
            f"usr/share/metainfo/{APP_ID}.metainfo.xml"} | {
    f"usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png" for size in (16, 32, 48, 64, 128, 256)}
DEPENDS = {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libqt6dbus6", "fonts-dejavu-core",
           "qt6-qpa-plugins"}


def make_package(ctx):
    # A folder of its own: cpack stages its tree there too.
    out = ctx.session.dir / "package"
    run("cpack", "-G", "DEB", "--config", str(BUILD / "CPackConfig.cmake"), "-B", str(out))
    debs = list(out.glob("*.deb"))
    if len(debs) != 1:
        raise Failure(f"cpack made {debs}")
    ctx.deb, ctx.root = debs[0], ctx.session.dir / "root"
    run("dpkg-deb", "-x", str(ctx.deb), str(ctx.root))


def package_files(ctx):
    listing = run("dpkg-deb", "-c", str(ctx.deb)).splitlines()
    files = {line.split(" -> ")[0].split()[-1].removeprefix("./")
             for line in listing if not line.startswith("d")}
    if files != PACKAGED:
        raise Failure(f"missing {PACKAGED - files}, unexpected {files - PACKAGED}")
    depends = run("dpkg-deb", "-f", str(ctx.deb), "Depends")
    names = {name.split("(")[0].strip() for name in depends.replace("|", ",").split(",")}
    if not DEPENDS <= names:
        raise Failure(f"Depends lacks {DEPENDS - names}: {depends}")


def package_metadata(ctx):
    share = ctx.root / "usr" / "share"
    said = run("desktop-file-validate", str(share / "applications" / f"{APP_ID}.desktop"))
    if "error:" in said or "warning:" in said:
        raise Failure(said)
    run("appstreamcli", "validate", "--no-net", str(share / "metainfo" / f"{APP_ID}.metainfo.xml"))


def installed_program(ctx):
    program = Program(ctx.session, ctx.root / "usr" / "bin" / "strelkavo")
    wid = program.window()
    entry = (ctx.root / "usr/share/applications" / f"{APP_ID}.desktop").read_text()
    wm_class = xprop(wid, "WM_CLASS").split('"')[-2]
    if f"\nStartupWMClass={wm_class}\n" not in entry:
        raise Failure(f"the window's class {wm_class} is not the desktop entry's StartupWMClass")
    program.close()
    if "strelkavo:" in program.stderr.read_text():
        raise Failure(program.stderr.read_text())


# --- groups and rows -------------------------------------------------------------

class Context:
    """What the rows of a group share."""

    def __init__(self, session):
        self.session, self.panel, self.main = session, None, None

    def program(self):
        program = Program(self.session)
        program.window()
        return program

    def tidy(self):
        for process in list(self.session.started):
            if Path(process.args[-1]).name == "strelkavo" and process != getattr(self.main, "process", None):
                self.session.stop(process)
        if self.panel and not self.panel.process:
            self.panel.start()


def with_panel(name, main=False):
    def setup(ctx):
        ctx.panel = Panel(ctx.session, name)
        ctx.panel.start()
        if main:
            ctx.main = ctx.program()
    return setup


def with_framing(ctx):
    ctx.framing = Framing(ctx.session)


GROUPS = {
    # The panel's strut makes the work area differ from the screen.
    "window": (with_panel("tint2", main=True), [
        ("title, fixed size, no minimise or maximise", window_hints),
        ("centred on the work area", centring),
        ("the focus at start and Tab", focus_and_tab),
        ("typing at machine speed", typing),
        ("at most 10 characters", ten_characters),
        ("WWW without a browser", www_without_browser),
        ("closing from the title bar", closing),
    ]),
    "badfiles": (with_framing, [
        (row[0], lambda ctx, row=row: bad_file(ctx, *row)) for row in BAD_FILES]),
    **{panel: (with_panel(panel), TRAY_ROWS) for panel in PANELS},
    "package": (make_package, [
        ("files and dependencies", package_files),
        ("desktop entry and AppStream metadata", package_metadata),
        ("the installed program", installed_program),
    ]),
}


def run_group(group, wanted):
    setup, rows = GROUPS[group]
    session = Session()
    failed = 0
    try:
        session.start()
        ctx = Context(session)
        setup(ctx)
        for name, row in rows:
            if wanted and name not in wanted:
                continue
            began = time.monotonic()
            try:
                row(ctx)
                print(f"ok   {group}: {name} ({time.monotonic() - began:.1f} s)", flush=True)
            except Failure as failure:
                failed += 1
                print(f"FAIL {group}: {name}: {failure}", flush=True)
                # A menu left open would take the next row's clicks.
                if ctx.panel:
                    ctx.panel.kill()
            ctx.tidy()
    except Failure as failure:
        failed += 1
        print(f"FAIL {group}: {failure}", flush=True)
    finally:
        session.close()
    return 1 if failed else 0


def main(argv):
    if argv == ["--list"]:
        for group, (_, rows) in GROUPS.items():
            print(group + "".join(f"\n    {name}" for name, _ in rows))
        return 0
    if not argv or argv[0] not in GROUPS:
        print(__doc__, file=sys.stderr)
        return 2
    # CTest's timeout ends the run with SIGTERM; the session is still stopped.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    return run_group(argv[0], argv[1:])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
