#include "table/search.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

const QLocale kPolish(QLocale::Polish, QLocale::Poland);

// The search as the user sees it, walked literally: the first word in list
// order whose first L characters equal the text, then the first row, and in
// it the first field, equal to that word; a word held by no row ends it.
std::optional<qsizetype> walk(const QStringList &words, const VerbTable &table, QStringView text)
{
    for (const QString &word : words) {
        if (QStringView(word).left(text.size()) != text)
            continue;
        for (qsizetype row = 0; row < table.size(); ++row)
            for (int field = 0; field < 3; ++field)
                if (table[row][field] == word)
                    return row;
        return std::nullopt;
    }
    return std::nullopt;
}

QString describe(const std::optional<qsizetype> &row)
{
    return row ? QString::number(*row) : u"nothing"_s;
}

// Display index:
//   0 gehen ging gegangen      5 kaufen kaufte gekauft
//   1 sein war gewesen         6 rufen rief gerufen
//   2 ändern änderte geändert  7 lesen las gelesen
//   3 arbeiten ... gearbeitet  8 rief riefen gerieft
//   4 kAnn konnte gekonnt      9 Zug zog gezogen
VerbTable sampleTable()
{
    const char *rows[][3] = {
        {"gehen", "ging", "gegangen"},   {"sein", "war", "gewesen"},
        {"ändern", "änderte", "geändert"}, {"arbeiten", "arbeitete", "gearbeitet"},
        {"kAnn", "konnte", "gekonnt"},   {"kaufen", "kaufte", "gekauft"},
        {"rufen", "rief", "gerufen"},    {"lesen", "las", "gelesen"},
        {"rief", "riefen", "gerieft"},   {"Zug", "zog", "gezogen"},
    };
    VerbTable table;
    for (const auto &row : rows)
        table.append({QString::fromUtf8(row[0]), QString::fromUtf8(row[1]),
                      QString::fromUtf8(row[2])});
    return table;
}

// Given out of order; "les" is a word that no row holds.
QStringList sampleWords()
{
    QStringList words{u"Zug"_s,  u"war"_s,    u"sein"_s,  u"rief"_s,   u"lesen"_s,
                      u"les"_s,  u"kaufen"_s, u"kAnn"_s,  u"ging"_s,   u"gewesen"_s,
                      u"gehen"_s, u"gegangen"_s, u"arbeiten"_s, u"ändern"_s};
    sortWordList(words, wordListCollator(kPolish));
    return words;
}

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
    void emptyListOrTable_data();
    void emptyListOrTable();
    void emptyWord_data();
    void emptyWord();
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

void TestSearch::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row"); // -1: the selection stays

    QTest::newRow("empty text: first word in collation order") << QString() << 2;
    QTest::newRow("a is not ä") << u"a"_s << 3;
    QTest::newRow("typed GEH") << kPolish.toLower(u"GEH"_s) << 0;
    QTest::newRow("typed Ä") << kPolish.toLower(u"Ä"_s) << 2;
    QTest::newRow("field 3 of a row") << u"gega"_s << 0;
    QTest::newRow("whole word") << u"gewesen"_s << 1;
    QTest::newRow("capital reachable before it") << u"k"_s << 4;
    QTest::newRow("lowered text covers the capital") << u"ka"_s << 5;
    QTest::newRow("no other word continues") << u"kan"_s << -1;
    QTest::newRow("capital first letter") << u"z"_s << -1;
    QTest::newRow("longer than every word") << u"gegangenxyz"_s << -1;
    QTest::newRow("no word begins so") << u"xyz"_s << -1;
    QTest::newRow("field 2 of row 7 before field 1 of row 9") << u"rie"_s << 6;
    QTest::newRow("word without a row ends the search") << u"le"_s << -1;
    QTest::newRow("the word without a row itself") << u"les"_s << -1;
    QTest::newRow("past the word without a row") << u"lese"_s << 7;
}

void TestSearch::find()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    const QStringList words = sampleWords();
    const VerbTable table = sampleTable();
    const auto found = SearchIndex(words, table).find(text);
    QCOMPARE(describe(found), row < 0 ? u"nothing"_s : QString::number(row));
    QCOMPARE(describe(walk(words, table, text)), describe(found));
}

void TestSearch::emptyListOrTable_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty text") << QString();
    QTest::newRow("a word of the table") << u"gehen"_s;
}

void TestSearch::emptyListOrTable()
{
    QFETCH(QString, text);
    const SearchIndex index(QStringList(), sampleTable());
    QVERIFY(index.isEmpty());
    QVERIFY(!index.find(text).has_value());
    QVERIFY(!SearchIndex().find(text).has_value());
    QVERIFY(!SearchIndex(sampleWords(), VerbTable()).find(text).has_value());
}

// An empty word is an empty word, however the string holding it was made.
void TestSearch::emptyWord_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("text");

    QTest::newRow("null word, null text") << QString() << QString();
    QTest::newRow("null word, empty text") << QString() << u""_s;
    QTest::newRow("empty word, null text") << u""_s << QString();
    QTest::newRow("empty word, empty text") << u""_s << u""_s;
}

void TestSearch::emptyWord()
{
    QFETCH(QString, word);
    QFETCH(QString, text);
    const VerbTable table{{u"gehen"_s, u"ging"_s, u"gegangen"_s}, {u"x"_s, u""_s, u"y"_s}};
    const QStringList words{word, u"gehen"_s};
    QCOMPARE(describe(SearchIndex(words, table).find(text)), u"1"_s);
    QCOMPARE(describe(walk(words, table, text)), u"1"_s);
}

// Far beyond 16-bit indices, in the words and in the rows.
void TestSearch::longTable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");

    QTest::newRow("word 40999 in row 40999") << u"v40999"_s << 40999;
    QTest::newRow("first word of a prefix past 32767") << u"v4"_s << 40000;
    QTest::newRow("word 32768 in row 32768") << u"v32768"_s << 32768;
    QTest::newRow("field 3 of row 35000") << u"v35000"_s << 35000;
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
        // Row r holds word "v<r>" in field r % 3 + 1; the one "w" word sits in the
        // second-to-last row only.
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
    const auto found = SearchIndex(words, table).find(text);
    QCOMPARE(describe(found), QString::number(row));
    QCOMPARE(describe(walk(words, table, text)), describe(found));
}

void TestSearch::matchesLiteralWalk_data()
{
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<quint32>("firstSeed");
    QTest::addColumn<bool>("sorted");

    QTest::newRow("two letters") << u"ab"_s << 1000u << true;
    QTest::newRow("umlauts and capitals") << u"aäAÄbß"_s << 2000u << true;
    QTest::newRow("german and polish letters") << u"eEéęöÖsśß"_s << 3000u << true;
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

    const QCollator collator = wordListCollator(kPolish);
    for (quint32 seed = firstSeed; seed < firstSeed + 150; ++seed) {
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
            switch (random.bounded(4)) {
            case 0: words.append(word(4)); break; // often held by no row
            case 1: // a duplicate, or an empty word
                words.append(words.isEmpty() ? QString()
                                             : words.at(random.bounded(int(words.size()))));
                break;
            default:
                if (!table.isEmpty()) {
                    QString field =
                        table.at(random.bounded(int(table.size())))[random.bounded(3)];
                    if (random.bounded(3) == 0)
                        field = kPolish.toUpper(field);
                    words.append(field);
                }
            }
        }
        if (sorted)
            sortWordList(words, collator);
        else
            std::shuffle(words.begin(), words.end(), random);

        QStringList texts{QString()};
        for (const QString &w : words)
            for (qsizetype length = 1; length <= w.size() + 1; ++length) {
                texts << w.left(length) + (length > w.size() ? alphabet.left(1) : QString());
                texts << kPolish.toLower(w.left(length));
            }
        for (int i = 0; i < 20; ++i)
            texts << word(5);

        const SearchIndex index(words, table);
        for (const QString &text : texts) {
            const auto expected = walk(words, table, text);
            const auto found = index.find(text);
            if (found != expected) {
                QStringList rows;
                for (const VerbRow &row : table)
                    rows << row[0] + u'#' + row[1] + u'#' + row[2];
                QFAIL(qPrintable(u"seed %1, text \"%2\": index %3, walk %4\nwords: %5\nrows: %6"_s
                                     .arg(seed)
                                     .arg(text, describe(found), describe(expected),
                                          words.join(u", "), rows.join(u", "))));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
