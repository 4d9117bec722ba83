// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real window on data files written into a temporary directory.

#include "app/frmMain.h"
#include "data/storedtext.h"

#include <QApplication>
#include <QClipboard>
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

// Rows 0..7 as written, 8..37 filler, 38 the widest of rows, 39 zeigen; "_" is a blank.
const QString kVerbs = u"sein#war#gewesen gehen#ging#gegangen ärgern#ärgerte#geärgert "
                       "haben#hatte#gehabt anfangen#fing_an#angefangen öffnen#öffnete#geöffnet "
                       "üben#übte#geübt zurückschlagen#schlug_zurück#zurückgeschlagen"_s
    + u" warten#wartete#gewartet"_s.repeated(30)
    + u" WWWWWWWWWWWWWWW#ßßßßßßßßßßßßßßß#ÄÖÜÄÖÜÄÖÜÄÖÜÄÖÜ zeigen#zeigte#gezeigt"_s;
// In file order: not sorted, "Fahrt" capitalised and held by no row.
const QString kWords = u"gehen war ging gegangen ärgern Fahrt gehabt anfangen öffnen geöffnet "
                       "üben haben angefangen zeigen sein gewesen schlug_zurück"_s;

// Each entry stored as the data tool stores it; one that it cannot store, as
// a byte that decodes to nothing.
bool writeFile(const QString &path, const QString &entries, bool words)
{
    QByteArray bytes;
    QStringList list = entries.split(u' ');
    for (const QString &entry : list.replaceInStrings(u"_"_s, u" "_s))
        bytes += (words ? encodeWord(entry) : encodeLine(entry)).value_or("\xff") + "\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The icon as drawn at 16 and 32 pixels, rows from the top: '.' transparent,
// 'B' black, 'R' red and 'Y' yellow between black edges. Larger sizes repeat
// the pixels of the 32.
QRgb iconPixel(int size, int x, int y)
{
    const QString bands = size < 32 ? u"...BBBRRRRYYYB.."_s : u"......BBBBBBRRRRRRRYYYYYYB......"_s;
    const int n = int(bands.size());
    const QChar band = bands[y * n / size];
    const bool edge = x * n / size == 0 || x * n / size == n - 1;
    if (band == u'.')
        return 0;
    if (band == u'B' || edge)
        return qRgb(0, 0, 0);
    return band == u'R' ? qRgb(255, 0, 0) : qRgb(255, 255, 0);
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    QListView *m_list = nullptr;
    QLineEdit *m_box = nullptr;

    QString rowText(const QListView *list, int row) const
    {
        return list->model()->index(row, 0).data().toString();
    }

    QString observe(const QString &what) const;
    QString state() const;

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
    }
    void looks_data();
    void looks();
    void act_data();
    void act();
};

// What the user sees of one aspect of the window.
QString WindowTest::observe(const QString &what) const
{
    QStringList seen;
    if (what == u"overlaps") {
        const QWidgetList controls = m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (const QWidget *a : controls) {
            for (const QWidget *b : controls.sliced(controls.indexOf(a) + 1)) {
                const QRect both = a->geometry() & b->geometry(); // neighbours may share a border
                if (a->isVisible() && b->isVisible() && both.width() > 1 && both.height() > 1)
                    seen << a->objectName() + u" over "_s + b->objectName();
            }
        }
    } else if (what == u"tab order") {
        for (QWidget *w = QApplication::focusWidget(); seen.size() < 9; w = w->nextInFocusChain()) {
            const auto *button = qobject_cast<QPushButton *>(w);
            if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
                seen << (button ? button->text() : w->objectName());
        }
    } else if (what == u"list") {
        int whole = 0;
        for (int row = 0; row < m_list->model()->rowCount(); ++row) {
            const QRect rect = m_list->visualRect(m_list->model()->index(row, 0));
            whole += m_list->viewport()->rect().contains(rect);
        }
        seen << u"%1 whole rows"_s.arg(whole);
        // The item delegate keeps a margin of 4 pixels beside the text.
        const QFontMetricsF metrics(m_list->font());
        const qreal needed = metrics.horizontalAdvance(rowText(m_list, 38)) + 8;
        if (needed > m_list->viewport()->width() || m_list->horizontalScrollBar()->maximum() > 0)
            seen << u"widest row cut"_s;
        // The font's line, from the top of an accent to the foot of a descender.
        if (metrics.height() > m_list->sizeHintForRow(0))
            seen << u"glyphs clipped"_s;
    } else if (what == u"texts") {
        seen << m_window->windowTitle() << m_window->findChild<QLabel *>(u"Label1"_s)->text();
        seen << rowText(m_list, 0) << rowText(m_list, 7);
    } else if (what == u"icons") {
        // Sizes drawn wrong, at the sizes a title bar or a task switcher asks for.
        for (int size : {16, 32, 48, 64}) {
            const QImage worn = m_window->windowIcon().pixmap(size).toImage().convertToFormat(
                QImage::Format_ARGB32);
            bool same = worn.width() == worn.height();
            for (int y = 0; same && y < worn.height(); ++y)
                for (int x = 0; same && x < worn.width(); ++x)
                    same = worn.pixel(x, y) == iconPixel(worn.width(), x, y);
            if (!same)
                seen << QString::number(worn.width());
        }
    }
    return seen.join(u", "_s);
}

// Alike at scale factor 1 and 2: the test runs at both.
void WindowTest::looks_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("seen");

    QTest::newRow("controls apart but the search box over its label's end")
        << u"overlaps"_s << u"Label1 over Szukaj"_s;
    QTest::newRow("tab order")
        << u"tab order"_s << u"List1, Szukaj, WWW, zwiń, ä, ö, ü, ß, List1"_s;
    QTest::newRow("list: whole rows, the widest row fits, no glyph clipped")
        << u"list"_s << u"17 whole rows"_s;
    QTest::newRow("title, label, padded rows")
        << u"texts"_s
        << u"Strelkavo, Szukaj,  sein           war            gewesen        , "
           " zurückschlagen schlug zurück  zurückgeschlagen"_s;
    QTest::newRow("icons pixel for pixel") << u"icons"_s << u""_s;
}

void WindowTest::looks()
{
    QFETCH(QString, what);
    QFETCH(QString, seen);
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s).toDouble();
    QCOMPARE(m_window->devicePixelRatio(), scale);
    QCOMPARE(observe(what), seen);
}

// What the user can tell of the window's state; the caret only when it is
// not at the end of the text.
QString WindowTest::state() const
{
    QStringList seen{m_window->isVisible() ? u"shown"_s : u"hidden"_s};
    seen << u"box \"%1\""_s.arg(m_box->text());
    if (m_box->cursorPosition() != m_box->text().size())
        seen << u"caret %1"_s.arg(m_box->cursorPosition());
    for (const QModelIndex &row : m_list->selectionModel()->selectedRows()) {
        const bool inSight = m_list->viewport()->rect().contains(m_list->visualRect(row));
        seen << u"row %1"_s.arg(row.row()) + (inSight ? u""_s : u" out of sight"_s);
    }
    if (const QWidget *focus = QApplication::focusWidget())
        seen << u"focus "_s + focus->objectName();
    return seen.join(u", "_s) + u", %1 rows"_s.arg(m_list->model()->rowCount());
}

// With row 0 selected (none for keys pressed in the list, which meet it as
// the window shows it first), the focus in the list and the caret at the
// start of the box holding "before", the steps of the action: keys pressed in
// the list; keys typed into the box faster than the program reacts ('\b' for
// Backspace: a search must read the box after its yield, not before); a
// queued close; a button clicked; text pasted into the box.
void WindowTest::act_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("after");

    const auto row = [](const char *name, const char *before, const char *action,
                        const QString &after) {
        QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(action) << after;
    };
    const auto shown = [](const char *box, int row, const char *focus) {
        const QString state = u"shown, box \"%1\", row %2, focus %3, 40 rows"_s;
        return state.arg(QString::fromUtf8(box), QString::number(row), QString::fromLatin1(focus));
    };
    row("first Down: row 0", "", "key Down", shown("", 0, "List1"));
    row("first Up: row 0", "", "key Up", shown("", 0, "List1"));
    row("first Home: row 0", "", "key Home", shown("", 0, "List1"));
    row("Down, Down: row 1", "", "key Down Down", shown("", 1, "List1"));
    row("type GEH: gehabt", "", "type GEH", shown("GEH", 3, "List1"));
    row("type sc: a word with a blank", "", "type sc", shown("sc", 7, "List1"));
    row("type z: the last row, brought into sight", "", "type z", shown("z", 39, "List1"));
    row("type f: capital Fahrt not found", "", "type f", shown("f", 0, "List1"));
    row("type eleven: ten kept", "", "type angefangenx", shown("angefangen", 4, "List1"));
    row("type geh, back to empty", "", "type geh\b\b\b", shown("", 4, "List1"));
    row("paste past the tenth unit: the emoji dropped whole", "", "paste angefange😀x",
        shown("angefange", 4, "List1"));
    row("click ä on the empty box", "", "click ä", shown("ä", 2, "Szukaj"));
    row("click ö: to the end, not the caret", "ge", "click ö", shown("geö", 5, "Szukaj"));
    row("click ü", "", "click ü", shown("ü", 6, "Szukaj"));
    row("click ß on a full box", "angefangen", "click ß", shown("angefangen", 0, "Szukaj"));
    row("close while a search waits", "", "type geh; close", u"hidden, box \"geh\", 0 rows"_s);
}

void WindowTest::act()
{
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QString, after);

    m_box->setText(before);
    m_box->setCursorPosition(0);
    if (!action.startsWith(u"key "))
        m_list->setCurrentIndex(m_list->model()->index(0, 0));
    m_list->setFocus();
    // Idle, so that queued keys meet the first search's yield with nothing before them.
    QCoreApplication::processEvents();
    for (const QString &step : action.split(u"; "_s)) {
        const QString verb = step.section(u' ', 0, 0);
        const QString what = step.section(u' ', 1);
        for (const QString &key : verb == u"key" ? what.split(u' ') : QStringList())
            QTest::keyClick(m_list, QKeySequence(key)[0].key());
        for (const QChar ch : verb == u"type" ? what : QString()) {
            const int key = ch == u'\b' ? int(Qt::Key_Backspace) : int(Qt::Key_unknown);
            const QString text = ch == u'\b' ? QString() : QString(ch);
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QCoreApplication::postEvent(m_box, new QKeyEvent(type, key, {}, text));
        }
        if (verb == u"paste") {
            QGuiApplication::clipboard()->setText(what);
            m_box->paste();
        }
        if (verb == u"close")
            QMetaObject::invokeMethod(m_window.get(), "close", Qt::QueuedConnection);
        for (QPushButton *button : m_window->findChildren<QPushButton *>())
            if (verb == u"click" && button->text() == what)
                QTest::mouseClick(button, Qt::LeftButton);
    }
    QCoreApplication::processEvents();
    QCOMPARE(state(), after);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
