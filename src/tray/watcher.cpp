// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "watcher.h"

#include "traykind.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace strelkavo {
namespace {

const QString kDaemon = QStringLiteral("org.freedesktop.DBus");
const QString kDaemonPath = QStringLiteral("/org/freedesktop/DBus");
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

// A hung peer must not hold its question open for the toolkit's 25 seconds.
constexpr int kAnswerWithin = 5000;

} // namespace

WatcherOnBus::WatcherOnBus(QObject *parent)
    : QObject(parent)
    , m_bus(QDBusConnection::sessionBus())
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kDaemon, kDaemonPath, kDaemon, QStringLiteral("NameOwnerChanged"), this,
                  SLOT(nameOwnerChanged(QString,QString,QString)));
    askOwner(kWatcher);
}

bool WatcherOnBus::watcherHere() const
{
    return !m_watcherOwner.isEmpty() && m_watcherAnswered;
}

bool WatcherOnBus::watcherSilent() const
{
    return !m_watcherOwner.isEmpty() && !m_watcherAnswered;
}

void WatcherOnBus::askOwner(const QString &name)
{
    const QDBusMessage ask = QDBusMessage::createMethodCall(kDaemon, kDaemonPath, kDaemon,
                                                            QStringLiteral("GetNameOwner"))
                             << name;
    auto *owner = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, kAnswerWithin), this);
    connect(owner, &QDBusPendingCallWatcher::finished, this,
            [this, name](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<QString> reply = *call;
                // A name that changed owner meanwhile was told by the signal.
                if (!reply.isError())
                    learnOwner(name, reply.value());
            });
}

void WatcherOnBus::nameOwnerChanged(const QString &name, const QString &, const QString &newOwner)
{
    if (name == kWatcher)
        learnOwner(name, newOwner);
    else if (name.startsWith(u':') && newOwner.isEmpty())
        Q_EMIT peerLeft();
}

void WatcherOnBus::learnOwner(const QString &, const QString &owner)
{
    if (owner == m_watcherOwner)
        return;
    qCDebug(lcTray) << "the watcher is now" << (owner.isEmpty() ? QStringLiteral("gone") : owner);
    m_watcherOwner = owner;
    m_watcherAnswered = false;
    Q_EMIT watcherReplaced();
    Q_EMIT changed();
    askWatcher();
}

void WatcherOnBus::askWatcher()
{
    if (m_watcherOwner.isEmpty())
        return;
    QDBusMessage ask = QDBusMessage::createMethodCall(
        m_watcherOwner, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    ask << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    auto *answer = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, kAnswerWithin), this);
    const QString asked = m_watcherOwner;
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this, asked](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *call;
                // Only silence freezes a caller; an error is an answer too.
                if (asked != m_watcherOwner || reply.error().type() == QDBusError::NoReply)
                    return;
                m_watcherAnswered = true;
                qCDebug(lcTray) << "the watcher answers";
                Q_EMIT changed();
            });
}

} // namespace strelkavo
