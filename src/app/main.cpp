// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frmMain.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char *argv[])
{
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
