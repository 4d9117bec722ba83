// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frameextents.h"

#include "app/x11.h"

#include <QWindow>

#include <cmath>

namespace strelkavo {
namespace {

std::optional<QMargins> x11FrameExtents(xcb_connection_t *connection, QWindow *window)
{
    static const xcb_atom_t extents = internAtom(connection, "_NET_FRAME_EXTENTS");
    if (extents == XCB_ATOM_NONE)
        return std::nullopt;
    const auto cookie = xcb_get_property(connection, false, xcb_window_t(window->winId()), extents,
                                         XCB_ATOM_CARDINAL, 0, 4);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr),
                                                   &std::free);
    if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32
        || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto *value = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    // Left, right, top, bottom, in device pixels.
    const qreal ratio = window->devicePixelRatio();
    const auto logical = [ratio](uint32_t pixels) { return int(std::lround(pixels / ratio)); };
    return QMargins(logical(value[0]), logical(value[2]), logical(value[1]), logical(value[3]));
}

} // namespace

std::optional<QMargins> frameExtents(QWindow *window)
{
    if (!window)
        return std::nullopt;
    if (xcb_connection_t *connection = x11Connection())
        return x11FrameExtents(connection, window);
    const QMargins margins = window->frameMargins();
    if (margins.isNull())
        return std::nullopt;
    return margins;
}

} // namespace strelkavo
