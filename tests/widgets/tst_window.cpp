// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real window on data files written into a temporary directory.

#include "app/frmMain.h"
#include "data/storedtext.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Rows 0..7 as written, 8..37 filler, 38 the widest of rows, 39 zeigen.
const QStringList kVerbs = QStringList{u"sein#war#gewesen"_s, u"gehen#ging#gegangen"_s,
                                       u"ärgern#ärgerte#geärgert"_s, u"haben#hatte#gehabt"_s,
                                       u"anfangen#fing an#angefangen"_s,
                                       u"öffnen#öffnete#geöffnet"_s, u"üben#übte#geübt"_s,
                                       u"zurückschlagen#schlug zurück#zurückgeschlagen"_s}
    + QStringList(30, u"warten#wartete#gewartet"_s)
    + QStringList{u"WWWWWWWWWWWWWWW#ßßßßßßßßßßßßßßß#ÄÖÜÄÖÜÄÖÜÄÖÜÄÖÜ"_s, u"zeigen#zeigte#gezeigt"_s};
// In file order: not sorted, "Fahrt" capitalised and held by no row.
const QStringList kWords{u"gehen"_s,    u"war"_s,      u"ging"_s,     u"gegangen"_s,
                         u"ärgern"_s,   u"Fahrt"_s,    u"gehabt"_s,   u"anfangen"_s,
                         u"öffnen"_s,   u"geöffnet"_s, u"üben"_s,     u"haben"_s,
                         u"angefangen"_s, u"zeigen"_s, u"sein"_s,     u"gewesen"_s,
                         u"schlug zurück"_s};

// Each entry stored as the data tool stores it.
bool writeFile(const QString &path, const QStringList &entries, bool words)
{
    QByteArray bytes;
    for (const QString &entry : entries) {
        const auto stored = words ? encodeWord(entry) : encodeLine(entry);
        if (!stored)
            return false;
        bytes += *stored + "\r\n";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    QListView *m_list = nullptr;
    QLineEdit *m_box = nullptr;
    QList<QUrl> m_opened;

    QString rowText(int row) const
    {
        return m_list->model()->index(row, 0).data().toString();
    }

    void settle();
    void expectShown(const QString &box, int row, const QString &focus);

public Q_SLOTS:
    void open(const QUrl &url)
    {
        m_opened << url;
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(writeFile(m_dir.filePath(kVerbFileName), kVerbs, false));
        QVERIFY(writeFile(m_dir.filePath(kWordFileName), kWords, true));
        m_window = std::make_unique<frmMain>(m_dir.path());
        m_list = m_window->findChild<QListView *>(u"List1"_s);
        m_box = m_window->findChild<QLineEdit *>(u"Szukaj"_s);
        QVERIFY(!m_window->Form_Load());
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        // The looks are alike at scale factor 1 and 2: they run at both.
        const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s).toDouble();
        QCOMPARE(m_window->devicePixelRatio(), scale);
    }
    void tabOrder();
    void listRows();
    void texts();
    void keysInList_data();
    void keysInList();
    void typing_data();
    void typing();
    void letters_data();
    void letters();
    void pasteKeepsWholeCharacters();
    void www();
    void closeWhileSearchWaits();
};

void WindowTest::tabOrder()
{
    QStringList order;
    for (QWidget *w = QApplication::focusWidget(); order.size() < 9; w = w->nextInFocusChain()) {
        const auto *button = qobject_cast<QPushButton *>(w);
        if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
            order << (button ? button->text() : w->objectName());
    }
    const QStringList expected{u"List1"_s, u"Szukaj"_s, u"WWW"_s, u"zwiń"_s, u"ä"_s,
                               u"ö"_s,     u"ü"_s,      u"ß"_s,   u"List1"_s};
    QCOMPARE(order, expected);
}

// Whole rows only, the widest row without a cut, no glyph clipped.
void WindowTest::listRows()
{
    int whole = 0;
    for (int row = 0; row < m_list->model()->rowCount(); ++row) {
        const QRect rect = m_list->visualRect(m_list->model()->index(row, 0));
        whole += m_list->viewport()->rect().contains(rect);
    }
    QCOMPARE(whole, 17);
    // The item delegate keeps a margin of 4 pixels beside the text.
    const QFontMetricsF metrics(m_list->font());
    QCOMPARE_LE(metrics.horizontalAdvance(rowText(38)) + 8, m_list->viewport()->width());
    QCOMPARE(m_list->horizontalScrollBar()->maximum(), 0);
    // The font's line, from the top of an accent to the foot of a descender.
    QCOMPARE_LE(metrics.height(), m_list->sizeHintForRow(0));
}

void WindowTest::texts()
{
    QCOMPARE(m_window->windowTitle(), u"Strelkavo"_s);
    QCOMPARE(m_window->findChild<QLabel *>(u"Label1"_s)->text(), u"Szukaj"_s);
    QCOMPARE(rowText(0), u" sein           war            gewesen        "_s);
    QCOMPARE(rowText(7), u" zurückschlagen schlug zurück  zurückgeschlagen"_s);
}

// Idle, so that queued keys meet the first search's yield with nothing before them.
void WindowTest::settle()
{
    m_list->setFocus();
    QCoreApplication::processEvents();
}

// Shown, with the box holding the text and the caret at its end, the row
// selected and in sight, and the focus where it should be.
void WindowTest::expectShown(const QString &box, int row, const QString &focus)
{
    QCoreApplication::processEvents();
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_box->text(), box);
    QCOMPARE(m_box->cursorPosition(), int(box.size()));
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected[0].row(), row);
    QVERIFY(m_list->viewport()->rect().contains(m_list->visualRect(selected[0])));
    const QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused);
    QCOMPARE(focused->objectName(), focus);
    QCOMPARE(m_list->model()->rowCount(), 40);
}

// Pressed in the list with no row selected yet, as the window shows it first.
void WindowTest::keysInList_data()
{
    QTest::addColumn<QList<Qt::Key>>("keys");
    QTest::addColumn<int>("row");

    QTest::newRow("first Down: row 0") << QList<Qt::Key>{Qt::Key_Down} << 0;
    QTest::newRow("first Up: row 0") << QList<Qt::Key>{Qt::Key_Up} << 0;
    QTest::newRow("first Home: row 0") << QList<Qt::Key>{Qt::Key_Home} << 0;
    QTest::newRow("Down, Down: row 1") << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Down} << 1;
}

void WindowTest::keysInList()
{
    QFETCH(QList<Qt::Key>, keys);
    QFETCH(int, row);

    settle();
    for (const Qt::Key key : keys)
        QTest::keyClick(m_list, key);
    expectShown(u""_s, row, u"List1"_s);
}

// Typed into the box faster than the program reacts, then as many
// Backspaces as erased: a search must read the box after its yield, not
// before. Row 0 is selected first.
void WindowTest::typing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("erased");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("row");

    QTest::newRow("GEÖ: lowered beyond ASCII") << u"GEÖ"_s << 0 << u"GEÖ"_s << 5;
    QTest::newRow("sc: a word with a blank") << u"sc"_s << 0 << u"sc"_s << 7;
    QTest::newRow("z: the last row, brought into sight") << u"z"_s << 0 << u"z"_s << 39;
    QTest::newRow("f: capital Fahrt not found") << u"f"_s << 0 << u"f"_s << 0;
    QTest::newRow("eleven letters: ten kept") << u"angefangenx"_s << 0 << u"angefangen"_s << 4;
    QTest::newRow("geh, back to empty") << u"geh"_s << 3 << u""_s << 4;
}

void WindowTest::typing()
{
    QFETCH(QString, typed);
    QFETCH(int, erased);
    QFETCH(QString, box);
    QFETCH(int, row);

    m_list->setCurrentIndex(m_list->model()->index(0, 0));
    settle();
    QList<QKeyEvent *> keys;
    for (const QChar ch : typed)
        keys << new QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, {}, ch);
    for (int i = 0; i < erased; ++i)
        keys << new QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, {});
    for (QKeyEvent *key : keys)
        QCoreApplication::postEvent(m_box, key);
    expectShown(box, row, u"List1"_s);
}

// Clicked with row 0 selected, the focus in the list and the caret at the
// start of the box.
void WindowTest::letters_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("row");

    QTest::newRow("ä on the empty box") << u""_s << u"ä"_s << u"ä"_s << 2;
    QTest::newRow("ö: to the end, not the caret") << u"ge"_s << u"ö"_s << u"geö"_s << 5;
    QTest::newRow("ü") << u""_s << u"ü"_s << u"ü"_s << 6;
    QTest::newRow("ß on a full box") << u"angefangen"_s << u"ß"_s << u"angefangen"_s << 0;
}

void WindowTest::letters()
{
    QFETCH(QString, before);
    QFETCH(QString, letter);
    QFETCH(QString, box);
    QFETCH(int, row);

    m_box->setText(before);
    m_box->setCursorPosition(0);
    m_list->setCurrentIndex(m_list->model()->index(0, 0));
    settle();
    for (QPushButton *button : m_window->findChildren<QPushButton *>(u"Command3"_s))
        if (button->text() == letter)
            QTest::mouseClick(button, Qt::LeftButton);
    expectShown(box, row, u"Szukaj"_s);
}

// The box holds ten units of text: an emoji that would take the tenth and
// eleventh goes whole, never as half a character.
void WindowTest::pasteKeepsWholeCharacters()
{
    m_list->setCurrentIndex(m_list->model()->index(0, 0));
    settle();
    QGuiApplication::clipboard()->setText(u"angefange😀x"_s);
    m_box->paste();
    expectShown(u"angefange"_s, 4, u"List1"_s);
}

void WindowTest::www()
{
    const QUrl page(QString::fromLatin1(kHomePage));
    QDesktopServices::setUrlHandler(page.scheme(), this, "open");
    QTest::mouseClick(m_window->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(page.scheme());
    QCOMPARE(m_opened, QList<QUrl>{page});
}

void WindowTest::closeWhileSearchWaits()
{
    settle();
    QCoreApplication::postEvent(m_box,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, {}, u"g"_s));
    QMetaObject::invokeMethod(m_window.get(), "close", Qt::QueuedConnection);
    QCoreApplication::processEvents();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_box->text(), u"g"_s);
    QCOMPARE(m_list->model()->rowCount(), 0);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
