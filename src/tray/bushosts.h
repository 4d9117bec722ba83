// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

namespace strelkavo {

// What the session bus says about the hosts that show StatusNotifierItems,
// learnt without ever waiting for an answer.
//
// The watcher's own word is not enough: the watcher module that a desktop
// daemon loads for its panel says a host is registered from its start to its
// end, whether or not a panel lives. Hosts own a bus name of their own
// (org.kde.StatusNotifierHost-PID...) that goes when they end, so those
// names are counted; a watcher that is itself the host, as a shell extension
// is, has no such name and is believed.
class BusHosts : public QObject
{
    Q_OBJECT

public:
    explicit BusHosts(QObject *parent = nullptr);

    // A live host would show an item now.
    bool hostShown() const;
    // A watcher holds its name and has not answered yet: the toolkit's own
    // questions to it, which wait for an answer, would freeze the window.
    bool watcherSilent() const;

Q_SIGNALS:
    void changed();
    // Another process took the watcher's name, or it went.
    void watcherReplaced();

private Q_SLOTS:
    void nameOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);
    void askWatcher();

private:
    void askOwner(const QString &name);
    void learnOwner(const QString &name, const QString &owner);

    QDBusConnection m_bus;
    QSet<QString> m_hosts;
    QString m_watcherOwner;
    QHash<QString, QString> m_daemonOwners;
    bool m_watcherClaims = false;
    bool m_watcherAnswered = false;
};

} // namespace strelkavo
