// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wmhints.h"

#include "x11/x11.h"

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

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr int kMotifFields = 5;
constexpr uint32_t kMotifFunctionsHint = 1u << 0;
constexpr uint32_t kMotifAllFunctions = 1u << 0;
constexpr uint32_t kMotifMinimise = 1u << 3;

} // namespace

void allowMinimise(QWindow *window, bool allow)
{
    xcb_connection_t *connection = x11Connection();
    if (!window || !connection)
        return;
    static const xcb_atom_t motif = internAtom(connection, "_MOTIF_WM_HINTS");
    const auto id = xcb_window_t(window->winId());
    const auto cookie = xcb_get_property(connection, false, id, motif, motif, 0, kMotifFields);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr),
                                                   &std::free);
    if (!reply || reply->format != 32
        || xcb_get_property_value_length(reply.get()) != kMotifFields * 4)
        return;
    std::array<uint32_t, kMotifFields> hints{};
    std::memcpy(hints.data(), xcb_get_property_value(reply.get()), sizeof hints);
    // Without the functions hint every function is allowed already.
    if ((hints[0] & kMotifFunctionsHint) == 0)
        return;
    // With the "all" bit set the listed functions are the ones taken away.
    const bool listsAllowed = (hints[1] & kMotifAllFunctions) == 0;
    const uint32_t before = hints[1];
    if (allow == listsAllowed)
        hints[1] |= kMotifMinimise;
    else
        hints[1] &= ~kMotifMinimise;
    if (hints[1] == before)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, kMotifFields,
                        hints.data());
    xcb_flush(connection);
}

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
