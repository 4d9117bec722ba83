#include "tray/traykind.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

#include <optional>
#include <vector>

using namespace strelkavo;

// The watch for the right button's release, fed with the events that the
// toolkit delivers: first to the window under the grab, then to its widget.
class TestTrayKind : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void unarmedSeesNothing();
    void releaseOverTheWindowReportsOnce();
    void releaseOutsideTheWindowReportsElsewhere_data();
    void releaseOutsideTheWindowReportsElsewhere();
    void otherButtonsAndPressesAreIgnored();
    void onlyTheWindowsCopyCounts();
    void disarmedSeesNothing();
    void armingTwiceReportsOnce();

private:
    void release(QObject *receiver, QPointF position, Qt::MouseButton button = Qt::RightButton);
    void press(QObject *receiver, QPointF position, Qt::MouseButton button = Qt::RightButton);

    QWindow *m_icon = nullptr;
    std::vector<bool> m_reports;
    RightButtonRelease *m_watch = nullptr;
};

void TestTrayKind::init()
{
    m_icon = new QWindow;
    m_icon->resize(22, 22);
    m_reports.clear();
    m_watch = new RightButtonRelease([this](bool overIcon) { m_reports.push_back(overIcon); });
}

void TestTrayKind::cleanup()
{
    delete m_watch;
    m_watch = nullptr;
    delete m_icon;
    m_icon = nullptr;
}

void TestTrayKind::release(QObject *receiver, QPointF position, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonRelease, position, position, button, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &event);
}

void TestTrayKind::press(QObject *receiver, QPointF position, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonPress, position, position, button, button,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &event);
}

void TestTrayKind::unarmedSeesNothing()
{
    QVERIFY(!m_watch->armed());
    release(m_icon, QPointF(11, 11));
    QVERIFY(m_reports.empty());
}

void TestTrayKind::releaseOverTheWindowReportsOnce()
{
    m_watch->arm();
    QVERIFY(m_watch->armed());
    release(m_icon, QPointF(11, 11));
    QCOMPARE(m_reports, std::vector<bool>{true});
    QVERIFY(!m_watch->armed());

    // The next release belongs to nobody's press on the icon.
    release(m_icon, QPointF(11, 11));
    QCOMPARE(m_reports.size(), std::size_t(1));

    // Corners are inside; the far edges are not.
    m_watch->arm();
    release(m_icon, QPointF(0, 0));
    m_watch->arm();
    release(m_icon, QPointF(21, 21));
    QCOMPARE(m_reports, (std::vector<bool>{true, true, true}));
}

void TestTrayKind::releaseOutsideTheWindowReportsElsewhere_data()
{
    QTest::addColumn<QPointF>("position");
    QTest::newRow("left") << QPointF(-1, 11);
    QTest::newRow("above") << QPointF(11, -1);
    QTest::newRow("right edge") << QPointF(22, 11);
    QTest::newRow("bottom edge") << QPointF(11, 22);
    QTest::newRow("far away") << QPointF(-600, -400);
}

void TestTrayKind::releaseOutsideTheWindowReportsElsewhere()
{
    QFETCH(QPointF, position);
    m_watch->arm();
    release(m_icon, position);
    QCOMPARE(m_reports, std::vector<bool>{false});
    QVERIFY(!m_watch->armed());
}

void TestTrayKind::otherButtonsAndPressesAreIgnored()
{
    m_watch->arm();
    release(m_icon, QPointF(11, 11), Qt::LeftButton);
    release(m_icon, QPointF(11, 11), Qt::MiddleButton);
    press(m_icon, QPointF(11, 11));
    QVERIFY(m_reports.empty());
    QVERIFY(m_watch->armed());
    release(m_icon, QPointF(11, 11));
    QCOMPARE(m_reports, std::vector<bool>{true});
}

void TestTrayKind::onlyTheWindowsCopyCounts()
{
    // The widget's copy of a release has the widget's coordinates and follows
    // the window's; on its own it is not the icon's window.
    QObject widgetLike;
    m_watch->arm();
    release(&widgetLike, QPointF(11, 11));
    QVERIFY(m_reports.empty());
    QVERIFY(m_watch->armed());
    release(m_icon, QPointF(-5, 3));
    release(&widgetLike, QPointF(11, 11));
    QCOMPARE(m_reports, std::vector<bool>{false});
}

void TestTrayKind::disarmedSeesNothing()
{
    m_watch->arm();
    m_watch->disarm();
    QVERIFY(!m_watch->armed());
    release(m_icon, QPointF(11, 11));
    QVERIFY(m_reports.empty());
    m_watch->disarm();
    QVERIFY(!m_watch->armed());
}

void TestTrayKind::armingTwiceReportsOnce()
{
    m_watch->arm();
    m_watch->arm();
    release(m_icon, QPointF(11, 11));
    release(m_icon, QPointF(11, 11));
    QCOMPARE(m_reports, std::vector<bool>{true});
}

QTEST_MAIN(TestTrayKind)
#include "tst_traykind.moc"
