// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWindow;

namespace strelkavo {

// Makes the window's next mapping a normal one, not a minimised one.
//
// On X11 the window manager maps a window in the initial state of its
// WM_HINTS. The toolkit writes that hint only when it changes the window's
// state itself: after a minimise that the window manager undid (from the
// taskbar, say) the hint still says iconic, and a hidden window shown again
// comes back minimised.
void clearIconicStart(QWindow *window);

// Lets the window manager minimise the window, or forbids it again.
//
// The window has no minimise button, and on X11 the toolkit says so by
// leaving the minimise function out of _MOTIF_WM_HINTS; some window managers
// (mutter) then refuse the program's own request to minimise. The function is
// allowed only while the program minimises the window itself, so that no
// button appears in the title bar the user sees.
void allowMinimise(QWindow *window, bool allow);

} // namespace strelkavo
