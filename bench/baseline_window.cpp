// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The least a Qt Widgets program does to put a window titled "Strelkavo" on
// the screen: the yardstick for the program's start-up time and memory. It
// has the program's client size, so that both draw into the same backing
// store; nothing else of the program is in it.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Strelkavo"));
    window.setFixedSize(408, 301);
    window.show();
    return app.exec();
}
