// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tray/traydecoder.h"
#include "tray/traykind.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>

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
    void rightRelease_data();
    void rightRelease();
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
    QCOMPARE(did.join(u", "), done.isEmpty() ? u"menu"_s : done + u", menu"_s);
}

// Armed by the right button going down on an embedded icon (a 22-pixel
// window), the watch reports the next right-button release, once: over the
// icon or elsewhere. Another button's release is not that release.
void TestTray::rightRelease_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QString>("reports");

    QTest::newRow("over the middle, then again: once") << true << int(Qt::RightButton)
                                                        << QPointF(11, 11) << u"over"_s;
    QTest::newRow("bottom-right pixel") << true << int(Qt::RightButton) << QPointF(21, 21)
                                        << u"over"_s;
    QTest::newRow("right of it") << true << int(Qt::RightButton) << QPointF(22, 11)
                                 << u"elsewhere"_s;
    QTest::newRow("never armed") << false << int(Qt::RightButton) << QPointF(11, 11) << u""_s;
    QTest::newRow("left button, then the right")
        << true << int(Qt::LeftButton) << QPointF(30, 3) << u"over"_s;
}

// The release of the row, then one over the middle of the icon.
void TestTray::rightRelease()
{
    QFETCH(bool, armed);
    QFETCH(int, button);
    QFETCH(QPointF, at);
    QFETCH(QString, reports);

    QWindow icon;
    icon.resize(22, 22);
    QStringList reported;
    RightButtonRelease watch([&](bool over) { reported << (over ? u"over"_s : u"elsewhere"_s); });
    if (armed)
        watch.arm();
    QMouseEvent first(QEvent::MouseButtonRelease, at, at, Qt::MouseButton(button), {}, {});
    QCoreApplication::sendEvent(&icon, &first);
    QMouseEvent second(QEvent::MouseButtonRelease, {11, 11}, {11, 11}, Qt::RightButton, {}, {});
    QCoreApplication::sendEvent(&icon, &second);
    QCOMPARE(reported.join(u' '), reports);
    QVERIFY(!watch.armed());
}

// The release watch needs windows; the offscreen platform gives them.
QTEST_MAIN(TestTray)
#include "tst_tray.moc"
