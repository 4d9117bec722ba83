// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "literalwalk.h"
#include "table/search.h"

#include <QRandomGenerator>
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
const QString kWords = u"Zug war sein rief lesen les kaufen kAnn ging gewesen gehen gegangen "
                       u"arbeiten ändern Essen essen ESSEN"_s;

VerbTable toTable(const QStringList &lines)
{
    VerbTable table;
    for (const QString &line : lines)
        table.append(splitVerbLine(line));
    return table;
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_data();
    void find();
    void matchesLiteralWalk();
};

// The text as the window passes it on, already lowered; the words sorted in
// the locale's order first. row -1: the selection stays as it is.
void TestSearch::find_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("words");
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
    sample("case ties keep file order: Essen has no row", u"e"_s, -1);

    const QStringList two{u"gehen#ging#gegangen"_s, u"x##y"_s};
    QTest::newRow("no words") << u"pl_PL"_s << u""_s << two << u"ge"_s << -1;
    QTest::newRow("no rows") << u"pl_PL"_s << u"gehen"_s << QStringList() << u""_s << -1;
    QTest::newRow("empty word, empty text") << u"pl_PL"_s << u"| gehen"_s << two << u""_s << 1;
    QTest::newRow("de_DE: ä among the a") << u"de_DE"_s << kWords << kRows << u""_s << 2;
}

void TestSearch::find()
{
    QFETCH(QString, locale);
    QFETCH(QString, words);
    QFETCH(QStringList, rows);
    QFETCH(QString, text);
    QFETCH(int, row);

    // "|" stands for the empty word, which a file can hold.
    QStringList list = words.split(u' ', Qt::SkipEmptyParts).replaceInStrings(u"|"_s, QString());
    sortWordList(list, wordListCollator(QLocale(locale)));
    QCOMPARE(SearchIndex(list, toTable(rows)).find(text).value_or(-1), qsizetype(row));
}

// Many small tables over few letters, so that prefixes, duplicates, words
// held by no row and words equal but for case collide; every prefix of every
// word is searched, and the index must answer as a plain walk does.
void TestSearch::matchesLiteralWalk()
{
    const QString alphabet = u"aAbä"_s;
    for (quint32 seed = 1; seed <= 300; ++seed) {
        QRandomGenerator random(seed);
        const auto word = [&] {
            QString text;
            for (int i = random.bounded(5); i > 0; --i)
                text += alphabet.at(random.bounded(int(alphabet.size())));
            return text;
        };
        VerbTable table(random.bounded(12));
        for (VerbRow &row : table)
            row = {word(), word(), word()};
        QStringList words;
        for (int i = random.bounded(16); i > 0; --i)
            words << (table.isEmpty() || i % 3 == 0 ? word()
                                                    : table[random.bounded(int(table.size()))][i % 3]);
        if (seed % 2)
            sortWordList(words, wordListCollator(QLocale(u"pl_PL"_s)));

        const SearchIndex index(words, table);
        for (const QString &w : words)
            for (qsizetype length = 0; length <= w.size(); ++length) {
                const QString text = w.left(length).toLower();
                QVERIFY2(index.find(text) == literalWalk(words, table, text),
                         qPrintable(u"seed %1, text \"%2\""_s.arg(seed).arg(text)));
            }
    }
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
