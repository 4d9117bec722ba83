// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The bundled verb list is the product as much as the code: these tests read
// it as the program does, from the encoded files the build made, and search it
// with the program's own search.

#include "data/codec.h"
#include "data/datafiles.h"
#include "table/search.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

using namespace strelkavo;

namespace {

const auto noYield = [] {};

QString binDir()
{
    return QString::fromLocal8Bit(qgetenv("STRELKAVO_BIN_DIR"));
}

QString readableListPath()
{
    return QDir(QString::fromLocal8Bit(qgetenv("STRELKAVO_SOURCE_DIR")))
        .filePath(QStringLiteral("assets/verbs.txt"));
}

QStringList alternatives(const QString &field)
{
    return field.split(QStringLiteral(", "));
}

} // namespace

class TestVerbs : public QObject
{
    Q_OBJECT

private:
    VerbTable m_table;
    QStringList m_wordsInFileOrder;

private Q_SLOTS:
    void initTestCase()
    {
        const QDir dir(binDir());
        qint32 rows = 0;
        QVERIFY(!LiczLinie(dir.filePath(kVerbFileName), rows, noYield));
        QVERIFY2(rows > 250, "the bundled list is far too short");
        m_table = VerbTable(rows);
        const auto verbError = ReadData(rows, dir.filePath(kVerbFileName), m_table, noYield);
        QVERIFY2(!verbError, verbError ? qPrintable(verbError->message()) : "");
        const auto wordError = ReadData2(0, dir.filePath(kWordFileName), m_wordsInFileOrder, noYield);
        QVERIFY2(!wordError, wordError ? qPrintable(wordError->message()) : "");
    }

    void builtFilesDecodeToTheReadableList()
    {
        QFile list(readableListPath());
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(m_table.size(), lines.size());
        QStringList distinctFields;
        QSet<QString> seen;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const VerbRow &row = m_table[i];
            QCOMPARE(row[0] + u'#' + row[1] + u'#' + row[2], lines[i]);
            for (const QString &field : row)
                if (!seen.contains(field)) {
                    seen.insert(field);
                    distinctFields.append(field);
                }
        }
        // The tool writes them in the order the program keeps them.
        sortWordList(distinctFields, wordListCollator(QLocale(QLocale::German, QLocale::Germany)));
        QCOMPARE(m_wordsInFileOrder, distinctFields);
    }

    void everyRowIsWellFormedUniqueAndInOrder()
    {
        QCollator german(QLocale(QLocale::German, QLocale::Germany));
        QSet<QString> seen;
        for (qsizetype i = 0; i < m_table.size(); ++i) {
            const VerbRow &row = m_table[i];
            const QString line = row[0] + u'#' + row[1] + u'#' + row[2];
            for (const QString &field : row) {
                QVERIFY2(!field.isEmpty(), qPrintable(line));
                QVERIFY2(field.size() <= 15, qPrintable(line));
                QVERIFY2(field == field.trimmed(), qPrintable(line));
                for (const QString &form : alternatives(field))
                    QVERIFY2(!form.isEmpty() && form == form.trimmed(), qPrintable(line));
            }
            QVERIFY2(!seen.contains(line), qPrintable(QStringLiteral("duplicate: ") + line));
            seen.insert(line);
            if (i > 0)
                QVERIFY2(german.compare(m_table[i - 1][0], row[0]) <= 0,
                         qPrintable(QStringLiteral("out of order: ") + line));
        }
    }

    void everyFormFindsARowHoldingIt_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("Polish") << QLocale(QLocale::Polish, QLocale::Poland);
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    }

    // Typed whole and in lower case, every form and every alternative inside a
    // field must select a row that holds it, whatever the user's locale.
    void everyFormFindsARowHoldingIt()
    {
        QFETCH(QLocale, locale);
        QStringList words = m_wordsInFileOrder;
        sortWordList(words, wordListCollator(locale));
        const SearchIndex index(words, m_table);

        for (const VerbRow &row : std::as_const(m_table))
            for (const QString &field : row)
                for (const QString &form : alternatives(field)) {
                    const auto found = index.find(locale.toLower(form));
                    QVERIFY2(found, qPrintable(QStringLiteral("nothing found for ") + form));
                    const VerbRow &hit = m_table[*found];
                    const bool holds = std::any_of(hit.begin(), hit.end(), [&](const QString &f) {
                        return alternatives(f).contains(form);
                    });
                    QVERIFY2(holds, qPrintable(QStringLiteral("%1 selects %2#%3#%4")
                                                   .arg(form, hit[0], hit[1], hit[2])));
                }
    }

    void noSearchWordIsDead()
    {
        QStringList words = m_wordsInFileOrder;
        sortWordList(words, wordListCollator(QLocale(QLocale::Polish, QLocale::Poland)));
        const SearchIndex index(words, m_table);
        for (const QString &word : std::as_const(words))
            QVERIFY2(index.find(word), qPrintable(QStringLiteral("dead word: ") + word));
    }

    void wellKnownForms_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("infinitive");
        QTest::newRow("ging") << "ging" << "gehen";
        QTest::newRow("gegan") << "gegan" << "gehen";
        QTest::newRow("buk") << "buk" << "backen";
        QTest::newRow("backte") << "backte" << "backen";
        QTest::newRow("ward") << "ward" << "werden";
        QTest::newRow("gewusst") << "gewusst" << "wissen";
        QTest::newRow("schwoll") << "schwoll" << "schwellen";
        QTest::newRow("fing an") << "fing an" << "anfangen";
        QTest::newRow("angefangen") << "angefangen" << "anfangen";
        QTest::newRow("LIESS typed in capitals") << "LIEß" << "lassen";
    }

    void wellKnownForms()
    {
        QFETCH(QString, typed);
        QFETCH(QString, infinitive);
        const QLocale polish(QLocale::Polish, QLocale::Poland);
        QStringList words = m_wordsInFileOrder;
        sortWordList(words, wordListCollator(polish));
        const auto found = SearchIndex(words, m_table).find(polish.toLower(typed));
        QVERIFY(found);
        QCOMPARE(m_table[*found][0], infinitive);
    }
};

QTEST_GUILESS_MAIN(TestVerbs)
#include "tst_verbs.moc"
