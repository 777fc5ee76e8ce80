#include "support/form_fixture.h"
#include "ui/color_button.h"
#include "ui/packed_color.h"

#include <QTimer>
#include <QtTest>

namespace {

// What a unit answers to each query; empty for no answer.
QByteArray answerTo(const QByteArray &query)
{
    static const QHash<QByteArray, QByteArray> answers{
        {"/c\r", "c03\r"}, {"/d\r", "d02\r"}, {"/e\r", "e40\r"}, {"/z\r", "z5A\r"},
        {"/w\r", "w8A\r"}, {"/x\r", "x0000\r"}, {"/l\r", "l01\r"}, {"/t\r", "t01\r"},
        {"/m\r", "m0E\r"}, {"/n\r", "n1E\r"}, {"/p\r", "p40\r"}};
    return answers.value(query);
}

} // namespace

class TestPollCycle : public QObject {
    Q_OBJECT
private slots:
    void answeringUnit();
    void silentUnit();
    void engineRunningSilencesCycle();
    void busyQueueSkipsTick();
    void streamOffRearmsRequest();
    void engineRunningAtConnectStillReadsOut();
};

// Every query is answered before the next tick. Ticks where a reply moved a
// scroll bar find its echo in the queue and skip.
void TestPollCycle::answeringUnit()
{
    FormFixture f;
    f.connect();
    QByteArrayList sent;
    for (int tick = 0; tick < 18; ++tick) {
        const QByteArray waiting = f.form.txQueue;
        f.form.Timer1_Timer();
        if (!waiting.isEmpty()) {
            QCOMPARE(f.form.txQueue, waiting);
            sent << "skip " + waiting;
            f.form.txQueue.clear();
            continue;
        }
        const QByteArray query = f.form.txQueue;
        sent << query;
        f.form.txQueue.clear();
        if (const QByteArray answer = answerTo(query); !answer.isEmpty())
            f.receive(answer);
    }
    const QByteArrayList expected{
        "/c\r", "/d\r", "skip /D2\r", "/e\r", "/e\r", "/z\r", "/w\r", "/x\r", "/l\r", "/t\r",
        "skip /T1\r", "/m\r", "skip /M14\r", "/n\r", "skip /N30\r", "/p\r", "/p\r", "/p\r"};
    QCOMPARE(sent, expected);
    QCOMPARE(f.form.handshakeCommands, QByteArray("/I1\r"));
    QVERIFY(f.form.Timer4->isActive());
    QVERIFY(f.form.linkUp);
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::darkGrey);
}

void TestPollCycle::silentUnit()
{
    FormFixture f;
    f.connect();
    QByteArrayList sent;
    for (int tick = 0; tick < 22; ++tick) {
        f.form.Timer1_Timer();
        sent << f.form.txQueue;
        f.form.txQueue.clear();
    }
    QByteArrayList expected;
    for (const char *q : {"/c\r", "/d\r", "/e\r", "/z\r", "/w\r", "/x\r", "/l\r", "/t\r", "/m\r",
                          "/n\r"})
        expected << q << q;
    expected << "/p\r" << "/p\r";
    QCOMPARE(sent, expected);
    QCOMPARE(f.form.handshakeCommands, QByteArray("/I1\r"));
}

void TestPollCycle::engineRunningSilencesCycle()
{
    FormFixture f;
    f.connect();
    f.form.linkUp = true;
    f.form.engineRpm = 60;
    f.form.Timer2_Timer();
    QVERIFY(f.form.engineRunning);
    f.form.Timer1_Timer();
    QVERIFY(f.form.txQueue.isEmpty());
    QCOMPARE(Tag(f.form.conshiftdata), QStringLiteral("2"));

    f.form.engineRpm = 0;
    f.form.Timer2_Timer();
    f.form.Timer1_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/c\r"));
}

void TestPollCycle::busyQueueSkipsTick()
{
    FormFixture f;
    f.connect();
    f.form.txQueue = "/W\r";
    f.form.Timer1_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/W\r"));
    QCOMPARE(Tag(f.form.conshiftdata), QStringLiteral("2"));
}

void TestPollCycle::streamOffRearmsRequest()
{
    FormFixture f;
    f.connect();
    for (int tick = 0; tick < 21; ++tick) {
        f.form.Timer1_Timer();
        f.form.txQueue.clear();
    }
    f.receive("/I1\r");
    QVERIFY(!f.form.Timer4->isActive());
    f.form.storebutton->setBackColor(PackedColor::green);

    f.receive("/I0\r");
    QVERIFY(!f.form.linkUp);
    f.form.Timer1_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/p\r"));
    QCOMPARE(f.form.handshakeCommands, QByteArray("/I1\r"));
    QVERIFY(f.form.Timer4->isActive());
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::darkGrey);

    // The retry timer and the poll cycle take turns at an empty queue.
    f.form.txQueue.clear();
    f.form.Timer4_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/I1\r"));
}

// A unit already streaming a running engine when the console connects: its
// "/I0" stops the stream, so the read-out must not wait for the engine.
void TestPollCycle::engineRunningAtConnectStillReadsOut()
{
    FormFixture f;
    f.form.com1_Click();
    f.receive("=0BB81E000082231020\r");
    f.form.Timer2_Timer();
    QVERIFY(f.form.engineRunning);
    f.receive("/I0\r");
    f.receive("u21\r");
    f.form.txQueue.clear();
    f.form.Timer2_Timer();
    f.form.Timer1_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/c\r"));
    QVERIFY(!f.form.AGauge2->isHidden());
}

QTEST_MAIN(TestPollCycle)
#include "test_poll_cycle.moc"
