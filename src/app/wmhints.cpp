// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wmhints.h"

#include "app/x11.h"

#include <QWindow>

#include <algorithm>
#include <array>
#include <cstring>

namespace strelkavo {
namespace {

// The fields of WM_HINTS that matter here: the flags and the initial state.
constexpr int kHintFields = 9;
constexpr int kFlags = 0;
constexpr int kInitialState = 2;
constexpr uint32_t kStateHint = 1u << 1;
constexpr uint32_t kNormalState = 1;

} // namespace

void clearIconicStart(QWindow *window)
{
    xcb_connection_t *connection = x11Connection();
    if (!window || !connection)
        return;
    const auto id = xcb_window_t(window->winId());
    const auto cookie = xcb_get_property(connection, false, id, XCB_ATOM_WM_HINTS,
                                         XCB_ATOM_WM_HINTS, 0, kHintFields);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr),
                                                   &std::free);
    if (!reply || reply->type != XCB_ATOM_WM_HINTS || reply->format != 32)
        return;
    std::array<uint32_t, kHintFields> hints{};
    const int fields = std::min(kHintFields, xcb_get_property_value_length(reply.get()) / 4);
    std::memcpy(hints.data(), xcb_get_property_value(reply.get()), size_t(fields) * 4);
    if ((hints[kFlags] & kStateHint) == 0 || hints[kInitialState] == kNormalState)
        return;
    hints[kInitialState] = kNormalState;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS,
                        XCB_ATOM_WM_HINTS, 32, uint32_t(std::max(fields, kInitialState + 1)),
                        hints.data());
    xcb_flush(connection);
}

} // namespace strelkavo
