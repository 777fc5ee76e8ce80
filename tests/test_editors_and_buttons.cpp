#include "support/form_fixture.h"
#include "ui/color_button.h"
#include "ui/packed_color.h"
#include "ui/schmatic.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <algorithm>

class TestEditorsAndButtons : public QObject {
    Q_OBJECT
private slots:
    void editorCommands_data();
    void editorCommands();
    void arrowAtLimitSendsNothing();
    void quickChangesLeaveLastCommand();
    void storeConfig();
    void storeButtonColours();
    void advanceModeColours();
    void trimConditions_data();
    void trimConditions();
    void onePictureWindow();
    void pictureWindowSurvivesConnection();
    void tablesDoesNothing();
    void resetKeepsPumpRunning();
};

void TestEditorsAndButtons::editorCommands_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("max advance 20") << "maxadvancescroll" << 20 << QByteArray("/N20\r");
    QTest::newRow("max advance 35") << "maxadvancescroll" << 35 << QByteArray("/N35\r");
    QTest::newRow("max rpm 16") << "maxrpmscroll" << 16 << QByteArray("/M16\r");
    QTest::newRow("shift -9") << "conshiftscroll" << -9 << QByteArray("/C-9\r");
    QTest::newRow("shift 1") << "conshiftscroll" << 1 << QByteArray("/C1\r");
    QTest::newRow("ppr 2") << "pprscroll" << 2 << QByteArray("/T2\r");
    QTest::newRow("led 1") << "ledscroll" << 1 << QByteArray("/L1\r");
    QTest::newRow("start delay 8") << "cyclescroll" << 8 << QByteArray("/D8\r");
}

void TestEditorsAndButtons::editorCommands()
{
    QFETCH(QString, bar);
    QFETCH(int, value);
    FormFixture f;
    f.form.txQueue = "/c\r";
    f.form.findChild<QScrollBar *>(bar)->setValue(value);
    QTEST(f.form.txQueue, "command");
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::green);
}

void TestEditorsAndButtons::arrowAtLimitSendsNothing()
{
    FormFixture f;
    f.form.ledscroll->show();
    f.form.ledscroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QVERIFY(f.form.txQueue.isEmpty());
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::darkGrey);
    f.form.ledscroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f.form.txQueue, QByteArray("/L1\r"));
}

void TestEditorsAndButtons::quickChangesLeaveLastCommand()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.txQueue.clear();
    f.form.maxrpmscroll->setValue(3);
    f.form.Timer3_Timer();
    f.form.maxrpmscroll->setValue(4);
    f.form.maxrpmscroll->setValue(5);
    QCOMPARE(f.form.txQueue, QByteArray("/M5\r"));
    f.drainQueue();
    QCOMPARE(f.port->sent(), QByteArray("//M5\r"));
}

void TestEditorsAndButtons::storeConfig()
{
    FormFixture f;
    f.form.maxrpmscroll->setValue(3);
    f.form.storebutton_Click();
    QCOMPARE(f.form.txQueue, QByteArray("/W\r"));
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::green);
}

// Green on any change, dark grey only when the unit acknowledges the store.
void TestEditorsAndButtons::storeButtonColours()
{
    FormFixture f;
    f.form.cyclescroll->setValue(1);
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::green);
    f.form.storebutton_Click();
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::green);
    f.receive("/W\r");
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::darkGrey);
    f.form.storebutton_Click();
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::darkGrey);
}

void TestEditorsAndButtons::advanceModeColours()
{
    FormFixture f;
    using namespace PackedColor;
    f.form.Command3_Click();
    QVERIFY(f.form.manualMode);
    QCOMPARE(f.form.txQueue, QByteArray("/SM\r"));
    QCOMPARE(f.form.Command2->BackColor(), darkGrey);
    QCOMPARE(f.form.Command3->BackColor(), green);
    QCOMPARE(f.form.Command6->BackColor(), red);
    QCOMPARE(f.form.Command7->BackColor(), red);

    f.form.Command2_Click();
    QVERIFY(!f.form.manualMode);
    QCOMPARE(f.form.txQueue, QByteArray("/SA\r"));
    QCOMPARE(f.form.Command2->BackColor(), green);
    for (ColorButton *b : {f.form.Command3, f.form.Command6, f.form.Command7})
        QCOMPARE(b->BackColor(), darkGrey);
    // They stay hidden whatever is clicked.
    for (ColorButton *b : {f.form.Command2, f.form.Command3, f.form.Command6, f.form.Command7})
        QVERIFY(b->isHidden());
}

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
    FormFixture f;
    f.form.manualMode = manual;
    QFETCH(int, steps);
    QFETCH(int, maxSteps);
    f.form.advanceSteps = int16_t(steps);
    f.form.maxAdvanceSteps = int16_t(maxSteps);
    f.form.Command6_Click();
    QTEST(f.form.txQueue, "minus");
    f.form.txQueue.clear();
    f.form.Command7_Click();
    QTEST(f.form.txQueue, "plus");
}

void TestEditorsAndButtons::onePictureWindow()
{
    FormFixture f;
    f.form.Command4_Click();
    QPointer<Schmatic> first = f.form.schmatic;
    f.form.Command4_Click();
    QCOMPARE(f.form.schmatic.data(), first.data());
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](QWidget *w) { return qobject_cast<Schmatic *>(w) != nullptr; }),
             1);
    QVERIFY(first->isVisible());

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    f.form.Command4_Click();
    QVERIFY(f.form.schmatic && f.form.schmatic->isVisible());
    f.form.schmatic->close();
}

void TestEditorsAndButtons::pictureWindowSurvivesConnection()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.Command4_Click();
    f.receive("u21\r");
    QVERIFY(f.form.Command4->isHidden());
    QVERIFY(f.form.schmatic && f.form.schmatic->isVisible());
    f.form.schmatic->close();
}

void TestEditorsAndButtons::tablesDoesNothing()
{
    FormFixture f;
    f.form.com1_Click();
    const QByteArray queue = f.form.txQueue;
    f.form.advset_Click();
    QCOMPARE(f.form.txQueue, queue);
    QVERIFY(f.port->PortOpen());
}

// After RESET a port click must still get the start-up sequence onto the wire.
void TestEditorsAndButtons::resetKeepsPumpRunning()
{
    FormFixture f;
    f.connect(0x20);
    f.form.Command5_Click();
    QVERIFY(!f.port->PortOpen());
    QVERIFY(!f.form.com1->isHidden());
    QVERIFY(f.form.Command5->isHidden());
    QVERIFY(!f.form.Timer1->isActive() && !f.form.Timer2->isActive() && !f.form.Timer4->isActive());
    QVERIFY(f.form.Timer3->isActive());
    QCOMPARE(Tag(f.form.conshiftdata), QStringLiteral("2"));

    f.form.com1_Click();
    QCOMPARE(f.drainQueue(), QByteArray("/*\r/I0\r/u\r"));
}

QTEST_MAIN(TestEditorsAndButtons)
#include "test_editors_and_buttons.moc"
