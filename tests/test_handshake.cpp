#include "support/form_fixture.h"
#include "gauges/angular_gauge.h"
#include "ui/color_button.h"

#include <QLineEdit>
#include <QTimer>
#include <QtTest>

namespace {
const QByteArray startup = "/*\r%/I0\r%/u\r";
}

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
    FormFixture f;
    const QList<void (DashForm::*)()> clicks{&DashForm::com1_Click, &DashForm::com2_Click,
                                             &DashForm::com3_Click, &DashForm::com4_Click};
    (f.form.*clicks[port - 1])();
    QVERIFY(f.port->PortOpen());
    QCOMPARE(f.port->CommPort(), int16_t(port));
    QCOMPARE(f.form.handshakeCommands, startup);
    QTEST(f.form.txQueue, "queue");
    QVERIFY(f.form.Timer4->isActive());
    QCOMPARE(f.form.statusbox->text(), QString("Waiting for connection - Port %1").arg(port));
    QCOMPARE(Tag(&f.form), QStringLiteral("1"));
}

void TestHandshake::com4WaitsForEmptyQueue()
{
    FormFixture f;
    f.form.txQueue = "/W\r";
    f.form.com4_Click();
    QCOMPARE(f.form.txQueue, QByteArray("/W\r"));
    f.form.Timer4_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/W\r"));
    QCOMPARE(f.drainQueue(), QByteArray("/W\r"));
    f.form.Timer4_Timer();
    QCOMPARE(f.form.txQueue, startup);
}

void TestHandshake::retryRequeuesOnlyWhenEmpty()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.Timer3_Timer();
    f.form.Timer4_Timer();
    QCOMPARE(f.form.txQueue, startup.mid(1));
    f.drainQueue();
    f.form.Timer4_Timer();
    QCOMPARE(f.form.txQueue, startup);

    // An answered handshake leaves nothing to re-queue.
    f.form.handshakeCommands.clear();
    f.form.txQueue.clear();
    f.form.Timer4_Timer();
    QVERIFY(f.form.txQueue.isEmpty());
}

void TestHandshake::sameButtonTwiceStartsOver()
{
    FormFixture f;
    f.form.com2_Click();
    f.form.Timer3_Timer();
    f.form.Timer3_Timer();
    f.form.statusbox->clear();
    f.form.com2_Click();
    QCOMPARE(f.port->closeCount, 1);
    QCOMPARE(f.port->openCount, 2);
    QCOMPARE(f.form.txQueue, startup);
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Waiting for connection - Port 2"));
}

void TestHandshake::otherButtonMovesAttempt()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.com3_Click();
    QCOMPARE(f.port->CommPort(), int16_t(3));
    QCOMPARE(Tag(&f.form), QStringLiteral("1"));
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Waiting for connection - Port 3"));
}

void TestHandshake::clickLeavesReceivedStateAlone()
{
    FormFixture f;
    f.receive("=0BB81E000082231020\r");
    f.receive("=00");
    f.form.com1_Click();
    QCOMPARE(f.form.rxBuffer, QByteArray("=00"));
    QVERIFY(f.form.linkUp);
    QCOMPARE(f.form.tempdata->text(), QStringLiteral("35"));
}

void TestHandshake::portInUse()
{
    FormFixture f;
    f.form.txQueue = "/W\r";
    f.port->failNextOpen(SerialPort::errorPortInUse);
    f.form.com1_Click();
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("No Comm Port"));
    QVERIFY(!f.form.Timer4->isActive());
    QCOMPARE(f.form.txQueue, QByteArray("/W\r"));
    QCOMPARE(Tag(&f.form), QStringLiteral("0"));
}

void TestHandshake::failedClickAfterSuccess_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("status");
    QTest::newRow("in use") << int(SerialPort::errorPortInUse) << "No Comm Port";
    QTest::newRow("other") << int(SerialPort::errorPortUnavailable)
                           << "Waiting for connection - Port 1";
}

// The old port is closed, but the attempt carries on: the sequence keeps
// being queued and the pump drops it while no port is open.
void TestHandshake::failedClickAfterSuccess()
{
    QFETCH(int, error);
    FormFixture f;
    f.form.com1_Click();
    f.port->failNextOpen(error);
    f.form.com2_Click();
    QVERIFY(!f.port->PortOpen());
    QTEST(f.form.statusbox->text(), "status");
    QVERIFY(f.form.Timer4->isActive());
    QCOMPARE(Tag(&f.form), QStringLiteral("1"));
    QCOMPARE(f.form.handshakeCommands, startup);
    const qsizetype writes = f.port->writes.size();
    f.drainQueue();
    f.form.Timer4_Timer();
    QCOMPARE(f.form.txQueue, startup);
    f.drainQueue();
    QCOMPARE(f.port->writes.size(), writes);
}

void TestHandshake::failedCloseStillCounts()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.statusbox->clear();
    f.port->failNextClose(SerialPort::errorPortUnavailable);
    f.form.com2_Click();
    QCOMPARE(f.form.statusbox->text(), QString());
}

void TestHandshake::connectionLostAndReconnect()
{
    FormFixture f;
    f.connect(0x21, 2);
    f.receive("c05\r");
    f.receive("=0BB81E000082231020\r");
    f.form.Timer2_Timer();
    QVERIFY(f.form.engineRunning);
    f.form.txQueue = "/p\r";
    f.receive("=0BB81E00"); // the adapter is pulled out mid-line

    f.port->vanish();
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Connection lost - Port 2"));
    for (QWidget *w : {static_cast<QWidget *>(f.form.com1), static_cast<QWidget *>(f.form.com4),
                       static_cast<QWidget *>(f.form.Command4)})
        QVERIFY(!w->isHidden());
    QCOMPARE(Tag(&f.form), QStringLiteral("0"));
    QVERIFY(!f.form.Timer1->isActive());
    QVERIFY(!f.form.Timer4->isActive());
    QVERIFY(f.form.Timer2->isActive());
    QVERIFY(f.form.Timer3->isActive());
    QVERIFY(f.form.txQueue.isEmpty());
    QVERIFY(f.form.handshakeCommands.isEmpty());
    QCOMPARE(Tag(f.form.conshiftdata), QStringLiteral("2"));
    QVERIFY(!f.form.linkUp);
    QVERIFY(!f.form.engineRunning);
    QVERIFY(!f.form.AGauge2->isHidden());
    QVERIFY(f.form.rxBuffer.isEmpty());
    QCOMPARE(f.form.revdata->text(), QStringLiteral("0"));
    for (int16_t target : {f.form.engineRpm, f.form.advanceSteps, f.form.advanceDegrees,
                           f.form.busVolts, f.form.pair12Value, f.form.pair34Value})
        QCOMPARE(target, int16_t(0));

    // Plugged back in: a new click connects, reads the unit again from the
    // start and asks it to stream.
    f.form.com2_Click();
    QVERIFY(f.port->PortOpen());
    QCOMPARE(f.form.txQueue, startup);
    f.receive("/I0\r");
    f.receive("u21\r");
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Connected Comm Port 2"));
    QVERIFY(f.form.Timer1->isActive());
    f.form.txQueue.clear();
    f.form.Timer2_Timer();
    f.form.Timer1_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/c\r"));
    for (int tick = 0; tick < 21; ++tick) {
        f.drainQueue();
        f.form.Timer2_Timer();
        f.form.Timer1_Timer();
    }
    f.drainQueue();
    f.form.Timer4_Timer();
    QCOMPARE(f.drainQueue(), QByteArray("/I1\r"));
}

QTEST_MAIN(TestHandshake)
#include "test_handshake.moc"
