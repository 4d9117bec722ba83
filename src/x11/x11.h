// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Everything that speaks to the X server directly, for the tray and the window alike.

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace strelkavo {

// The X server connection of the xcb platform; null on any other platform.
// The offscreen platform also answers to the X11 interface when a display is
// near, without a connection of its own: asking it would crash.
xcb_connection_t *x11Connection();

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name);

// Replies from xcb are malloc'ed by it and freed with free().
template<typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

// The window of the panel that embeds tray icons: the owner of the screen's
// tray manager selection, none if no panel holds it.
xcb_window_t trayManager(xcb_connection_t *connection);

// Whether a top-level window of ours has been taken into another window, as a
// tray manager does when it embeds an icon.
bool reparented(xcb_connection_t *connection, xcb_window_t window);

// Asks the server to report the window's end (DestroyNotify) to us.
void watchStructure(xcb_connection_t *connection, xcb_window_t window);

// The type of an event as the server sent it, without the bit that marks a
// sent one.
inline uint8_t eventType(const void *message)
{
    return static_cast<const xcb_generic_event_t *>(message)->response_type & ~0x80;
}

} // namespace strelkavo
