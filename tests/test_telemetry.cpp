#include "protocol/telemetry.h"
#include "support/form_fixture.h"

#include <QLineEdit>
#include <QTimer>
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

void TestTelemetry::appliesToWindow()
{
    FormFixture f;
    setTag(f.form.voltsdial, "2");
    setTag(f.form.tempdata, "1");
    f.receive("=0BB81E000082231020\r");
    QCOMPARE(f.form.engineRpm, 3000);
    QCOMPARE(f.form.advanceSteps, 30);
    QCOMPARE(f.form.advanceDegrees, 42);
    QCOMPARE(f.form.busVolts, 12);
    QCOMPARE(f.form.pair12Value, 16);
    QCOMPARE(f.form.pair34Value, 32);
    QCOMPARE(f.form.tempdata->text(), QStringLiteral("35"));
    QCOMPARE(Tag(f.form.voltsdial), QStringLiteral("0"));
    QCOMPARE(Tag(f.form.tempdata), QStringLiteral("0"));
    QVERIFY(f.form.rxBuffer.isEmpty());
}

void TestTelemetry::firstLineEndsHandshake()
{
    FormFixture f;
    f.form.com2_Click();
    QVERIFY(f.form.Timer4->isActive());
    f.receive("=0000000000000000000\r");
    QVERIFY(f.form.linkUp);
    QVERIFY(!f.form.Timer4->isActive());
    QVERIFY(f.form.handshakeCommands.isEmpty());

    // Once the link is up a line leaves the retry timer alone.
    f.form.Timer4->start();
    f.receive("=0000000000000000000\r");
    QVERIFY(f.form.Timer4->isActive());
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

    FormFixture f;
    f.form.com1_Click();
    f.receive("=0BB81E000082231020\r");
    f.form.linkUp = false;
    f.form.Timer4->start();
    f.receive(line);
    QCOMPARE(f.form.engineRpm, 3000);
    QCOMPARE(f.form.advanceSteps, 30);
    QCOMPARE(f.form.tempdata->text(), QStringLiteral("35"));
    QVERIFY(!f.form.linkUp);
    QVERIFY(f.form.Timer4->isActive());
    QVERIFY(f.form.rxBuffer.isEmpty());
}

QTEST_MAIN(TestTelemetry)
#include "test_telemetry.moc"
