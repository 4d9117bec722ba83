// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "trayicon.h"

#include "app/x11.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>

#include <cstdlib>
#include <memory>

namespace strelkavo {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

const char *kindName(TrayKind kind)
{
    return kind == TrayKind::StatusNotifier ? "StatusNotifier" : "XEmbed";
}

// The question the toolkit asks when it picks the kind of its icons: whether
// a StatusNotifierWatcher on the session bus has a host registered.
bool busTrayPresent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()
        || !bus.interface()->isServiceRegistered(kWatcherService).value())
        return false;
    QDBusInterface watcher(kWatcherService, kWatcherPath, kWatcherService, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

// The window of the embedding panel: the owner of the screen's tray manager
// selection, none if no panel holds it.
xcb_window_t embeddingTrayOwner(xcb_connection_t *connection)
{
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    else
        screen = 0;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    const xcb_atom_t selection = internAtom(connection, name.constData());
    if (selection == XCB_ATOM_NONE)
        return XCB_WINDOW_NONE;
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr),
        &std::free);
    return owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
}

} // namespace

TrayIcon::TrayIcon(const QIcon &icon, const QString &toolTip, QMenu *menu, QObject *parent)
    : QObject(parent)
    , m_image(icon)
    , m_toolTip(toolTip)
    , m_menu(menu)
{
    // A bus tray ends when its watcher leaves the bus, or when the watcher
    // stays and its last host goes.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto *watcher = new QDBusServiceWatcher(kWatcherService, bus,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        // Another panel, whose host may not tell of a closed menu.
        m_hostTellsClose = false;
        checkBusTray();
    });
    bus.connect(kWatcherService, kWatcherPath, kWatcherService,
                QStringLiteral("StatusNotifierHostUnregistered"), this, SLOT(checkBusTray()));
}

TrayIcon::~TrayIcon()
{
    if (m_menuWait)
        m_menuWait->quit();
    if (m_filtering)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TrayIcon::isShown() const
{
    return m_icon && m_icon->isVisible();
}

// The toolkit picks the kind of its icons once per process, when it first
// makes one, by asking the bus the question busTrayPresent() asks, and keeps
// it: after that only a tray of that kind can show the icon. Until then
// nothing here makes the toolkit choose, so that a first "zwiń" without any
// tray leaves the choice to a later one with a tray.
std::optional<TrayKind> TrayIcon::usableTray() const
{
    const bool bus = busTrayPresent();
    xcb_connection_t *x11 = x11Connection();
    const bool embedding = x11 && embeddingTrayOwner(x11) != XCB_WINDOW_NONE;
    if (m_icon) {
        const bool present = m_kind == TrayKind::StatusNotifier ? bus : embedding;
        return present ? std::optional(m_kind) : std::nullopt;
    }
    if (bus)
        return TrayKind::StatusNotifier;
    if (embedding)
        return TrayKind::XEmbed;
    return std::nullopt;
}

bool TrayIcon::show()
{
    const std::optional<TrayKind> kind = usableTray();
    if (!kind) {
        qCDebug(lcTray) << "no tray that the icon can go into";
        return false;
    }
    if (!m_icon)
        createIcon(*kind);
    qCDebug(lcTray) << "tray kind" << kindName(m_kind);
    m_icon->show();
    if (m_kind == TrayKind::XEmbed)
        watchEmbeddingTray();
    return true;
}

void TrayIcon::hide()
{
    if (m_rightRelease)
        m_rightRelease->disarm();
    if (m_filtering) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        m_filtering = false;
    }
    m_trayWindow = 0;
    m_exportedMenuOpen = false;
    if (m_menuWait)
        m_menuWait->quit();
    if (m_popupOpen)
        m_menu->close();
    if (m_icon)
        m_icon->hide();
}

void TrayIcon::createIcon(TrayKind kind)
{
    m_kind = kind;
    m_icon = new QSystemTrayIcon(m_image, this);
    m_icon->setToolTip(m_toolTip);
    if (kind == TrayKind::StatusNotifier) {
        // A bus host shows the item's exported menu on a right-click by
        // itself and never asks the program for one. It may say when the menu
        // opens and closes; the menu counts as open in between.
        m_icon->setContextMenu(m_menu);
        connect(m_menu, &QMenu::aboutToShow, this, &TrayIcon::exportedMenuShown);
        connect(m_menu, &QMenu::aboutToHide, this, &TrayIcon::exportedMenuHidden);
    } else {
        // An embedding panel hands the icon the presses: a context menu would
        // open on the right button going down, and the menu belongs to its
        // release over the icon, which is watched for once the press is seen.
        m_rightRelease = new RightButtonRelease(
            [this](bool overIcon) {
                qCDebug(lcTray) << "right button released"
                                << (overIcon ? "over the icon" : "elsewhere");
                // Queued: the release is still on its way to the icon's own
                // window, which restoring from the menu destroys.
                if (overIcon)
                    QMetaObject::invokeMethod(
                        this,
                        [this] {
                            if (isShown())
                                Q_EMIT iconEvent(TrayCode::RightUp);
                        },
                        Qt::QueuedConnection);
            },
            this);
        // Direct: the release may be handled before a queued call would run,
        // so the watch for it starts while the press is being delivered.
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Context)
                        m_rightRelease->arm();
                });
    }
    // Queued: hiding the icon from inside its own activation signal crashes
    // the toolkit, and restoring does just that.
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::reportActivation,
            Qt::QueuedConnection);
}

void TrayIcon::reportActivation(QSystemTrayIcon::ActivationReason reason)
{
    const qint32 code = callbackCode(TrayActivation(reason), m_kind);
    qCDebug(lcTray) << "activated" << reason << "code" << code;
    // What a removed icon still had on its way is dropped: it would act on a
    // window that is already back.
    if (isShown())
        Q_EMIT iconEvent(code);
}

void TrayIcon::popupMenu()
{
    if (m_kind == TrayKind::StatusNotifier && m_exportedMenuOpen) {
        // The host shows the menu; wait as for a popup of our own, until the
        // host closes it, an item is chosen or the icon goes.
        QEventLoop wait;
        m_menuWait = &wait;
        wait.exec();
        m_menuWait = nullptr;
        return;
    }
    m_popupOpen = true;
    m_menu->exec(QCursor::pos());
    m_popupOpen = false;
}

void TrayIcon::exportedMenuShown()
{
    if (m_popupOpen || m_exportedMenuOpen || !isShown())
        return;
    // Some hosts never tell that the menu has closed (xfce4-panel 4.18 does
    // not): the menu would count as open for ever and the icon stay deaf.
    // Only a host that has told of a closed menu before is taken at its word.
    if (!m_hostTellsClose) {
        qCDebug(lcTray) << "the host opened the menu, and may not tell when it closes";
        return;
    }
    qCDebug(lcTray) << "the host opened the menu";
    m_exportedMenuOpen = true;
    // To the decoder this is the right button's release that opens the menu.
    // Queued: the host waits for the answer to the call that told of it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_exportedMenuOpen && isShown())
                Q_EMIT iconEvent(TrayCode::RightUp);
        },
        Qt::QueuedConnection);
}

void TrayIcon::exportedMenuHidden()
{
    if (m_popupOpen)
        return;
    qCDebug(lcTray) << "the host closed the menu";
    m_hostTellsClose = true;
    m_exportedMenuOpen = false;
    if (m_menuWait)
        m_menuWait->quit();
}

// The panel's manager window is destroyed when the panel ends, also when it
// is killed; the server tells every client that asked for its structure events.
void TrayIcon::watchEmbeddingTray()
{
    xcb_connection_t *x11 = x11Connection();
    if (!x11)
        return;
    const xcb_window_t owner = embeddingTrayOwner(x11);
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (owner != XCB_WINDOW_NONE)
        xcb_change_window_attributes(x11, owner, XCB_CW_EVENT_MASK, &mask);
    m_trayWindow = owner;
    if (!m_filtering) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filtering = true;
    }
    // Asked again after the request: a panel that ended before it took the
    // selection with it, and its end would never be told.
    if (owner == XCB_WINDOW_NONE || embeddingTrayOwner(x11) != owner)
        QMetaObject::invokeMethod(this, &TrayIcon::loseTray, Qt::QueuedConnection);
}

bool TrayIcon::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_trayWindow == 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY)
        return false;
    const auto *destroyed = static_cast<const xcb_destroy_notify_event_t *>(message);
    if (destroyed->window == m_trayWindow) {
        m_trayWindow = 0;
        QMetaObject::invokeMethod(this, &TrayIcon::loseTray, Qt::QueuedConnection);
    }
    return false;
}

void TrayIcon::checkBusTray()
{
    if (m_kind == TrayKind::StatusNotifier && isShown() && !busTrayPresent())
        loseTray();
}

void TrayIcon::loseTray()
{
    if (!isShown())
        return;
    qCDebug(lcTray) << "the tray went away";
    hide();
    Q_EMIT trayLost();
}

} // namespace strelkavo
