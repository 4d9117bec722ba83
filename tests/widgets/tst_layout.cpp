// The window's frame, controls, focus, keys and menu as a user meets them, and
// the "zwiń" button on a desktop without a notification area.

#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

using namespace strelkavo;
using namespace strelkavo::testing;

namespace {

QString captionOf(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    return {};
}

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_data();
    void controls();
    void windowFrame();
    void hiddenControlsStayHidden();
    void focusStartsInList();
    void tabOrder_data();
    void tabOrder();
    void enterAndEscapeClickNoButton_data();
    void enterAndEscapeClickNoButton();
    void accessibleNames();
    void menu();
    void zwinWithoutNotificationArea();
};

void LayoutTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("shown");

    QTest::newRow("List1") << QStringLiteral("List1") << -1 << QRect(8, 8, 393, 259) << QString()
                           << true;
    QTest::newRow("List2") << QStringLiteral("List2") << -1 << QRect(232, 0, 113, 121)
                           << QString() << false;
    QTest::newRow("Szukaj") << QStringLiteral("Szukaj") << -1 << QRect(64, 275, 97, 19)
                            << QString() << true;
    QTest::newRow("Label1") << QStringLiteral("Label1") << -1 << QRect(8, 275, 65, 17)
                            << QStringLiteral("Szukaj") << true;
    QTest::newRow("Command1") << QStringLiteral("Command1") << -1 << QRect(272, 272, 81, 25)
                              << QStringLiteral("WWW") << true;
    QTest::newRow("Command2") << QStringLiteral("Command2") << -1 << QRect(360, 272, 41, 25)
                              << QStringLiteral("zwiń") << true;
    QTest::newRow("pichook") << QStringLiteral("pichook") << -1 << QRect(248, 192, 57, 37)
                             << QString() << false;
    const QString letters[] = {QStringLiteral("ä"), QStringLiteral("ö"), QStringLiteral("ü"),
                               QStringLiteral("ß")};
    for (int i = 0; i < 4; ++i)
        QTest::addRow("Command3[%d]", i) << QStringLiteral("Command3") << i
                                         << QRect(168 + 24 * i, 272, 25, 25) << letters[i] << true;
}

void LayoutTest::controls()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(bool, shown);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));
    QWidget *widget = s.c->byName(name, index);
    QVERIFY(widget);

    QCOMPARE(widget->parentWidget(), s.window.get());
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(captionOf(widget), caption);
    QCOMPARE(widget->isVisible(), shown);
}

void LayoutTest::windowFrame()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));
    frmMain &window = *s.window;

    QCOMPARE(window.windowTitle(), QStringLiteral("Strelkavo"));
    QCOMPARE(window.size(), QSize(408, 301));
    QCOMPARE(window.minimumSize(), QSize(408, 301));
    QCOMPARE(window.maximumSize(), QSize(408, 301));
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(window.isWindow());

    window.resize(600, 500);
    QCOMPARE(window.size(), QSize(408, 301));
}

void LayoutTest::hiddenControlsStayHidden()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));
    auto neverShown = [&] {
        return !s.c->List2->isVisible() && !s.c->pichook->isVisible() && !s.c->mnuBar->isVisible();
    };
    QVERIFY(neverShown());

    typeText(s.c->Szukaj, QStringLiteral("gehä"));
    QVERIFY(neverShown());
    QTest::mouseClick(s.c->Command3[3], Qt::LeftButton);
    QTest::keyClick(s.c->List1, Qt::Key_Down);
    QVERIFY(neverShown());
    s.window->hide();
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
    QVERIFY(neverShown());
}

void LayoutTest::focusStartsInList()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));

    QCOMPARE(controlName(QApplication::focusWidget()), QStringLiteral("List1"));
    QVERIFY(s.c->Szukaj->text().isEmpty());
}

void LayoutTest::tabOrder_data()
{
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QStringList>("order");

    const QStringList forwards = {
        QStringLiteral("Szukaj"),      QStringLiteral("Command1"),    QStringLiteral("Command2"),
        QStringLiteral("Command3[0]"), QStringLiteral("Command3[1]"), QStringLiteral("Command3[2]"),
        QStringLiteral("Command3[3]"), QStringLiteral("List1"),
    };
    QStringList backwards(forwards.crbegin() + 1, forwards.crend());
    backwards.append(QStringLiteral("List1"));
    QTest::newRow("Tab") << false << forwards;
    QTest::newRow("Shift+Tab") << true << backwards;
}

void LayoutTest::tabOrder()
{
    QFETCH(bool, backwards);
    QFETCH(QStringList, order);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));
    QCOMPARE(controlName(QApplication::focusWidget()), QStringLiteral("List1"));

    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        if (backwards)
            QTest::keyClick(focus, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(focus, Qt::Key_Tab);
        visited.append(controlName(QApplication::focusWidget()));
    }
    QCOMPARE(visited, order);
}

void LayoutTest::enterAndEscapeClickNoButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");

    const int keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape};
    const char *keyNames[] = {"Return", "Enter", "Escape"};
    for (const char *focus : {"Szukaj", "List1"})
        for (int k = 0; k < 3; ++k)
            QTest::addRow("%s in %s", keyNames[k], focus) << QString::fromLatin1(focus) << keys[k];
}

void LayoutTest::enterAndEscapeClickNoButton()
{
    QFETCH(QString, focus);
    QFETCH(int, key);

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));
    int clicks = 0;
    QList<QPushButton *> buttons = {s.c->Command1, s.c->Command2};
    for (QPushButton *button : s.c->Command3)
        buttons.append(button);
    for (QPushButton *button : buttons)
        connect(button, &QPushButton::clicked, this, [&clicks] { ++clicks; });

    typeText(s.c->Szukaj, QStringLiteral("geh"));
    QCOMPARE(selectedRow(s.c->List1), 3);
    QWidget *target = s.c->byName(focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    QTest::keyClick(target, Qt::Key(key));
    QCoreApplication::processEvents();

    QCOMPARE(clicks, 0);
    QVERIFY(s.window->isVisible());
    QVERIFY(!s.window->isMinimized());
    QCOMPARE(s.c->Szukaj->text(), QStringLiteral("geh"));
    QCOMPARE(selectedRow(s.c->List1), 3);
    QCOMPARE(s.c->List1->model()->rowCount(), kSampleVerbRows);
}

void LayoutTest::accessibleNames()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));

    int visibleControls = 0;
    const auto children = s.window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (!child->isVisible())
            continue;
        ++visibleControls;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(child);
        QVERIFY2(accessible, qPrintable(controlName(child)));
        QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(),
                 qPrintable(controlName(child)));
    }
    QCOMPARE(visibleControls, 9);
}

void LayoutTest::menu()
{
    Session s;
    QString why;
    QVERIFY2(s.openSample(&why, false), qPrintable(why));

    QCOMPARE(s.c->mnuBar->title(), QStringLiteral("Main"));
    const QList<QAction *> actions = s.c->mnuBar->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0], s.c->showMW);
    QCOMPARE(actions[1], s.c->mnuExit);
    QCOMPARE(s.c->showMW->text(), QStringLiteral("Pokaż główne okno programu"));
    QCOMPARE(s.c->mnuExit->text(), QStringLiteral("Zamknij"));
    QVERIFY(!s.c->mnuBar->isVisible());
    QVERIFY(s.window->findChildren<QMenuBar *>().isEmpty());
}

void LayoutTest::zwinWithoutNotificationArea()
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("this platform has a notification area");

    Session s;
    QString why;
    QVERIFY2(s.openSample(&why), qPrintable(why));
    QTest::mouseClick(s.c->Command2, Qt::LeftButton);
    QCoreApplication::processEvents();

    // Hidden with no icon to click, the window could never come back.
    QVERIFY(s.window->windowState().testFlag(Qt::WindowMinimized));
    QVERIFY(s.window->isVisible());
    QCOMPARE(s.window->trayIcon(), nullptr);
    QCOMPARE(s.c->List1->model()->rowCount(), kSampleVerbRows);
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
