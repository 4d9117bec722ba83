#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""hostile.py ROLE: a part of a desktop that never answers, until stopped:
mute-watcher holds the StatusNotifierWatcher's bus name, deaf-tray the X11
tray manager selection."""

import ctypes
import signal
import sys


def mute_watcher():
    dbus = ctypes.CDLL("libdbus-1.so.3")
    dbus.dbus_bus_get.restype = ctypes.c_void_p
    connection = ctypes.c_void_p(dbus.dbus_bus_get(0, None))  # the session bus
    # Nothing reads the connection from here on: questions wait for ever.
    if not connection or dbus.dbus_bus_request_name(
            connection, b"org.kde.StatusNotifierWatcher", 0, None) != 1:
        sys.exit("mute-watcher: the name is taken")


def deaf_tray():
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, *[ctypes.c_int] * 2,
                                         *[ctypes.c_uint] * 3, *[ctypes.c_ulong] * 2]
    xlib.XCreateSimpleWindow.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                        ctypes.c_ulong]
    display = ctypes.c_void_p(xlib.XOpenDisplay(None))
    window = xlib.XCreateSimpleWindow(display, xlib.XDefaultRootWindow(display), 0, 0, 1, 1,
                                      0, 0, 0)
    selection = xlib.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0)
    xlib.XSetSelectionOwner(display, selection, window, 0)
    xlib.XSync(display, 0)


ROLES = {"mute-watcher": mute_watcher, "deaf-tray": deaf_tray}

if __name__ == "__main__":
    ROLES[sys.argv[1]]()
    print("ready", flush=True)
    signal.pause()
