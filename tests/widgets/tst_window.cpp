// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real window on data files written into a temporary directory.

#include "app/frmMain.h"
#include "app/icon.h"
#include "data/storedtext.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Display rows 0..7 as below, 8..37 filler, 38 the widest row of glyphs, 39 zeigen.
QStringList sampleVerbs()
{
    QStringList lines = u"sein#war#gewesen gehen#ging#gegangen ärgern#ärgerte#geärgert "
                        "haben#hatte#gehabt anfangen#fing_an#angefangen öffnen#öffnete#geöffnet "
                        "üben#übte#geübt zurückschlagen#schlug_zurück#zurückgeschlagen"_s.split(u' ');
    lines.replaceInStrings(u"_"_s, u" "_s);
    while (lines.size() < 38)
        lines << u"warten#wartete#gewartet"_s;
    return lines << u"WWWWWWWWWWWWWWW#ßßßßßßßßßßßßßßß#ÄÖÜÄÖÜÄÖÜÄÖÜÄÖÜ"_s << u"zeigen#zeigte#gezeigt"_s;
}

// In file order: not sorted, "Fahrt" capitalised and held by no row.
const QStringList kWords = u"gehen war ging gegangen ärgern Fahrt gehabt anfangen öffnen geöffnet "
                           "üben haben angefangen zeigen sein gewesen"_s.split(u' ') << u"schlug zurück"_s;

constexpr int kKept = 0; // a row selected beforehand, to tell "kept" from "none"

bool writeFile(const QString &path, const QStringList &entries, bool words)
{
    QByteArray bytes;
    for (const QString &entry : entries)
        bytes += (words ? encodeWord(entry) : encodeLine(entry)).value_or("\xff") + "\r\n";
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

    // Loads the window from verb lines and words; an entry that cannot be
    // encoded is written as an undecodable byte.
    std::optional<LoadError> load(const QStringList &verbs, const QStringList &words)
    {
        if (!writeFile(m_dir.filePath(kVerbFileName), verbs, false)
            || !writeFile(m_dir.filePath(kWordFileName), words, true))
            qFatal("cannot write the data files");
        m_window = std::make_unique<frmMain>(m_dir.path());
        m_list = m_window->findChild<QListView *>(u"List1"_s);
        m_box = m_window->findChild<QLineEdit *>(u"Szukaj"_s);
        return m_window->Form_Load();
    }

    QPushButton *button(const QString &caption) const
    {
        for (QPushButton *b : m_window->findChildren<QPushButton *>())
            if (b->text() == caption)
                return b;
        return nullptr;
    }

    int selectedRow() const
    {
        const QModelIndexList rows = m_list->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.size() == 1 ? rows.first().row() : -2;
    }

    QString observe(const QString &what) const;

private Q_SLOTS:
    void init()
    {
        QVERIFY(!load(sampleVerbs(), kWords));
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void looks_data();
    void looks();
    void search_data();
    void search();
    void lifecycle_data();
    void lifecycle();
    void loadFailure_data();
    void loadFailure();
};

// What the user sees of the window, one aspect per row.
QString WindowTest::observe(const QString &what) const
{
    QStringList seen;
    if (what == u"size") {
        return u"%1x%2 %3"_s.arg(m_window->width()).arg(m_window->height())
            .arg(m_window->minimumSize() == m_window->maximumSize() ? u"fixed" : u"resizable");
    } else if (what == u"controls") {
        QWidgetList shown;
        for (QWidget *w : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (w->isVisible())
                shown << w;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (!m_window->rect().contains(shown[i]->geometry()))
                seen << shown[i]->objectName() + u" outside"_s;
            for (qsizetype j = i + 1; j < shown.size(); ++j)
                if (const QRect both = shown[i]->geometry() & shown[j]->geometry();
                    both.width() > 1 && both.height() > 1) // neighbours may share a border
                    seen << shown[i]->objectName() + u'+' + shown[j]->objectName();
        }
    } else if (what == u"tab order") {
        for (QWidget *w = QApplication::focusWidget(); seen.size() < 9; w = w->nextInFocusChain()) {
            const auto *b = qobject_cast<QPushButton *>(w);
            if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
                seen << (b ? b->text() : w->objectName());
        }
    } else if (what == u"rows") {
        const int rowHeight = m_list->sizeHintForRow(0);
        const QString widest = m_list->model()->index(38, 0).data().toString();
        const int margin = m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
        seen << QString::number(m_list->viewport()->height() / rowHeight) + u" whole rows"_s;
        if (m_list->fontMetrics().horizontalAdvance(widest) + 2 * margin > m_list->viewport()->width())
            seen << u"widest row cut"_s;
        if (m_list->horizontalScrollBar()->maximum() > 0)
            seen << u"scrolls sideways"_s;
    } else if (what == u"texts") {
        seen << m_window->windowTitle() << m_window->findChild<QLabel *>(u"Label1"_s)->text();
        for (int row : {0, 7})
            seen << m_list->model()->index(row, 0).data().toString();
        const auto *words = m_window->findChild<QListView *>(u"List2"_s);
        for (int row = 0; row < words->model()->rowCount(); ++row)
            seen << words->model()->index(row, 0).data().toString();
    } else if (what == u"icon") {
        for (int size : {16, 32}) {
            const QImage worn = m_window->windowIcon().pixmap(size).toImage();
            if (worn.convertToFormat(QImage::Format_ARGB32) != iconImage(worn.width()))
                seen << QString::number(worn.width());
        }
    }
    return seen.join(u", "_s);
}

// Shown alike at scale factor 1 and 2 (the test runs at both). "Label1+Szukaj":
// the search box is drawn over the end of its label.
void WindowTest::looks_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("seen");

    QTest::newRow("size") << u"size"_s << u"408x301 fixed"_s;
    QTest::newRow("no control over another or outside") << u"controls"_s << u"Label1+Szukaj"_s;
    QTest::newRow("tab order from the list")
        << u"tab order"_s << u"List1, Szukaj, WWW, zwiń, ä, ö, ü, ß, List1"_s;
    QTest::newRow("whole rows shown, the widest row fits") << u"rows"_s << u"16 whole rows"_s;
    QTest::newRow("title, label, padded rows, word list sorted")
        << u"texts"_s
        << u"Strelkavo, Szukaj,  sein           war            gewesen        , "
           " zurückschlagen schlug zurück  zurückgeschlagen, anfangen, angefangen, ärgern, Fahrt, "
           "gegangen, gehabt, gehen, geöffnet, gewesen, ging, haben, öffnen, schlug zurück, sein, "
           "üben, war, zeigen"_s;
    QTest::newRow("window icon: the drawn one at every size it holds") << u"icon"_s << u""_s;
}

void WindowTest::looks()
{
    QFETCH(QString, what);
    QFETCH(QString, seen);
    QCOMPARE(m_window->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s).toDouble());
    QCOMPARE(observe(what), seen);
}

// before: the box's text, with the caret at its start and the focus in the
// list; then keys typed, keys queued faster than the program reacts (a
// search must read the box after its yield, not before), or a letter button.
void WindowTest::search_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("queued");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");

    const auto row = [](const char *name, const QString &before, const QString &typed,
                        const QString &queued, const QString &letter, const QString &text, int row) {
        QTest::newRow(name) << before << typed << queued << letter << text << row;
    };
    row("typed GEH selects gehabt", u""_s, u"GEH"_s, u""_s, u""_s, u"GEH"_s, 3);
    row("typed sc: a word with a blank", u""_s, u"sc"_s, u""_s, u""_s, u"sc"_s, 7);
    row("typed z: the last row, scrolled to", u""_s, u"z"_s, u""_s, u""_s, u"z"_s, 39);
    row("typed f: capital Fahrt not matched", u""_s, u"f"_s, u""_s, u""_s, u"f"_s, kKept);
    row("eleven typed, ten kept", u""_s, u"angefangenx"_s, u""_s, u""_s, u"angefangen"_s, 4);
    row("queued geh", u""_s, u""_s, u"geh"_s, u""_s, u"geh"_s, 3);
    row("queued geh, back to empty", u""_s, u""_s, u"geh\b\b\b"_s, u""_s, u""_s, 4);
    row("ä on an empty box", u""_s, u""_s, u""_s, u"ä"_s, u"ä"_s, 2);
    row("ö goes to the end", u"ge"_s, u""_s, u""_s, u"ö"_s, u"geö"_s, 5);
    row("ü", u""_s, u""_s, u""_s, u"ü"_s, u"ü"_s, 6);
    row("ß on a full box changes nothing", u"angefangen"_s, u""_s, u""_s, u"ß"_s, u"angefangen"_s, kKept);
}

void WindowTest::search()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, queued);
    QFETCH(QString, letter);
    QFETCH(QString, text);
    QFETCH(int, row);

    m_box->setText(before);
    m_box->setCursorPosition(0);
    m_list->setCurrentIndex(m_list->model()->index(kKept, 0));
    m_list->setFocus();
    for (const QChar ch : typed)
        QTest::sendKeyEvent(QTest::Click, m_box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    for (const QChar ch : queued) {
        const int key = ch == u'\b' ? int(Qt::Key_Backspace) : int(Qt::Key_unknown);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(m_box, new QKeyEvent(type, key, {}, ch == u'\b' ? u""_s : ch));
    }
    QCoreApplication::processEvents();
    if (!letter.isEmpty()) {
        QTest::mouseClick(button(letter), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), m_box);
        QCOMPARE(m_box->cursorPosition(), int(text.size()));
    }
    QCOMPARE(m_box->text(), text);
    QCOMPARE(selectedRow(), row);
    const QRect shown = m_list->visualRect(m_list->model()->index(row, 0));
    QVERIFY(m_list->viewport()->rect().contains(shown));
}

// What the window is left as after the user's action.
void WindowTest::lifecycle_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("state");

    QTest::newRow("close") << u"close"_s << u"hidden, 0 rows, 0 words"_s;
    QTest::newRow("title-bar close") << u"title-bar close"_s << u"hidden, 0 rows, 0 words"_s;
    QTest::newRow("menu: Zamknij") << u"Zamknij"_s << u"hidden, 0 rows, 0 words"_s;
    QTest::newRow("close while a search waits") << u"geh, close"_s << u"hidden, 0 rows, 0 words"_s;
    QTest::newRow("zwiń with no tray minimises")
        << u"zwiń"_s << u"shown, minimised, 40 rows, 17 words"_s;
    QTest::newRow("menu: Pokaż główne okno programu")
        << u"Pokaż główne okno programu"_s << u"shown, focus in the box, 40 rows, 17 words"_s;
}

void WindowTest::lifecycle()
{
    QFETCH(QString, action);
    QFETCH(QString, state);

    m_list->setFocus();
    const auto menu = m_window->findChild<QMenu *>(u"mnuBar"_s)->actions();
    if (action == u"close") {
        m_window->close();
    } else if (action == u"title-bar close") {
        m_window->windowHandle()->close();
    } else if (action == u"geh, close") {
        for (const QChar ch : u"geh"_s)
            QCoreApplication::postEvent(m_box, new QKeyEvent(QEvent::KeyPress, 0, {}, ch));
        QMetaObject::invokeMethod(m_window.get(), "close", Qt::QueuedConnection);
    } else if (action == u"zwiń") {
        QTest::mouseClick(button(action), Qt::LeftButton);
    } else {
        for (QAction *item : menu)
            if (item->text() == action)
                item->trigger();
    }
    QCoreApplication::processEvents();
    QStringList seen{m_window->isVisible() ? u"shown"_s : u"hidden"_s};
    if (m_window->isMinimized())
        seen << u"minimised"_s;
    if (QApplication::focusWidget() == m_box)
        seen << u"focus in the box"_s;
    seen << u"%1 rows"_s.arg(m_list->model()->rowCount());
    seen << u"%1 words"_s.arg(m_window->findChild<QListView *>(u"List2"_s)->model()->rowCount());
    QCOMPARE(seen.join(u", "_s), state);
}

// A load that fails leaves nothing behind: no rows, no words, no search.
void WindowTest::loadFailure_data()
{
    QTest::addColumn<QStringList>("verbs");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("error");

    QStringList bad = sampleVerbs();
    bad[2] = u"Ж"_s;
    QTest::newRow("verb line 3 undecodable") << bad << kWords << u"czas.dat”, wiersz 3, znak 1"_s;
    QTest::newRow("word line 2 undecodable")
        << sampleVerbs() << QStringList{u"gehen"_s, u"Ж"_s} << u"czas2.dat”, wiersz 2, znak 1"_s;
}

void WindowTest::loadFailure()
{
    QFETCH(QStringList, verbs);
    QFETCH(QStringList, words);
    QFETCH(QString, error);

    const auto fault = load(verbs, words);
    QVERIFY(fault);
    QVERIFY2(fault->message().contains(error), qPrintable(fault->message()));
    m_box->setText(u"g"_s);
    QCOMPARE(m_list->model()->rowCount() + m_window->findChild<QListView *>(u"List2"_s)->model()->rowCount(), 0);
    QCOMPARE(selectedRow(), -1);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
