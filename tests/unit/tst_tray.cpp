// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tray/traydecoder.h"

#include <QTest>

#include <stdexcept>
#include <utility>

using namespace strelkavo;
using namespace Qt::StringLiterals;

class TestTray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decoder_data();
    void decoder();
};

// An activation of the icon, read as its kind of tray means it, and the codes
// that arrive while the action runs an event loop of its own (-1: the action
// fails there). Those are recorded and dropped, and the decoder comes out
// free in any case, or the icon would be dead for the rest of the run: the
// release an embedded icon waits for opens the menu then.
void TestTray::decoder_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("bus");
    QTest::addColumn<QList<int>>("during");
    QTest::addColumn<QStringList>("done");

    using R = TrayActivation;
    const QStringList nothing, restore{u"restore"_s}, menu{u"menu"_s};
    const QStringList menuFailed{u"menu"_s, u"failed"_s};
    const QList<int> none;
    QTest::newRow("embedded: left press does nothing")
        << int(R::Trigger) << false << none << nothing;
    QTest::newRow("embedded: double-click restores")
        << int(R::DoubleClick) << false << none << restore;
    QTest::newRow("embedded: right press waits for its release")
        << int(R::Context) << false << none << nothing;
    QTest::newRow("bus: activate restores") << int(R::Trigger) << true << none << restore;
    QTest::newRow("bus: context menu opens the menu") << int(R::Context) << true << none << menu;
    QTest::newRow("clicks during the menu dropped")
        << int(R::Context) << true << QList<int>{515, 517, 513} << menu;
    QTest::newRow("clicks while restoring dropped")
        << int(R::DoubleClick) << false << QList<int>{517, 515} << restore;
    QTest::newRow("the menu fails") << int(R::Context) << true << QList<int>{515, -1} << menuFailed;
}

void TestTray::decoder()
{
    QFETCH(int, reason);
    QFETCH(bool, bus);
    QFETCH(QList<int>, during);
    QFETCH(QStringList, done);

    TrayCallbackDecoder decoder;
    QStringList did;
    QList<int> recorded;
    TrayCallbackDecoder::Actions actions;
    const auto act = [&](const char *what) {
        did << QString::fromLatin1(what);
        QVERIFY(decoder.busy());
        for (int code : std::exchange(during, {})) {
            if (code < 0)
                throw std::runtime_error("failed");
            decoder.callback(code, actions);
            recorded << decoder.lastCode();
        }
    };
    actions = {[&] { act("restore"); }, [&] { act("menu"); }};
    const QList<int> sent = during;
    const TrayKind kind = bus ? TrayKind::StatusNotifier : TrayKind::XEmbed;
    try {
        decoder.callback(callbackCode(TrayActivation(reason), kind), actions);
    } catch (const std::runtime_error &) {
        did << u"failed"_s;
    }
    QCOMPARE(recorded, sent.mid(0, sent.indexOf(-1)));
    decoder.callback(TrayCode::RightUp, actions);
    QCOMPARE(did, done + QStringList{u"menu"_s});
}

QTEST_GUILESS_MAIN(TestTray)
#include "tst_tray.moc"
