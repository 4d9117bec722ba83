#include "tray/traydecoder.h"

#include <QTest>

#include <stdexcept>

using namespace strelkavo;

Q_DECLARE_METATYPE(strelkavo::TrayActivation)
Q_DECLARE_METATYPE(strelkavo::TrayKind)

class TestTrayDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dispatch_data();
    void dispatch();
    void callbacksDuringTheMenuOnlyRecord();
    void callbacksDuringRestoreOnlyRecord();
    void failingMenuClearsBusy();
    void callbackCodeOfActivation_data();
    void callbackCodeOfActivation();
};

void TestTrayDecoder::dispatch_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("restores");
    QTest::addColumn<int>("menus");

    QTest::newRow("512 pointer moves") << 512 << 0 << 0;
    QTest::newRow("513 left down") << 513 << 0 << 0;
    QTest::newRow("514 left up") << 514 << 0 << 0;
    QTest::newRow("515 left double-click") << 515 << 1 << 0;
    QTest::newRow("516 right down") << 516 << 0 << 0;
    QTest::newRow("517 right up") << 517 << 0 << 1;
    QTest::newRow("518 right double-click") << 518 << 0 << 0;
    QTest::newRow("519 middle down") << 519 << 0 << 0;
    QTest::newRow("520 middle up") << 520 << 0 << 0;
    QTest::newRow("0") << 0 << 0 << 0;
}

void TestTrayDecoder::dispatch()
{
    QFETCH(int, code);
    QFETCH(int, restores);
    QFETCH(int, menus);

    TrayCallbackDecoder decoder;
    int restored = 0, opened = 0;
    bool busyInside = false;
    const TrayCallbackDecoder::Actions actions{
        [&] { ++restored; busyInside = decoder.busy(); },
        [&] { ++opened; busyInside = decoder.busy(); }};
    decoder.callback(code, actions);
    QCOMPARE(restored, restores);
    QCOMPARE(opened, menus);
    QCOMPARE(decoder.lastCode(), code);
    QVERIFY(!decoder.busy());
    QCOMPARE(busyInside, restores + menus > 0);
}

void TestTrayDecoder::callbacksDuringTheMenuOnlyRecord()
{
    TrayCallbackDecoder decoder;
    int restored = 0, opened = 0;
    TrayCallbackDecoder::Actions actions;
    actions.restore = [&] { ++restored; };
    actions.popupMenu = [&] {
        ++opened;
        // The menu's own event loop delivers further clicks on the icon.
        decoder.callback(515, actions);
        QCOMPARE(decoder.lastCode(), 515);
        decoder.callback(517, actions);
        QCOMPARE(decoder.lastCode(), 517);
        QVERIFY(decoder.busy());
    };
    decoder.callback(517, actions);
    QCOMPARE(opened, 1);
    QCOMPARE(restored, 0);
    QVERIFY(!decoder.busy());

    // Dismissed without a choice: the next double-click restores.
    decoder.callback(515, actions);
    QCOMPARE(restored, 1);
    QCOMPARE(opened, 1);
}

void TestTrayDecoder::callbacksDuringRestoreOnlyRecord()
{
    TrayCallbackDecoder decoder;
    int restored = 0, opened = 0;
    TrayCallbackDecoder::Actions actions;
    actions.popupMenu = [&] { ++opened; };
    actions.restore = [&] {
        ++restored;
        decoder.callback(517, actions);
        decoder.callback(515, actions);
    };
    decoder.callback(515, actions);
    QCOMPARE(restored, 1);
    QCOMPARE(opened, 0);
    QCOMPARE(decoder.lastCode(), 515);
    QVERIFY(!decoder.busy());
}

// A flag left set would silence the icon for the rest of the run.
void TestTrayDecoder::failingMenuClearsBusy()
{
    TrayCallbackDecoder decoder;
    int restored = 0;
    const TrayCallbackDecoder::Actions actions{
        [&] { ++restored; }, [] { throw std::runtime_error("menu failed"); }};
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, decoder.callback(517, actions));
    QVERIFY(!decoder.busy());
    decoder.callback(515, actions);
    QCOMPARE(restored, 1);
}

void TestTrayDecoder::callbackCodeOfActivation_data()
{
    QTest::addColumn<TrayActivation>("reason");
    QTest::addColumn<TrayKind>("kind");
    QTest::addColumn<int>("code");

    using A = TrayActivation;
    QTest::newRow("xembed double-click") << A::DoubleClick << TrayKind::XEmbed << 515;
    QTest::newRow("xembed trigger is a press") << A::Trigger << TrayKind::XEmbed << 513;
    QTest::newRow("xembed context is the press") << A::Context << TrayKind::XEmbed << 516;
    QTest::newRow("xembed middle") << A::MiddleClick << TrayKind::XEmbed << 519;
    QTest::newRow("xembed unknown") << A::Unknown << TrayKind::XEmbed << 512;
    QTest::newRow("bus double-click") << A::DoubleClick << TrayKind::StatusNotifier << 515;
    QTest::newRow("bus trigger restores") << A::Trigger << TrayKind::StatusNotifier << 515;
    QTest::newRow("bus context opens the menu") << A::Context << TrayKind::StatusNotifier << 517;
    QTest::newRow("bus middle") << A::MiddleClick << TrayKind::StatusNotifier << 519;
    QTest::newRow("bus unknown") << A::Unknown << TrayKind::StatusNotifier << 512;
}

void TestTrayDecoder::callbackCodeOfActivation()
{
    QFETCH(TrayActivation, reason);
    QFETCH(TrayKind, kind);
    QFETCH(int, code);
    QCOMPARE(callbackCode(reason, kind), code);
}

QTEST_GUILESS_MAIN(TestTrayDecoder)
#include "tst_traydecoder.moc"
