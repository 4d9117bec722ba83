#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""driver.py GROUP: runs the rows of one group of GROUPS (below) in one
private desktop session, driving the built program as a user does and reading
it as a screen reader does (Debian's /usr/bin/python3, for pyatspi)."""

import ctypes
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from gi.repository import Gio, GLib

pyatspi = None  # imported once the session's accessibility bus is up

HERE = Path(__file__).resolve().parent
BUILD = Path(os.environ.get("STRELKAVO_BUILD_DIR", "build")).resolve()
BIN = BUILD / "bin"
SLOW = 3 if os.environ.get("STRELKAVO_SANITIZED") else 1
VERB_LIST = "Lista czasowników"
MENU_ITEMS = ["Pokaż główne okno programu", "Zamknij"]


class Failure(Exception):
    pass


def until(what, check, timeout=10.0):
    """Polls check() until it gives something true, and returns that."""
    deadline = time.monotonic() + timeout * SLOW
    while not (value := check()):
        if time.monotonic() > deadline:
            raise Failure(f"{what() if callable(what) else what} (waited {timeout * SLOW:g} s)")
        time.sleep(0.05)
    return value


def run(*argv, check=True):
    done = subprocess.run([str(arg) for arg in argv], capture_output=True, text=True)
    if check and done.returncode != 0:
        raise Failure(f"{' '.join(map(str, argv))}: {(done.stdout + done.stderr).strip()}")
    return done.stdout


# --- X ------------------------------------------------------------------------------

def xprop(window, prop):
    return run("xprop", *(["-root"] if window == "root" else ["-id", window]), prop, check=False)


def numbers(window, prop):
    """A property's numbers or window ids; none while it is not set."""
    value = xprop(window, prop).replace("=", "#").partition("#")[2]
    return [int(word, 0) for word in value.replace(",", " ").split()]


def xwininfo(window):
    info = run("xwininfo", "-id", window, check=False)
    return {line.split(":")[0].strip(): line.split(":", 1)[1].strip()
            for line in info.splitlines() if ":" in line}


def geometry(window):
    info = xwininfo(window)
    return tuple(int(info[key]) for key in (
        "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def state(window):
    """Normal, Iconic or Withdrawn, as the window manager keeps it."""
    return next((name for name in ("Normal", "Iconic")
                 if f"window state: {name}" in xprop(window, "WM_STATE")), "Withdrawn")


def shown_normally(window):
    return (xwininfo(window).get("Map State") == "IsViewable" and state(window) == "Normal"
            and window in numbers("root", "_NET_CLIENT_LIST"))


def withdrawn(window):
    return (xwininfo(window).get("Map State") == "IsUnMapped" and state(window) == "Withdrawn"
            and window not in numbers("root", "_NET_CLIENT_LIST"))


def active(window):
    # xfwm4 writes a second, empty window after the active one; mutter 48 says
    # a window is active before it has the keyboard.
    return (numbers("root", "_NET_ACTIVE_WINDOW")[:1] == [window]
            and run("xdotool", "getwindowfocus", check=False).strip() == str(window))


def activate(window):
    if not active(window):  # mutter 48 drops input that closely follows a needless request
        run("xdotool", "windowactivate", window, check=False)
    until(f"window {window:#x} is active", lambda: active(window))


def tray_selection_owned():
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(xlib.XOpenDisplay(None))
    owner = xlib.XGetSelectionOwner(display, xlib.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0))
    xlib.XCloseDisplay(display)
    return owner


def tray_icons():
    """Where the panels drew the program's icons (the red band of the tricolour) in the right
    half of their strip; mutter under Xvfb may stop putting new frames on the screen."""
    red = []
    for dock in (window for window in numbers("root", "_NET_CLIENT_LIST")
                 if "_DOCK" in xprop(window, "_NET_WM_WINDOW_TYPE")):
        left, top, width, _ = geometry(dock)
        rgb = subprocess.run(["import", "-window", str(dock), "-depth", "8", "rgb:-"],
                             capture_output=True).stdout
        red += [(left + at // 3 % width, top + at // 3 // width) for at in range(0, len(rgb), 3)
                if rgb[at] > 200 and max(rgb[at + 1:at + 3]) < 80]
    red = sorted(point for point in red if point[0] >= 640 and point[1] >= 984)
    icons = []  # each a run of columns with red pixels
    for x, y in red:
        if not icons or x > icons[-1][-1][0] + 1:
            icons.append([])
        icons[-1].append((x, y))
    return [((icon[0][0] + icon[-1][0]) // 2, icon[0][1] + 1) for icon in icons]


def drawn(window):
    """Whether the screen shows more than a background where the window is."""
    x, y, width, height = geometry(window)
    return int(run("import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "-format",
                   "%k", "info:") or 0) > 2


def screenshot(name, window, *options):
    (BUILD / "screenshots").mkdir(exist_ok=True)
    run("import", "-window", window, *options, BUILD / "screenshots" / name)


def menus():
    """Shown popup menus of any program: override-redirect windows that are
    neither tooltips nor the window manager's hidden helper."""
    windows = [line.split()[0] for line in run("xwininfo", "-root", "-children").splitlines()
               if line.strip().startswith("0x")]
    return [window for window in windows
            if (info := xwininfo(window)).get("Override Redirect State") == "yes"
            and info.get("Map State") == "IsViewable" and int(info["Width"]) > 8
            and "TOOLTIP" not in xprop(window, "_NET_WM_WINDOW_TYPE")]


# --- the session ----------------------------------------------------------------------

class Session:
    """Xvfb, openbox, a session bus and the accessibility bus, with a private
    HOME; whatever is started is stopped by its own process id."""

    def __init__(self):
        self.dir, self.started = Path(tempfile.mkdtemp(prefix="strelkavo-e2e.")), []
        for name in ("home", "runtime"):
            (self.dir / name).mkdir(mode=0o700)
        shutil.copytree(HERE / "config", self.dir / "config")  # the panels'
        os.environ.update(HOME=f"{self.dir}/home", XDG_CONFIG_HOME=f"{self.dir}/config",
                          XDG_RUNTIME_DIR=f"{self.dir}/runtime", QT_QPA_PLATFORM="xcb",
                          QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", WAYLAND_DISPLAY="")

    def spawn(self, name, argv, **options):
        log = open(self.dir / f"{name}.log", "ab")
        self.started.append(subprocess.Popen([str(arg) for arg in argv], stderr=log,
                                             **{"stdout": log, **options}))
        return self.started[-1]

    def stop(self, process):
        # A child not yet waited for cannot have passed its id on to another process.
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.started.remove(process)

    def start(self, panel, wm="openbox", kded=False):
        read_end, write_end = os.pipe()
        self.spawn("xvfb", ["Xvfb", "-displayfd", write_end, "-screen", "0", "1280x1024x24",
                            "-nolisten", "tcp", "-noreset"], pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end) as display:
            os.environ["DISPLAY"] = ":" + display.readline().strip()
        # Started with this environment, the bus gives it to what it activates.
        bus = self.spawn("dbus", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, text=True)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        run("xsetroot", "-solid", "#5f6b7b")  # behind the pictures, a desktop colour, not black
        self.spawn(wm, WINDOW_MANAGERS[wm])
        until(f"{wm} manages the screen", lambda: numbers("root", "_NET_SUPPORTING_WM_CHECK"))
        self.spawn("a11y", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        until("the accessibility bus is up", lambda: has_owner("org.a11y.Bus"))
        global pyatspi
        import pyatspi
        if kded:  # as Plasma's tray asks for it at its start
            kded = "kded6" if shutil.which("kded6") else "kded5"  # Debian 13, 12
            self.spawn(kded, [kded])
            until("kded is on the bus", lambda: has_owner(f"org.kde.{kded}"))
            bus_call(f"org.kde.{kded}", "/kded", f"org.kde.{kded}", "loadModule", "(s)",
                     "statusnotifierwatcher")
            until("kded's watcher is on the bus", lambda: has_owner(WATCHER))
        self.panel, self.main = panel and Panel(self, panel), None
        if self.panel:
            self.panel.start()

    def program(self):
        # Reached for once it rests, centred, in its frame and shows on screen, as a user
        # would: mutter 48 may drop a click into a window it has not drawn yet.
        program = Program(self)
        until("the window rests, centred and drawn, in its frame",
              lambda: centred(program.window()) and drawn(program.wid))
        return program

    def tidy(self, failed):
        """Ends the row's programs; a failed row's panel is started anew, as a
        menu left open would take the next row's clicks."""
        for process in self.started[:]:
            ours = process.args[-1].endswith("strelkavo")
            if ours and process is not getattr(self.main, "process", None):
                self.stop(process)
        if self.panel and (failed or not self.panel.process):
            self.panel.kill()
            self.panel.start()

    def close(self):
        while self.started:
            self.stop(self.started[-1])
        shutil.rmtree(self.dir, ignore_errors=True)


# --- D-Bus: the StatusNotifierItem and its menu, as a host sees them ------------------

def bus_call(name, path, interface, method, signature=None, *args):
    try:
        reply = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
            name, path, interface, method, GLib.Variant(signature, args) if signature else None,
            None, Gio.DBusCallFlags.NONE, 5000, None)
    except GLib.Error as error:
        raise Failure(f"{method} on {name} {path}: {error.message}")
    return reply.unpack()


WATCHER = "org.kde.StatusNotifierWatcher"


def has_owner(name):
    return bus_call("org.freedesktop.DBus", "/", "org.freedesktop.DBus", "NameHasOwner", "(s)",
                    name)[0]


def watcher(prop):
    return bus_call(WATCHER, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties", "Get",
                    "(ss)", WATCHER, prop)[0]


def sni_items():
    return read(lambda: watcher("RegisteredStatusNotifierItems")) or []


def exported_menu():
    """The item's bus name, menu path, and its top level's items: label to id."""
    service, _, path = sni_items()[0].partition("/")
    menu = bus_call(service, "/" + (path or "StatusNotifierItem"),
                    "org.freedesktop.DBus.Properties", "Get", "(ss)",
                    "org.kde.StatusNotifierItem", "Menu")[0]
    _, (_, _, children) = bus_call(service, menu, "com.canonical.dbusmenu", "GetLayout", "(iias)",
                                   0, 1, [])
    return service, menu, {props.get("label", "").replace("_", ""): number
                           for number, props, _ in children if props.get("visible", True)
                           and props.get("type") != "separator"}


def choose_exported(label):
    service, menu, items = exported_menu()
    bus_call(service, menu, "com.canonical.dbusmenu", "Event", "(isvu)", items[label], "clicked",
             GLib.Variant("s", ""), 0)


# --- what a screen reader reads -------------------------------------------------------

def nodes(pid):
    """The showing accessible objects of a process, a list's rows left out."""
    app = next(app for app in pyatspi.Registry.getDesktop(0) if app and app.get_process_id() == pid)
    app.set_cache_mask(0)  # no cache: read it as it is now
    pending = list(app)
    while pending:
        node = pending.pop(0)
        if node and node.getState().contains(pyatspi.STATE_SHOWING):
            yield node
            if node.getRole() != pyatspi.ROLE_LIST:
                pending.extend(node)


def control(pid, name, interface="Component"):
    return next(node for node in nodes(pid)
                if node.name == name and interface in pyatspi.listInterfaces(node))


def read(what):
    """what(), or None while the program is between two states or gone."""
    try:
        return what()
    except (Failure, GLib.Error, StopIteration, NotImplementedError, AttributeError, OSError):
        return None


# --- the program ----------------------------------------------------------------------

class Program:
    def __init__(self, session, binary=BIN / "strelkavo", runner=(), env=None, told=None):
        """told: a logging category whose debug messages the program prints."""
        name = f"program{len(list(session.dir.glob('program*')))}"
        self.stderr = session.dir / f"{name}.log"
        rules = {"QT_LOGGING_RULES": f"strelkavo.{told}.debug=true"} if told else {}
        self.process = session.spawn(name, [*runner, binary], cwd="/",
                                     env={**(env or os.environ), **rules})
        self.pid, self.session = self.process.pid, session

    def windows(self, dialog=False):
        """The shown main window, or with dialog=True the message box."""
        found = run("xdotool", "search", "--all", "--onlyvisible", "--pid", self.pid,
                    "--name", "^Strelkavo$", check=False).split()
        return [int(window) for window in found
                if ("_DIALOG" in xprop(window, "_NET_WM_WINDOW_TYPE")) == dialog]

    def window(self):
        self.wid = until("the main window is shown", lambda: self.alive() and self.windows())[0]
        return self.wid

    def said(self):
        return self.stderr.read_text(errors="replace")[-2000:]

    def alive(self):
        if self.process.poll() is not None:
            raise Failure(f"the program ended with status {self.process.returncode}: {self.said()}")
        return True

    def ends(self, status):
        try:
            ended = self.process.wait(20 * SLOW)
        except subprocess.TimeoutExpired:
            raise Failure("the program does not end")
        self.session.stop(self.process)
        if ended != status:
            raise Failure(f"the program ended with status {ended}, not {status}: {self.said()}")

    def key(self, *keys, window=None):
        activate(window or self.wid)
        run("xdotool", "key", "--delay", "0", *keys)

    def click(self, name):
        # Within the window as the X server places it (mutter 48 frames it from another process).
        def within_window():
            left, top, _, _ = next(nodes(self.pid)).queryComponent().getExtents(0)
            x, y, width, height = control(self.pid, name).queryComponent().getExtents(0)
            return x - left + width // 2, y - top + height // 2
        x, y = until(f"{name!r} is shown", lambda: read(within_window))
        activate(self.wid)
        run("xdotool", "mousemove", "--window", self.wid, x, y, "click", "1")

    def focused(self):
        return read(lambda: [node.name for node in nodes(self.pid)
                             if node.getState().contains(pyatspi.STATE_FOCUSED)]) or []

    def text(self):
        return read(lambda: control(self.pid, "Szukaj", "Text").queryText().getText(0, -1))

    def selection(self):
        table = read(lambda: control(self.pid, VERB_LIST, "Table").queryTable())
        return read(lambda: [table.getAccessibleAt(row, 0).name.split()
                             for row in table.getSelectedRows()])

    def close(self):
        # As a task list closes it: mutter 48 under Xvfb may sit on a key it holds (alt+F4).
        run("wmctrl", "-i", "-c", hex(self.wid))
        self.ends(0)

    def kill(self):
        self.session.stop(self.process)


# --- the window -----------------------------------------------------------------------

# Typed at machine speed: a search that read the box before letting the queued
# keys through would select the row of a beginning ("g", "h") instead.
TYPED = {"hob auf": "aufheben hob auf aufgehoben", "buk": "backen buk gebacken",
         "schloss ab": "abschließen schloss ab abgeschlossen", "ging": "gehen ging gegangen"}


def window_hints(ctx):
    ctx.main = ctx.program()
    wid, hints = ctx.main.wid, xprop(ctx.main.wid, "WM_NORMAL_HINTS")
    actions = until("the window manager says what it allows", lambda: "CLOSE" in (
        found := xprop(wid, "_NET_WM_ALLOWED_ACTIONS")) and found)
    motif = numbers(wid, "_MOTIF_WM_HINTS")  # flags, functions, decorations
    if ('"Strelkavo"' not in xprop(wid, "_NET_WM_NAME") or geometry(wid)[2:] != (408, 301)
            or "minimum size: 408 by 301" not in hints or "maximum size: 408 by 301" not in hints):
        raise Failure(f"not a fixed 408 x 301 window titled Strelkavo: {hints}")
    if "MAXIMIZE" in actions or "RESIZE" in actions or not motif[0] & 2 or motif[2] & 0x60:
        raise Failure(f"it can be resized or has a minimise or maximise button: {actions} {motif}")


def centred(window):
    """Whether the frame's centre is within 3 pixels of the work area's."""
    x, y, width, height = geometry(window)
    left, right, top, bottom = numbers(window, "_NET_FRAME_EXTENTS") or (0, 0, 0, 0)
    area = numbers("root", "_NET_WORKAREA")
    return (top and abs(2 * (x - left) + width + left + right - 2 * area[0] - area[2]) <= 6
            and abs(2 * (y - top) + height + top + bottom - 2 * area[1] - area[3]) <= 6)


def centring(ctx):
    # The frame becomes known at a different moment on each start.
    for start in range(3):
        program = Program(ctx) if start else ctx.main
        until(f"start {start + 1}: the frame is centred on the work area",
              lambda: centred(program.window()))
        if start:
            program.close()


def typing(ctx):
    program = ctx.main
    if program.text() != "" or program.selection():
        raise Failure("the search box is not empty or a row is selected at start")
    program.key("Tab")
    until("Tab moves the focus into Szukaj", lambda: "Szukaj" in program.focused())
    for text, row in TYPED.items():
        program.key("ctrl+a", "BackSpace")
        run("xdotool", "type", "--delay", "0", text)
        until(f"typing {text!r} selects {row!r}",
              lambda: program.text() == text and program.selection() == [row.split()])
    screenshot("window.png", program.wid)  # the README's picture, after "ging"
    program.close()  # with status 0


def without_session_bus(ctx):
    """Started with no bus address and none in its runtime folder, the program
    starts no bus (libdbus would launch one that outlives it and note it under
    HOME) and still goes to the X11 tray and back."""
    home, runtime = ctx.dir / "bare-home", ctx.dir / "bare-runtime"
    home.mkdir(mode=0o700)
    runtime.mkdir(mode=0o700)
    env = {**os.environ, "HOME": str(home), "XDG_RUNTIME_DIR": str(runtime)}
    for name in ("DBUS_SESSION_BUS_ADDRESS", "XDG_CONFIG_HOME"):  # the latter: under HOME
        del env[name]
    program = Program(ctx, env=env)
    x, y, _, _ = geometry(program.window())
    run("xdotool", "mousemove", x + 380, y + 284, "click", "1")  # "zwiń", read without the bus
    until("'zwiń' swaps the window for one icon",
          lambda: withdrawn(program.wid) and len(tray_icons()) == 1)
    ctx.panel.activate_icon()
    until("the icon brings the window back", lambda: shown_normally(program.wid))
    program.close()
    written = [str(path) for path in home.rglob("*")]
    outliving = [path.parent.name for path in Path("/proc").glob("[0-9]*/environ")
                 if f"HOME={home}\0".encode() in (read(path.read_bytes) or b"")]
    for pid in outliving:  # started by this row, through the program
        os.kill(int(pid), signal.SIGTERM)
    if written or outliving:
        raise Failure(f"written under HOME: {written}; processes left: {outliving}")


def without_window_manager(ctx):
    """With no frame ever told, the window gives up waiting for one after a
    while, and leaves where the user put it, unmoved."""
    ctx.stop(next(process for process in ctx.started if process.args[0] == "openbox"))
    program = Program(ctx, told="window")
    run("xdotool", "windowmove", program.window(), 100, 120)
    until("the window gives up waiting for its frame", lambda: "left there" in program.said())
    if geometry(program.wid)[:2] != (100, 120):
        raise Failure(f"moved from 100,120: {program.said()}")

# --- bad data files -------------------------------------------------------------------

VERBS, WORDS = "czas.dat", "czas2.dat"


def contents(make):
    """Spoils a file by writing what make() makes of its good contents."""
    return lambda path: path.write_bytes(make(path.read_bytes()))


def inserted(number, line):
    return contents(lambda good: b"".join([*good.splitlines(True)[:number - 1], line,
                                           *good.splitlines(True)[number - 1:]]))


# The file and how it is spoilt, then what must happen: "refused", with the
# message's place of the first undecodable byte, or "shows" so many rows.
BAD_FILES = [
    ("verbs missing", VERBS, Path.unlink, "refused", ""),
    ("verbs unreadable", VERBS, lambda path: path.chmod(0), "refused", ""),
    ("words a directory", WORDS, lambda path: path.unlink() or path.mkdir(), "refused", ""),
    ("verbs empty", VERBS, contents(lambda good: b""), "shows", 0),
    ("verbs byte F8", VERBS, inserted(3, b"YZ\xf8[\r\n"), "refused", ", wiersz 3, znak 3"),
    ("words byte FF in a folder named a%1b", WORDS, inserted(5, b"\xff\r\n"), "refused",
     ", wiersz 5, znak 1"),
    ("verbs 10 MB of random bytes", VERBS,  # the 33rd byte is the first without a character
     contents(lambda good: random.Random(1).randbytes(10 << 20)), "refused", ", wiersz 1, znak 33"),
]


def stamps(folder):
    """What any write to a file, or its replacement, changes."""
    return {(path, path.lstat().st_ino, path.lstat().st_ctime_ns) for path in folder.rglob("*")}


def bad_file(ctx, name, file, spoil, outcome, expected):
    folder = ctx.dir / "cases" / name.replace(" ", "-")
    folder.mkdir(parents=True)
    for part in ("strelkavo", VERBS, WORDS):
        shutil.copy2(BIN / part, folder)
    spoil(folder / file)
    before = stamps(folder)
    # Without its capabilities root reads files as any user does.
    runner = ["setpriv", "--bounding-set=-all"] if os.geteuid() == 0 else []
    program = Program(ctx, folder / "strelkavo", runner)
    if outcome == "shows":
        program.window()
        rows = expected
        until(f"the list shows {rows} rows", lambda: read(
            lambda: control(program.pid, VERB_LIST, "Table").queryTable().nRows) == rows)
        program.close()
    else:
        refused(program, f"strelkavo: Nie można wczytać pliku „{folder / file}”{expected}: ")
    if stamps(folder) != before:
        raise Failure("the files beside the program changed")


def refused(program, message):
    box = until("a message is shown", lambda: program.alive() and program.windows(dialog=True))[0]
    said = [line for line in program.said().splitlines() if line.startswith("strelkavo: ")]
    if len(said) != 1 or not said[0].startswith(message) or program.windows():
        raise Failure(f"not one message {message!r} alone on the screen and stderr: {said}")
    until("the box says the same", lambda: said[0][11:] in (
        read(lambda: [node.name for node in nodes(program.pid)]) or []))
    program.key("Return", window=box)
    program.ends(1)


# --- the notification area ------------------------------------------------------------

# Whether each panel hosts StatusNotifierItems; their configurations are in config/.
PANELS = {"tint2": False, "xfce4-panel": True, "lxqt-panel": True}


class Panel:
    def __init__(self, session, name):
        self.session, self.name, self.sni, self.process = session, name, PANELS[name], None

    def start(self):
        self.process = self.session.spawn(self.name, [self.name])
        until(f"{self.name} offers a notification area", lambda: read(
            lambda: watcher("IsStatusNotifierHostRegistered")) if self.sni
            else tray_selection_owned(), 20)
        # mutter 48 may drop a click that comes while it takes in a new panel.
        until(f"{self.name} holds its strip", lambda: numbers("root", "_NET_WORKAREA")[3] < 1024)

    def kill(self):
        if self.process:
            self.process.kill()
            self.session.stop(self.process)
        self.process = None

    def click_icon(self, *button):
        icons = until("one icon is in the panel", lambda: len(found := tray_icons()) == 1 and found)
        x, y = icons[0]
        run("xdotool", "mousemove", x, y, "click", *button)

    def activate_icon(self):
        # A StatusNotifierItem host activates on a click, an X11 icon on a double-click.
        self.click_icon(*(["1"] if self.sni else ["--repeat", "2", "--delay", "100", "1"]))

    def choose(self, label=None):
        """Opens the icon's menu; chooses LABEL or, without one, dismisses it."""
        self.click_icon("3")
        x, y, _, _ = geometry(until("the right button opens a menu", menus)[0])
        if not self.sni and not label:  # the README's picture: the menu over the icon
            until("the menu is drawn", lambda: drawn(menus()[0]))
            screenshot("tray.png", "root", "-crop", f"{1320 - x}x{1044 - y}+{x - 40}+{y - 20}")
        if self.sni and list(exported_menu()[2]) != MENU_ITEMS:
            raise Failure(f"the exported menu holds {list(exported_menu()[2])}")
        if label and self.sni:
            choose_exported(label)  # as the host does on a click in its menu
        if label and not self.sni:
            run("xdotool", "key", *["Down"] * (MENU_ITEMS.index(label) + 1), "Return")
        else:
            run("xdotool", "key", "Escape")


def to_tray(program):
    program.click("zwiń")
    until("'zwiń' swaps the window for one icon",
          lambda: withdrawn(program.wid) and len(tray_icons()) == 1)


def restored(program):
    until(lambda: "not back as a normal, active window with the caret in Szukaj: state "
          f"{state(program.wid)}, focus {program.focused()}, icons {tray_icons()}",
          lambda: shown_normally(program.wid) and active(program.wid)
          and "Szukaj" in program.focused() and not tray_icons())


def frame_place(window):
    x, y, _, _ = geometry(window)
    left, _, top, _ = numbers(window, "_NET_FRAME_EXTENTS") or (0, 0, 0, 0)
    return x - left, y - top


def in_place(program, place):
    until(lambda: f"the frame is at {frame_place(program.wid)}, not at {place}",
          lambda: max(abs(now - then) for now, then in zip(frame_place(program.wid), place)) <= 1)


def trips(ctx, program=None, count=3):
    program = program or ctx.program()
    place = frame_place(program.wid)
    for _ in range(count):
        to_tray(program)
        ctx.panel.activate_icon()
        restored(program)
        in_place(program, place)
    program.close()


def menu(ctx):
    program = ctx.program()
    to_tray(program)
    ctx.panel.choose()
    until("Escape closes the menu", lambda: not menus())
    if not withdrawn(program.wid) or len(tray_icons()) != 1:
        raise Failure("dismissing the menu took the program out of the tray")
    ctx.panel.activate_icon()
    restored(program)
    to_tray(program)
    ctx.panel.choose(MENU_ITEMS[0])
    restored(program)
    to_tray(program)
    ctx.panel.choose("Zamknij")
    program.ends(0)
    until("no icon is left", lambda: not tray_icons() and not sni_items())


def panel_killed(ctx):
    program = ctx.program()
    to_tray(program)
    ctx.panel.kill()
    until(lambda: f"a second after the panel went the window is {state(program.wid)}",
          lambda: shown_normally(program.wid), 1)
    ctx.panel.start()
    trips(ctx, program)  # a stray icon from before would be a second one


def minimised_and_back(program):
    """'zwiń' with nothing to show an icon minimises; a task list brings the
    window back where it was, with the caret in Szukaj and no minimise button."""
    place = frame_place(program.wid)
    program.click("zwiń")
    until("with no tray 'zwiń' minimises", lambda: state(program.wid) == "Iconic")
    activate(program.wid)  # as a task list does
    until(lambda: f"not back with the caret in Szukaj: {program.focused()}",
          lambda: shown_normally(program.wid) and "Szukaj" in program.focused())
    in_place(program, place)
    if numbers(program.wid, "_MOTIF_WM_HINTS")[1] & 8:
        raise Failure("the window may be minimised from its title bar after the restore")


def panel_after_start(ctx):
    ctx.panel.kill()
    program = ctx.program()
    minimised_and_back(program)
    ctx.panel.start()
    to_tray(program)
    ctx.panel.activate_icon()
    restored(program)
    program.close()


def peer_leaves(ctx):
    """A process that leaves the bus may have been the host: the item asks,
    a live host reads it again, and the window stays in the tray."""
    program = Program(ctx, told="tray")
    program.window()
    to_tray(program)
    run("gdbus", "call", "--session", "-d", "org.freedesktop.DBus", "-o", "/org/freedesktop/DBus",
        "-m", "org.freedesktop.DBus.GetId")
    until("the host is asked and answers", lambda: "still shows" in program.said())
    if not withdrawn(program.wid):
        raise Failure("a process that left the bus brought the window back")
    program.kill()


def host_never_closes_menu(ctx):
    """A host that once said its menu closed, then opens it and says nothing:
    the next activation of the icon still restores the window."""
    program = ctx.program()
    to_tray(program)
    service, menu, _ = exported_menu()
    bus_call(service, menu, "com.canonical.dbusmenu", "AboutToShow", "(i)", 0)
    bus_call(service, menu, "com.canonical.dbusmenu", "Event", "(isvu)", 0, "closed",
             GLib.Variant("s", ""), 0)
    bus_call(service, menu, "com.canonical.dbusmenu", "AboutToShow", "(i)", 0)
    bus_call(service, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", "(ii)", 0, 0)
    restored(program)
    program.close()


# --- a hostile desktop ------------------------------------------------------------------

def hostile(ctx, role):
    process = ctx.spawn(role, ["/usr/bin/python3", "-I", HERE / "hostile.py", role],
                        stdout=subprocess.PIPE, text=True)
    if process.stdout.readline().strip() != "ready":
        raise Failure(f"{role} did not start")
    return process


def minimises_beside(ctx, roles):
    """Where nothing shows the icon, 'zwiń' minimises: beside a tray the toolkit
    would ask a mute watcher before it makes an icon, and wait for the bus's
    25 seconds; a tray that never embeds, or a bus item no host reads, would
    leave a hidden window with no icon."""
    hostile_parts = [hostile(ctx, role) for role in roles]
    program = ctx.program()
    program.click("zwiń")
    until("'zwiń' minimises within two seconds", lambda: state(program.wid) == "Iconic", 2)
    for part in hostile_parts:
        ctx.stop(part)
    program.kill()


# Frame extents (left, right, top, bottom) written while no window manager frames it.
EXTENTS = [
    ("every side 0x7fffffff", [0x7FFFFFFF] * 4),
    ("every side 0x80000000", [0x80000000] * 4),
    ("5000 on the left", [5000, 0, 0, 0]),
    ("5000 at the top", [0, 0, 5000, 0]),
]


def malformed_extents(ctx, extents):
    wm = next((process for process in ctx.started if process.args[0] == "openbox"), None)
    if wm:
        ctx.stop(wm)
    program = Program(ctx, told="window")
    run("xprop", "-id", program.window(), "-f", "_NET_FRAME_EXTENTS", "32c", "-set",
        "_NET_FRAME_EXTENTS", ", ".join(map(str, extents)))
    until("the window is done with its frame", lambda: "centred in" in program.said(), 3)
    x, y, width, height = geometry(program.wid)
    if abs(2 * x + width - 1280) > 2 or abs(2 * y + height - 1024) > 2:
        raise Failure(f"the window is at {(x, y)}, not centred on the screen")
    program.kill()


# --- the package ----------------------------------------------------------------------

APP = "pl.strelkavo.Strelkavo"
PACKAGED = {"usr/bin/strelkavo", "usr/lib/strelkavo/strelkavo", f"usr/lib/strelkavo/{VERBS}",
            f"usr/lib/strelkavo/{WORDS}", f"usr/share/applications/{APP}.desktop",
            f"usr/share/metainfo/{APP}.metainfo.xml", "usr/share/man/man1/strelkavo.1.gz",
            "usr/share/doc/strelkavo/copyright", "usr/share/doc/strelkavo/changelog.gz",
            *(f"usr/share/icons/hicolor/{size}x{size}/apps/{APP}.png"
              for size in (16, 32, 48, 64, 128, 256))}
DEPENDS = {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libqt6dbus6", "fonts-dejavu-core"}


def names(relations):
    """The package names of a Depends or Recommends field, without versions.
    Debian 13 renamed libraries for the 64-bit time_t (libqt6core6t64)."""
    return {name.split("(")[0].strip().removesuffix("t64")
            for name in relations.replace("|", ",").split(",")}


def package_files(ctx):
    run("cpack", "-G", "DEB", "--config", BUILD / "CPackConfig.cmake", "-B", ctx.dir / "deb")
    ctx.deb, = (ctx.dir / "deb").glob("*.deb")  # one package
    ctx.root = ctx.dir / "root"
    run("dpkg-deb", "-x", ctx.deb, ctx.root)
    files = {str(path.relative_to(ctx.root)) for path in ctx.root.rglob("*") if not path.is_dir()}
    depends, recommends = (run("dpkg-deb", "-f", ctx.deb, field).strip()
                           for field in ("Depends", "Recommends"))
    if files != PACKAGED or not DEPENDS <= names(depends) or "xdg-utils" not in names(recommends):
        raise Failure(f"missing {PACKAGED - files}, unexpected {files - PACKAGED}; "
                      f"Depends: {depends}; Recommends: {recommends}")


def package_metadata(ctx):
    said = run("desktop-file-validate", ctx.root / f"usr/share/applications/{APP}.desktop")
    if "warning:" in said:  # an error fails the command
        raise Failure(said)
    run("appstreamcli", "validate", "--no-net", ctx.root / f"usr/share/metainfo/{APP}.metainfo.xml")
    run("lintian", "--fail-on", "error,warning", ctx.deb)
    # The build trusts the icon tool's status: a failure must not pass for icons made.
    (ctx.dir / "a-file").touch()
    if subprocess.run([BUILD / "bin/strelkavo-icons", ctx.dir / "a-file/icons"],
                      capture_output=True).returncode == 0:
        raise Failure("strelkavo-icons says it made icons where it cannot write")


def installed_program(ctx):
    program = Program(ctx, ctx.root / "usr/bin/strelkavo")
    wm_class = xprop(program.window(), "WM_CLASS").split('"')[-2]
    if f"\nStartupWMClass={wm_class}\n" not in (
            ctx.root / f"usr/share/applications/{APP}.desktop").read_text():
        raise Failure(f"the window's class {wm_class} is not the desktop entry's StartupWMClass")
    program.close()


# --- groups of rows -------------------------------------------------------------------

WINDOW_MANAGERS = {"openbox": ["openbox", "--sm-disable"],
                   "mutter": ["mutter", "--x11", "--replace", "--sm-disable"],
                   "xfwm4": ["xfwm4", "--replace", "--compositor=off", "--sm-client-disable"]}

GROUPS = {  # name: the panel running throughout, the rows, how the session differs
    # A panel's strut makes the work area differ from the screen.
    "window": ("tint2", [
        ("title, fixed size, no minimise or maximise button", window_hints),
        ("centred on the work area", centring),
        ("typing at machine speed", typing),
        ("no session bus: none started, nothing written, the X11 tray still", without_session_bus),
        ("no window manager: the frame awaited for a while, a move kept",
         without_window_manager)]),
    "badfiles": (None, [(row[0], lambda ctx, row=row: bad_file(ctx, *row)) for row in BAD_FILES]),
    **{panel: (panel, [
        ("'zwiń' and back from the icon, three times", trips),
        ("the menu: its two items, dismissed, 'Pokaż główne okno programu', 'Zamknij'", menu),
        ("the panel killed while in the tray, then started again", panel_killed),
        ("no panel at start, then one", panel_after_start),
        *([("a host that opens the menu and never closes it", host_never_closes_menu)]
          if panel == "lxqt-panel" else [])]) for panel in PANELS},
    "mutter": ("tint2", [
        ("ten times 'zwiń' and back, the frame in place", lambda ctx: trips(ctx, count=10)),
        ("no panel at start, then one", panel_after_start)], {"wm": "mutter"}),
    "xfwm4": ("tint2", [
        ("ten times 'zwiń' and back, the frame in place", lambda ctx: trips(ctx, count=10)),
        ("no panel at start, then one", panel_after_start)], {"wm": "xfwm4"}),
    "kded-tint2": ("tint2", [
        # The toolkit makes a bus item, which no host reads.
        ("'zwiń' beside a watcher that claims a host", lambda ctx: minimises_beside(ctx, []))],
        {"kded": True}),
    "kded-xfce4-panel": ("xfce4-panel", [
        ("'zwiń' and back from the icon, three times", trips),
        ("a process leaves the bus while in the tray", peer_leaves),
        ("the panel killed while in the tray, then started again", panel_killed)],
        {"kded": True}),
    "hostile": (None, [
        ("a watcher that never answers", lambda ctx: minimises_beside(ctx, ["mute-watcher",
                                                                            "deaf-tray"])),
        ("a tray that never embeds", lambda ctx: minimises_beside(ctx, ["deaf-tray"])),
        *((f"frame extents: {name}", lambda ctx, extents=extents: malformed_extents(ctx, extents))
          for name, extents in EXTENTS)]),
    "package": (None, [
        ("cpack makes one .deb: its files and dependencies", package_files),
        ("desktop entry, AppStream metadata, lintian, the icon tool's failure", package_metadata),
        ("the installed program", installed_program)]),
}


def main(group):
    # CTest's timeout ends the run with SIGTERM; the session is still stopped.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    panel, rows, *options = GROUPS[group]
    session, failed = Session(), 0
    try:
        session.start(panel, **(options[0] if options else {}))
        for name, row in rows:
            began = time.monotonic()
            try:
                row(session)
                print(f"ok   {group}: {name} ({time.monotonic() - began:.1f} s)", flush=True)
                session.tidy(failed=False)
            except Failure as failure:
                failed += 1
                print(f"FAIL {group}: {name}: {failure}", flush=True)
                session.tidy(failed=True)
    finally:
        session.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
