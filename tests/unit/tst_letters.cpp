#include "table/letters.h"

#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

class TestLetters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void append_data();
    void append();
};

void TestLetters::append_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("result");

    QTest::newRow("empty box") << QString() << u"ä"_s << u"ä"_s;
    QTest::newRow("goes to the end") << u"gro"_s << u"ß"_s << u"groß"_s;
    QTest::newRow("nine plus one fills the box") << u"abcdefghi"_s << u"ü"_s << u"abcdefghiü"_s;
    QTest::newRow("full box unchanged") << u"abcdefghij"_s << u"ö"_s << u"abcdefghij"_s;
    QTest::newRow("over-full text cut to 10")
        << u"abcdefghijkl"_s << u"ä"_s << u"abcdefghij"_s;
}

void TestLetters::append()
{
    QFETCH(QString, text);
    QFETCH(QString, letter);
    QFETCH(QString, result);
    QCOMPARE(appendLetter(text, letter), result);
}

QTEST_GUILESS_MAIN(TestLetters)
#include "tst_letters.moc"
