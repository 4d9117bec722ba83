// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tray/traykind.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>

#include <stdexcept>

using namespace strelkavo;

Q_DECLARE_METATYPE(strelkavo::TrayActivation)
Q_DECLARE_METATYPE(strelkavo::TrayKind)

class TestTray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dispatch_data();
    void dispatch();
    void callbackCodeOfActivation_data();
    void callbackCodeOfActivation();
    void rightButtonRelease_data();
    void rightButtonRelease();
};

// The menu runs an event loop of its own, which delivers further clicks on the
// icon; the restore may too. Those are recorded and otherwise dropped, and the
// decoder must come out free, or the icon would be dead for the rest of the run.
void TestTray::dispatch_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<int>>("during");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<int>("restores");
    QTest::addColumn<int>("menus");

    const char *names[] = {"pointer moves", "left down",  "left up",
                           "left double-click", "right down", "right up",
                           "right double-click", "middle down", "middle up"};
    for (int code = 512; code <= 520; ++code)
        QTest::addRow("%d %s", code, names[code - 512]) << code << QList<int>() << false
            << int(code == TrayCode::LeftDoubleClick) << int(code == TrayCode::RightUp);
    QTest::newRow("clicks during the menu") << 517 << QList<int>{515, 517} << false << 0 << 1;
    QTest::newRow("clicks while restoring") << 515 << QList<int>{517, 515} << false << 1 << 0;
    QTest::newRow("the menu fails") << 517 << QList<int>{515} << true << 0 << 1;
}

void TestTray::dispatch()
{
    QFETCH(int, code);
    QFETCH(QList<int>, during);
    QFETCH(bool, fails);
    QFETCH(int, restores);
    QFETCH(int, menus);

    TrayCallbackDecoder decoder;
    int restored = 0, opened = 0;
    QList<int> recorded;
    bool busyInside = true;
    TrayCallbackDecoder::Actions actions;
    const auto act = [&](int &count) {
        ++count;
        busyInside = busyInside && decoder.busy();
        for (int inner : during) {
            decoder.callback(inner, actions);
            recorded << decoder.lastCode();
        }
        if (fails)
            throw std::runtime_error("menu failed");
    };
    actions = {[&] { act(restored); }, [&] { act(opened); }};
    if (fails)
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, decoder.callback(code, actions));
    else
        decoder.callback(code, actions);
    QCOMPARE(restored, restores);
    QCOMPARE(opened, menus);
    QCOMPARE(recorded, during);
    QVERIFY(busyInside);
    QCOMPARE(decoder.lastCode(), during.isEmpty() ? code : during.last());
    QVERIFY(!decoder.busy());

    int again = 0;
    decoder.callback(TrayCode::LeftDoubleClick, {[&] { ++again; }, [] {}});
    QCOMPARE(again, 1);
}

void TestTray::callbackCodeOfActivation_data()
{
    QTest::addColumn<TrayActivation>("reason");
    QTest::addColumn<TrayKind>("kind");
    QTest::addColumn<int>("code");

    // An embedded icon reports presses; a bus host's Activate is the one click
    // that restores and its ContextMenu wants the menu now.
    const std::tuple<const char *, TrayActivation, int, int> reasons[] = {
        {"double-click", TrayActivation::DoubleClick, 515, 515},
        {"trigger", TrayActivation::Trigger, 513, 515},
        {"context", TrayActivation::Context, 516, 517},
        {"middle", TrayActivation::MiddleClick, 519, 519},
        {"unknown", TrayActivation::Unknown, 512, 512}};
    for (const auto &[name, reason, xembed, bus] : reasons) {
        QTest::addRow("xembed %s", name) << reason << TrayKind::XEmbed << xembed;
        QTest::addRow("bus %s", name) << reason << TrayKind::StatusNotifier << bus;
    }
}

void TestTray::callbackCodeOfActivation()
{
    QFETCH(TrayActivation, reason);
    QFETCH(TrayKind, kind);
    QFETCH(int, code);
    QCOMPARE(callbackCode(reason, kind), code);
}

// One mouse event as the toolkit delivers it, to the 22-pixel icon window or
// to an object that stands for its widget, then a right release over the
// icon's middle. arms: 0 never armed, 1 armed, 2 armed twice, -1 armed and
// disarmed. A report says whether the release was over the icon.
void TestTray::rightButtonRelease_data()
{
    QTest::addColumn<int>("arms");
    QTest::addColumn<bool>("press");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("toWindow");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QList<bool>>("reports");

    const auto row = [](const char *name, int arms, QPointF position, QList<bool> reports,
                        bool press = false, int button = Qt::RightButton, bool toWindow = true) {
        QTest::newRow(name) << arms << press << button << toWindow << position << reports;
    };
    row("never armed", 0, {11, 11}, {});
    row("armed and disarmed", -1, {11, 11}, {});
    row("over the icon: reported once", 1, {11, 11}, {true});
    row("armed twice: reported once", 2, {11, 11}, {true});
    row("top-left corner", 1, {0, 0}, {true});
    row("bottom-right pixel", 1, {21, 21}, {true});
    row("left of it", 1, {-1, 11}, {false});
    row("right edge", 1, {22, 11}, {false});
    row("bottom edge", 1, {11, 22}, {false});
    row("left button ignored", 1, {-5, 3}, {true}, false, Qt::LeftButton);
    row("press ignored", 1, {-5, 3}, {true}, true);
    row("the widget's copy ignored", 1, {-5, 3}, {true}, false, Qt::RightButton, false);
}

void TestTray::rightButtonRelease()
{
    QFETCH(int, arms);
    QFETCH(bool, press);
    QFETCH(int, button);
    QFETCH(bool, toWindow);
    QFETCH(QPointF, position);
    QFETCH(QList<bool>, reports);

    QWindow icon;
    icon.resize(22, 22);
    QObject widget;
    QList<bool> reported;
    RightButtonRelease watch([&](bool overIcon) { reported << overIcon; });
    for (int i = 0; i < std::abs(arms); ++i)
        watch.arm();
    if (arms < 0)
        watch.disarm();

    const auto b = Qt::MouseButton(button);
    QMouseEvent first(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, position,
                      position, b, press ? b : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(toWindow ? static_cast<QObject *>(&icon) : &widget, &first);
    QMouseEvent then(QEvent::MouseButtonRelease, QPointF(11, 11), QPointF(11, 11),
                     Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&icon, &then);

    QCOMPARE(reported, reports);
    QVERIFY(!watch.armed());
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
