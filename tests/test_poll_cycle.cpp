// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/link_fixture.h"

#include <QtTest>

namespace {

QByteArray telemetryAt(const char *rpmHex)
{
    return "=" + QByteArray(rpmHex) + "1E000082231020\r";
}

// The queue's command after a poll tick, then sent.
QByteArray pollAndSend(LinkFixture &f)
{
    f.link.pollNext();
    const QByteArray query = f.link.queued();
    f.drainQueue();
    return query;
}

} // namespace

class TestPollCycle : public QObject {
    Q_OBJECT
private slots:
    void answeringUnit();
    void silentUnit();
    void quietTickAsksNothing_data();
    void quietTickAsksNothing();
    void streamOffRearmsRequest();
    void engineRunningAtConnectStillReadsOut();
};

// Every query is answered before the next tick. Ticks where a reply moved an
// editor find its echo in the queue and skip.
void TestPollCycle::answeringUnit()
{
    LinkFixture f;
    f.connect();
    QByteArrayList sent;
    for (int tick = 0; tick < 18; ++tick) {
        const QByteArray waiting = f.link.queued();
        f.link.pollNext();
        if (!waiting.isEmpty()) {
            QCOMPARE(f.link.queued(), waiting);
            sent << "skip " + waiting;
            f.drainQueue();
            continue;
        }
        const QByteArray query = f.link.queued();
        sent << query;
        f.drainQueue();
        if (const QByteArray answer = unitAnswer(query); !answer.isEmpty())
            f.receive(answer);
    }
    const QByteArrayList expected{
        "/c\r", "/d\r", "skip /D2\r", "/e\r", "/e\r", "/z\r", "/w\r", "/x\r", "/l\r", "/t\r",
        "skip /T1\r", "/m\r", "skip /M14\r", "/n\r", "skip /N30\r", "/p\r", "/p\r", "/p\r"};
    QCOMPARE(sent, expected);
    QVERIFY(f.link.retryingHandshake());
    QCOMPARE(f.link.phase(), LinkPhase::Streaming);
    QVERIFY(!f.link.state().unsavedChanges);
    f.drainQueue();
    f.link.retryHandshake();
    QCOMPARE(f.link.queued(), QByteArray("/I1\r"));
}

void TestPollCycle::silentUnit()
{
    LinkFixture f;
    f.connect();
    QByteArrayList sent;
    for (int tick = 0; tick < 22; ++tick)
        sent << pollAndSend(f);
    QByteArrayList expected;
    for (const char *q : {"/c\r", "/d\r", "/e\r", "/z\r", "/w\r", "/x\r", "/l\r", "/t\r", "/m\r",
                          "/n\r"})
        expected << q << q;
    expected << "/p\r" << "/p\r";
    QCOMPARE(sent, expected);
    f.link.retryHandshake();
    QCOMPARE(f.link.queued(), QByteArray("/I1\r"));
}

// A tick that finds the queue busy or the engine running asks nothing and
// uses up no ask.
void TestPollCycle::quietTickAsksNothing_data()
{
    QTest::addColumn<bool>("engineRunning"); // else the queue is busy
    QTest::newRow("queue busy") << false;
    QTest::newRow("engine running") << true;
}

void TestPollCycle::quietTickAsksNothing()
{
    QFETCH(bool, engineRunning);
    LinkFixture f;
    f.connect();
    if (engineRunning) {
        f.receive(telemetryAt("003C")); // 60 rpm
        QVERIFY(f.link.state().engineRunning);
        f.link.pollNext();
        QVERIFY(f.link.queued().isEmpty());
        f.receive(telemetryAt("0000"));
    } else {
        f.link.storeSettings();
        f.link.pollNext();
        QCOMPARE(f.link.queued(), QByteArray("/W\r"));
        f.drainQueue();
    }
    QCOMPARE(pollAndSend(f), QByteArray("/c\r"));
    QCOMPARE(pollAndSend(f), QByteArray("/c\r"));
}

void TestPollCycle::streamOffRearmsRequest()
{
    LinkFixture f;
    f.connect();
    f.readOut();
    f.receive("/I1\r");
    QVERIFY(!f.link.retryingHandshake());
    f.link.editSetting(Setting::StartDelay, 3);
    f.drainQueue();
    QVERIFY(f.link.state().unsavedChanges);

    f.receive("/I0\r");
    QCOMPARE(f.link.phase(), LinkPhase::ReadingSettings);
    f.link.pollNext();
    QCOMPARE(f.link.queued(), QByteArray("/p\r"));
    QVERIFY(f.link.retryingHandshake());
    QVERIFY(f.link.state().unsavedChanges); // the user's change is still not stored

    // The retry and the poll cycle take turns at an empty queue.
    f.drainQueue();
    f.link.retryHandshake();
    QCOMPARE(f.link.queued(), QByteArray("/I1\r"));
}

// A unit already streaming a running engine when the console connects: its
// "/I0" stops the stream, so the read-out must not wait for the engine.
void TestPollCycle::engineRunningAtConnectStillReadsOut()
{
    LinkFixture f;
    f.link.openPort(1);
    f.receive(telemetryAt("0BB8"));
    QVERIFY(f.link.state().engineRunning);
    f.receive("/I0\r");
    f.receive("u21\r");
    QVERIFY(!f.link.state().engineRunning);
    f.drainQueue();
    f.link.pollNext();
    QCOMPARE(f.link.queued(), QByteArray("/c\r"));
}

QTEST_MAIN(TestPollCycle)
#include "test_poll_cycle.moc"
