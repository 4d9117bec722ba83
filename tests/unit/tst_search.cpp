// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/storedtext.h"
#include "table/verbdata.h"

#include <QTemporaryDir>
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
const QStringList kWords{u"Zug"_s,     u"war"_s,     u"sein"_s,  u"rief"_s,     u"lesen"_s,
                         u"les"_s,     u"kaufen"_s,  u"kAnn"_s,  u"ging"_s,     u"gewesen"_s,
                         u"gehen"_s,   u"gegangen"_s, u"arbeiten"_s, u"ändern"_s};

bool writeStored(const QString &path, const QStringList &entries, bool words)
{
    QByteArray bytes;
    for (const QString &entry : entries)
        bytes += (words ? encodeWord(entry) : encodeLine(entry)).value() + "\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_data();
    void find();
};

// The text as the window passes it on, already lowered; the words sorted in
// the locale's order first, the index built ahead or by the search itself.
// row -1: the selection stays as it is.
void TestSearch::find_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("prepared");

    const auto sample = [](const char *name, const QString &text, int row) {
        QTest::newRow(name) << u"pl_PL"_s << kWords << kRows << text << row << false;
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
    QTest::newRow("index built ahead") << u"pl_PL"_s << kWords << kRows << u"rie"_s << 6 << true;

    const QStringList two{u"gehen#ging#gegangen"_s, u"x##y"_s};
    const QStringList gehen{u"gehen"_s};
    const QStringList emptyAndGehen{u""_s, u"gehen"_s};
    QTest::newRow("no words") << u"pl_PL"_s << QStringList() << two << u"ge"_s << -1 << false;
    QTest::newRow("no rows") << u"pl_PL"_s << gehen << QStringList() << u""_s << -1 << false;
    QTest::newRow("empty word, empty text") << u"pl_PL"_s << emptyAndGehen << two << u""_s << 1
                                            << false;
    // A shown comma is always followed by a blank.
    const QStringList seen{u"sehen#sah#gesehen, gesehn"_s};
    const QStringList seenWord{u"gesehen, gesehn"_s};
    QTest::newRow("comma typed last") << u"pl_PL"_s << seenWord << seen << u"gesehen,"_s << 0
                                      << false;
    QTest::newRow("comma without its blank") << u"pl_PL"_s << seenWord << seen << u"gesehen,g"_s
                                             << -1 << false;
    // Where the locale gives no collation, the words sort as the data tool sorts them.
    const QStringList fa{u"fällen#fällte#gefällt"_s, u"fangen#fing#gefangen"_s};
    const QStringList faWords{u"fangen"_s, u"fällen"_s};
    for (const char *locale : {"pl_PL.UTF-8", "de_DE.UTF-8", "C.UTF-8", "POSIX"})
        QTest::addRow("%s: f finds fällen before fangen", locale)
            << QString::fromLatin1(locale) << faWords << fa << u"f"_s << 0 << false;
}

void TestSearch::find()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, words);
    QFETCH(QStringList, rows);
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(bool, prepared);

    QTemporaryDir dir;
    QVERIFY(writeStored(dir.filePath(kVerbFileName), rows, false));
    QVERIFY(writeStored(dir.filePath(kWordFileName), words, true));
    VerbData data{QLocale(locale)};
    QVERIFY(!loadVerbData(dir.path(), data, [] {}));
    if (prepared)
        data.prepareSearch();
    QCOMPARE(data.find(text).value_or(-1), qsizetype(row));
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
