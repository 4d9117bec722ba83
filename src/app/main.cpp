// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frmMain.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Without DBUS_SESSION_BUS_ADDRESS, libdbus (and GLib, in a platform theme)
// uses the per-user bus at $XDG_RUNTIME_DIR/bus and, where there is none,
// "autolaunches" one: dbus-launch starts a dbus-daemon that outlives the
// program and notes it under ~/.dbus/session-bus. A reference program starts
// nothing and writes nothing behind its user's back, so the address is
// settled before anything asks for the bus: the per-user bus when it is
// there (as libdbus finds it: a socket of ours), else an address of no known
// kind, which fails at once. Without a bus "zwiń" uses the X11 tray, or
// minimises; programs started from here (the browser) inherit the choice.
void settleSessionBus()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray socket = runtime + "/bus";
    struct stat info {};
    const bool userBus = !runtime.isEmpty() && ::stat(socket.constData(), &info) == 0
                         && S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid();
    // D-Bus addresses leave unescaped only [-0-9A-Za-z_/.*].
    const QByteArray address = userBus ? "unix:path=" + socket.toPercentEncoding("/*", "~")
                                       : QByteArrayLiteral("none:");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
}

} // namespace

int main(int argc, char *argv[])
{
    settleSessionBus();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Strelkavo"));
    QApplication::setDesktopFileName(QStringLiteral("pl.strelkavo.Strelkavo"));

    strelkavo::frmMain window(QCoreApplication::applicationDirPath());
    if (const auto error = window.Form_Load()) {
        // A half-filled window would mislead: say what is wrong and stop.
        const QString message = error->message();
        std::fprintf(stderr, "strelkavo: %s\n", qUtf8Printable(message));
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Strelkavo"), message,
                        QMessageBox::Ok);
        box.setWindowIcon(window.windowIcon());
        box.exec();
        return 1;
    }
    window.show();
    return app.exec();
}
