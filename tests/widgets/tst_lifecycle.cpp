// Start-up and shutdown of the real window on data files in a temporary directory.

#include "windowfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QWindow>

using namespace strelkavo;
using namespace strelkavo::testing;

class LifecycleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void verbRowsInFileOrder();
    void displayRows_data();
    void displayRows();
    void wordsSortedAsTheLocaleReads();
    void nothingSelectedAfterLoad();
    void emptyFiles_data();
    void emptyFiles();
    void loadFailure_data();
    void loadFailure();
    void closeEmptiesLists_data();
    void closeEmptiesLists();
};

void LifecycleTest::verbRowsInFileOrder()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));
    const Controls &c = *s.c;

    const QStringList rows = rowTexts(c.List1);
    QCOMPARE(rows.size(), kSampleVerbRows);
    QCOMPARE(s.window->rowCount(), kSampleVerbRows);
    for (int i = 0; i < rows.size(); ++i)
        QVERIFY2(rows[i].size() == 46,
                 qPrintable(QStringLiteral("row %1: \"%2\"").arg(i).arg(rows[i])));
    // File order, not sorted: "sein" comes first although "anfangen" sorts earlier.
    QVERIFY(rows.first().startsWith(QStringLiteral(" sein ")));
    QVERIFY(rows.last().startsWith(QStringLiteral(" zeigen ")));
}

void LifecycleTest::displayRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first line")
        << 0 << QStringLiteral(" sein           war            gewesen        ");
    QTest::newRow("German letters count as one character each")
        << 2 << QStringLiteral(" ärgern         ärgerte        geärgert       ");
    QTest::newRow("a blank inside a field")
        << 4 << QStringLiteral(" anfangen       fing an        angefangen     ");
    QTest::newRow("sharp s")
        << 7 << QStringLiteral(" schließen      schloss        geschlossen    ");
    QTest::newRow("last line")
        << kLastSampleRow << QStringLiteral(" zeigen         zeigte         gezeigt        ");
}

void LifecycleTest::displayRows()
{
    QFETCH(int, row);
    QFETCH(QString, expected);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));
    const Controls &c = *s.c;

    QCOMPARE(rowTexts(c.List1).value(row), expected);
}

void LifecycleTest::wordsSortedAsTheLocaleReads()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));
    const Controls &c = *s.c;

    // "ä" files among the a words and "ö", "ü" beside o and u; the capital of
    // "Fahrt" does not send it ahead of the small letters.
    const QStringList expected = {
        QStringLiteral("anfangen"),  QStringLiteral("angefangen"), QStringLiteral("ärgern"),
        QStringLiteral("aß"),        QStringLiteral("essen"),      QStringLiteral("Fahrt"),
        QStringLiteral("gegangen"),  QStringLiteral("gehabt"),     QStringLiteral("gehen"),
        QStringLiteral("geöffnet"),  QStringLiteral("gewesen"),    QStringLiteral("ging"),
        QStringLiteral("haben"),     QStringLiteral("öffnen"),     QStringLiteral("schließen"),
        QStringLiteral("sein"),      QStringLiteral("üben"),       QStringLiteral("war"),
        QStringLiteral("zeigen"),
    };
    QCOMPARE(rowTexts(c.List2), expected);
}

void LifecycleTest::nothingSelectedAfterLoad()
{
    DataDirectory data;
    QVERIFY(data.writeSample());
    frmMain window(data.path());
    QString why;
    QVERIFY2(loadAndShow(window, &why, true), qPrintable(why));
    const Controls c(window);
    QVERIFY(c.complete());

    QCOMPARE(selectedRow(c.List1), -1);
    QVERIFY(c.Szukaj->text().isEmpty());
}

void LifecycleTest::emptyFiles_data()
{
    QTest::addColumn<bool>("emptyVerbs");
    QTest::addColumn<bool>("emptyWords");
    QTest::addColumn<int>("verbRows");
    QTest::addColumn<int>("words");

    QTest::newRow("empty word file") << false << true << kSampleVerbRows << 0;
    QTest::newRow("empty verb file") << true << false << 0 << int(sampleWords().size());
    QTest::newRow("both files empty") << true << true << 0 << 0;
}

void LifecycleTest::emptyFiles()
{
    QFETCH(bool, emptyVerbs);
    QFETCH(bool, emptyWords);
    QFETCH(int, verbRows);
    QFETCH(int, words);

    Session s;
    QVERIFY(s.data.writeVerbs(emptyVerbs ? QStringList() : sampleVerbs()));
    QVERIFY(s.data.writeWords(emptyWords ? QStringList() : sampleWords()));
    QCOMPARE(QFileInfo(s.data.filePath(kVerbFileName)).size() == 0, emptyVerbs);
    QString why;
    QVERIFY2(s.open(&why, false), qPrintable(why));
    const Controls &c = *s.c;

    QCOMPARE(c.List1->model()->rowCount(), verbRows);
    QCOMPARE(c.List2->model()->rowCount(), words);

    // Neither a text that words begin with nor the empty text finds a row.
    typeText(c.Szukaj, QStringLiteral("geh"));
    QCOMPARE(selectedRow(c.List1), -1);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(c.Szukaj, Qt::Key_Backspace);
    QVERIFY(c.Szukaj->text().isEmpty());
    QCOMPARE(selectedRow(c.List1), -1);
}

void LifecycleTest::loadFailure_data()
{
    QTest::addColumn<QString>("breakWhat");
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("line");

    QTest::newRow("verb file missing") << QStringLiteral("remove verbs") << kVerbFileName
                                       << qint64(0);
    QTest::newRow("word file missing") << QStringLiteral("remove words") << kWordFileName
                                       << qint64(0);
    QTest::newRow("a directory in place of the verb file")
        << QStringLiteral("directory verbs") << kVerbFileName << qint64(0);
    QTest::newRow("verb line 3 undecodable")
        << QStringLiteral("corrupt verbs") << kVerbFileName << qint64(3);
    QTest::newRow("word line 2 undecodable")
        << QStringLiteral("corrupt words") << kWordFileName << qint64(2);
}

void LifecycleTest::loadFailure()
{
    QFETCH(QString, breakWhat);
    QFETCH(QString, file);
    QFETCH(qint64, line);

    DataDirectory data;
    QVERIFY(data.writeSample());
    const QString target = breakWhat.endsWith(QStringLiteral("verbs")) ? kVerbFileName
                                                                        : kWordFileName;
    if (breakWhat.startsWith(QStringLiteral("remove"))) {
        QVERIFY(QFile::remove(data.filePath(target)));
    } else if (breakWhat.startsWith(QStringLiteral("directory"))) {
        QVERIFY(QFile::remove(data.filePath(target)));
        QVERIFY(QDir(data.path()).mkdir(target));
    } else {
        // A stored 0xFF would be raised past the code page: no character at all.
        QFile f(data.filePath(target));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        f.close();
        QVERIFY(lines.size() > line);
        lines[line - 1].insert(1, '\xFF');
        QVERIFY(data.writeRaw(target, lines.join('\n')));
    }

    frmMain window(data.path());
    const auto error = window.Form_Load();
    QVERIFY(error.has_value());
    QCOMPARE(QFileInfo(error->file).fileName(), file);
    QCOMPARE(error->line, line);
    QVERIFY(!error->what.isEmpty());
    QVERIFY(error->message().contains(file));

    const Controls c(window);
    QVERIFY(c.complete());
    QCOMPARE(c.List1->model()->rowCount(), 0);
    QCOMPARE(c.List2->model()->rowCount(), 0);
}

void LifecycleTest::closeEmptiesLists_data()
{
    QTest::addColumn<bool>("throughWindowSystem");

    QTest::newRow("close()") << false;
    QTest::newRow("title-bar close") << true;
}

void LifecycleTest::closeEmptiesLists()
{
    QFETCH(bool, throughWindowSystem);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));
    const Controls &c = *s.c;
    typeText(c.Szukaj, QStringLiteral("geh"));
    QCOMPARE(selectedRow(c.List1), 3);

    if (throughWindowSystem) {
        QVERIFY(s.window->windowHandle());
        QVERIFY(s.window->windowHandle()->close());
    } else {
        QVERIFY(s.window->close());
    }

    QVERIFY(!s.window->isVisible());
    QCOMPARE(c.List1->model()->rowCount(), 0);
    QCOMPARE(c.List2->model()->rowCount(), 0);
    QCOMPARE(selectedRow(c.List1), -1);
}

QTEST_MAIN(LifecycleTest)
#include "tst_lifecycle.moc"
