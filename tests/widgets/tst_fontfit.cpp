// A whole display row fits across the verb list in the font the list really
// uses. Built twice: once for the standard density and once for a run where the
// platform draws every logical pixel as two (STRELKAVO_EXPECTED_SCALE).

#include "windowfixture.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#ifndef STRELKAVO_EXPECTED_SCALE
#error "STRELKAVO_EXPECTED_SCALE must name the device pixel ratio the test runs at"
#endif

using namespace strelkavo;
using namespace strelkavo::testing;

class FontFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void logicalLayoutAtThisDensity();
    void rowFitsAcrossList_data();
    void rowFitsAcrossList();
};

void FontFitTest::logicalLayoutAtThisDensity()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));

    QCOMPARE(s.window->devicePixelRatio(), qreal(STRELKAVO_EXPECTED_SCALE));
    QCOMPARE(s.window->size(), QSize(408, 301));
    QCOMPARE(s.c->List1->geometry(), QRect(8, 8, 393, 259));
    QCOMPARE(s.c->Szukaj->geometry(), QRect(64, 275, 97, 19));
}

void FontFitTest::rowFitsAcrossList_data()
{
    QTest::addColumn<QString>("line");

    const QString w(15, QLatin1Char('W'));
    const QString sharpS(15, QChar(0x00DF));
    const QString m(15, QLatin1Char('M'));
    QTest::newRow("W, ß, W") << w + u'#' + sharpS + u'#' + w;
    QTest::newRow("ß, W, ß") << sharpS + u'#' + w + u'#' + sharpS;
    QTest::newRow("M across") << m + u'#' + m + u'#' + m;
    QTest::newRow("capital umlauts")
        << QStringLiteral("ÄÖÜÄÖÜÄÖÜÄÖÜÄÖÜ#ŁŚŻŁŚŻŁŚŻŁŚŻŁŚŻ#") + w;
    QTest::newRow("a real verb") << QStringLiteral("schließen#schloss#geschlossen");
}

void FontFitTest::rowFitsAcrossList()
{
    QFETCH(QString, line);

    // Enough rows to need the vertical scroll bar, which then takes its share of the width.
    Session s;
    QVERIFY(s.data.writeVerbs(QStringList(40, line)));
    QVERIFY(s.data.writeWords({}));
    QString why;
    QVERIFY2(s.open(&why, false), qPrintable(why));
    QListView *list = s.c->List1;
    QCOMPARE(list->model()->rowCount(), 40);

    const QString row = list->model()->index(0, 0).data().toString();
    QCOMPARE(row.size(), 46);
    QVERIFY(QFontInfo(list->font()).fixedPitch());

    const int advance = list->fontMetrics().horizontalAdvance(row);
    // The item delegate keeps a focus-frame margin plus one pixel on either side of the text.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int needed = advance + 2 * margin;
    const int viewport = list->viewport()->width();
    const int rowHeight = list->sizeHintForRow(0);
    const QFontInfo used(list->font());
    qInfo("scale %g, font \"%s\" %d px: 46-character row %d px + 2 x %d px margin = %d px, "
          "viewport %d px (spare %d px), item width hint %d px, row height %d px",
          s.window->devicePixelRatio(), qUtf8Printable(used.family()), used.pixelSize(), advance,
          margin, needed, viewport, viewport - needed, list->sizeHintForColumn(0), rowHeight);

    QVERIFY2(viewport >= needed, qPrintable(QStringLiteral("%1 px needed, %2 px shown")
                                                .arg(needed)
                                                .arg(viewport)));
    QVERIFY(list->sizeHintForColumn(0) <= viewport);
    QVERIFY(list->verticalScrollBar()->isVisible());
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    QVERIFY2(rowHeight >= 14 && rowHeight <= 17, qPrintable(QString::number(rowHeight)));
}

QTEST_MAIN(FontFitTest)
#include "tst_fontfit.moc"
