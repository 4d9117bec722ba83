// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/search.h"

#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Rows 0..9. "les" is a word that no row holds; the words come out of order.
const QStringList kRows{
    u"gehen#ging#gegangen"_s, u"sein#war#gewesen"_s, u"ändern#änderte#geändert"_s,
    u"arbeiten#arbeitete#gearbeitet"_s, u"kAnn#konnte#gekonnt"_s, u"kaufen#kaufte#gekauft"_s,
    u"rufen#rief#gerufen"_s, u"lesen#las#gelesen"_s, u"rief#riefen#gerieft"_s,
    u"Zug#zog#gezogen"_s};
const QStringList kWords{u"Zug"_s,    u"war"_s,     u"sein"_s,    u"rief"_s,  u"lesen"_s,
                         u"les"_s,    u"kaufen"_s,  u"kAnn"_s,    u"ging"_s,  u"gewesen"_s,
                         u"gehen"_s,  u"gegangen"_s, u"arbeiten"_s, u"ändern"_s};

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_data();
    void find();
};

// The text as the window passes it on, already lowered; the words sorted in
// the locale's order first, the empty word among them (a file can hold it).
// row -1: the selection stays as it is.
void TestSearch::find_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");

    const auto sample = [](const char *name, const QString &text, int row) {
        QTest::newRow(name) << u"pl_PL"_s << kWords << kRows << text << row;
    };
    sample("empty text: first word in collation order, ä among the a", u""_s, 2);
    sample("a is not ä", u"a"_s, 3);
    sample("word with a capital inside reachable before it", u"k"_s, 4);
    sample("capital inside a word does not match", u"ka"_s, 5);
    sample("capital first letter does not match", u"z"_s, -1);
    sample("whole word, field 3 of its row", u"gewesen"_s, 1);
    sample("longer than every word", u"gegangenxyz"_s, -1);
    sample("no word begins so", u"xyz"_s, -1);
    sample("field 2 of row 6 before field 1 of row 8", u"rie"_s, 6);
    sample("word without a row ends the search", u"le"_s, -1);
    sample("past the word without a row", u"lese"_s, 7);

    const QStringList two{u"gehen#ging#gegangen"_s, u"x##y"_s};
    const QStringList gehen{u"gehen"_s};
    QTest::newRow("no words") << u"pl_PL"_s << QStringList() << two << u"ge"_s << -1;
    QTest::newRow("no rows") << u"pl_PL"_s << gehen << QStringList() << u""_s << -1;
    const QStringList withEmpty{u""_s, u"gehen"_s};
    QTest::newRow("empty word, empty text") << u"pl_PL"_s << withEmpty << two << u""_s << 1;
    // Where the locale gives no collation, the words sort as the data tool sorts them.
    const QStringList fa{u"fällen#fällte#gefällt"_s, u"fangen#fing#gefangen"_s};
    for (const char *locale : {"pl_PL.UTF-8", "de_DE.UTF-8", "C.UTF-8", "POSIX"})
        QTest::addRow("%s: f finds fällen before fangen", locale)
            << QString::fromLatin1(locale) << QStringList{u"fangen"_s, u"fällen"_s} << fa
            << u"f"_s << 0;
}

void TestSearch::find()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, words);
    QFETCH(QStringList, rows);
    QFETCH(QString, text);
    QFETCH(int, row);

    sortWordList(words, wordListCollator(QLocale(locale)));
    VerbTable table;
    for (const QString &line : rows)
        table.append(splitVerbLine(line));
    QCOMPARE(SearchIndex(words, table).find(text).value_or(-1), qsizetype(row));
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
