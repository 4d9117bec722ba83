// The search box, the letter buttons and fast typing, driven through the widgets.

#include "windowfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace strelkavo;
using namespace strelkavo::testing;

namespace {

// A row that no search in these tests lands on, selected beforehand so that
// "the selection stays" can be told apart from "nothing was selected".
constexpr int kPreselected = 7;

enum class Entry { Typed, Pasted };

// Queued rather than sent, as keys typed faster than the program reacts: none
// of them reaches the box before the first one's search yields. '\b' is Backspace.
void postKeys(QWidget *target, const QString &keys)
{
    for (const QChar ch : keys) {
        const bool backspace = ch == QLatin1Char('\b');
        const int key = backspace ? int(Qt::Key_Backspace)
            : ch.isLetter() && ch.unicode() < 0x80 ? ch.toUpper().unicode()
                                                   : int(Qt::Key_unknown);
        const QString text = backspace ? QString() : QString(ch);
        QCoreApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
        QCoreApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
    }
}

// What a run of posted keys leaves in the box, backspace as '\b'.
QString typedResult(const QString &keys)
{
    QString text;
    for (const QChar ch : keys) {
        if (ch == QLatin1Char('\b'))
            text.chop(1);
        else
            text.append(ch);
    }
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class SearchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void search_data();
    void search();
    void deletingBackToEmpty();
    void selectedRowScrolledIntoView();
    void letterButtons_data();
    void letterButtons();
    void letterButtonOnFullBox_data();
    void letterButtonOnFullBox();
    void boxHoldsTenCharacters_data();
    void boxHoldsTenCharacters();
    void rapidTyping_data();
    void rapidTyping();
    void closeWhileSearchWaits_data();
    void closeWhileSearchWaits();
};

void SearchTest::search_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");

    QTest::newRow("typed gi: ging") << Entry::Typed << QStringLiteral("gi") << 1;
    QTest::newRow("typed geh: gehabt sorts before gehen") << Entry::Typed << QStringLiteral("geh")
                                                          << 3;
    QTest::newRow("typed GEH as geh") << Entry::Typed << QStringLiteral("GEH") << 3;
    QTest::newRow("typed ärg") << Entry::Typed << QStringLiteral("ärg") << 2;
    QTest::newRow("typed ÖFF as öff") << Entry::Typed << QStringLiteral("ÖFF") << 5;
    QTest::newRow("typed aß: a later field of its row") << Entry::Typed << QStringLiteral("aß")
                                                        << 8;
    QTest::newRow("typed war: second field of row 0") << Entry::Typed << QStringLiteral("war")
                                                      << 0;
    QTest::newRow("typed xyz: no word, selection kept") << Entry::Typed << QStringLiteral("xyz")
                                                        << kPreselected;
    QTest::newRow("typed fa: only the capitalised Fahrt, kept")
        << Entry::Typed << QStringLiteral("fa") << kPreselected;
    QTest::newRow("pasted gegangenxx: longer than every word, kept")
        << Entry::Pasted << QStringLiteral("gegangenxx") << kPreselected;
    QTest::newRow("pasted geh") << Entry::Pasted << QStringLiteral("geh") << 3;
    QTest::newRow("pasted Üb as üb") << Entry::Pasted << QStringLiteral("Üb") << 6;
    QTest::newRow("pasted angefangen") << Entry::Pasted << QStringLiteral("angefangen") << 4;
    QTest::newRow("pasted xyz: selection kept") << Entry::Pasted << QStringLiteral("xyz")
                                                << kPreselected;
}

void SearchTest::search()
{
    QFETCH(Entry, entry);
    QFETCH(QString, text);
    QFETCH(int, row);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));
    selectRow(s.c->List1, kPreselected);
    QCOMPARE(selectedRow(s.c->List1), kPreselected);

    if (entry == Entry::Typed) {
        typeText(s.c->Szukaj, text);
    } else {
        QGuiApplication::clipboard()->setText(text);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QTest::keyClick(s.c->Szukaj, Qt::Key_V, Qt::ControlModifier);
    }

    QCOMPARE(s.c->Szukaj->text(), text);
    QCOMPARE(selectedRow(s.c->List1), row);
}

void SearchTest::deletingBackToEmpty()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));

    typeText(s.c->Szukaj, QStringLiteral("geh"));
    QCOMPARE(selectedRow(s.c->List1), 3);
    QTest::keyClick(s.c->Szukaj, Qt::Key_Backspace);
    QCOMPARE(selectedRow(s.c->List1), 1); // "ge": gegangen
    QTest::keyClick(s.c->Szukaj, Qt::Key_Backspace);
    QTest::keyClick(s.c->Szukaj, Qt::Key_Backspace);
    QVERIFY(s.c->Szukaj->text().isEmpty());
    // The empty text begins every word: the first word of the sorted list wins.
    QCOMPARE(selectedRow(s.c->List1), 4);
}

void SearchTest::selectedRowScrolledIntoView()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));

    QVERIFY(!rowFullyVisible(s.c->List1, kLastSampleRow));
    typeText(s.c->Szukaj, QStringLiteral("z"));
    QCOMPARE(selectedRow(s.c->List1), kLastSampleRow);
    QVERIFY(rowFullyVisible(s.c->List1, kLastSampleRow));

    QVERIFY(!rowFullyVisible(s.c->List1, 4));
    QTest::keyClick(s.c->Szukaj, Qt::Key_Backspace);
    QCOMPARE(selectedRow(s.c->List1), 4);
    QVERIFY(rowFullyVisible(s.c->List1, 4));
}

void SearchTest::letterButtons_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("row");

    QTest::newRow("ä on an empty box") << QString() << 0 << 0 << 0 << QStringLiteral("ä") << 2;
    QTest::newRow("ö on an empty box") << QString() << 0 << 0 << 1 << QStringLiteral("ö") << 5;
    QTest::newRow("ü on an empty box") << QString() << 0 << 0 << 2 << QStringLiteral("ü") << 6;
    QTest::newRow("ß after a") << QStringLiteral("a") << 1 << 0 << 3 << QStringLiteral("ß") << 8;
    QTest::newRow("ß after three letters, no word: row of gew kept")
        << QStringLiteral("gew") << 3 << 0 << 3 << QStringLiteral("ß") << 0;
    QTest::newRow("caret at the start, letter still at the end")
        << QStringLiteral("a") << 0 << 0 << 3 << QStringLiteral("ß") << 8;
    QTest::newRow("part of the text selected, letter appended")
        << QStringLiteral("gehab") << 1 << 3 << 1 << QStringLiteral("ö") << 3;
}

void SearchTest::letterButtons()
{
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(int, selectionLength);
    QFETCH(int, button);
    QFETCH(QString, caption);
    QFETCH(int, row);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));
    QLineEdit *box = s.c->Szukaj;
    QPushButton *letter = s.c->Command3[button];
    QCOMPARE(letter->text(), caption);

    box->setText(before);
    if (selectionLength > 0)
        box->setSelection(caret, selectionLength);
    else
        box->setCursorPosition(caret);
    QCOMPARE(box->hasSelectedText(), selectionLength > 0);
    s.c->List1->setFocus();
    QCOMPARE(QApplication::focusWidget(), s.c->List1);

    QTest::mouseClick(letter, Qt::LeftButton);

    const QString expected = before + caption;
    QCOMPARE(box->text(), expected);
    QCOMPARE(box->cursorPosition(), int(expected.size()));
    QVERIFY(!box->hasSelectedText());
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(selectedRow(s.c->List1), row);
}

void SearchTest::letterButtonOnFullBox_data()
{
    QTest::addColumn<int>("button");

    QTest::newRow("ä") << 0;
    QTest::newRow("ö") << 1;
    QTest::newRow("ü") << 2;
    QTest::newRow("ß") << 3;
}

void SearchTest::letterButtonOnFullBox()
{
    QFETCH(int, button);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));
    QLineEdit *box = s.c->Szukaj;
    const QString full = QStringLiteral("angefangen");
    QCOMPARE(full.size(), 10);
    box->setText(full);
    QCOMPARE(selectedRow(s.c->List1), 4);
    // Were the search to run again it would move the selection back to row 4.
    selectRow(s.c->List1, 0);
    box->setCursorPosition(2);
    s.c->List1->setFocus();
    QCOMPARE(QApplication::focusWidget(), s.c->List1);

    QTest::mouseClick(s.c->Command3[button], Qt::LeftButton);

    QCOMPARE(box->text(), full);
    QCOMPARE(box->cursorPosition(), 10);
    QVERIFY(!box->hasSelectedText());
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(selectedRow(s.c->List1), 0);
}

void SearchTest::boxHoldsTenCharacters_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("text");

    QTest::newRow("eleventh typed letter") << Entry::Typed << QStringLiteral("angefangenx");
    QTest::newRow("eleventh typed ä") << Entry::Typed << QStringLiteral("angefangenä");
    QTest::newRow("pasted thirteen") << Entry::Pasted << QStringLiteral("angefangenxyz");
}

void SearchTest::boxHoldsTenCharacters()
{
    QFETCH(Entry, entry);
    QFETCH(QString, text);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));

    if (entry == Entry::Typed) {
        typeText(s.c->Szukaj, text);
    } else {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(s.c->Szukaj, Qt::Key_V, Qt::ControlModifier);
    }

    QCOMPARE(s.c->Szukaj->text(), QStringLiteral("angefangen"));
    QCOMPARE(selectedRow(s.c->List1), 4);
}

void SearchTest::rapidTyping_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("row");

    // The first key's search reads the box last; reading it before its yield
    // would leave the row of the first letter ("g": row 1) selected.
    QTest::newRow("geh") << QStringLiteral("geh") << 3;
    QTest::newRow("gi, backspace, eh") << QStringLiteral("gi\beh") << 3;
    QTest::newRow("geh, back to empty") << QStringLiteral("geh\b\b\b") << 4;
    QTest::newRow("ärg") << QStringLiteral("ärg") << 2;
    QTest::newRow("g, backspace, zeig: zeigen")
        << QStringLiteral("g\bzeig") << kLastSampleRow;
}

void SearchTest::rapidTyping()
{
    QFETCH(QString, keys);
    QFETCH(int, row);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));

    postKeys(s.c->Szukaj, keys);
    QCoreApplication::processEvents();

    QCOMPARE(s.c->Szukaj->text(), typedResult(keys));
    QCOMPARE(selectedRow(s.c->List1), row);
}

void SearchTest::closeWhileSearchWaits_data()
{
    QTest::addColumn<QString>("keysBeforeClose");
    QTest::addColumn<QString>("keysAfterClose");

    QTest::newRow("close after the last key") << QStringLiteral("geh") << QString();
    QTest::newRow("keys still arrive after the close") << QStringLiteral("g")
                                                      << QStringLiteral("eh");
}

void SearchTest::closeWhileSearchWaits()
{
    QFETCH(QString, keysBeforeClose);
    QFETCH(QString, keysAfterClose);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));

    // The close is handled inside the yield of the first key's search, which
    // then resumes on a window that has emptied itself.
    postKeys(s.c->Szukaj, keysBeforeClose);
    QVERIFY(QMetaObject::invokeMethod(s.window.get(), "close", Qt::QueuedConnection));
    postKeys(s.c->Szukaj, keysAfterClose);
    QCoreApplication::processEvents();

    QVERIFY(!s.window->isVisible());
    QCOMPARE(s.c->List1->model()->rowCount(), 0);
    QCOMPARE(s.c->List2->model()->rowCount(), 0);
    QCOMPARE(selectedRow(s.c->List1), -1);
}

QTEST_MAIN(SearchTest)
#include "tst_search.moc"
