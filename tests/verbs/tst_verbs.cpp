// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/verbdata.h"

#include <QSet>
#include <QTest>

#include <algorithm>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// The user's locale lowers the typed text and orders the search words.
const QLocale kLocales[] = {QLocale::Polish, QLocale::German, QLocale::English};

QString joined(const VerbRow &row)
{
    return row[0] + u'#' + row[1] + u'#' + row[2];
}

} // namespace

class TestVerbs : public QObject
{
    Q_OBJECT
    QList<VerbRow> m_table;
    std::vector<VerbData> m_data; // one for each of kLocales

private Q_SLOTS:
    void initTestCase()
    {
        for (const QLocale &locale : kLocales) {
            VerbData &data = m_data.emplace_back(locale);
            QVERIFY(!loadVerbData(qEnvironmentVariable("STRELKAVO_BIN_DIR"), data, [] {}));
        }
        for (qsizetype i = 0; i < m_data.front().table().size(); ++i)
            m_table.append(m_data.front().table().row(i));
    }

    // Single forms of at most 15 characters, no row twice. The infinitive rises
    // strictly in German order wherever it changes, so a verb's rows stand together.
    void rowsHoldSingleFormsInOrder()
    {
        const QCollator german{QLocale(QLocale::German)};
        QSet<QString> lines;
        for (qsizetype i = 0; i < m_table.size(); ++i) {
            const QString line = joined(m_table[i]), verb = m_table[i][0];
            for (const QString &field : m_table[i])
                QVERIFY2(field.size() <= 15 && field == field.trimmed()
                             && !field.contains(u','), qPrintable(line));
            lines.insert(line);
            if (i > 0 && m_table[i - 1][0] != verb)
                QVERIFY2(german.compare(m_table[i - 1][0], verb) < 0, qPrintable(line));
        }
        QCOMPARE(lines.size(), m_table.size());
    }

    // Every form, typed whole, selects a row that holds it.
    void everyFormSelectsARowHoldingIt()
    {
        for (const VerbData &data : m_data)
            for (const VerbRow &row : std::as_const(m_table))
                for (const QString &form : row) {
                    const auto found = data.find(form);
                    QVERIFY2(found && std::ranges::count(m_table[*found], form), qPrintable(form));
                }
    }

    // What is typed (whole, begun or in capitals) and the row it selects, in every locale.
    void typedTextSelectsItsRow_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("row");
        QTest::newRow("separable, in capitals") << u"NAHM WAHR"_s << u"wahrnehmen#nahm wahr#wahrgenommen"_s;
        QTest::newRow("fixed combination") << u"leidgetan"_s << u"leidtun#tat leid#leidgetan"_s;
        QTest::newRow("schrecken, weak first") << u"geschreckt"_s << u"schrecken#schreckte#geschreckt"_s;
        QTest::newRow("wog is wiegen's") << u"wog"_s << u"wiegen#wog#gewogen"_s;
        QTest::newRow("wachsen, to wax") << u"gewachst"_s << u"wachsen#wachste#gewachst"_s;
        QTest::newRow("wachsen, to grow") << u"gewachs"_s << u"wachsen#wuchs#gewachsen"_s;
        QTest::newRow("scheren, to care") << u"geschert"_s << u"scheren#scherte#geschert"_s;
        QTest::newRow("shared with buk") << u"gebacken"_s << u"backen#backte#gebacken"_s;
        QTest::newRow("archaic frug") << u"frug"_s << u"fragen#frug#gefragt"_s;
        QTest::newRow("shared by two verbs") << u"wog ab"_s << u"abwägen#wog ab#abgewogen"_s;
        QTest::newRow("inseparable reading") << u"umfuhr"_s << u"umfahren#umfuhr#umfahren"_s;
    }

    void typedTextSelectsItsRow()
    {
        QFETCH(QString, typed);
        QFETCH(QString, row);
        for (size_t i = 0; i < m_data.size(); ++i) {
            const auto found = m_data[i].find(kLocales[i].toLower(typed));
            QCOMPARE(found ? joined(m_table[*found]) : QString(), row);
        }
    }
};

QTEST_GUILESS_MAIN(TestVerbs)
#include "tst_verbs.moc"
