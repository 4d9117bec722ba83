// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

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

} // namespace strelkavo
