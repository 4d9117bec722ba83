// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frameextents.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace strelkavo {
namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, false, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::optional<QMargins> x11FrameExtents(xcb_connection_t *connection, QWindow *window)
{
    static const xcb_atom_t extents = internAtom(connection, "_NET_FRAME_EXTENTS");
    if (extents == XCB_ATOM_NONE)
        return std::nullopt;
    const auto cookie = xcb_get_property(connection, false, xcb_window_t(window->winId()), extents,
                                         XCB_ATOM_CARDINAL, 0, 4);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
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
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        return x11FrameExtents(x11->connection(), window);
    const QMargins margins = window->frameMargins();
    if (margins.isNull())
        return std::nullopt;
    return margins;
}

} // namespace strelkavo
