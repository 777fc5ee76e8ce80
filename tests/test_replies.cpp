// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/angular_gauge.h"
#include "gauges/gauge_animation.h"
#include "gauges/packed_color.h"
#include "support/link_fixture.h"
#include "ui/color_button.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

namespace {

// What the read-out still asks, up to its stream request.
QByteArray remainingQuestions(LinkFixture &f)
{
    const qsizetype before = f.port->sent().size();
    f.readOut();
    return f.port->sent().mid(before);
}

// A reply answers the question of its own letter.
QByteArray questionFor(const QByteArray &reply)
{
    return '/' + reply.left(1) + '\r';
}

} // namespace

class TestReplies : public QObject {
    Q_OBJECT
private slots:
    void init() { pinLocale(); }
    void settingRecords_data();
    void settingRecords();
    void shiftAndLedRecordsOnlyMoveEditor_data();
    void shiftAndLedRecordsOnlyMoveEditor();
    void storedValues_data();
    void storedValues();
    void maxRpmWritesDialProperties();
    void advanceShiftAvailability();
    void revisionCompletesPendingConnection();
    void revisionWithoutPendingConnection();
    void overflowingEngineSpeedIgnored();
    void replyLettersAreCaseSensitive();
};

// Records that fill a box, show and move an editor, and send its value back
// when the position changed. A value outside the editor's range moves
// nothing and sends nothing: the box shows it limited, as before.
void TestReplies::settingRecords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("echo");

    const int maxAdvance = int(Setting::MaxAdvance), maxRpm = int(Setting::MaxRpm);
    QTest::newRow("n 00 outside: editor stays") << QByteArray("n00\r") << maxAdvance << "19.6"
                                                << 14 << QByteArray();
    QTest::newRow("n 23 echoes") << QByteArray("n23\r") << maxAdvance << "49" << 35
                                 << QByteArray("/N35\r");
    QTest::newRow("m 0E") << QByteArray("m0E\r") << maxRpm << "3584" << 14 << QByteArray("/M14\r");
    QTest::newRow("m FF outside: editor stays") << QByteArray("mFF\r") << maxRpm << "4096" << 0
                                                << QByteArray();
    QTest::newRow("m 00 no echo") << QByteArray("m00\r") << maxRpm << "0" << 0 << QByteArray();
    QTest::newRow("t 05 outside") << QByteArray("t05\r") << int(Setting::PulsesPerRev) << "2" << 0
                                  << QByteArray();
    QTest::newRow("d 0A outside") << QByteArray("d0A\r") << int(Setting::StartDelay) << "8" << 0
                                  << QByteArray();
    QTest::newRow("d 03") << QByteArray("d03\r") << int(Setting::StartDelay) << "3" << 3
                          << QByteArray("/D3\r");
}

void TestReplies::settingRecords()
{
    QFETCH(QByteArray, line);
    QFETCH(int, setting);
    QFETCH(int, position);
    QFETCH(QByteArray, echo);
    WindowFixture f;
    f.connect();
    const ConsoleWindow::SettingRow &row = f.window.settingRows[setting];
    QVERIFY(row.editor->isHidden());
    f.receive(line);
    QTEST(row.box->text(), "text");
    QVERIFY(!row.editor->isHidden());
    QCOMPARE(row.editor->value(), position);
    QCOMPARE(f.link.queued(), echo);
    QCOMPARE(f.window.storeButton->backColor(),
             echo.isEmpty() ? PackedColor::darkGrey : PackedColor::green);
    QVERIFY(!remainingQuestions(f).contains(questionFor(line)));
}

// The advance shift and LED reports move their editor to the unit's value
// without sending it back; the next arrow click steps from there, and from
// the editor's own position when the value lies outside its range.
void TestReplies::shiftAndLedRecordsOnlyMoveEditor_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QByteArray>("command");

    const int shift = int(Setting::AdvanceShift), led = int(Setting::Led);
    QTest::newRow("c 05") << QByteArray("c05\r") << shift << "7" << 5 << true
                          << QByteArray("/C6\r");
    QTest::newRow("c 0C outside: editor stays") << QByteArray("c0C\r") << shift << "12.6" << 0
                                                << false << QByteArray("/C-1\r");
    QTest::newRow("c FD outside") << QByteArray("cFD\r") << shift << "12.6" << 0 << false
                                  << QByteArray("/C-1\r");
    QTest::newRow("c 5 CR reads 80") << QByteArray("c5\r") << shift << "12.6" << 0 << false
                                     << QByteArray("/C-1\r");
    QTest::newRow("l 00") << QByteArray("l00\r") << led << "Kill Sw" << 0 << true
                          << QByteArray("/L1\r");
    QTest::newRow("l 01") << QByteArray("l01\r") << led << "Mode" << 1 << true
                          << QByteArray("/L2\r");
    QTest::newRow("l 02") << QByteArray("l02\r") << led << "Diag" << 2 << false
                          << QByteArray("/L1\r");
    QTest::newRow("l 03") << QByteArray("l03\r") << led << "Sensor" << 3 << false
                          << QByteArray("/L2\r");
    QTest::newRow("l 04 outside: editor stays") << QByteArray("l04\r") << led << "" << 0 << true
                                                << QByteArray("/L1\r");
}

void TestReplies::shiftAndLedRecordsOnlyMoveEditor()
{
    QFETCH(QByteArray, line);
    QFETCH(int, setting);
    QFETCH(int, position);
    QFETCH(bool, up);
    WindowFixture f;
    f.connect();
    const ConsoleWindow::SettingRow &row = f.window.settingRows[setting];
    f.receive(line);
    QTEST(row.box->text(), "text");
    QVERIFY(!row.editor->isHidden());
    QCOMPARE(row.editor->value(), position);
    QVERIFY(f.link.queued().isEmpty());
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::darkGrey);
    QVERIFY(!remainingQuestions(f).contains(questionFor(line)));

    row.editor->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                 : QAbstractSlider::SliderSingleStepSub);
    QTEST(f.drainQueue(), "command");
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::green);
}

// Records that only set what a gauge or box reads, and answer a question.
void TestReplies::storedValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<int>("value");

    QTest::newRow("p FF") << QByteArray("pFF\r") << "propeller" << 358;
    QTest::newRow("p 80") << QByteArray("p80\r") << "propeller" << 179;
    QTest::newRow("x 0031 is stopped") << QByteArray("x0031\r") << "rpm" << 0;
    QTest::newRow("x 0032") << QByteArray("x0032\r") << "rpm" << 50;
    QTest::newRow("x 7FFF") << QByteArray("x7FFF\r") << "rpm" << 32767;
    QTest::newRow("w 7D") << QByteArray("w7D\r") << "volts" << 12;
    QTest::newRow("w 87") << QByteArray("w87\r") << "volts" << 14;
    QTest::newRow("n 23") << QByteArray("n23\r") << "maxAdvance" << 35;
    QTest::newRow("n FF") << QByteArray("nFF\r") << "maxAdvance" << 35;
    QTest::newRow("z 5A") << QByteArray("z5A\r") << "maxTemperature" << 90;
}

void TestReplies::storedValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, variable);
    LinkFixture f;
    f.connect();
    f.receive(line);
    const UnitState &unit = f.link.state();
    const QMap<QString, int> variables{{"propeller", unit.figures[Figure::Propeller]},
                                       {"rpm", unit.figures[Figure::Rpm]},
                                       {"volts", unit.figures[Figure::Volts]},
                                       {"maxAdvance", unit.reportedMaxAdvance},
                                       {"maxTemperature", unit.maxTemperatureText.toInt()}};
    QTEST(variables.value(variable, -1), "value");
    if (!line.startsWith('p')) // always asked while the engine stands still
        QVERIFY(!remainingQuestions(f).contains(questionFor(line)));
}

void TestReplies::maxRpmWritesDialProperties()
{
    WindowFixture f;
    f.receive("m0E\r");
    QCOMPARE(f.window.rpmDial->redLine(), std::optional<double>(3584));
}

// "j" tells whether the unit has an advance shift; it also answers "/c".
void TestReplies::advanceShiftAvailability()
{
    WindowFixture f;
    f.connect();
    QLineEdit *box = f.window.settingRows[int(Setting::AdvanceShift)].box;
    box->setText(QStringLiteral("7"));
    f.receive("j00\r");
    QVERIFY(!box->isEnabled());
    QCOMPARE(box->text(), QStringLiteral("7"));
    f.receive("j01\r");
    QVERIFY(box->isEnabled());
    QVERIFY(!remainingQuestions(f).contains("/c\r"));
}

void TestReplies::revisionCompletesPendingConnection()
{
    WindowFixture f;
    f.window.clickPort(2);
    f.drainQueue();
    f.window.gaugeAnimation().stop();
    QSignalSpy identified(&f.link, &UnitLink::unitIdentified);
    f.receive("u21\r");
    QCOMPARE(f.window.firmwareBox->text(), QStringLiteral("33"));
    QCOMPARE(f.window.statusBox->text(), QStringLiteral("Connected Comm Port 2"));
    QCOMPARE(f.link.phase(), LinkPhase::ReadingSettings);
    QCOMPARE(identified.count(), 1);
    for (QWidget *w : f.window.portButtons)
        QVERIFY(w->isHidden());
    QVERIFY(f.window.wiringButton->isHidden());
    QVERIFY(f.link.polling());
    QVERIFY(f.window.gaugeAnimation().isRunning());
    QVERIFY(!f.link.retryingHandshake());
    f.link.retryHandshake();
    QVERIFY(f.link.queued().isEmpty());
}

void TestReplies::revisionWithoutPendingConnection()
{
    // No port clicked: the revision is shown and nothing starts.
    WindowFixture idle;
    QSignalSpy identified(&idle.link, &UnitLink::unitIdentified);
    idle.receive("u20\r");
    QCOMPARE(idle.window.firmwareBox->text(), QStringLiteral("32"));
    QCOMPARE(idle.window.statusBox->text(), QString());
    QVERIFY(!idle.window.portButtons[0]->isHidden());
    QVERIFY(!idle.link.polling());
    QCOMPARE(idle.link.phase(), LinkPhase::Closed);
    QCOMPARE(identified.count(), 0);

    // Streaming, with the stream request still repeating: the revision ends
    // the retry and changes nothing else.
    WindowFixture f;
    f.connect();
    f.readOut();
    QVERIFY(f.link.retryingHandshake());
    const QString status = f.window.statusBox->text();
    QSignalSpy again(&f.link, &UnitLink::unitIdentified);
    f.receive("u20\r");
    QCOMPARE(f.window.firmwareBox->text(), QStringLiteral("32"));
    QCOMPARE(f.window.statusBox->text(), status);
    QCOMPARE(f.link.phase(), LinkPhase::Streaming);
    QCOMPARE(again.count(), 0);
    QVERIFY(!f.link.retryingHandshake());
    f.link.retryHandshake();
    QVERIFY(f.link.queued().isEmpty());
}

void TestReplies::overflowingEngineSpeedIgnored()
{
    const char *const overflowing[] = {"x8000\r", "xFFFF\r", "xffff\r"};
    LinkFixture f;
    f.receive("x0BB8\r");
    for (const char *line : overflowing) {
        f.receive(line);
        QCOMPARE(f.link.state().figures[Figure::Rpm], int16_t(3000));
    }

    // Nor do they answer the read-out's question.
    LinkFixture connected;
    connected.connect();
    for (const char *line : overflowing)
        connected.receive(line);
    QVERIFY(remainingQuestions(connected).contains("/x\r"));
}

void TestReplies::replyLettersAreCaseSensitive()
{
    WindowFixture f;
    f.receive("PFF\r");
    f.receive("N23\r");
    QCOMPARE(f.link.state().figures[Figure::Propeller], int16_t(0));
    QVERIFY(f.window.settingRows[int(Setting::MaxAdvance)].editor->isHidden());
    // Nothing of them is left over to spoil the next line.
    f.receive("p80\r");
    QCOMPARE(f.link.state().figures[Figure::Propeller], int16_t(179));
}

QTEST_MAIN(TestReplies)
#include "test_replies.moc"
