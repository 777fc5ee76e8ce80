#include "support/form_fixture.h"

#include <QLineEdit>
#include <QtTest>
#include <thread>

class TestPump : public QObject {
    Q_OBJECT
private slots:
    void startupSequenceIsPaced();
    void modeFollowsRevision_data();
    void modeFollowsRevision();
    void emptyQueueReadsNoRevision();
    void producerReplacesHalfSentCommand();
    void closedPortDropsCharacters();
    void closedPortDropsBurst();
    void queueReplacedDuringPause();
    void queueEmptiedDuringPause();
    void pauseLasts();
};

void TestPump::startupSequenceIsPaced()
{
    FormFixture f;
    f.form.com1_Click();
    QList<QByteArray> perTick;
    QList<int> pausesAt;
    while (!f.form.txQueue.isEmpty()) {
        const qsizetype before = f.port->writes.size();
        const int pausesBefore = f.pauses;
        f.form.Timer3_Timer();
        perTick.append(f.port->writes.size() > before ? f.port->writes.last() : QByteArray());
        if (f.pauses != pausesBefore)
            pausesAt.append(perTick.size() - 1);
    }
    const QList<QByteArray> expected{"/", "*", "\r", "/", "I", "0", "\r", "/", "u", "\r"};
    QCOMPARE(perTick, expected);
    // Each pause comes in the tick that sends the next command's first "/".
    QCOMPARE(pausesAt, (QList<int>{3, 7}));
}

void TestPump::modeFollowsRevision_data()
{
    QTest::addColumn<QString>("revision");
    QTest::addColumn<QByteArray>("queue");
    QTest::addColumn<QByteArrayList>("writes");
    QTest::newRow("32 paced") << "32" << QByteArray("/W\r") << QByteArrayList{"/", "W", "\r"};
    QTest::newRow("33 burst") << "33" << QByteArray("/I1\r") << QByteArrayList{"/I1\r"};
    QTest::newRow("burst keeps markers")
        << "33" << QByteArray("/*\r%/I0\r%/u\r") << QByteArrayList{"/*\r%/I0\r%/u\r"};
    QTest::newRow("not a number is paced") << "3x" << QByteArray("/W\r")
                                           << QByteArrayList{"/", "W", "\r"};
}

void TestPump::modeFollowsRevision()
{
    QFETCH(QString, revision);
    QFETCH(QByteArray, queue);
    FormFixture f;
    f.form.com1_Click();
    f.form.revdata->setText(revision);
    f.form.txQueue = queue;
    f.drainQueue();
    QTEST(QByteArrayList(f.port->writes), "writes");
    QCOMPARE(f.pauses, 0);
}

void TestPump::emptyQueueReadsNoRevision()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.txQueue.clear();
    // A revision text that would change the mode is not even looked at.
    f.form.revdata->setText(QStringLiteral("99"));
    f.form.Timer3_Timer();
    QVERIFY(f.port->writes.isEmpty());
    QVERIFY(f.form.txChar.isEmpty());
}

void TestPump::producerReplacesHalfSentCommand()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.txQueue = "/N20\r";
    f.form.Timer3_Timer();
    f.form.Timer3_Timer();
    f.form.txQueue = "/W\r";
    f.drainQueue();
    QCOMPARE(f.port->sent(), QByteArray("/N/W\r"));
}

void TestPump::closedPortDropsCharacters()
{
    FormFixture f;
    f.form.txQueue = "/W\r";
    f.form.Timer3_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("W\r"));
    f.drainQueue();
    QVERIFY(f.port->writes.isEmpty());
}

void TestPump::closedPortDropsBurst()
{
    FormFixture f;
    f.form.revdata->setText(QStringLiteral("33"));
    f.form.txQueue = "/W\r";
    f.form.Timer3_Timer();
    QVERIFY(f.form.txQueue.isEmpty());
    QVERIFY(f.port->writes.isEmpty());
}

// A click during the pause's one pass of the event loop replaces the queue:
// the new text must go out whole.
void TestPump::queueReplacedDuringPause()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.txQueue = "%/u\r";
    f.duringPause = [&f] { f.form.txQueue = "/W\r"; };
    f.drainQueue();
    QCOMPARE(f.port->sent(), QByteArray("/W\r"));
}

void TestPump::queueEmptiedDuringPause()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.txQueue = "%/u\r";
    f.duringPause = [&f] { f.form.txQueue.clear(); };
    f.form.Timer3_Timer();
    QVERIFY(f.port->writes.isEmpty());
    QVERIFY(f.form.txQueue.isEmpty());
}

void TestPump::pauseLasts()
{
    FormFixture f;
    f.form.pauseHooks.waitUntil = [](std::chrono::steady_clock::time_point finish) {
        std::this_thread::sleep_until(finish);
    };
    QElapsedTimer clock;
    clock.start();
    f.form.Pause(0.25f);
    const qint64 ms = clock.elapsed();
    QVERIFY2(ms >= 245 && ms < 1000, qPrintable(QString::number(ms)));
}

QTEST_MAIN(TestPump)
#include "test_pump.moc"
