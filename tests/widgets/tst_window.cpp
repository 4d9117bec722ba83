// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real window from start-up to shutdown on data files in a temporary
// directory: what it loads, how it fails, its controls, focus, keys and menu.

#include "windowfixture.h"

#include "table/rows.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QWindow>

using namespace strelkavo;
using namespace strelkavo::testing;
using namespace Qt::StringLiterals;

class WindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUp();
    void load_data();
    void load();
    void closeEmptiesLists_data();
    void closeEmptiesLists();
    void controls_data();
    void controls();
    void windowAndMenu();
    void tabOrder_data();
    void tabOrder();
    void enterAndEscapeClickNoButton_data();
    void enterAndEscapeClickNoButton();
    void accessibleNames();
    void zwinWithoutNotificationArea();
};

void WindowTest::startUp()
{
    Session s;
    QVERIFY(s.openSample());

    // File order, although "anfangen" would sort first.
    const QStringList rows = rowTexts(s.c->List1);
    QCOMPARE(rows.size(), kSampleRows);
    QCOMPARE(s.window->rowCount(), kSampleRows);
    for (int i = 0; i < kSampleRows; ++i)
        QCOMPARE(rows[i], displayRow(splitVerbLine(sampleVerbs()[i])));
    QCOMPARE(rows[2], QStringLiteral(" ärgern         ärgerte        geärgert       "));

    // "ä" among the a words, "ö" and "ü" beside o and u, and the capital of
    // "Fahrt" does not send it ahead of the small letters.
    QCOMPARE(rowTexts(s.c->List2).join(u' '),
             QStringLiteral("anfangen angefangen ärgern aß essen Fahrt gegangen gehabt gehen "
                            "geöffnet gewesen ging haben öffnen schließen sein üben war zeigen"));
    QCOMPARE(selectedRow(s.c->List1), -1);
    QVERIFY(s.c->Szukaj->text().isEmpty());
}

// How each file is made: the sample, empty, missing, a directory, or the
// sample with an undecodable byte in the given line.
void WindowTest::load_data()
{
    QTest::addColumn<QString>("verbs");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("failingFile");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("wordCount");

    const QString sample = u"sample"_s;
    QTest::newRow("empty verb file") << u"empty"_s << sample << QString() << 0 << 0 << 19;
    QTest::newRow("empty word file") << sample << u"empty"_s << QString() << 0 << kSampleRows << 0;
    QTest::newRow("verb file missing") << u"missing"_s << sample << kVerbFileName << 0 << 0 << 0;
    QTest::newRow("a directory in place of the word file")
        << sample << u"directory"_s << kWordFileName << 0 << 0 << 0;
    QTest::newRow("verb line 3 undecodable") << u"line 3"_s << sample << kVerbFileName << 3 << 0
                                             << 0;
    QTest::newRow("word line 2 undecodable") << sample << u"line 2"_s << kWordFileName << 2 << 0
                                             << 0;
}

void WindowTest::load()
{
    QFETCH(QString, verbs);
    QFETCH(QString, words);
    QFETCH(QString, failingFile);
    QFETCH(int, line);
    QFETCH(int, rows);
    QFETCH(int, wordCount);

    Session s;
    for (const auto &[fileName, how] : {std::pair(kVerbFileName, verbs), {kWordFileName, words}}) {
        if (how == u"empty")
            QVERIFY(s.write(fileName, {}));
        else if (how == u"directory")
            QVERIFY(QDir(s.dir.path()).mkdir(fileName));
        else if (how != u"missing")
            QVERIFY(s.write(fileName, fileName == kVerbFileName ? sampleVerbs() : sampleWords()));
        if (how.startsWith(u"line ")) {
            // A stored 0xFF would be raised past the code page: no character at all.
            QFile file(s.dir.filePath(fileName));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QList<QByteArray> lines = file.readAll().split('\n');
            lines[how.sliced(5).toInt() - 1].insert(1, '\xFF');
            QVERIFY(file.seek(0) && file.write(lines.join('\n')) > 0);
        }
    }

    const auto error = s.load();
    QCOMPARE(error.has_value(), !failingFile.isEmpty());
    if (error) {
        QCOMPARE(QFileInfo(error->file).fileName(), failingFile);
        QCOMPARE(error->line, line);
        QVERIFY(!error->what.isEmpty() && error->message().contains(failingFile));
    }
    QCOMPARE(s.c->List1->model()->rowCount(), rows);
    QCOMPARE(s.c->List2->model()->rowCount(), wordCount);
    // Neither a text that words begin with nor the empty text finds a row.
    s.c->Szukaj->setText(QStringLiteral("g"));
    QCOMPARE(selectedRow(s.c->List1), -1);
    s.c->Szukaj->clear();
    QCOMPARE(selectedRow(s.c->List1), -1);
}

void WindowTest::closeEmptiesLists_data()
{
    QTest::addColumn<bool>("throughWindowSystem");
    QTest::newRow("close()") << false;
    QTest::newRow("title-bar close") << true;
}

void WindowTest::closeEmptiesLists()
{
    QFETCH(bool, throughWindowSystem);
    Session s;
    QVERIFY(s.openSample(false));
    typeText(s.c->Szukaj, QStringLiteral("geh"));
    QCOMPARE(selectedRow(s.c->List1), 3);

    QVERIFY(throughWindowSystem ? s.window->windowHandle()->close() : s.window->close());
    QVERIFY(!s.window->isVisible());
    QCOMPARE(s.c->List1->model()->rowCount(), 0);
    QCOMPARE(s.c->List2->model()->rowCount(), 0);
    QCOMPARE(selectedRow(s.c->List1), -1);
}

void WindowTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("shown");

    const auto row = [](const char *name, QRect geometry, const QString &caption, bool shown) {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << caption << shown;
    };
    row("List1", {8, 8, 393, 259}, {}, true);
    row("List2", {232, 0, 113, 121}, {}, false);
    row("Szukaj", {64, 275, 97, 19}, {}, true);
    row("Label1", {8, 275, 65, 17}, QStringLiteral("Szukaj"), true);
    row("Command1", {272, 272, 81, 25}, QStringLiteral("WWW"), true);
    row("Command2", {360, 272, 41, 25}, QStringLiteral("zwiń"), true);
    row("pichook", {248, 192, 57, 37}, {}, false);
    const QString letters[] = {QStringLiteral("ä"), QStringLiteral("ö"), QStringLiteral("ü"),
                               QStringLiteral("ß")};
    for (int i = 0; i < 4; ++i)
        QTest::addRow("Command3[%d]", i) << QStringLiteral("Command3[%1]").arg(i)
                                         << QRect(168 + 24 * i, 272, 25, 25) << letters[i] << true;
}

void WindowTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(bool, shown);

    Session s;
    QVERIFY(s.openSample(false));
    QWidget *widget = nullptr;
    for (QWidget *child : s.window->findChildren<QWidget *>())
        if (controlName(child) == name)
            widget = child;
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), s.window.get());
    QCOMPARE(widget->geometry(), geometry);
    const auto *button = qobject_cast<QPushButton *>(widget);
    const auto *label = qobject_cast<QLabel *>(widget);
    QCOMPARE(button ? button->text() : label ? label->text() : QString(), caption);
    QCOMPARE(widget->isVisible(), shown);
}

void WindowTest::windowAndMenu()
{
    Session s;
    QVERIFY(s.openSample(false));
    frmMain &window = *s.window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Strelkavo"));
    QCOMPARE(window.size(), QSize(408, 301));
    window.resize(600, 500);
    QCOMPARE(window.size(), QSize(408, 301));
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));

    // The tray icon's popup menu, never a menu bar.
    QCOMPARE(s.c->mnuBar->title(), QStringLiteral("Main"));
    QStringList entries;
    for (const QAction *action : s.c->mnuBar->actions())
        entries << action->objectName() + u':' + action->text();
    QCOMPARE(entries, QStringList({QStringLiteral("showMW:Pokaż główne okno programu"),
                                   QStringLiteral("mnuExit:Zamknij")}));
    QVERIFY(!s.c->mnuBar->isVisible());
    QVERIFY(window.findChildren<QMenuBar *>().isEmpty());
}

void WindowTest::tabOrder_data()
{
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QStringList>("order");

    const QStringList forwards = QStringLiteral("Szukaj Command1 Command2 Command3[0] Command3[1] "
                                                "Command3[2] Command3[3] List1")
                                     .split(u' ');
    QStringList backwards(forwards.crbegin() + 1, forwards.crend());
    QTest::newRow("Tab") << false << forwards;
    QTest::newRow("Shift+Tab") << true << (backwards << QStringLiteral("List1"));
}

void WindowTest::tabOrder()
{
    QFETCH(bool, backwards);
    QFETCH(QStringList, order);

    Session s;
    QVERIFY(s.openSample());
    QCOMPARE(controlName(QApplication::focusWidget()), QStringLiteral("List1"));
    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
        visited << controlName(QApplication::focusWidget());
    }
    QCOMPARE(visited, order);
}

void WindowTest::enterAndEscapeClickNoButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");

    const std::pair<const char *, int> keys[] = {
        {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Escape", Qt::Key_Escape}};
    for (const char *focus : {"Szukaj", "List1"})
        for (const auto &[name, key] : keys)
            QTest::addRow("%s in %s", name, focus) << QString::fromLatin1(focus) << key;
}

void WindowTest::enterAndEscapeClickNoButton()
{
    QFETCH(QString, focus);
    QFETCH(int, key);

    Session s;
    QVERIFY(s.openSample());
    int clicks = 0;
    for (QPushButton *button : s.window->findChildren<QPushButton *>())
        connect(button, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    typeText(s.c->Szukaj, QStringLiteral("geh"));
    QWidget *target = focus == u"List1" ? static_cast<QWidget *>(s.c->List1) : s.c->Szukaj;
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    // A button's shortcut clicks it with a delay, as if pressed and let go.
    QTest::keyClick(target, Qt::Key(key));
    QTest::qWait(150);

    QCOMPARE(clicks, 0);
    QVERIFY(s.window->isVisible() && !s.window->isMinimized());
    QCOMPARE(s.c->Szukaj->text(), QStringLiteral("geh"));
    QCOMPARE(selectedRow(s.c->List1), 3);
    QCOMPARE(s.c->List1->model()->rowCount(), kSampleRows);
}

void WindowTest::accessibleNames()
{
    Session s;
    QVERIFY(s.openSample(false));
    int visibleControls = 0;
    for (QWidget *child : s.window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible())
            continue;
        ++visibleControls;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(child);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty(),
                 qPrintable(controlName(child)));
    }
    QCOMPARE(visibleControls, 9);
}

void WindowTest::zwinWithoutNotificationArea()
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("this platform has a notification area");
    Session s;
    QVERIFY(s.openSample());
    QTest::mouseClick(s.c->Command2, Qt::LeftButton);
    QCoreApplication::processEvents();

    // Hidden with no icon to click, the window could never come back.
    QVERIFY(s.window->windowState().testFlag(Qt::WindowMinimized));
    QVERIFY(s.window->isVisible());
    QCOMPARE(s.window->trayIcon(), nullptr);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
