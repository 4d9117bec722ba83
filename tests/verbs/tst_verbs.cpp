// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/verbdata.h"

#include <QSet>
#include <QTest>

#include <algorithm>

using namespace strelkavo;

namespace {

// What is typed (whole, begun or in capitals) and the row it selects.
const char kWellKnown[] =
    "gegärt|gären#gärte#gegärt;LIEß|lassen#ließ#gelassen;verwandte|verwenden#verwandte#verwandt;"
    "gesiedet|sieden#siedete#gesiedet;gesandt|senden#sandte#gesandt;ward|werden#ward#geworden;"
    "buk|backen#buk#gebacken;sendete|senden#sendete#gesendet;gewoben|weben#wob#gewoben;"
    "geglimmt|glimmen#glimmte#geglimmt;worden|werden#wurde#worden;gesaugt|saugen#saugte#gesaugt;"
    "gegan|gehen#ging#gegangen;gor|gären#gor#gegoren;NAHM WAHR|wahrnehmen#nahm wahr#wahrgenommen";

QString joined(const VerbRow &row)
{
    return row[0] + u'#' + row[1] + u'#' + row[2];
}

// A weak preterite (field 1) or participle (2) ends in -te or -t on the unchanged stem:
// "sendete", "gesendet", not "sandte", "gesandt". "hängte ab": the particle comes off first.
bool isWeak(const VerbRow &row, int field)
{
    QString stem = row[0].mid(row[1].section(u' ', 1).size());
    stem.chop(stem.endsWith(QLatin1String("en")) ? 2 : 1);
    const QString form = row[field].section(u' ', 0, 0);
    return form.contains(stem) && form.endsWith(QLatin1String(field == 1 ? "te" : "t"));
}

} // namespace

class TestVerbs : public QObject
{
    Q_OBJECT
    QList<VerbRow> m_table;

private Q_SLOTS:
    void initTestCase()
    {
        VerbData data;
        QVERIFY(!loadVerbData(qEnvironmentVariable("STRELKAVO_BIN_DIR"), data, [] {}));
        for (qsizetype i = 0; i < data.table().size(); ++i)
            m_table.append(data.table().row(i));
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

    // A weak preterite goes with the weak participle where the verb has one ("gärte#gegärt").
    void weakPreteritesKeepTheirWeakParticiples()
    {
        QSet<QString> withWeakParticiple;
        for (const VerbRow &row : std::as_const(m_table))
            if (isWeak(row, 2))
                withWeakParticiple.insert(row[0]);
        for (const VerbRow &row : std::as_const(m_table))
            if (isWeak(row, 1) && withWeakParticiple.contains(row[0]))
                QVERIFY2(isWeak(row, 2), qPrintable(joined(row)));
    }

    // Every form, typed whole in lower case, selects a row that holds it, and
    // the well-known forms their rows, whatever the user's locale.
    void typedFormsSelectTheirRows()
    {
        for (const QLocale locale : {QLocale::Polish, QLocale::German, QLocale::English}) {
            VerbData index(locale);
            QVERIFY(!loadVerbData(qEnvironmentVariable("STRELKAVO_BIN_DIR"), index, [] {}));
            for (const VerbRow &row : std::as_const(m_table))
                for (const QString &form : row) {
                    const auto found = index.find(locale.toLower(form));
                    QVERIFY2(found && std::ranges::count(m_table[*found], form), qPrintable(form));
                }
            for (const QString &typedAndRow : QString::fromUtf8(kWellKnown).split(u';')) {
                const auto found = index.find(locale.toLower(typedAndRow.section(u'|', 0, 0)));
                QCOMPARE(found ? joined(m_table[*found]) : QString(), typedAndRow.section(u'|', 1));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestVerbs)
#include "tst_verbs.moc"
