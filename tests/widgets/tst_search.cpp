// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// That the search box, the letter buttons and fast typing reach the search;
// what the search finds is the unit tests' business.

#include "windowfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

using namespace strelkavo;
using namespace strelkavo::testing;
using namespace Qt::StringLiterals;

namespace {

// A row that no search here lands on, selected beforehand so that "the
// selection stays" can be told apart from "nothing was selected".
constexpr int kPreselected = 7;

// Queued rather than sent, as keys typed faster than the program reacts: none
// of them reaches the box before the first one's search yields. '\b' is Backspace.
void postKeys(QWidget *target, const QString &keys)
{
    for (const QChar ch : keys) {
        const bool backspace = ch == u'\b';
        const int key = backspace ? int(Qt::Key_Backspace)
            : ch.unicode() < 0x80 ? ch.toUpper().unicode() : int(Qt::Key_unknown);
        const QString text = backspace ? QString() : QString(ch);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(target, new QKeyEvent(type, key, Qt::NoModifier, text));
    }
}

} // namespace

class SearchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entry_data();
    void entry();
    void deletingToEmptyScrollsToTheRow();
    void letterButtons_data();
    void letterButtons();
    void rapidTyping_data();
    void rapidTyping();
    void closeWhileSearchWaits_data();
    void closeWhileSearchWaits();
};

void SearchTest::entry_data()
{
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");

    QTest::newRow("typed GEH as geh") << false << u"GEH"_s << 3;
    QTest::newRow("typed ärg") << false << u"ärg"_s << 2;
    QTest::newRow("typed xyz: selection kept") << false << u"xyz"_s << kPreselected;
    QTest::newRow("pasted Üb as üb") << true << u"Üb"_s << 6;
    QTest::newRow("eleven typed, ten kept") << false << u"angefangenx"_s << 4;
    QTest::newRow("thirteen pasted, ten kept") << true << u"angefangenxyz"_s << 4;
}

void SearchTest::entry()
{
    QFETCH(bool, pasted);
    QFETCH(QString, text);
    QFETCH(int, row);

    Session s;
    QVERIFY(s.openSample());
    selectRow(s.c->List1, kPreselected);
    if (pasted) {
        QGuiApplication::clipboard()->setText(text);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QTest::keyClick(s.c->Szukaj, Qt::Key_V, Qt::ControlModifier);
    } else {
        typeText(s.c->Szukaj, text);
    }
    QCOMPARE(s.c->Szukaj->text(), text.left(10));
    QCOMPARE(selectedRow(s.c->List1), row);
}

void SearchTest::deletingToEmptyScrollsToTheRow()
{
    Session s;
    QVERIFY(s.openSample());
    const auto visible = [&](int row) {
        const QRect item = s.c->List1->visualRect(s.c->List1->model()->index(row, 0));
        return s.c->List1->viewport()->rect().contains(item);
    };
    QVERIFY(!visible(kLastSampleRow));
    typeText(s.c->Szukaj, u"z"_s);
    QCOMPARE(selectedRow(s.c->List1), kLastSampleRow);
    QVERIFY(visible(kLastSampleRow));

    // The empty text begins every word: the first of the sorted list wins.
    QVERIFY(!visible(4));
    QTest::keyClick(s.c->Szukaj, Qt::Key_Backspace);
    QCOMPARE(selectedRow(s.c->List1), 4);
    QVERIFY(visible(4));
}

// The letter goes to the end whatever the caret or selection, unless the box
// is full; either way the caret ends there and the focus in the box.
void SearchTest::letterButtons_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("row");

    QTest::newRow("ä on an empty box") << QString() << 0 << 0 << 0 << u"ä"_s << 2;
    QTest::newRow("ö with part of the text selected") << u"ge"_s << 0 << 1 << 1 << u"geö"_s << 5;
    QTest::newRow("ü on an empty box") << QString() << 0 << 0 << 2 << u"ü"_s << 6;
    QTest::newRow("ß with the caret at the start") << u"a"_s << 0 << 0 << 3 << u"aß"_s << 8;
    QTest::newRow("ä on a full box: no search") << u"angefangen"_s << 2 << 0 << 0 << u"angefangen"_s
                                                << kPreselected;
}

void SearchTest::letterButtons()
{
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(int, selected);
    QFETCH(int, button);
    QFETCH(QString, after);
    QFETCH(int, row);

    Session s;
    QVERIFY(s.openSample());
    QLineEdit *box = s.c->Szukaj;
    box->setText(before);
    selectRow(s.c->List1, kPreselected);
    box->setSelection(caret, selected);
    QCOMPARE(box->cursorPosition(), caret + selected);
    s.c->List1->setFocus();
    QCOMPARE(QApplication::focusWidget(), s.c->List1);

    QTest::mouseClick(s.c->Command3[button], Qt::LeftButton);

    QCOMPARE(box->text(), after);
    QCOMPARE(box->cursorPosition(), int(after.size()));
    QVERIFY(!box->hasSelectedText());
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(selectedRow(s.c->List1), row);
    QVERIFY(!s.c->List2->isVisible() && !s.c->pichook->isVisible() && !s.c->mnuBar->isVisible());
}

void SearchTest::rapidTyping_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");

    // The first key's search reads the box last; reading it before its yield
    // would leave the row of the first letter ("g": row 1) selected.
    QTest::newRow("geh") << u"geh"_s << u"geh"_s << 3;
    QTest::newRow("gi, backspace, eh") << u"gi\beh"_s << u"geh"_s << 3;
    QTest::newRow("geh, back to empty") << u"geh\b\b\b"_s << QString() << 4;
}

void SearchTest::rapidTyping()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, row);

    Session s;
    QVERIFY(s.openSample());
    postKeys(s.c->Szukaj, keys);
    QCoreApplication::processEvents();
    QCOMPARE(s.c->Szukaj->text(), text);
    QCOMPARE(selectedRow(s.c->List1), row);
}

void SearchTest::closeWhileSearchWaits_data()
{
    QTest::addColumn<QString>("keysBeforeClose");
    QTest::addColumn<QString>("keysAfterClose");

    QTest::newRow("close after the last key") << u"geh"_s << QString();
    QTest::newRow("keys still arrive after the close") << u"g"_s << u"eh"_s;
}

// The close is handled inside the yield of the first key's search, which then
// resumes on a window that has emptied itself.
void SearchTest::closeWhileSearchWaits()
{
    QFETCH(QString, keysBeforeClose);
    QFETCH(QString, keysAfterClose);

    Session s;
    QVERIFY(s.openSample());
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
