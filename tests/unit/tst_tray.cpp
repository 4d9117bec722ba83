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

QTEST_GUILESS_MAIN(TestTray)
#include "tst_tray.moc"
