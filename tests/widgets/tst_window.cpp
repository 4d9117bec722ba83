// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real window on data files written into a temporary directory.

#include "app/frmMain.h"
#include "data/storedtext.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Rows 0..7 as below, 8..37 filler, 38 the widest row of wide glyphs, 39 zeigen.
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
const QStringList kWords = u"gehen war ging gegangen ärgern Fahrt gehabt anfangen öffnen "
                           "geöffnet üben haben angefangen zeigen sein gewesen schlug_zurück"_s
                               .split(u' ')
                               .replaceInStrings(u"_"_s, u" "_s);

// Each entry as the data tool stores it; one that it cannot store as a byte
// that no code page position follows.
bool writeFile(const QString &path, const QStringList &entries, bool words)
{
    QByteArray bytes;
    for (const QString &entry : entries)
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

// The sizes at which the image differs from the drawing.
QString iconFaults(const QImage &image, int size)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (argb.size() != QSize(size, size) || argb.pixel(x, y) != iconPixel(size, x, y))
                return QString::number(size) + u' ';
    return {};
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    QListView *m_list = nullptr;
    QLineEdit *m_box = nullptr;

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

    QString observe(const QString &what) const;
    QString state() const;

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
    void act_data();
    void act();
};

// What the user sees of one aspect of the window.
QString WindowTest::observe(const QString &what) const
{
    QStringList seen;
    if (what == u"size") {
        const bool fixed = m_window->minimumSize() == m_window->maximumSize();
        seen << u"%1x%2"_s.arg(m_window->width()).arg(m_window->height()) << (fixed ? u"fixed"_s : u"resizable"_s);
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
                    seen << shown[i]->objectName() + u" over "_s + shown[j]->objectName();
        }
    } else if (what == u"tab order") {
        for (QWidget *w = QApplication::focusWidget(); seen.size() < 9; w = w->nextInFocusChain()) {
            const auto *b = qobject_cast<QPushButton *>(w);
            if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
                seen << (b ? b->text() : w->objectName());
        }
    } else if (what == u"list") {
        // The item delegate keeps a focus-frame margin plus one pixel either side of the text.
        const int margin = m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
        const QString widest = m_list->model()->index(38, 0).data().toString();
        seen << u"%1 whole rows"_s.arg(m_list->viewport()->height() / m_list->sizeHintForRow(0));
        if (m_list->fontMetrics().horizontalAdvance(widest) + 2 * margin > m_list->viewport()->width())
            seen << u"widest row cut"_s;
        if (m_list->horizontalScrollBar()->maximum() > 0)
            seen << u"scrolls sideways"_s;
    } else if (what == u"texts") {
        seen << m_window->windowTitle() << m_window->findChild<QLabel *>(u"Label1"_s)->text();
        seen << m_list->model()->index(0, 0).data().toString() << m_list->model()->index(7, 0).data().toString();
        const auto *words = m_window->findChild<QListView *>(u"List2"_s)->model();
        for (int row = 0; row < words->rowCount(); ++row)
            seen << words->index(row, 0).data().toString();
    } else if (what == u"icons") {
        // The window's, at the title bar's sizes, and the files of the icon tool.
        QString faults;
        for (int size : {16, 32}) {
            const QImage worn = m_window->windowIcon().pixmap(size).toImage();
            faults += iconFaults(worn, worn.width());
        }
        QTemporaryDir out;
        QProcess::execute(qEnvironmentVariable("STRELKAVO_BIN_DIR") + u"/strelkavo-icons"_s, {out.path()});
        for (int size : {16, 32, 48, 64, 128, 256})
            faults += iconFaults(QImage(out.filePath(u"%1x%1/apps/pl.strelkavo.Strelkavo.png"_s.arg(size))), size);
        seen << faults.trimmed();
    }
    return seen.join(u", "_s);
}

// Alike at scale factor 1 and 2: the test runs at both.
void WindowTest::looks_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("seen");

    QTest::newRow("size") << u"size"_s << u"408x301, fixed"_s;
    QTest::newRow("controls apart, the search box over its label's end")
        << u"controls"_s << u"Label1 over Szukaj"_s;
    QTest::newRow("tab order") << u"tab order"_s << u"List1, Szukaj, WWW, zwiń, ä, ö, ü, ß, List1"_s;
    QTest::newRow("list: whole rows, the widest row fits") << u"list"_s << u"16 whole rows"_s;
    QTest::newRow("title, label, padded rows, sorted words")
        << u"texts"_s
        << u"Strelkavo, Szukaj,  sein           war            gewesen        , "
           " zurückschlagen schlug zurück  zurückgeschlagen, anfangen, angefangen, ärgern, Fahrt, "
           "gegangen, gehabt, gehen, geöffnet, gewesen, ging, haben, öffnen, schlug zurück, sein, "
           "üben, war, zeigen"_s;
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
    if (m_window->isMinimized())
        seen << u"minimised"_s;
    seen << u"box \"%1\""_s.arg(m_box->text());
    if (m_box->cursorPosition() != m_box->text().size())
        seen << u"caret %1"_s.arg(m_box->cursorPosition());
    for (const QModelIndex &row : m_list->selectionModel()->selectedRows()) {
        const bool inSight = m_list->viewport()->rect().contains(m_list->visualRect(row));
        seen << u"row %1"_s.arg(row.row()) + (inSight ? u""_s : u" out of sight"_s);
    }
    if (QWidget *focus = QApplication::focusWidget())
        seen << u"focus "_s + focus->objectName();
    return seen.join(u", "_s) + u", %1 rows"_s.arg(m_list->model()->rowCount());
}

// With row 0 selected, the focus in the list and the caret at the start of
// the box holding "before": keys typed; keys queued faster than the program
// reacts, '\b' for Backspace (a search must read the box after its yield, not
// before); a button clicked; a menu item picked; a load that fails.
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
    row("type GEH: gehabt", "", "type GEH", shown("GEH", 3, "List1"));
    row("type sc: a word with a blank", "", "type sc", shown("sc", 7, "List1"));
    row("type z: the last row, brought into sight", "", "type z", shown("z", 39, "List1"));
    row("type f: capital Fahrt not found", "", "type f", shown("f", 0, "List1"));
    row("type eleven, ten kept", "", "type angefangenx", shown("angefangen", 4, "List1"));
    row("queue geh", "", "queue geh", shown("geh", 3, "List1"));
    row("queue geh, back to empty", "", "queue geh\b\b\b", shown("", 4, "List1"));
    row("click ä on the empty box", "", "click ä", shown("ä", 2, "Szukaj"));
    row("click ö: to the end, not the caret", "ge", "click ö", shown("geö", 5, "Szukaj"));
    row("click ü", "", "click ü", shown("ü", 6, "Szukaj"));
    row("click ß on a full box", "angefangen", "click ß", shown("angefangen", 0, "Szukaj"));
    row("click zwiń with no tray", "", "click zwiń", u"shown, minimised, box \"\", row 0, focus Command2, 40 rows"_s);
    row("menu Pokaż główne okno programu", "", "menu Pokaż główne okno programu", shown("", 0, "Szukaj"));
    row("menu Zamknij", "", "menu Zamknij", u"hidden, box \"\", 0 rows"_s);
    row("close while a search waits", "", "queue geh, close", u"hidden, box \"geh\", 0 rows"_s);
    row("load an undecodable word", "", "load", u"hidden, box \"\", 0 rows"_s);
}

void WindowTest::act()
{
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QString, after);

    m_box->setText(before);
    m_box->setCursorPosition(0);
    m_list->setCurrentIndex(m_list->model()->index(0, 0));
    m_list->setFocus();
    const QString verb = action.section(u' ', 0, 0);
    QString what = action.section(u' ', 1);
    if (verb == u"type") {
        for (const QChar ch : what)
            QTest::sendKeyEvent(QTest::Click, m_box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    } else if (verb == u"queue") {
        const bool close = what.endsWith(u", close"_s);
        for (const QChar ch : what.remove(u", close"_s)) {
            const int key = ch == u'\b' ? int(Qt::Key_Backspace) : int(Qt::Key_unknown);
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QCoreApplication::postEvent(m_box, new QKeyEvent(type, key, {}, ch == u'\b' ? u""_s : ch));
        }
        if (close)
            QMetaObject::invokeMethod(m_window.get(), "close", Qt::QueuedConnection);
    } else if (verb == u"click") {
        QTest::mouseClick(button(what), Qt::LeftButton);
    } else if (verb == u"menu") {
        for (QAction *item : m_window->findChild<QMenu *>(u"mnuBar"_s)->actions())
            if (item->text() == what)
                item->trigger();
    } else if (verb == u"load") {
        QVERIFY(load(sampleVerbs(), {u"gehen"_s, u"Ж"_s}));
        m_box->setText(u"g"_s);
        m_box->clear();
    }
    QCoreApplication::processEvents();
    QCOMPARE(state(), after);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
