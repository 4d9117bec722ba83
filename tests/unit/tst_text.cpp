// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/letters.h"
#include "table/rows.h"

#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

} // namespace

class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void displayRow_data();
    void displayRow();
    void appendLetter_data();
    void appendLetter();
};

void TestText::displayRow_data()
{
    QTest::addColumn<VerbRow>("fields");
    QTest::addColumn<QString>("row");

    QTest::newRow("short fields; umlauts count once")
        << VerbRow{u"gehen"_s, u"äöüß"_s, u"gegangen"_s}
        << u" gehen"_s + blanks(10) + u"äöüß"_s + blanks(11) + u"gegangen"_s + blanks(7);
    QTest::newRow("null, blank-ended and empty fields")
        << VerbRow{QString(), u"ab  "_s, u""_s} << u" "_s + blanks(15) + u"ab"_s + blanks(28);
    QTest::newRow("14 and 15 characters")
        << VerbRow{u"abcdefghijklmn"_s, u"abcdefghijklmno"_s, u"x"_s}
        << u" abcdefghijklmn abcdefghijklmnox"_s + blanks(14);
    QTest::newRow("20 characters kept whole, pushing the rest right")
        << VerbRow{u"a"_s, u"bbbbbbbbbbbbbbbbbbbb"_s, u"c"_s}
        << u" a"_s + blanks(14) + u"bbbbbbbbbbbbbbbbbbbbc"_s + blanks(14);
}

void TestText::displayRow()
{
    QFETCH(VerbRow, fields);
    QFETCH(QString, row);
    QCOMPARE(strelkavo::displayRow(fields), row);
    QCOMPARE(u" "_s + f(fields[0]) + f(fields[1]) + f(fields[2]), row);
}

void TestText::appendLetter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("result");

    QTest::newRow("empty box") << QString() << u"ä"_s << u"ä"_s;
    QTest::newRow("goes to the end") << u"gro"_s << u"ß"_s << u"groß"_s;
    QTest::newRow("nine plus one fills the box") << u"abcdefghi"_s << u"ü"_s << u"abcdefghiü"_s;
    QTest::newRow("full box unchanged") << u"abcdefghij"_s << u"ö"_s << u"abcdefghij"_s;
    QTest::newRow("over-full text cut to 10") << u"abcdefghijkl"_s << u"ä"_s << u"abcdefghij"_s;
}

void TestText::appendLetter()
{
    QFETCH(QString, text);
    QFETCH(QString, letter);
    QFETCH(QString, result);
    QCOMPARE(strelkavo::appendLetter(text, letter), result);
}

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
