// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tray/traykind.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>

#include <stdexcept>

using namespace strelkavo;
using namespace Qt::StringLiterals;

class TestTray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decoder_data();
    void decoder();
    void rightRelease_data();
    void rightRelease();
};

// An activation of the icon, read as its kind of tray means it, and the codes
// that arrive while the action runs an event loop of its own: those are
// recorded and dropped, and the decoder comes out free even when the action
// fails, or the icon would be dead for the rest of the run.
void TestTray::decoder_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("bus");
    QTest::addColumn<QList<int>>("during");
    QTest::addColumn<QString>("done");

    using R = TrayActivation;
    const auto row = [](const char *name, R reason, bool bus, const char *done,
                        QList<int> during = {}) {
        QTest::newRow(name) << int(reason) << bus << during << QString::fromLatin1(done);
    };
    row("embedded: left press does nothing", R::Trigger, false, "");
    row("embedded: double-click restores", R::DoubleClick, false, "restore");
    row("embedded: right press waits for its release", R::Context, false, "");
    row("bus: activate restores", R::Trigger, true, "restore");
    row("bus: context menu opens the menu", R::Context, true, "menu");
    row("clicks during the menu dropped", R::Context, true, "menu", {515, 517, 513});
    row("clicks while restoring dropped", R::DoubleClick, false, "restore", {517, 515});
    row("the menu fails", R::Context, true, "menu, failed", {515, -1});
}

void TestTray::decoder()
{
    QFETCH(int, reason);
    QFETCH(bool, bus);
    QFETCH(QList<int>, during);
    QFETCH(QString, done);

    TrayCallbackDecoder decoder;
    QStringList did;
    QList<int> recorded;
    TrayCallbackDecoder::Actions actions;
    const auto act = [&](const char *what) {
        did << QString::fromLatin1(what);
        QVERIFY(decoder.busy());
        for (int code : during) {
            if (code < 0)
                throw std::runtime_error("failed");
            decoder.callback(code, actions);
            recorded << decoder.lastCode();
        }
    };
    actions = {[&] { act("restore"); }, [&] { act("menu"); }};
    try {
        decoder.callback(callbackCode(TrayActivation(reason), bus ? TrayKind::StatusNotifier
                                                                  : TrayKind::XEmbed),
                         actions);
    } catch (const std::runtime_error &) {
        did << QStringLiteral("failed");
    }
    QCOMPARE(did.join(u", "), done);
    QCOMPARE(recorded, during.mid(0, recorded.size()));
    QCOMPARE(recorded.size(), during.size() - during.count(-1));

    // Free again: the release an embedded icon waits for opens the menu.
    during.clear();
    did.clear();
    decoder.callback(TrayCode::RightUp, actions);
    QCOMPARE(did, QStringList{QStringLiteral("menu")});
}

// Once armed by the right button going down on the embedded icon (a 22-pixel
// window), the next right-button release that reaches a window says whether
// it was over the icon; the widget's copy of the event, a press or another
// button's release are no release of it.
void TestTray::rightRelease_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("toWindow");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QString>("reports");

    const auto row = [](const char *name, QPointF at, const char *reports, bool armed = true,
                        int button = Qt::RightButton, bool toWindow = true) {
        QTest::newRow(name) << armed << button << toWindow << at << QString::fromLatin1(reports);
    };
    row("over the middle, then again: once", {11, 11}, "over");
    row("top-left pixel", {0, 0}, "over");
    row("bottom-right pixel", {21, 21}, "over");
    row("right of it", {22, 11}, "elsewhere");
    row("below it", {11, 22}, "elsewhere");
    row("never armed", {11, 11}, "", false);
    row("left button, then the right", {-5, 3}, "over", true, Qt::LeftButton);
    row("the widget's copy, then the window's", {-5, 3}, "over", true, Qt::RightButton, false);
}

void TestTray::rightRelease()
{
    QFETCH(bool, armed);
    QFETCH(int, button);
    QFETCH(bool, toWindow);
    QFETCH(QPointF, at);
    QFETCH(QString, reports);

    QWindow icon;
    icon.resize(22, 22);
    QObject widget;
    QStringList reported;
    RightButtonRelease watch([&](bool over) { reported << (over ? u"over"_s : u"elsewhere"_s); });
    if (armed)
        watch.arm();
    const auto release = [&](QObject *to, QPointF where, Qt::MouseButton which) {
        QMouseEvent event(QEvent::MouseButtonRelease, where, where, which, {}, {});
        QCoreApplication::sendEvent(to, &event);
    };
    release(toWindow ? static_cast<QObject *>(&icon) : &widget, at, Qt::MouseButton(button));
    release(&icon, {11, 11}, Qt::RightButton);
    QCOMPARE(reported.join(u' '), reports);
    QVERIFY(!watch.armed());
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
