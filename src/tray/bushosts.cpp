// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bushosts.h"

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
// The desktop daemons whose watcher module claims a host that may not exist.
const QStringList kDaemons = {QStringLiteral("org.kde.kded5"), QStringLiteral("org.kde.kded6")};

bool isHostName(const QString &name)
{
    return name.startsWith(QLatin1String("org.kde.StatusNotifierHost-"))
        || name.startsWith(QLatin1String("org.freedesktop.StatusNotifierHost-"));
}

// A hung peer must not hold its question open for the toolkit's 25 seconds.
constexpr int kAnswerWithin = 5000;

} // namespace

BusHosts::BusHosts(QObject *parent)
    : QObject(parent)
    , m_bus(QDBusConnection::sessionBus())
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kDaemon, kDaemonPath, kDaemon, QStringLiteral("NameOwnerChanged"), this,
                  SLOT(nameOwnerChanged(QString,QString,QString)));
    for (const char *signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        m_bus.connect(QString(), kWatcherPath, kWatcher, QLatin1String(signal), this,
                      SLOT(askWatcher()));

    const QDBusMessage list =
        QDBusMessage::createMethodCall(kDaemon, kDaemonPath, kDaemon, QStringLiteral("ListNames"));
    auto *names = new QDBusPendingCallWatcher(m_bus.asyncCall(list, kAnswerWithin), this);
    connect(names, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QStringList> reply = *call;
        for (const QString &name : reply.value())
            if (isHostName(name))
                m_hosts.insert(name);
        Q_EMIT changed();
    });
    askOwner(kWatcher);
    for (const QString &daemon : kDaemons)
        askOwner(daemon);
}

bool BusHosts::hostShown() const
{
    if (m_watcherOwner.isEmpty() || !m_watcherAnswered)
        return false;
    if (!m_hosts.isEmpty())
        return true;
    const auto daemons = m_daemonOwners.values();
    return m_watcherClaims && !daemons.contains(m_watcherOwner);
}

bool BusHosts::watcherSilent() const
{
    return !m_watcherOwner.isEmpty() && !m_watcherAnswered;
}

void BusHosts::askOwner(const QString &name)
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

void BusHosts::nameOwnerChanged(const QString &name, const QString &, const QString &newOwner)
{
    if (isHostName(name)) {
        if (newOwner.isEmpty())
            m_hosts.remove(name);
        else
            m_hosts.insert(name);
        qCDebug(lcTray) << "host" << name << (newOwner.isEmpty() ? "gone" : "came");
        Q_EMIT changed();
        return;
    }
    if (name == kWatcher || kDaemons.contains(name))
        learnOwner(name, newOwner);
}

void BusHosts::learnOwner(const QString &name, const QString &owner)
{
    if (name != kWatcher) {
        // Daemons are told apart by the unique name of their connection.
        m_daemonOwners.insert(name, owner);
        Q_EMIT changed();
        return;
    }
    if (owner == m_watcherOwner)
        return;
    qCDebug(lcTray) << "the watcher is now" << (owner.isEmpty() ? QStringLiteral("gone") : owner);
    m_watcherOwner = owner;
    m_watcherAnswered = false;
    m_watcherClaims = false;
    Q_EMIT watcherReplaced();
    Q_EMIT changed();
    askWatcher();
}

void BusHosts::askWatcher()
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
                m_watcherClaims = !reply.isError() && reply.value().variant().toBool();
                qCDebug(lcTray) << "the watcher says a host is registered:" << m_watcherClaims;
                Q_EMIT changed();
            });
}

} // namespace strelkavo
