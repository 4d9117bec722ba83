// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A whole display row fits across the verb list in the font the list really
// uses. Built twice: once for the standard density and once for a run where the
// platform draws every logical pixel as two (STRELKAVO_EXPECTED_SCALE).

#include "windowfixture.h"

#include <QFontInfo>
#include <QScrollBar>
#include <QStyle>

#ifndef STRELKAVO_EXPECTED_SCALE
#error "STRELKAVO_EXPECTED_SCALE must name the device pixel ratio the test runs at"
#endif

using namespace strelkavo;
using namespace strelkavo::testing;

class FontFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowFitsAcrossList_data();
    void rowFitsAcrossList();
};

void FontFitTest::rowFitsAcrossList_data()
{
    QTest::addColumn<QString>("line");

    const QString w(15, QLatin1Char('W'));
    const QString sharpS(15, QChar(0x00DF));
    QTest::newRow("W, ß, W") << w + u'#' + sharpS + u'#' + w;
    QTest::newRow("capital umlauts and Polish letters")
        << QStringLiteral("ÄÖÜÄÖÜÄÖÜÄÖÜÄÖÜ#ŁŚŻŁŚŻŁŚŻŁŚŻŁŚŻ#MMMMMMMMMMMMMMM");
}

void FontFitTest::rowFitsAcrossList()
{
    QFETCH(QString, line);

    // Enough rows to need the vertical scroll bar, which then takes its share of the width.
    Session s;
    QVERIFY(s.write(kVerbFileName, QStringList(40, line)) && s.write(kWordFileName, {}));
    QVERIFY(s.open(false));
    QCOMPARE(s.window->devicePixelRatio(), qreal(STRELKAVO_EXPECTED_SCALE));
    QCOMPARE(s.window->size(), QSize(408, 301));
    QListView *list = s.c->List1;
    QCOMPARE(list->geometry(), QRect(8, 8, 393, 259));
    const QString row = list->model()->index(0, 0).data().toString();
    QCOMPARE(row.size(), 46);
    QVERIFY(QFontInfo(list->font()).fixedPitch());

    // The item delegate keeps a focus-frame margin plus one pixel on either side of the text.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int needed = list->fontMetrics().horizontalAdvance(row) + 2 * margin;
    const int viewport = list->viewport()->width();
    QVERIFY2(viewport >= needed,
             qPrintable(QStringLiteral("%1 px needed, %2 px shown").arg(needed).arg(viewport)));
    QVERIFY(list->sizeHintForColumn(0) <= viewport);
    QVERIFY(list->verticalScrollBar()->isVisible());
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    const int rowHeight = list->sizeHintForRow(0);
    QVERIFY2(rowHeight >= 14 && rowHeight <= 17, qPrintable(QString::number(rowHeight)));
}

QTEST_MAIN(FontFitTest)
#include "tst_fontfit.moc"
