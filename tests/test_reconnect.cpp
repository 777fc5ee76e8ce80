// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_discovery.h"
#include "support/link_fixture.h"

#include <QSignalSpy>
#include <QtTest>

// A lost adapter opened again by itself once it is back, and what stops that.

class TestReconnect : public QObject {
    Q_OBJECT
private slots:
    void backAfterTwoRefusals_data();
    void backAfterTwoRefusals();
    void somethingElseEndsTheWait_data();
    void somethingElseEndsTheWait();
    void adapterFoundAgain_data();
    void adapterFoundAgain();
};

// Where the system tells of a device appearing, nothing is tried until it
// does; elsewhere the open is tried on a slow timer.
void TestReconnect::backAfterTwoRefusals_data()
{
    QTest::addColumn<bool>("told");
    QTest::addColumn<int>("triesWhileAway");
    QTest::newRow("arrivals told") << true << 0;
    QTest::newRow("polled") << false << 3;
}

void TestReconnect::backAfterTwoRefusals()
{
    QFETCH(bool, told);
    QFETCH(int, triesWhileAway);
    LinkFixture f;
    f.port->arrivalsTold = told;
    connectAndReadOut(f);
    f.port->unplug();
    QCOMPARE(f.link.awaitedAdapter(), QStringLiteral("serial MEM0001"));
    QVERIFY(f.port->watching);
    for (int tick = 0; tick < triesWhileAway; ++tick)
        f.link.retryAdapter();
    QCOMPARE(f.port->reopenAttempts, triesWhileAway);

    f.port->comeBack(2); // ModemManager holds it for two attempts
    if (!told)
        f.link.retryAdapter();
    f.link.retryAdapter();
    QCOMPARE(f.link.status(), QStringLiteral("Connection lost - Port 1"));
    QVERIFY(!f.port->isOpen());

    f.link.retryAdapter();
    QVERIFY(f.port->isOpen());
    QCOMPARE(f.port->reopenAttempts, triesWhileAway + 3);
    QVERIFY(!f.port->watching);
    QCOMPARE(f.link.awaitedAdapter(), QString());
    QCOMPARE(f.link.status(), QStringLiteral("Waiting for connection - Port 1"));
    QCOMPARE(f.drainQueue(), QByteArray("/*\r/I0\r/u\r"));

    // From here on it is an ordinary connection.
    f.receive("/I0\ru21\r");
    answerReadOut(f);
    QCOMPARE(f.link.phase(), LinkPhase::Streaming);
    QVERIFY(f.link.settingsRead());
}

void TestReconnect::somethingElseEndsTheWait_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("a click on another port") << QStringLiteral("click");
    QTest::newRow("RESET") << QStringLiteral("reset");
    QTest::newRow("--no-reconnect") << QStringLiteral("off");
}

void TestReconnect::somethingElseEndsTheWait()
{
    QFETCH(QString, what);
    LinkFixture f;
    connectAndReadOut(f);
    if (what == QLatin1String("off"))
        f.link.setReconnecting(false);
    f.port->unplug();
    if (what == QLatin1String("click"))
        f.link.openPort(2);
    if (what == QLatin1String("reset"))
        f.link.reset();
    f.port->comeBack();
    const int opens = f.port->openCount;
    f.link.retryAdapter();
    QCOMPARE(f.link.awaitedAdapter(), QString());
    QCOMPARE(f.port->openCount, opens);
    QCOMPARE(f.port->portNumber(), int16_t(what == QLatin1String("click") ? 2 : 1));
}

void TestReconnect::adapterFoundAgain_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("serialNumber");
    QTest::addColumn<QString>("backAs");
    QTest::addColumn<QString>("backSerial");
    QTest::addColumn<bool>("found");
    QTest::newRow("same serial, new name") << "/dev/ttyUSB0" << "FT4XYZ" << "/dev/ttyUSB1" << "FT4XYZ" << true;
    QTest::newRow("another adapter, same name") << "/dev/ttyUSB0" << "FT4XYZ" << "/dev/ttyUSB0" << "A10K" << false;
    QTest::newRow("no serial, same name") << "/dev/ttyACM0" << "" << "/dev/ttyACM0" << "" << true;
    QTest::newRow("no serial, new name") << "/dev/ttyACM0" << "" << "/dev/ttyACM1" << "" << false;
}

void TestReconnect::adapterFoundAgain()
{
    QFETCH(QString, device);
    QFETCH(QString, serialNumber);
    QFETCH(QString, backAs);
    QFETCH(QString, backSerial);
    QFETCH(bool, found);
    FoundPort before{device, {}, {}, serialNumber, true};
    FoundPort after{backAs, {}, {}, backSerial, true};
    const QString identity = identityOf(device, {before});
    const std::optional<FoundPort> again = findAdapter(identity, {FoundPort{"/dev/ttyS0", {}, {}, {}, false}, after});
    QCOMPARE(again.has_value(), found);
    if (found)
        QCOMPARE(again->device, backAs);
}

QTEST_GUILESS_MAIN(TestReconnect)
#include "test_reconnect.moc"
