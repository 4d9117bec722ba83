// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMargins>

#include <optional>

class QWindow;

namespace strelkavo {

// The window manager's frame around the window, in device-independent pixels,
// once the window manager has told it; nothing before that.
//
// On X11 this reads _NET_FRAME_EXTENTS itself: the toolkit caches the margins
// it sees when the window is mapped, which may be from before the frame exists,
// and offers no way to ask again.
std::optional<QMargins> frameExtents(QWindow *window);

} // namespace strelkavo
