// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace strelkavo {

// What the session bus says about the StatusNotifierWatcher, learnt without
// ever waiting for an answer.
//
// The watcher's word on hosts is not taken: the watcher module that a desktop
// daemon loads for its panel says a host is registered from its start to its
// end, whether or not a panel lives, and some panels host items without
// registering at all. Whether a host shows the item is learnt from the item
// being read (TrayIcon).
class WatcherOnBus : public QObject
{
    Q_OBJECT

public:
    explicit WatcherOnBus(QObject *parent = nullptr);

    // A watcher that answers is on the bus: a host may show an item.
    bool watcherHere() const;
    // A watcher holds its name and has not answered yet: the toolkit's own
    // questions to it, which wait for an answer, would freeze the window.
    bool watcherSilent() const;

Q_SIGNALS:
    void changed();
    // Another process took the watcher's name, or it went.
    void watcherReplaced();
    // A process left the bus; it may have been the host.
    void peerLeft();

private Q_SLOTS:
    void nameOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);
    void askWatcher();

private:
    void askOwner(const QString &name);
    void learnOwner(const QString &name, const QString &owner);

    QDBusConnection m_bus;
    QString m_watcherOwner;
    bool m_watcherAnswered = false;
};

} // namespace strelkavo
