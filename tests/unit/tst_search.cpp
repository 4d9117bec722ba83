// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "literalwalk.h"
#include "table/search.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

const QLocale kPolish(QLocale::Polish, QLocale::Poland);

VerbTable toTable(const QStringList &lines)
{
    VerbTable table;
    for (const QString &line : lines)
        table.append(splitVerbLine(line));
    return table;
}

// Rows 0..9; "les" is a word that no row holds; the list is given out of order.
const QStringList kSampleRows{
    u"gehen#ging#gegangen"_s, u"sein#war#gewesen"_s,  u"ändern#änderte#geändert"_s,
    u"arbeiten#arbeitete#gearbeitet"_s, u"kAnn#konnte#gekonnt"_s, u"kaufen#kaufte#gekauft"_s,
    u"rufen#rief#gerufen"_s, u"lesen#las#gelesen"_s, u"rief#riefen#gerieft"_s,
    u"Zug#zog#gezogen"_s};
const QStringList kSampleWords{u"Zug"_s,   u"war"_s,      u"sein"_s,     u"rief"_s,
                               u"lesen"_s, u"les"_s,      u"kaufen"_s,   u"kAnn"_s,
                               u"ging"_s,  u"gewesen"_s,  u"gehen"_s,    u"gegangen"_s,
                               u"arbeiten"_s, u"ändern"_s};

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(kPolish); }
    void wordOrder_data();
    void wordOrder();
    void find_data();
    void find();
    void longTable_data();
    void longTable();
    void matchesLiteralWalk_data();
    void matchesLiteralWalk();
};

void TestSearch::wordOrder_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("sorted");

    QTest::newRow("umlaut among its base letter")
        << QStringList{u"zu"_s, u"arbeiten"_s, u"ändern"_s, u"ab"_s}
        << QStringList{u"ab"_s, u"ändern"_s, u"arbeiten"_s, u"zu"_s};
    QTest::newRow("case ignored")
        << QStringList{u"Zug"_s, u"bAd"_s, u"Abend"_s, u"backen"_s}
        << QStringList{u"Abend"_s, u"backen"_s, u"bAd"_s, u"Zug"_s};
    QTest::newRow("equal but for case keep their order")
        << QStringList{u"Essen"_s, u"essen"_s, u"ESSEN"_s, u"eben"_s}
        << QStringList{u"eben"_s, u"Essen"_s, u"essen"_s, u"ESSEN"_s};
}

void TestSearch::wordOrder()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, sorted);
    sortWordList(words, wordListCollator(kPolish));
    QCOMPARE(words, sorted);
}

// The text as the window passes it on: already lowered. An empty word is an
// empty word, however the string holding it was made.
void TestSearch::find_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row"); // -1: the selection stays

    const auto sample = [](const char *name, const QString &text, int row) {
        QTest::newRow(name) << kSampleWords << kSampleRows << text << row;
    };
    sample("empty text: first word in collation, not code-point, order", QString(), 2);
    sample("a is not ä", u"a"_s, 3);
    sample("word with a capital inside reachable before it", u"k"_s, 4);
    sample("capital inside a word does not match", u"ka"_s, 5);
    sample("capital first letter does not match", u"z"_s, -1);
    sample("whole word, field 3 of its row", u"gewesen"_s, 1);
    sample("longer than every word", u"gegangenxyz"_s, -1);
    sample("no word begins so", u"xyz"_s, -1);
    sample("field 2 of row 7 before field 1 of row 9", u"rie"_s, 6);
    sample("word without a row ends the search", u"le"_s, -1);
    sample("past the word without a row", u"lese"_s, 7);

    const QStringList rows{u"gehen#ging#gegangen"_s, u"x##y"_s};
    QTest::newRow("empty word list, empty text") << QStringList() << rows << QString() << -1;
    QTest::newRow("empty word list, a word of the table") << QStringList() << rows << u"ge"_s << -1;
    QTest::newRow("no rows") << QStringList{u"gehen"_s} << QStringList() << QString() << -1;
    QTest::newRow("null word, empty text")
        << QStringList{QString(), u"gehen"_s} << rows << u""_s << 1;
    QTest::newRow("empty word, null text")
        << QStringList{u""_s, u"gehen"_s} << rows << QString() << 1;
}

void TestSearch::find()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, rows);
    QFETCH(QString, text);
    QFETCH(int, row);
    sortWordList(words, wordListCollator(kPolish));
    const VerbTable table = toTable(rows);
    QCOMPARE(SearchIndex(words, table).find(text).value_or(-1), qsizetype(row));
    QCOMPARE(literalWalk(words, table, text).value_or(-1), qsizetype(row));
}

// Far beyond 16-bit indices, in the words and in the rows.
void TestSearch::longTable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");

    QTest::newRow("word 40999, field 2 of row 40999") << u"v40999"_s << 40999;
    QTest::newRow("first word of a prefix past 32767") << u"v4"_s << 40000;
    QTest::newRow("word 32768, field 3 of row 32768") << u"v32768"_s << 32768;
    QTest::newRow("held by a later row only") << u"w"_s << 40998;
}

void TestSearch::longTable()
{
    QFETCH(QString, text);
    QFETCH(int, row);

    constexpr int kRows = 41000;
    static VerbTable table;
    static QStringList words;
    if (table.isEmpty()) {
        // Row r holds word "v<r>" in field r % 3 + 1; the one "w" word sits in
        // the second-to-last row only.
        for (int r = 0; r < kRows; ++r) {
            const QString word = u"v%1"_s.arg(r, 5, 10, QLatin1Char('0'));
            VerbRow verb{u"x%1"_s.arg(r), u"y%1"_s.arg(r), u"z%1"_s.arg(r)};
            verb[r % 3] = word;
            table.append(verb);
            words.append(word);
        }
        table[kRows - 2][1] = u"w"_s;
        words.append(u"w"_s);
    }
    QCOMPARE(SearchIndex(words, table).find(text).value_or(-1), qsizetype(row));
    QCOMPARE(literalWalk(words, table, text).value_or(-1), qsizetype(row));
}

void TestSearch::matchesLiteralWalk_data()
{
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<quint32>("firstSeed");
    QTest::addColumn<bool>("sorted");

    QTest::newRow("two letters") << u"ab"_s << 1000u << true;
    QTest::newRow("umlauts and capitals") << u"aäAÄbß"_s << 2000u << true;
    QTest::newRow("list in any order") << u"aAbä"_s << 4000u << false;
}

// Many small tables over few letters, so that prefixes, duplicates and words
// equal but for case collide; every prefix of every word is tried, lowered and
// as is, with random texts besides.
void TestSearch::matchesLiteralWalk()
{
    QFETCH(QString, alphabet);
    QFETCH(quint32, firstSeed);
    QFETCH(bool, sorted);

    for (quint32 seed = firstSeed; seed < firstSeed + 100; ++seed) {
        QRandomGenerator random(seed);
        auto word = [&](int maxLength) {
            QString text;
            for (int i = random.bounded(maxLength + 1); i > 0; --i)
                text += alphabet.at(random.bounded(int(alphabet.size())));
            return text;
        };
        VerbTable table(random.bounded(12));
        for (VerbRow &row : table)
            for (QString &field : row)
                field = word(4);
        QStringList words;
        for (int i = random.bounded(16); i > 0; --i) {
            const int kind = random.bounded(4);
            if (kind == 0) // often held by no row
                words.append(word(4));
            else if (kind == 1) // a duplicate, or an empty word
                words.append(words.isEmpty() ? QString()
                                             : words.at(random.bounded(int(words.size()))));
            else if (!table.isEmpty()) {
                const QString field = table[random.bounded(int(table.size()))][random.bounded(3)];
                words.append(random.bounded(3) == 0 ? kPolish.toUpper(field) : field);
            }
        }
        if (sorted)
            sortWordList(words, wordListCollator(kPolish));
        else
            std::shuffle(words.begin(), words.end(), random);

        QStringList texts{QString()};
        for (const QString &w : words)
            for (qsizetype length = 1; length <= w.size() + 1; ++length)
                texts << w.left(length) + (length > w.size() ? alphabet.left(1) : QString())
                      << kPolish.toLower(w.left(length));
        for (int i = 0; i < 20; ++i)
            texts << word(5);

        const SearchIndex index(words, table);
        for (const QString &text : texts)
            QVERIFY2(index.find(text) == literalWalk(words, table, text),
                     qPrintable(u"seed %1, text \"%2\", words: %3"_s.arg(seed).arg(
                         text, words.join(u", "))));
    }
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
