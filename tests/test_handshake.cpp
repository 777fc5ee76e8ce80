// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/link_fixture.h"

#include <QtTest>

namespace {

const QByteArray startup = "/*\r/I0\r/u\r";
const QByteArray rpm3000 = "=0BB81E000082231020\r"; // temperature 35

// What the handshake retry queues once the queue is empty.
QByteArray retried(LinkFixture &f)
{
    f.drainQueue();
    f.link.retryHandshake();
    return f.link.queued();
}

} // namespace

class TestHandshake : public QObject {
    Q_OBJECT
private slots:
    void portClickStartsHandshake_data();
    void portClickStartsHandshake();
    void com4WaitsForEmptyQueue();
    void retryRequeuesOnlyWhenEmpty();
    void sameButtonTwiceStartsOver();
    void otherButtonMovesAttempt();
    void clickLeavesReceivedStateAlone();
    void portInUse();
    void failedClickAfterSuccess_data();
    void failedClickAfterSuccess();
    void failedCloseStillCounts();
    void connectionLostAndReconnect();
};

void TestHandshake::portClickStartsHandshake_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("queue");
    for (int port = 1; port <= 3; ++port)
        QTest::newRow(qPrintable(QString("COM%1").arg(port))) << port << startup;
    QTest::newRow("COM4") << 4 << QByteArray();
}

void TestHandshake::portClickStartsHandshake()
{
    QFETCH(int, port);
    LinkFixture f;
    f.link.openPort(int16_t(port));
    QVERIFY(f.port->isOpen());
    QCOMPARE(f.port->portNumber(), int16_t(port));
    QTEST(f.link.queued(), "queue");
    QVERIFY(f.link.retryingHandshake());
    QCOMPARE(f.link.status(), QString("Waiting for connection - Port %1").arg(port));
    QCOMPARE(f.link.phase(), LinkPhase::WaitingForUnit);
    QCOMPARE(retried(f), startup);
}

void TestHandshake::com4WaitsForEmptyQueue()
{
    LinkFixture f;
    f.link.storeSettings();
    f.link.openPort(4);
    QCOMPARE(f.link.queued(), QByteArray("/W\r"));
    f.link.retryHandshake();
    QCOMPARE(f.link.queued(), QByteArray("/W\r"));
    QCOMPARE(f.drainQueue(), QByteArray("/W\r"));
    f.link.retryHandshake();
    QCOMPARE(f.link.queued(), startup);
}

void TestHandshake::retryRequeuesOnlyWhenEmpty()
{
    LinkFixture f;
    f.link.openPort(1);
    f.link.transmitNext();
    f.link.retryHandshake();
    QCOMPARE(f.link.queued(), startup.mid(1));
    QCOMPARE(retried(f), startup);

    // An answered handshake leaves nothing to re-queue.
    f.receive("u20\r");
    QVERIFY(!f.link.retryingHandshake());
    QVERIFY(retried(f).isEmpty());
}

void TestHandshake::sameButtonTwiceStartsOver()
{
    LinkFixture f;
    f.link.openPort(2);
    f.link.transmitNext();
    f.link.transmitNext();
    QSignalSpy status(&f.link, &UnitLink::statusChanged);
    f.link.openPort(2);
    QCOMPARE(f.port->closeCount, 1);
    QCOMPARE(f.port->openCount, 2);
    QCOMPARE(f.link.queued(), startup);
    QCOMPARE(status.size(), 1);
    QCOMPARE(f.link.status(), QStringLiteral("Waiting for connection - Port 2"));
}

void TestHandshake::otherButtonMovesAttempt()
{
    LinkFixture f;
    f.link.openPort(1);
    f.link.openPort(3);
    QCOMPARE(f.port->portNumber(), int16_t(3));
    QCOMPARE(f.link.phase(), LinkPhase::WaitingForUnit);
    QCOMPARE(f.link.status(), QStringLiteral("Waiting for connection - Port 3"));
}

// Lines heard before the click, and half a line, survive it.
void TestHandshake::clickLeavesReceivedStateAlone()
{
    LinkFixture f;
    f.receive(rpm3000);
    f.receive("=00");
    f.link.openPort(1);
    QVERIFY(f.link.state().engineRunning);
    QCOMPARE(f.link.state().temperatureText, QStringLiteral("35"));
    f.receive(QByteArray("=0000000000002A0000\r").mid(3));
    QCOMPARE(f.link.state().temperatureText, QStringLiteral("42"));
}

void TestHandshake::portInUse()
{
    LinkFixture f;
    f.link.storeSettings();
    f.port->failNextOpen(PortResult::InUse);
    f.link.openPort(1);
    QCOMPARE(f.link.status(), QStringLiteral("No Comm Port"));
    QVERIFY(!f.link.retryingHandshake());
    QCOMPARE(f.link.queued(), QByteArray("/W\r"));
    QCOMPARE(f.link.phase(), LinkPhase::Closed);
}

void TestHandshake::failedClickAfterSuccess_data()
{
    QTest::addColumn<PortResult>("error");
    QTest::addColumn<QString>("status");
    QTest::newRow("in use") << PortResult::InUse << "No Comm Port";
    QTest::newRow("other") << PortResult::Unavailable
                           << "Waiting for connection - Port 1";
}

// The old port is closed, but the attempt carries on: the sequence keeps
// being queued and the pump drops it while no port is open.
void TestHandshake::failedClickAfterSuccess()
{
    QFETCH(PortResult, error);
    LinkFixture f;
    f.link.openPort(1);
    f.port->failNextOpen(error);
    f.link.openPort(2);
    QVERIFY(!f.port->isOpen());
    QTEST(f.link.status(), "status");
    QVERIFY(f.link.retryingHandshake());
    QCOMPARE(f.link.phase(), LinkPhase::WaitingForUnit);
    QCOMPARE(retried(f), startup);
    f.drainQueue();
    QVERIFY(f.port->writes.isEmpty());
}

void TestHandshake::failedCloseStillCounts()
{
    LinkFixture f;
    f.link.openPort(1);
    QSignalSpy status(&f.link, &UnitLink::statusChanged);
    f.port->failNextClose(PortResult::Unavailable);
    f.link.openPort(2);
    QCOMPARE(status.size(), 0);
}

void TestHandshake::connectionLostAndReconnect()
{
    LinkFixture f;
    f.connect(0x21, 2);
    f.receive("c05\r");
    f.receive(rpm3000);
    QVERIFY(f.link.state().engineRunning);
    f.link.storeSettings();
    f.receive("=0BB81E00"); // the adapter is pulled out mid-line

    f.port->vanish();
    QCOMPARE(f.link.status(), QStringLiteral("Connection lost - Port 2"));
    QCOMPARE(f.link.phase(), LinkPhase::Lost);
    QVERIFY(!f.link.polling());
    QVERIFY(!f.link.retryingHandshake());
    QVERIFY(f.link.queued().isEmpty());
    QVERIFY(retried(f).isEmpty());
    QVERIFY(!f.link.state().engineRunning);
    QCOMPARE(f.link.state().figures, FigureValues{});
    QCOMPARE(f.link.state().firmwareText, QStringLiteral("0"));

    // Plugged back in: a new click connects, in paced mode as for any unit,
    // reads the unit again from the start and asks it to stream.
    f.link.openPort(2);
    QVERIFY(f.port->isOpen());
    QCOMPARE(f.link.queued(), startup);
    const qsizetype before = f.port->writes.size();
    f.link.transmitNext();
    QCOMPARE(f.port->writes.mid(before), QByteArrayList{"/"});
    QByteArrayList lines;
    QObject::connect(&f.link, &UnitLink::lineDecoded, &f.link,
                     [&lines](const DecodedLine &line) { lines << line.text; });
    f.receive("/I0\r");
    f.receive("u21\r");
    QCOMPARE(lines, (QByteArrayList{"/I0\r", "u21\r"})); // the half line is gone
    QCOMPARE(f.link.status(), QStringLiteral("Connected Comm Port 2"));
    QVERIFY(f.link.polling());
    f.drainQueue();
    f.link.pollNext();
    QCOMPARE(f.link.queued(), QByteArray("/c\r"));
    f.drainQueue();
    f.link.pollNext();
    QCOMPARE(f.link.queued(), QByteArray("/c\r")); // asked twice again
    f.readOut();
    QCOMPARE(retried(f), QByteArray("/I1\r"));
}

QTEST_MAIN(TestHandshake)
#include "test_handshake.moc"
