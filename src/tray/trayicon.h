// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "traykind.h"

#include <QAbstractNativeEventFilter>
#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include <optional>

class QEventLoop;
class QMenu;

namespace strelkavo {

// The program's icon in the desktop's notification area, of whichever kind
// the desktop has: an X11 panel that embeds the icon's window, or a host on
// the session bus to which the icon is an item with an exported menu.
//
// It reports what happens to it and leaves the acting to the window: every
// mouse event over the icon as the window-message number that the tray
// decoder reads, and the loss of the tray while the icon is in it, so that the
// window is not left with no way back.
class TrayIcon : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // menu is the popup menu; a bus host is given it to show on its own.
    TrayIcon(const QIcon &icon, const QString &toolTip, QMenu *menu, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Puts the icon into the tray that the desktop has now. False, with
    // nothing shown, if there is none that the icon can go into.
    bool show();
    // Takes the icon out of the tray and closes its menu if that is open.
    void hide();
    bool isShown() const;

    // Opens the menu at the pointer, or follows the one a bus host has opened,
    // and returns once it has closed.
    void popupMenu();

Q_SIGNALS:
    // A mouse event over the icon, as a TrayCode.
    void iconEvent(qint32 code);
    // The tray went away with the icon in it; the icon is gone too.
    void trayLost();

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private Q_SLOTS:
    void checkBusTray();

private:
    std::optional<TrayKind> usableTray() const;
    void createIcon(TrayKind kind);
    void reportActivation(QSystemTrayIcon::ActivationReason reason);
    void watchEmbeddingTray();
    void loseTray();
    void exportedMenuShown();
    void exportedMenuHidden();

    QIcon m_image;
    QString m_toolTip;
    QMenu *m_menu;
    QSystemTrayIcon *m_icon = nullptr;
    TrayKind m_kind = TrayKind::XEmbed;
    RightButtonRelease *m_rightRelease = nullptr;
    // The embedding panel's manager window, watched for its end while the icon is in it.
    quint32 m_trayWindow = 0;
    bool m_filtering = false;
    bool m_exportedMenuOpen = false;
    bool m_hostTellsClose = false;
    bool m_popupOpen = false;
    QEventLoop *m_menuWait = nullptr;
};

} // namespace strelkavo
