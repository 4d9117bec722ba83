// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's icon, pixel for pixel, and the window wearing it.

#include "windowfixture.h"

#include "app/icon.h"

using namespace strelkavo;

namespace {

// '.' transparent, 'B' black, 'R' red, 'Y' yellow, '?' anything else (a
// smoothed edge, say).
char colourOf(QRgb pixel)
{
    if (qAlpha(pixel) == 0)
        return '.';
    const QRgb rgb = pixel & 0xFFFFFF;
    return qAlpha(pixel) != 255 ? '?'
        : rgb == 0x000000       ? 'B'
        : rgb == 0xFF0000       ? 'R'
        : rgb == 0xFFFF00       ? 'Y'
                                : '?';
}

// The drawn icon, top to bottom: bands of rows, the red and yellow ones between
// a black pixel on either side.
QStringList art(int size, std::initializer_list<std::pair<int, char>> bands)
{
    QStringList rows;
    for (const auto &[height, colour] : bands) {
        const bool outlined = colour == 'R' || colour == 'Y';
        const QString row = outlined ? u'B' + QString(size - 2, QLatin1Char(colour)) + u'B'
                                     : QString(size, QLatin1Char(colour));
        for (int i = 0; i < height; ++i)
            rows << row;
    }
    return rows;
}

const QStringList kIcon16 = art(16, {{3, '.'}, {3, 'B'}, {4, 'R'}, {3, 'Y'}, {1, 'B'}, {2, '.'}});
const QStringList kIcon32 = art(32, {{6, '.'}, {6, 'B'}, {7, 'R'}, {6, 'Y'}, {1, 'B'}, {6, '.'}});

} // namespace

class IconTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizes_data();
    void sizes();
};

// 16 and 32 are drawn; every larger size is the 32 scaled without smoothing,
// so each pixel has the colour of a pixel of the 32 that it overlaps (exactly
// the one pixel at whole multiples).
void IconTest::sizes_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48, 64, 128, 256})
        QTest::addRow("%dx%d", size, size) << size;
}

void IconTest::sizes()
{
    QFETCH(int, size);

    const QImage image = iconImage(size);
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    const QStringList &source = size == 16 ? kIcon16 : kIcon32;
    const int n = int(source.size());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const char colour = colourOf(image.pixel(x, y));
            bool found = false;
            for (int sy = y * n / size; sy <= ((y + 1) * n - 1) / size; ++sy)
                for (int sx = x * n / size; sx <= ((x + 1) * n - 1) / size; ++sx)
                    found = found || source[sy][sx] == QLatin1Char(colour);
            QVERIFY2(found, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }

    // The window wears the sizes a title bar or a tray asks for, 64 on a doubled screen.
    if (size <= 64) {
        const QPixmap worn = frmMain(QString()).windowIcon().pixmap(QSize(size, size));
        QCOMPARE(worn.toImage().convertToFormat(QImage::Format_ARGB32), image);
    }
}

QTEST_MAIN(IconTest)
#include "tst_icon.moc"
