// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frameextents.h"

#include "x11/x11.h"

#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace strelkavo {
namespace {

xcb_atom_t extentsAtom(xcb_connection_t *connection)
{
    static const xcb_atom_t atom = internAtom(connection, "_NET_FRAME_EXTENTS");
    return atom;
}

std::optional<QMargins> x11FrameExtents(xcb_connection_t *connection, QWindow *window)
{
    const xcb_atom_t extents = extentsAtom(connection);
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
    // Anything wider than a screen is refused before it is turned into an int.
    constexpr uint32_t kWidest = 1u << 16;
    if (std::any_of(value, value + 4, [](uint32_t side) { return side > kWidest; }))
        return std::nullopt;
    // Left, right, top, bottom, in device pixels.
    const qreal ratio = window->devicePixelRatio();
    const auto logical = [ratio](uint32_t pixels) { return int(std::lround(pixels / ratio)); };
    return QMargins(logical(value[0]), logical(value[2]), logical(value[1]), logical(value[3]));
}

} // namespace

bool plausibleFrame(const QMargins &frame, QSize screen)
{
    // Title bars and borders are a few dozen pixels; a quarter of the screen
    // leaves room for any real one.
    const int widest = std::min(screen.width(), screen.height()) / 4;
    const int sides[] = {frame.left(), frame.top(), frame.right(), frame.bottom()};
    return std::all_of(std::begin(sides), std::end(sides),
                       [widest](int side) { return side >= 0 && side < widest; });
}

std::optional<QMargins> frameExtents(QWindow *window)
{
    if (!window)
        return std::nullopt;
    std::optional<QMargins> frame;
    if (xcb_connection_t *connection = x11Connection())
        frame = x11FrameExtents(connection, window);
    else if (!window->frameMargins().isNull())
        frame = window->frameMargins();
    const QScreen *screen = window->screen();
    if (frame && screen && !plausibleFrame(*frame, screen->geometry().size()))
        return std::nullopt;
    return frame;
}

bool frameExtentsChanged(QWindow *window, const void *message)
{
    xcb_connection_t *connection = x11Connection();
    if (!window || !connection || eventType(message) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    return notify->window == xcb_window_t(window->winId()) && notify->atom == extentsAtom(connection);
}

} // namespace strelkavo
