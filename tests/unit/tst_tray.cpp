// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tray/traydecoder.h"

#include <QTest>

#include <stdexcept>

using namespace strelkavo;

class TestTray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decoder_data();
    void decoder();
};

// What the icon reports (an activation, read as the kind of tray means it),
// the clicks that arrive while the action runs its own event loop, and what
// must happen: those clicks are recorded and dropped, and the decoder comes
// out free even when the action fails, or the icon would be dead for the
// rest of the run.
void TestTray::decoder_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("bus");
    QTest::addColumn<QList<int>>("during");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<int>("restores");
    QTest::addColumn<int>("menus");

    using R = TrayActivation;
    const auto row = [](const char *name, R reason, bool bus, int restores, int menus,
                        QList<int> during = {}, bool fails = false) {
        QTest::newRow(name) << int(reason) << bus << during << fails << restores << menus;
    };
    row("embedded: left press does nothing", R::Trigger, false, 0, 0);
    row("embedded: double-click restores", R::DoubleClick, false, 1, 0);
    row("embedded: right press waits for its release", R::Context, false, 0, 0);
    row("embedded: middle click does nothing", R::MiddleClick, false, 0, 0);
    row("embedded: unknown does nothing", R::Unknown, false, 0, 0);
    row("bus: activate restores", R::Trigger, true, 1, 0);
    row("bus: double-click restores", R::DoubleClick, true, 1, 0);
    row("bus: context menu opens the menu", R::Context, true, 0, 1);
    row("bus: middle click does nothing", R::MiddleClick, true, 0, 0);
    row("clicks during the menu dropped", R::Context, true, 0, 1, {515, 517, 513});
    row("clicks while restoring dropped", R::DoubleClick, false, 1, 0, {517, 515});
    row("the menu fails", R::Context, true, 0, 1, {515}, true);
}

void TestTray::decoder()
{
    QFETCH(int, reason);
    QFETCH(bool, bus);
    QFETCH(QList<int>, during);
    QFETCH(bool, fails);
    QFETCH(int, restores);
    QFETCH(int, menus);

    TrayCallbackDecoder decoder;
    int restored = 0, opened = 0;
    QList<int> recorded;
    TrayCallbackDecoder::Actions actions;
    const auto act = [&](int &count) {
        ++count;
        QVERIFY(decoder.busy());
        for (int code : during) {
            decoder.callback(code, actions);
            recorded << decoder.lastCode();
        }
        if (fails)
            throw std::runtime_error("the menu failed");
    };
    actions = {[&] { act(restored); }, [&] { act(opened); }};
    const qint32 code = callbackCode(TrayActivation(reason),
                                     bus ? TrayKind::StatusNotifier : TrayKind::XEmbed);
    try {
        decoder.callback(code, actions);
    } catch (const std::runtime_error &) {
        QVERIFY(fails);
    }
    QCOMPARE(restored, restores);
    QCOMPARE(opened, menus);
    QCOMPARE(recorded, during);
    QVERIFY(!decoder.busy());

    // The release an embedded icon waits for, handed on as its own code.
    int next = 0;
    decoder.callback(TrayCode::RightUp, {[] {}, [&] { ++next; }});
    QCOMPARE(next, 1);
}

QTEST_GUILESS_MAIN(TestTray)
#include "tst_tray.moc"
