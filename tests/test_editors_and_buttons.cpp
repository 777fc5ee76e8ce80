// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/gauge_animation.h"
#include "gauges/packed_color.h"
#include "support/link_fixture.h"
#include "ui/color_button.h"
#include "ui/wiring_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>

class TestEditorsAndButtons : public QObject {
    Q_OBJECT
private slots:
    void editorCommands_data();
    void editorCommands();
    void arrowAtLimitSendsNothing();
    void quickChangesLeaveLastCommand();
    void storeButtonColours();
    void advanceModeColours();
    void trimConditions_data();
    void trimConditions();
    void onePictureWindow();
    void pictureWindowSurvivesConnection();
    void tablesDoesNothing();
    void resetKeepsPumpRunning();
};

// An editor's command replaces whatever was queued.
void TestEditorsAndButtons::editorCommands_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("max advance 20") << int(Setting::MaxAdvance) << 20 << QByteArray("/N20\r");
    QTest::newRow("max advance 35") << int(Setting::MaxAdvance) << 35 << QByteArray("/N35\r");
    QTest::newRow("max rpm 16") << int(Setting::MaxRpm) << 16 << QByteArray("/M16\r");
    QTest::newRow("shift -9") << int(Setting::AdvanceShift) << -9 << QByteArray("/C-9\r");
    QTest::newRow("shift 1") << int(Setting::AdvanceShift) << 1 << QByteArray("/C1\r");
    QTest::newRow("ppr 2") << int(Setting::PulsesPerRev) << 2 << QByteArray("/T2\r");
    QTest::newRow("led 1") << int(Setting::Led) << 1 << QByteArray("/L1\r");
    QTest::newRow("start delay 8") << int(Setting::StartDelay) << 8 << QByteArray("/D8\r");
}

void TestEditorsAndButtons::editorCommands()
{
    QFETCH(int, setting);
    QFETCH(int, value);
    WindowFixture f;
    f.connect();
    f.link.pollNext();
    QCOMPARE(f.link.queued(), QByteArray("/c\r"));
    f.window.settingRows[setting].editor->setValue(value);
    QTEST(f.drainQueue(), "command");
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::green);
}

void TestEditorsAndButtons::arrowAtLimitSendsNothing()
{
    WindowFixture f;
    QScrollBar *led = f.window.settingRows[int(Setting::Led)].editor;
    led->show();
    led->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QVERIFY(f.link.queued().isEmpty());
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::darkGrey);
    led->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f.link.queued(), QByteArray("/L1\r"));
}

// An older unit gets a character per pump tick: the command begun goes out
// whole, and changes made meanwhile replace each other behind it.
void TestEditorsAndButtons::quickChangesLeaveLastCommand()
{
    WindowFixture f;
    f.window.clickPort(1);
    f.drainQueue();
    const qsizetype before = f.port->sent().size();
    QScrollBar *maxRpm = f.window.settingRows[int(Setting::MaxRpm)].editor;
    maxRpm->setValue(3);
    f.link.transmitNext();
    maxRpm->setValue(4);
    maxRpm->setValue(5);
    QCOMPARE(f.link.queued(), QByteArray("M3\r/M5\r"));
    f.drainQueue();
    QCOMPARE(f.port->sent().mid(before), QByteArray("/M3\r/M5\r"));
}

// Green on any change, dark grey only when the unit acknowledges the store.
void TestEditorsAndButtons::storeButtonColours()
{
    WindowFixture f;
    ColorButton *store = f.window.storeButton;
    f.window.settingRows[int(Setting::StartDelay)].editor->setValue(1);
    QCOMPARE(store->backColor(), PackedColor::green);
    store->click();
    QCOMPARE(f.link.queued(), QByteArray("/W\r"));
    QCOMPARE(store->backColor(), PackedColor::green);
    f.receive("/W\r");
    QCOMPARE(store->backColor(), PackedColor::darkGrey);
    store->click();
    QCOMPARE(store->backColor(), PackedColor::darkGrey);
}

void TestEditorsAndButtons::advanceModeColours()
{
    using namespace PackedColor;
    WindowFixture f;
    ConsoleWindow &w = f.window;
    w.manualAdvanceButton->click();
    QCOMPARE(f.link.state().advanceMode, AdvanceMode::Manual);
    QCOMPARE(f.link.queued(), QByteArray("/SM\r"));
    QCOMPARE(w.autoAdvanceButton->backColor(), darkGrey);
    QCOMPARE(w.manualAdvanceButton->backColor(), green);
    QCOMPARE(w.retardButton->backColor(), red);
    QCOMPARE(w.advanceButton->backColor(), red);

    w.autoAdvanceButton->click();
    QCOMPARE(f.link.state().advanceMode, AdvanceMode::Automatic);
    QCOMPARE(f.link.queued(), QByteArray("/SA\r"));
    QCOMPARE(w.autoAdvanceButton->backColor(), green);
    for (ColorButton *b : {w.manualAdvanceButton, w.retardButton, w.advanceButton})
        QCOMPARE(b->backColor(), darkGrey);
    // They stay hidden whatever is clicked.
    for (ColorButton *b :
         {w.autoAdvanceButton, w.manualAdvanceButton, w.retardButton, w.advanceButton})
        QVERIFY(b->isHidden());
}

// Trimming up stops at the maximum advance the unit reported; 0 means it
// never reported one.
void TestEditorsAndButtons::trimConditions_data()
{
    QTest::addColumn<bool>("manual");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("maxSteps");
    QTest::addColumn<QByteArray>("minus");
    QTest::addColumn<QByteArray>("plus");
    QTest::newRow("automatic") << false << 10 << 30 << QByteArray() << QByteArray();
    QTest::newRow("manual below max") << true << 10 << 30 << QByteArray("/S-\r")
                                      << QByteArray("/S+\r");
    QTest::newRow("manual at max") << true << 30 << 30 << QByteArray("/S-\r") << QByteArray();
    QTest::newRow("manual at start") << true << 0 << 0 << QByteArray("/S-\r") << QByteArray();
}

void TestEditorsAndButtons::trimConditions()
{
    QFETCH(bool, manual);
    QFETCH(int, steps);
    QFETCH(int, maxSteps);
    WindowFixture f;
    f.connect();
    if (maxSteps > 0)
        f.receive("n" + QByteArray::number(maxSteps, 16).rightJustified(2, '0') + "\r");
    f.receive("=0000" + QByteArray::number(steps, 16).rightJustified(2, '0') + "0000000000000\r");
    QCOMPARE(f.link.state().advanceSteps, int16_t(steps));
    if (manual)
        f.window.manualAdvanceButton->click();
    f.drainQueue();
    f.window.retardButton->click();
    QTEST(f.drainQueue(), "minus");
    f.window.advanceButton->click();
    QTEST(f.drainQueue(), "plus");
}

void TestEditorsAndButtons::onePictureWindow()
{
    WindowFixture f;
    f.window.wiringButton->click();
    QPointer<WiringWindow> first = f.window.wiringWindow;
    f.window.wiringButton->click();
    QCOMPARE(f.window.wiringWindow.data(), first.data());
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](QWidget *w) { return qobject_cast<WiringWindow *>(w) != nullptr; }),
             1);
    QVERIFY(first->isVisible());

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    f.window.wiringButton->click();
    QVERIFY(f.window.wiringWindow && f.window.wiringWindow->isVisible());
    f.window.wiringWindow->close();
}

void TestEditorsAndButtons::pictureWindowSurvivesConnection()
{
    WindowFixture f;
    f.window.clickPort(1);
    f.window.showWiring();
    f.receive("u21\r");
    QVERIFY(f.window.wiringButton->isHidden());
    QVERIFY(f.window.wiringWindow && f.window.wiringWindow->isVisible());
    f.window.wiringWindow->close();
}

void TestEditorsAndButtons::tablesDoesNothing()
{
    WindowFixture f;
    f.window.clickPort(1);
    const QByteArray queue = f.link.queued();
    f.window.tablesButton->click();
    QCOMPARE(f.link.queued(), queue);
    QVERIFY(f.port->isOpen());
}

// RESET forgets the connection, yet a later port click must still get the
// start-up commands onto the wire: the real pump timer sends them.
void TestEditorsAndButtons::resetKeepsPumpRunning()
{
    WindowFixture f;
    f.connect(0x20);
    f.readOut();
    f.window.manualAdvanceButton->click();
    f.window.resetButton->click();
    QVERIFY(!f.port->isOpen());
    QCOMPARE(f.window.statusBox->text(), QString());
    QCOMPARE(f.link.phase(), LinkPhase::Closed);
    QCOMPARE(f.link.state().advanceMode, AdvanceMode::Automatic);
    QVERIFY(!f.window.portButtons[0]->isHidden());
    QVERIFY(f.window.resetButton->isHidden());
    QVERIFY(!f.link.polling() && !f.window.gaugeAnimation().isRunning());
    QVERIFY(!f.link.retryingHandshake());

    const qsizetype before = f.port->sent().size();
    f.window.clickPort(1);
    QTRY_VERIFY(f.port->sent().mid(before).startsWith("/*\r/I0\r/u\r"));

    // The read-out starts afresh.
    f.receive("u20\r");
    const qsizetype identified = f.port->sent().size();
    f.readOut();
    QVERIFY(f.port->sent().mid(identified).contains("/c\r/c\r/d\r"));
}

QTEST_MAIN(TestEditorsAndButtons)
#include "test_editors_and_buttons.moc"
