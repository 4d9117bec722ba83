// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "traykind.h"

#include <QAbstractNativeEventFilter>
#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <optional>

class QEventLoop;
class QMenu;

namespace strelkavo {

class WatcherOnBus;

// The program's icon in the desktop's notification area, of whichever kind
// the toolkit makes: a window that an X11 panel embeds, or an item on the
// session bus with an exported menu.
//
// The icon counts only once something shows it: an embedded one once a panel
// has taken its window in, a bus item once a host has read it, and for as
// long as a host reads it again when asked to. It
// reports what happens to it and leaves the acting to the window: every mouse
// event over the icon as the window-message number that the tray decoder
// reads, and the loss of whatever showed it, so that the window is not left
// with no way back.
class TrayIcon : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // menu is the popup menu; a bus host is given it to show on its own.
    TrayIcon(const QIcon &icon, const QString &toolTip, QMenu *menu, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Puts the icon into the tray; shown() follows once something shows it,
    // or notShown(), with the icon gone again, if nothing does within a second.
    void show();
    // Takes the icon out of the tray and closes its menu if that is open.
    void hide();
    bool isShown() const { return m_state == State::Shown; }

    // Opens the menu at the pointer, or follows the one a bus host has opened,
    // and returns once it has closed.
    void popupMenu();

Q_SIGNALS:
    void shown();
    void notShown();
    // A mouse event over the icon, as a TrayCode.
    void iconEvent(qint32 code);
    // Whatever showed the icon went away; the icon is gone too.
    void trayLost();

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Waiting: for a panel to embed the icon, or for a host to read the item.
    enum class State { Hidden, Waiting, Shown };

    void createIcon();
    void learnKind();
    void fail(const char *why);
    void confirm();
    void busChanged();
    void askHosts();
    void watchReads(bool watch);
    void reportLater(qint32 code);
    void reportActivation(QSystemTrayIcon::ActivationReason reason);
    void watchEmbeddingTray();
    void loseTray();
    void exportedMenuShown();
    void exportedMenuHidden();

    QIcon m_image;
    QString m_toolTip;
    QMenu *m_menu;
    WatcherOnBus *m_watcher;
    QSystemTrayIcon *m_icon = nullptr;
    // The toolkit picks the kind when it first shows an icon, for the whole run.
    std::optional<TrayKind> m_kind;
    State m_state = State::Hidden;
    QTimer m_patience;
    // While shown on the bus: the time left for a host to read the item again.
    QTimer m_probe;
    bool m_watchingReads = false;
    RightButtonRelease *m_rightRelease = nullptr;
    // The embedding panel's manager window, watched for its end while the icon is in it.
    quint32 m_trayWindow = 0;
    quint32 m_iconWindow = 0;
    bool m_filtering = false;
    bool m_exportedMenuOpen = false;
    bool m_hostTellsClose = false;
    bool m_popupOpen = false;
    bool m_activatedInMenu = false;
    QEventLoop *m_menuWait = nullptr;
};

} // namespace strelkavo
