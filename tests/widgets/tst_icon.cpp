// The program's icon, pixel for pixel, and the window wearing it.

#include "windowfixture.h"

#include "app/icon.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace strelkavo;
using namespace strelkavo::testing;

namespace {

// '.' transparent, 'B' black, 'R' red, 'Y' yellow.
const char *const kIcon32[] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    "BRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRB",
    "BYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYB",
    "BYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYB",
    "BYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYB",
    "BYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYB",
    "BYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYB",
    "BYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYB",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
};

const char *const kIcon16[] = {
    "................",
    "................",
    "................",
    "BBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBBBBB",
    "BRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRB",
    "BRRRRRRRRRRRRRRB",
    "BYYYYYYYYYYYYYYB",
    "BYYYYYYYYYYYYYYB",
    "BYYYYYYYYYYYYYYB",
    "BBBBBBBBBBBBBBBB",
    "................",
    "................",
};

// The letter of a pixel, '?' for anything but the three opaque colours and
// full transparency (a smoothed edge, say).
char colourOf(QRgb pixel)
{
    if (qAlpha(pixel) == 0)
        return '.';
    if (qAlpha(pixel) != 255)
        return '?';
    switch (pixel & 0xFFFFFF) {
    case 0x000000:
        return 'B';
    case 0xFF0000:
        return 'R';
    case 0xFFFF00:
        return 'Y';
    default:
        return '?';
    }
}

QStringList picture(const QImage &image)
{
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x)
            row.append(QLatin1Char(colourOf(image.pixel(x, y))));
        rows.append(row);
    }
    return rows;
}

QStringList expectedPicture(const char *const *art, int size)
{
    QStringList rows;
    for (int y = 0; y < size; ++y)
        rows.append(QString::fromLatin1(art[y]));
    return rows;
}

// What one row of a scaled image is: '.' or 'B' when it is that colour across,
// 'R' or 'Y' when it is that colour between black edges as wide as one source
// pixel scaled (rounded either way), '?' otherwise.
char rowKind(const QString &row, int size)
{
    if (row.count(row.front()) == row.size() && (row.front() == u'.' || row.front() == u'B'))
        return char(row.front().unicode());
    const int minEdge = size / 32;
    const int maxEdge = (size + 31) / 32;
    qsizetype left = 0;
    while (left < row.size() && row[left] == u'B')
        ++left;
    qsizetype right = 0;
    while (right < row.size() && row[row.size() - 1 - right] == u'B')
        ++right;
    if (left < minEdge || left > maxEdge || right < minEdge || right > maxEdge)
        return '?';
    const QString inner = row.mid(left, row.size() - left - right);
    if (inner.isEmpty() || inner.count(inner.front()) != inner.size())
        return '?';
    return inner.front() == u'R' || inner.front() == u'Y' ? char(inner.front().unicode()) : '?';
}

} // namespace

class IconTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nativeSizes_data();
    void nativeSizes();
    void scaledSizes_data();
    void scaledSizes();
    void windowWearsTheIcon_data();
    void windowWearsTheIcon();
};

void IconTest::nativeSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("16x16") << 16 << expectedPicture(kIcon16, 16);
    QTest::newRow("32x32") << 32 << expectedPicture(kIcon32, 32);
}

void IconTest::nativeSizes()
{
    QFETCH(int, size);
    QFETCH(QStringList, expected);

    const QImage image = iconImage(size);
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    const QStringList actual = picture(image);
    for (int y = 0; y < size; ++y)
        QVERIFY2(actual[y] == expected[y], qPrintable(QStringLiteral("row %1: %2, expected %3")
                                                          .arg(y)
                                                          .arg(actual[y], expected[y])));
}

void IconTest::scaledSizes_data()
{
    QTest::addColumn<int>("size");

    for (int size : {48, 64, 128, 256})
        QTest::addRow("%dx%d", size, size) << size;
}

void IconTest::scaledSizes()
{
    QFETCH(int, size);

    const QImage image = iconImage(size);
    QCOMPARE(image.size(), QSize(size, size));
    const QStringList actual = picture(image);
    for (int y = 0; y < size; ++y)
        QVERIFY2(!actual[y].contains(u'?'),
                 qPrintable(QStringLiteral("row %1: %2").arg(y).arg(actual[y])));

    // Runs of rows of one kind, top to bottom: the large image's bands, each
    // as high as its scaled height give or take the one row that rounding moves.
    QString kinds;
    QList<int> heights;
    for (int y = 0; y < size; ++y) {
        const char kind = rowKind(actual[y], size);
        QVERIFY2(kind != '?', qPrintable(QStringLiteral("row %1: %2").arg(y).arg(actual[y])));
        if (kinds.isEmpty() || kinds.back() != QLatin1Char(kind)) {
            kinds.append(QLatin1Char(kind));
            heights.append(0);
        }
        ++heights.back();
    }
    QCOMPARE(kinds, QStringLiteral(".BRYB."));
    const int nominal[] = {6, 6, 7, 6, 1, 6};
    for (int band = 0; band < 6; ++band) {
        const double scaled = nominal[band] * size / 32.0;
        QVERIFY2(std::abs(heights[band] - scaled) <= 1.0,
                 qPrintable(QStringLiteral("band %1 is %2 rows high, expected about %3")
                                .arg(band)
                                .arg(heights[band])
                                .arg(scaled)));
    }

    // Whole multiples leave no room for rounding: every pixel is a block of the large image.
    if (size % 32 == 0) {
        const int factor = size / 32;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                QVERIFY2(actual[y][x] == QLatin1Char(kIcon32[y / factor][x / factor]),
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }
}

void IconTest::windowWearsTheIcon_data()
{
    QTest::addColumn<int>("size");

    for (int size : {16, 32, 48})
        QTest::addRow("%d", size) << size;
}

void IconTest::windowWearsTheIcon()
{
    QFETCH(int, size);

    QTemporaryDir dir;
    frmMain window(dir.path());
    const QIcon icon = window.windowIcon();
    QVERIFY(!icon.isNull());
    const QImage shown =
        icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(picture(shown), picture(iconImage(size)));
}

QTEST_MAIN(IconTest)
#include "tst_icon.moc"
