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
    // Desktop portals live on the bus. Qt 6.8 asks one at start-up and keeps
    // the question's watcher until an answer that never comes without a bus.
    if (!userBus)
        qputenv("QT_NO_XDG_DESKTOP_PORTAL", "1");
}

// The window relies on the X11 window manager's conventions: a title bar
// without minimise and maximise buttons (_MOTIF_WM_HINTS), centring by its
// frame, the X11 tray, an icon of its own (_NET_WM_ICON). A Wayland client
// can ask for none of these: the toolkit's own Wayland title bar draws
// minimise and maximise for every window, and the compositor shows an icon
// only from an installed desktop entry, never from the build tree. So in a
// Wayland session that offers an X display too, the window opens there,
// unless the user named a platform (QT_QPA_PLATFORM or -platform). Returns
// whether it chose.
bool preferX11()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
        || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    settleSessionBus();
    const bool choseX11 = preferX11();
    QApplication app(argc, argv);
    if (choseX11) // the choice is this program's, not the browser's it starts
        qunsetenv("QT_QPA_PLATFORM");
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
