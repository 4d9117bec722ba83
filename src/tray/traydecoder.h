// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

#include <functional>

namespace strelkavo {

// Mouse events over the icon, as window-message numbers.
namespace TrayCode {
inline constexpr qint32 MouseMove = 512;
inline constexpr qint32 LeftDown = 513;
inline constexpr qint32 LeftUp = 514;
inline constexpr qint32 LeftDoubleClick = 515;
inline constexpr qint32 RightDown = 516;
inline constexpr qint32 RightUp = 517;
inline constexpr qint32 RightDoubleClick = 518;
inline constexpr qint32 MiddleDown = 519;
inline constexpr qint32 MiddleUp = 520;
} // namespace TrayCode

// How the desktop's notification area talks to the program: an X11 panel
// that embeds the icon's own window, or a host on the session bus that
// receives an item and calls back Activate and ContextMenu.
enum class TrayKind { XEmbed, StatusNotifier };

// The same values as the toolkit's tray activation reasons.
enum class TrayActivation { Unknown = 0, Context = 1, DoubleClick = 2, Trigger = 3, MiddleClick = 4 };

// The mouse event behind an activation.
//
// An embedded icon reports the presses on its own window: Trigger for every
// left press (the first of a double-click too, which must do nothing), then
// DoubleClick for the second press of a double-click, and Context when the
// right button goes down. The release that opens the menu is not reported;
// the window waits for it itself (RightButtonRelease in traykind.h) and
// hands it on as RightUp.
//
// A bus host does its own clicking: Activate arrives as Trigger and is the
// one click that can bring the window back (no DoubleClick ever comes), and
// ContextMenu arrives as Context, meaning the host wants the menu now.
qint32 callbackCode(TrayActivation reason, TrayKind kind);

// Acts on the icon's callbacks: a left double-click restores the window, a
// right-button release opens the popup menu, anything else is dropped. The
// menu runs a nested event loop; callbacks arriving meanwhile (or while the
// restore runs) only record their code.
class TrayCallbackDecoder
{
public:
    struct Actions {
        std::function<void()> restore;
        std::function<void()> popupMenu;
    };

    void callback(qint32 code, const Actions &actions);

    bool busy() const { return m_busy; }
    qint32 lastCode() const { return m_lastCode; }

private:
    bool m_busy = false;
    qint32 m_lastCode = 0;
};

} // namespace strelkavo
