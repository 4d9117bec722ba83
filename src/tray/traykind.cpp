#include "traykind.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QVariant>

namespace strelkavo {

TrayKind detectTrayKind()
{
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()
        || !bus.interface()->isServiceRegistered(watcher).value())
        return TrayKind::XEmbed;
    QDBusInterface interface(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
    const QVariant hostRegistered = interface.property("IsStatusNotifierHostRegistered");
    return hostRegistered.toBool() ? TrayKind::StatusNotifier : TrayKind::XEmbed;
}

} // namespace strelkavo
