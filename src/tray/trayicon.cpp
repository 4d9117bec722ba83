// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "trayicon.h"

#include "watcher.h"
#include "x11/x11.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QMenu>
#include <QScopeGuard>
#include <QWidget>

#include <chrono>

namespace strelkavo {
namespace {

// A panel embeds an icon, and a host reads a new item, within milliseconds;
// one that has not done so by then never will.
constexpr std::chrono::milliseconds kPatience{1000};
// How long a host is given to read the item again after a process has left
// the bus, before the host counts as gone.
constexpr std::chrono::milliseconds kProbePatience{500};

// The toolkit's object behind a bus item; a call from the bus reaches it as
// a meta-call event from the bus's own thread.
bool isItemRead(QObject *receiver, QEvent *event)
{
    return event->type() == QEvent::MetaCall
        && qstrcmp(receiver->metaObject()->className(), "QDBusTrayIcon") == 0;
}

const char *kindName(TrayKind kind)
{
    return kind == TrayKind::StatusNotifier ? "StatusNotifier" : "XEmbed";
}

// The window the toolkit made for an embedded icon; none when it made a bus
// item instead.
xcb_window_t embeddableIconWindow()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (const QWidget *widget : widgets)
        if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0)
            return xcb_window_t(widget->winId());
    return XCB_WINDOW_NONE;
}

// The toolkit serves each item on a connection of its own, named after the
// item's bus name; hosts take the item's signals only from there.
QDBusConnection itemConnection()
{
    const qint64 pid = QCoreApplication::applicationPid();
    for (int instance = 1; instance < 16; ++instance) {
        const QDBusConnection connection(
            QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(pid).arg(instance));
        if (connection.isConnected())
            return connection;
    }
    return QDBusConnection::sessionBus();
}

} // namespace

TrayIcon::TrayIcon(const QIcon &icon, const QString &toolTip, QMenu *menu, QObject *parent)
    : QObject(parent)
    , m_image(icon)
    , m_toolTip(toolTip)
    , m_menu(menu)
    , m_watcher(new WatcherOnBus(this))
{
    m_patience.setSingleShot(true);
    m_patience.setInterval(kPatience);
    connect(&m_patience, &QTimer::timeout, this, [this] { fail("nothing took the icon in"); });
    m_probe.setSingleShot(true);
    m_probe.setInterval(kProbePatience);
    connect(&m_probe, &QTimer::timeout, this, &TrayIcon::loseTray);
    connect(m_watcher, &WatcherOnBus::changed, this, &TrayIcon::busChanged);
    connect(m_watcher, &WatcherOnBus::peerLeft, this, &TrayIcon::askHosts);
    // Another panel, whose host may not tell of a closed menu.
    connect(m_watcher, &WatcherOnBus::watcherReplaced, this, [this] { m_hostTellsClose = false; });
}

TrayIcon::~TrayIcon()
{
    watchReads(false);
    if (m_menuWait)
        m_menuWait->quit();
    if (m_filtering)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void TrayIcon::show()
{
    if (m_state != State::Hidden)
        return;
    const bool bus = m_watcher->watcherHere();
    xcb_connection_t *x11 = x11Connection();
    const bool embedding = x11 && trayManager(x11) != XCB_WINDOW_NONE;
    // The toolkit asks the watcher, and waits for its answer, when it makes
    // its first icon; a watcher that does not answer would freeze the window.
    if (m_watcher->watcherSilent())
        return fail("the watcher does not answer");
    if (!bus && !embedding)
        return fail("no tray that the icon can go into");
    if (m_kind == TrayKind::StatusNotifier && !bus)
        return fail("no watcher for the bus item");
    if (m_kind == TrayKind::XEmbed && !embedding)
        return fail("no panel to embed it");
    if (!m_icon)
        createIcon();
    m_state = State::Waiting;
    watchReads(true);
    m_icon->show();
    // Counted from the request: making the first icon may itself take a while.
    m_patience.start();
    learnKind();
    qCDebug(lcTray) << "tray kind" << kindName(*m_kind);
    if (m_kind == TrayKind::StatusNotifier)
        return;
    watchReads(false);
    m_iconWindow = embeddableIconWindow();
    watchEmbeddingTray();
    if (m_iconWindow != XCB_WINDOW_NONE && x11 && reparented(x11, m_iconWindow))
        confirm();
}

void TrayIcon::fail(const char *why)
{
    qCDebug(lcTray) << "not shown:" << why;
    hide();
    // Queued, so that the window never hears of it inside its own request.
    QMetaObject::invokeMethod(this, &TrayIcon::notShown, Qt::QueuedConnection);
}

void TrayIcon::confirm()
{
    m_patience.stop();
    m_state = State::Shown;
    qCDebug(lcTray) << "shown";
    QMetaObject::invokeMethod(this, [this] {
        if (isShown())
            Q_EMIT shown();
    }, Qt::QueuedConnection);
}

void TrayIcon::hide()
{
    m_state = State::Hidden;
    m_patience.stop();
    m_probe.stop();
    watchReads(false);
    if (m_rightRelease)
        m_rightRelease->disarm();
    if (m_filtering) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        m_filtering = false;
    }
    m_trayWindow = 0;
    m_iconWindow = 0;
    m_exportedMenuOpen = false;
    if (m_menuWait)
        m_menuWait->quit();
    if (m_popupOpen)
        m_menu->close();
    if (m_icon)
        m_icon->hide();
}

void TrayIcon::createIcon()
{
    m_icon = new QSystemTrayIcon(m_image, this);
    m_icon->setToolTip(m_toolTip);
    // Queued: hiding the icon from inside its own activation signal crashes
    // the toolkit, and restoring does just that.
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::reportActivation,
            Qt::QueuedConnection);
}

// The toolkit decides the kind on its own (and not by the same rule in every
// version); what it made tells which it chose.
void TrayIcon::learnKind()
{
    if (m_kind)
        return;
    m_kind = embeddableIconWindow() != XCB_WINDOW_NONE ? TrayKind::XEmbed : TrayKind::StatusNotifier;
    if (m_kind == TrayKind::StatusNotifier) {
        // A bus host shows the item's exported menu on a right-click by
        // itself and never asks the program for one. It may say when the menu
        // opens and closes; the menu counts as open in between.
        m_icon->setContextMenu(m_menu);
        connect(m_menu, &QMenu::aboutToShow, this, &TrayIcon::exportedMenuShown);
        connect(m_menu, &QMenu::aboutToHide, this, &TrayIcon::exportedMenuHidden);
        return;
    }
    // An embedding panel hands the icon the presses: a context menu would
    // open on the right button going down, and the menu belongs to its
    // release over the icon, which is watched for once the press is seen.
    m_rightRelease = new RightButtonRelease(
        [this](bool overIcon) {
            qCDebug(lcTray) << "right button released" << (overIcon ? "over the icon" : "elsewhere");
            // Queued: the release is still on its way to the icon's own
            // window, which restoring from the menu destroys.
            if (overIcon)
                reportLater(TrayCode::RightUp);
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

// What a removed icon still had on its way is dropped: it would act on a
// window that is already back.
void TrayIcon::reportLater(qint32 code)
{
    QMetaObject::invokeMethod(
        this,
        [this, code] {
            if (isShown())
                Q_EMIT iconEvent(code);
        },
        Qt::QueuedConnection);
}

void TrayIcon::reportActivation(QSystemTrayIcon::ActivationReason reason)
{
    const TrayKind kind = m_kind.value_or(TrayKind::XEmbed);
    const qint32 code = callbackCode(TrayActivation(reason), kind);
    qCDebug(lcTray) << "activated" << reason << "code" << code;
    // What a removed icon still had on its way is dropped: it would act on a
    // window that is already back.
    if (!isShown())
        return;
    // A host that never says its menu closed would leave the icon deaf; the
    // user's next click on it ends the wait and is acted on after it.
    if (m_menuWait && code == TrayCode::LeftDoubleClick) {
        m_activatedInMenu = true;
        m_menuWait->quit();
        return;
    }
    Q_EMIT iconEvent(code);
}

void TrayIcon::popupMenu()
{
    if (m_kind == TrayKind::StatusNotifier && m_exportedMenuOpen) {
        // The host shows the menu; wait as for a popup of our own, until the
        // host closes it, an item is chosen, the icon goes or is clicked.
        QEventLoop wait;
        m_menuWait = &wait;
        const auto done = qScopeGuard([this] {
            m_menuWait = nullptr;
            m_exportedMenuOpen = false;
        });
        wait.exec();
        if (std::exchange(m_activatedInMenu, false))
            reportLater(TrayCode::LeftDoubleClick);
        return;
    }
    m_popupOpen = true;
    const auto done = qScopeGuard([this] { m_popupOpen = false; });
    m_menu->exec(QCursor::pos());
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
    const xcb_window_t owner = trayManager(x11);
    if (owner != XCB_WINDOW_NONE)
        watchStructure(x11, owner);
    m_trayWindow = owner;
    if (!m_filtering) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filtering = true;
    }
    // Asked again after the request: a panel that ended before it took the
    // selection with it, and its end would never be told.
    if (owner == XCB_WINDOW_NONE || trayManager(x11) != owner)
        QMetaObject::invokeMethod(this, &TrayIcon::loseTray, Qt::QueuedConnection);
}

bool TrayIcon::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_trayWindow == 0 || eventType != "xcb_generic_event_t")
        return false;
    const uint8_t type = strelkavo::eventType(message);
    if (type == XCB_REPARENT_NOTIFY && m_state == State::Waiting) {
        const auto *reparent = static_cast<const xcb_reparent_notify_event_t *>(message);
        xcb_connection_t *x11 = x11Connection();
        if (reparent->window == m_iconWindow && x11 && reparented(x11, m_iconWindow))
            QMetaObject::invokeMethod(this, [this] {
                if (m_state == State::Waiting)
                    confirm();
            }, Qt::QueuedConnection);
        return false;
    }
    if (type != XCB_DESTROY_NOTIFY)
        return false;
    const auto *destroyed = static_cast<const xcb_destroy_notify_event_t *>(message);
    if (destroyed->window == m_trayWindow) {
        m_trayWindow = 0;
        QMetaObject::invokeMethod(this, &TrayIcon::loseTray, Qt::QueuedConnection);
    }
    return false;
}

void TrayIcon::busChanged()
{
    if (m_kind == TrayKind::StatusNotifier && m_state != State::Hidden && !m_watcher->watcherHere())
        loseTray();
}

// A host that is still there reads the item again when the item says its
// icon changed; the watcher's word is not taken for it.
void TrayIcon::askHosts()
{
    if (m_kind != TrayKind::StatusNotifier || !isShown() || m_probe.isActive())
        return;
    m_probe.start();
    // Every host fetches a new icon; not every host fetches a new tooltip.
    itemConnection().send(QDBusMessage::createSignal(QStringLiteral("/StatusNotifierItem"),
                                                     QStringLiteral("org.kde.StatusNotifierItem"),
                                                     QStringLiteral("NewIcon")));
}

void TrayIcon::watchReads(bool watch)
{
    if (watch == m_watchingReads || !QCoreApplication::instance())
        return;
    m_watchingReads = watch;
    if (watch)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (!isItemRead(watched, event))
        return false;
    if (m_state == State::Waiting) {
        qCDebug(lcTray) << "a host reads the item";
        confirm();
    } else if (m_probe.isActive()) {
        qCDebug(lcTray) << "a host still shows the item";
        m_probe.stop();
    }
    return false;
}

void TrayIcon::loseTray()
{
    if (m_state == State::Hidden)
        return;
    if (m_state == State::Waiting)
        return fail("the tray went before it took the icon in");
    qCDebug(lcTray) << "the tray went away";
    hide();
    Q_EMIT trayLost();
}

} // namespace strelkavo
