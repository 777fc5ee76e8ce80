// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/angular_gauge.h"
#include "protocol/telemetry.h"
#include "support/link_fixture.h"

#include <QLineEdit>
#include <QtTest>

class TestTelemetry : public QObject {
    Q_OBJECT
private slots:
    void decodes_data();
    void decodes();
    void appliesToWindow();
    void firstLineEndsHandshake();
    void overflowingEngineSpeedIgnoresLine_data();
    void overflowingEngineSpeedIgnoresLine();
    void runningEngineHidesPropeller_data();
    void runningEngineHidesPropeller();
};

void TestTelemetry::decodes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("rpm");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("degrees");
    QTest::addColumn<int>("volts");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<int>("pair12");
    QTest::addColumn<int>("pair34");

    QTest::newRow("worked example") << QByteArray("=0BB81E000082231020\r") << 3000 << 30 << 42
                                    << 12 << "35" << 16 << 32;
    QTest::newRow("short line") << QByteArray("=0B\r") << 176 << 0 << 0 << -1 << "0" << 0 << 0;
    QTest::newRow("volts 7D rounds to even") << QByteArray("=0000000000" "7D" "000000\r") << 0
                                             << 0 << 0 << 12 << "0" << 0 << 0;
    QTest::newRow("volts 87 rounds to even") << QByteArray("=0000000000" "87" "000000\r") << 0
                                             << 0 << 0 << 12 << "0" << 0 << 0;
    QTest::newRow("volts FF") << QByteArray("=0000000000" "FF" "000000\r") << 0 << 0 << 0 << 24
                              << "0" << 0 << 0;
    QTest::newRow("advance 03") << QByteArray("=0000" "03" "0000000000000\r") << 0 << 3 << 4 << -1
                                << "0" << 0 << 0;
    QTest::newRow("advance 04") << QByteArray("=0000" "04" "0000000000000\r") << 0 << 4 << 6 << -1
                                << "0" << 0 << 0;
    QTest::newRow("advance 23") << QByteArray("=0000" "23" "0000000000000\r") << 0 << 35 << 49
                                << -1 << "0" << 0 << 0;
    QTest::newRow("temperature 0A") << QByteArray("=000000000000" "0A" "0000\r") << 0 << 0 << 0
                                    << -1 << "10" << 0 << 0;
    QTest::newRow("lower case") << QByteArray("=0bb81e000082231020\n") << 3000 << 30 << 42 << 12
                                << "35" << 16 << 32;
    QTest::newRow("non-hex counts as 0") << QByteArray("=0G00\r") << 0 << 0 << 0 << -1 << "0"
                                         << 0 << 0;
    QTest::newRow("second line ignored") << QByteArray("=0BB81E000082231020\r=0001\r") << 3000
                                         << 30 << 42 << 12 << "35" << 16 << 32;
    QTest::newRow("7FFF is the top") << QByteArray("=7FFF\r") << 32767 << 0 << 0 << -1 << "0" << 0
                                     << 0;
}

void TestTelemetry::decodes()
{
    QFETCH(QByteArray, line);
    const std::optional<TelemetryRecord> r = decodeTelemetry(line);
    QVERIFY(r);
    QTEST(int(r->engineRpm), "rpm");
    QTEST(int(r->advanceSteps), "steps");
    QTEST(int(r->advanceDegrees), "degrees");
    QTEST(int(r->busVolts), "volts");
    QTEST(r->temperatureText, "temperature");
    QTEST(int(r->pair12Value), "pair12");
    QTEST(int(r->pair34Value), "pair34");
}

// The read-out no longer asks for what a record already gave.
void TestTelemetry::appliesToWindow()
{
    WindowFixture f;
    f.connect();
    f.receive("=0BB81E000082231020\r");
    const FigureValues expected{{Figure::Rpm, 3000},   {Figure::Advance, 42}, {Figure::Volts, 12},
                                {Figure::Temperature, 35}, {Figure::Pair12, 16}, {Figure::Pair34, 32}};
    QCOMPARE(f.link.state().figures, expected);
    QCOMPARE(f.link.state().advanceSteps, int16_t(30));
    QCOMPARE(f.window.temperatureBox->text(), QStringLiteral("35"));

    // The engine stops so that the poll cycle runs again.
    f.receive("=0000000000000000000\r");
    const qsizetype before = f.port->sent().size();
    for (int i = 0; i < 3 * polledValueCount; ++i) {
        f.link.pollNext();
        f.drainQueue();
    }
    const QByteArray questions = f.port->sent().mid(before);
    QVERIFY(!questions.contains("/e\r"));
    QVERIFY(!questions.contains("/w\r"));
    QVERIFY(questions.contains("/x\r"));
}

void TestTelemetry::firstLineEndsHandshake()
{
    LinkFixture f;
    f.link.openPort(2);
    f.drainQueue();
    QVERIFY(f.link.retryingHandshake());
    f.receive("=0000000000000000000\r");
    QVERIFY(!f.link.retryingHandshake());
    // The start-up commands are forgotten, not just paused.
    f.link.retryHandshake();
    QVERIFY(f.link.queued().isEmpty());

    // Once the stream is on a record leaves a new port click's retry alone.
    f.link.openPort(2);
    QVERIFY(f.link.retryingHandshake());
    f.receive("=0000000000000000000\r");
    QVERIFY(f.link.retryingHandshake());
}

void TestTelemetry::overflowingEngineSpeedIgnoresLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("8000") << QByteArray("=80001E000082231020\r");
    QTest::newRow("FFFF") << QByteArray("=FFFF1E000082231020\r");
    QTest::newRow("ffff short") << QByteArray("=ffff\r");
}

void TestTelemetry::overflowingEngineSpeedIgnoresLine()
{
    QFETCH(QByteArray, line);
    QVERIFY(!decodeTelemetry(line));

    LinkFixture f;
    f.link.openPort(1);
    QSignalSpy figures(&f.link, &UnitLink::figuresChanged);
    f.receive(line);
    QCOMPARE(figures.count(), 0);
    // Not a record: the unit is still asked who it is.
    QVERIFY(f.link.retryingHandshake());

    f.receive("=0BB81E000082231020\r");
    f.receive(line);
    QCOMPARE(figures.count(), 1);
    QCOMPARE(f.link.state().figures[Figure::Rpm], int16_t(3000));
    QCOMPARE(f.link.state().advanceSteps, int16_t(30));
    QCOMPARE(f.link.state().temperatureText, QStringLiteral("35"));
}

// The engine counts as running from the first line at 50 RPM or more while
// the stream is on, without waiting for a gauge step.
void TestTelemetry::runningEngineHidesPropeller_data()
{
    QTest::addColumn<bool>("streaming");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("running");
    QTest::newRow("record at 50") << true << QByteArray("=0032\r") << true;
    QTest::newRow("record at 49") << true << QByteArray("=0031\r") << false;
    QTest::newRow("x reply while streaming") << true << QByteArray("x0BB8\r") << true;
    QTest::newRow("x reply during the read-out") << false << QByteArray("x0BB8\r") << false;
}

void TestTelemetry::runningEngineHidesPropeller()
{
    QFETCH(bool, streaming);
    QFETCH(QByteArray, line);
    QFETCH(bool, running);
    WindowFixture f;
    f.connect();
    if (streaming)
        f.readOut();
    f.receive(line);
    QCOMPARE(f.link.state().engineRunning, running);
    QCOMPARE(f.window.propellerDial->isHidden(), running);
    // A running engine keeps the poll cycle quiet.
    f.link.pollNext();
    QCOMPARE(f.link.queued().isEmpty(), running);
}

QTEST_MAIN(TestTelemetry)
#include "test_telemetry.moc"
