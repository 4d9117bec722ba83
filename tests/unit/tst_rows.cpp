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

class TestRows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pad_data();
    void pad();
    void displayRow_data();
    void displayRow();
};

void TestRows::pad_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("padded");

    QTest::newRow("empty") << QString() << blanks(15);
    QTest::newRow("one letter") << u"a"_s << u"a"_s + blanks(14);
    QTest::newRow("umlauts count once") << u"äöüß"_s << u"äöüß"_s + blanks(11);
    QTest::newRow("trailing blanks count") << u"ab  "_s << u"ab"_s + blanks(13);
    QTest::newRow("14 characters") << u"abcdefghijklmn"_s << u"abcdefghijklmn "_s;
    QTest::newRow("exactly 15") << u"abcdefghijklmno"_s << u"abcdefghijklmno"_s;
    QTest::newRow("20 characters kept whole") << u"abcdefghijklmnopqrst"_s
                                              << u"abcdefghijklmnopqrst"_s;
}

void TestRows::pad()
{
    QFETCH(QString, field);
    QFETCH(QString, padded);
    QCOMPARE(f(field), padded);
}

void TestRows::displayRow_data()
{
    QTest::addColumn<QString>("f1");
    QTest::addColumn<QString>("f2");
    QTest::addColumn<QString>("f3");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("length");

    QTest::newRow("5, 4 and 8 characters")
        << u"gehen"_s << u"ging"_s << u"gegangen"_s
        << u" gehen          ging           gegangen       "_s << 46;
    QTest::newRow("empty middle field")
        << u"sein"_s << QString() << u"gewesen"_s
        << u" sein"_s + blanks(11) + blanks(15) + u"gewesen"_s + blanks(8) << 46;
    QTest::newRow("all empty") << QString() << QString() << QString() << blanks(46) << 46;
    QTest::newRow("exactly 15 touches the next field")
        << u"abcdefghijklmno"_s << u"x"_s << u"y"_s
        << u" abcdefghijklmnox"_s + blanks(14) + u"y"_s + blanks(14) << 46;
    QTest::newRow("20 characters push the rest right")
        << u"a"_s << u"bbbbbbbbbbbbbbbbbbbb"_s << u"c"_s
        << u" a"_s + blanks(14) + u"bbbbbbbbbbbbbbbbbbbbc"_s + blanks(14) << 51;
}

void TestRows::displayRow()
{
    QFETCH(QString, f1);
    QFETCH(QString, f2);
    QFETCH(QString, f3);
    QFETCH(QString, row);
    QFETCH(int, length);
    const QString shown = strelkavo::displayRow(VerbRow{f1, f2, f3});
    QCOMPARE(shown, row);
    QCOMPARE(shown.size(), qsizetype(length));
}

QTEST_GUILESS_MAIN(TestRows)
#include "tst_rows.moc"
