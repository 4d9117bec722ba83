#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A StatusNotifierWatcher for the end-to-end tests, and a client of the items.

    sni_watcher.py serve STATEFILE [--no-host]
        Owns org.kde.StatusNotifierWatcher on the session bus. Unless --no-host
        is given it reports a registered host, so that toolkits put their tray
        icons on the bus instead of into an X11 panel. Every item that
        registers is written to STATEFILE, one "SERVICE OBJECTPATH" a line,
        rewritten whenever an item comes or goes (its owner leaving the bus
        counts as going). Runs until killed; prints "ready" once the name is
        owned.

    sni_watcher.py call SERVICE PATH METHOD X Y
        Calls org.kde.StatusNotifierItem.METHOD(X, Y) on an item, as a host
        does when the user clicks it (Activate, ContextMenu, SecondaryActivate).

    sni_watcher.py get SERVICE PATH PROPERTY
        Prints a property of the item: strings as they are, the ToolTip
        structure as "TITLE<TAB>TEXT".

Needs python3-gi (Gio); run it with the system's /usr/bin/python3.
"""

import os
import sys

from gi.repository import Gio, GLib

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"
DEFAULT_ITEM_PATH = "/StatusNotifierItem"

INTROSPECTION = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem">
      <arg name="service" type="s" direction="in"/>
    </method>
    <method name="RegisterStatusNotifierHost">
      <arg name="service" type="s" direction="in"/>
    </method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
    <signal name="StatusNotifierHostUnregistered"/>
  </interface>
</node>
"""


class Watcher:
    def __init__(self, connection, state_file, host):
        self.connection = connection
        self.state_file = state_file
        self.host = host
        # item key "SERVICE PATH" -> unique bus name of its owner
        self.items = {}
        self.write_state()
        connection.signal_subscribe(
            "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
            "/org/freedesktop/DBus", None, Gio.DBusSignalFlags.NONE,
            self.on_name_owner_changed)

    def write_state(self):
        # Written whole and renamed, so that a reader never sees half a list.
        temporary = self.state_file + ".new"
        with open(temporary, "w", encoding="utf-8") as out:
            for key in self.items:
                out.write(key + "\n")
        os.replace(temporary, self.state_file)

    def emit(self, name, parameters=None):
        self.connection.emit_signal(None, WATCHER_PATH, WATCHER, name, parameters)

    def register_item(self, sender, argument):
        # The argument is a bus name (the item lives at the default path) or,
        # from some toolkits, an object path on the sender's connection.
        if argument.startswith("/"):
            key = f"{sender} {argument}"
        else:
            key = f"{argument} {DEFAULT_ITEM_PATH}"
        self.items[key] = sender
        self.write_state()
        self.emit("StatusNotifierItemRegistered", GLib.Variant("(s)", (key.replace(" ", ""),)))

    def on_name_owner_changed(self, _connection, _sender, _path, _interface, _signal, parameters):
        name, _old_owner, new_owner = parameters.unpack()
        if new_owner:
            return
        gone = [key for key, owner in self.items.items()
                if owner == name or key.split(" ")[0] == name]
        for key in gone:
            del self.items[key]
            self.emit("StatusNotifierItemUnregistered", GLib.Variant("(s)", (key.replace(" ", ""),)))
        if gone:
            self.write_state()

    def on_method_call(self, _connection, sender, _path, _interface, method, parameters, invocation):
        if method == "RegisterStatusNotifierItem":
            self.register_item(sender, parameters.unpack()[0])
            invocation.return_value(None)
        elif method == "RegisterStatusNotifierHost":
            self.host = True
            self.emit("StatusNotifierHostRegistered")
            invocation.return_value(None)
        else:
            invocation.return_dbus_error("org.freedesktop.DBus.Error.UnknownMethod", method)

    def on_get_property(self, _connection, _sender, _path, _interface, name):
        if name == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", [key.replace(" ", "") for key in self.items])
        if name == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", self.host)
        if name == "ProtocolVersion":
            return GLib.Variant("i", 0)
        return None


def serve(state_file, host):
    loop = GLib.MainLoop()
    connection = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    watcher = Watcher(connection, state_file, host)
    node = Gio.DBusNodeInfo.new_for_xml(INTROSPECTION)
    connection.register_object(WATCHER_PATH, node.interfaces[0], watcher.on_method_call,
                               watcher.on_get_property, None)

    def acquired(_connection, _name):
        print("ready", flush=True)

    def lost(_connection, _name):
        print("could not own " + WATCHER, file=sys.stderr, flush=True)
        loop.quit()

    Gio.bus_own_name_on_connection(connection, WATCHER, Gio.BusNameOwnerFlags.NONE,
                                   acquired, lost)
    loop.run()
    return 1


def call(service, path, method, x, y):
    connection = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    connection.call_sync(service, path, ITEM_INTERFACE, method,
                         GLib.Variant("(ii)", (int(x), int(y))), None,
                         Gio.DBusCallFlags.NONE, 10000, None)
    return 0


def get(service, path, name):
    connection = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = connection.call_sync(service, path, "org.freedesktop.DBus.Properties", "Get",
                                 GLib.Variant("(ss)", (ITEM_INTERFACE, name)), None,
                                 Gio.DBusCallFlags.NONE, 10000, None)
    value = reply.unpack()[0]
    if name == "ToolTip":
        _icon_name, _pixmaps, title, text = value
        print(f"{title}\t{text}")
    else:
        print(value)
    return 0


def main(argv):
    if len(argv) >= 2 and argv[0] == "serve":
        return serve(argv[1], "--no-host" not in argv[2:])
    if len(argv) == 6 and argv[0] == "call":
        return call(*argv[1:])
    if len(argv) == 4 and argv[0] == "get":
        return get(*argv[1:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
