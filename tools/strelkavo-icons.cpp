// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// strelkavo-icons: writes the program's icon as PNG files for the desktop's
// icon theme, from the same drawing the window uses.
//
//   strelkavo-icons OUTDIR   OUTDIR/<size>x<size>/apps/pl.strelkavo.Strelkavo.png
//                            for every size in kIconSizes

#include "icon/icon.h"

#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <QString>

#include <cstdio>

namespace {

// The file name is the application id: the desktop entry names its icon by it.
constexpr char kIconName[] = "pl.strelkavo.Strelkavo.png";

int fail(const QString &message)
{
    std::fprintf(stderr, "strelkavo-icons: %s\n", qUtf8Printable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: strelkavo-icons OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const int size : strelkavo::kIconSizes) {
        const QString dir = out.filePath(QStringLiteral("%1x%1/apps").arg(size));
        if (!QDir().mkpath(dir))
            return fail(QStringLiteral("%1: cannot create the directory").arg(dir));

        const QImage image = strelkavo::iconImage(size);
        if (image.width() != size || image.height() != size)
            return fail(QStringLiteral("the icon drawn for %1 pixels is %2 x %3")
                            .arg(size)
                            .arg(image.width())
                            .arg(image.height()));

        // A fixed pixel format keeps the files the same from build to build,
        // whatever format the drawing happens to hand back.
        const QString path = QDir(dir).filePath(QString::fromLatin1(kIconName));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
        if (!image.convertToFormat(QImage::Format_ARGB32).save(&file, "PNG"))
            return fail(QStringLiteral("%1: cannot encode the image as PNG").arg(path));
        if (!file.commit())
            return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    return 0;
}
