// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMargins>
#include <QSize>

#include <optional>

class QWindow;

namespace strelkavo {

// The window manager's frame around the window, in device-independent pixels,
// once the window manager has told it; nothing before that, and nothing for a
// frame that no window manager would draw.
//
// On X11 this reads _NET_FRAME_EXTENTS itself: the toolkit caches the margins
// it sees when the window is mapped, which may be from before the frame exists,
// and offers no way to ask again.
std::optional<QMargins> frameExtents(QWindow *window);

// Whether a frame could be real around a window on a screen of that size:
// anyone may write the property, and a side as wide as the screen would put
// the window out of sight.
bool plausibleFrame(const QMargins &frame, QSize screen);

// Whether a native event tells that the window's frame extents changed.
bool frameExtentsChanged(QWindow *window, const void *message);

} // namespace strelkavo
