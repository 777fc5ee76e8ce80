// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/link_fixture.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

// Bytes written since `from`, joined.
QByteArray sentSince(const LinkFixture &f, qsizetype from)
{
    return f.port->writes.mid(from).join();
}

// Start-up commands on a port just opened, sent up to the tick that meets
// the first "%" and starts the gap.
void startGap(LinkFixture &f)
{
    f.link.openPort(1);
    for (int i = 0; i < 4; ++i)
        f.link.transmitNext();
    QCOMPARE(f.port->sent(), QByteArray("/*\r"));
}

} // namespace

class TestPump : public QObject {
    Q_OBJECT
private slots:
    void startupSequenceIsPaced();
    void gapEndsAtFirstTickAfter250ms();
    void gapTimerEndsGapWithoutTicks();
    void modeFollowsRevision_data();
    void modeFollowsRevision();
    void commandBegunGoesOutWhole_data();
    void commandBegunGoesOutWhole();
    void pauseKeptWhenSequenceReplaced();
    void closedPortDrops_data();
    void closedPortDrops();
    void queueReplacedDuringGap();
    void portLostDuringGapSparesNextCommands();
};

// One character per tick; a tick at each "%" starts a 250 ms gap, which the
// first tick at or after its end closes by sending the next character.
void TestPump::startupSequenceIsPaced()
{
    LinkFixture f;
    f.link.openPort(1);
    QByteArrayList perTick;
    for (int tick = 0; tick < 21; ++tick) {
        const qsizetype before = f.port->writes.size();
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        f.link.transmitNext();
        perTick << sentSince(f, before);
    }
    const QByteArrayList expected{"/", "*", "\r", "", "", "", "", "", "/", "I", "0",
                                  "\r", "", "", "", "", "", "/", "u", "\r", ""};
    QCOMPARE(perTick, expected);
    QVERIFY(f.link.queued().isEmpty());
}

void TestPump::gapEndsAtFirstTickAfter250ms()
{
    LinkFixture f;
    startGap(f);
    f.advance(249ms);
    f.link.transmitNext();
    QCOMPARE(f.port->writes.size(), 3);
    f.advance(1ms);
    f.link.transmitNext();
    QCOMPARE(f.port->sent(), QByteArray("/*\r/"));
}

// The program carries on during the gap, and its own timer ends it even if
// no pump tick comes: the fake clock stands still here.
void TestPump::gapTimerEndsGapWithoutTicks()
{
    LinkFixture f;
    startGap(f);
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(f.port->writes.size() > 3, 2000);
    QVERIFY2(clock.elapsed() >= 240, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(f.port->writes[3], QByteArray("/"));
}

// Revisions above 32 take each command in one write, and need no pause.
void TestPump::modeFollowsRevision_data()
{
    QTest::addColumn<QByteArray>("revision");
    QTest::addColumn<QByteArrayList>("writes");
    QTest::newRow("32 paced") << QByteArray("u20\r")
                              << QByteArrayList{"/", "*", "\r", "/", "I", "0", "\r", "/", "u", "\r"};
    QTest::newRow("33 burst") << QByteArray("u21\r") << QByteArrayList{"/*\r", "/I0\r", "/u\r"};
}

void TestPump::modeFollowsRevision()
{
    QFETCH(QByteArray, revision);
    LinkFixture f;
    f.link.openPort(1);
    f.receive(revision);
    f.drainQueue();
    QTEST(QByteArrayList(f.port->writes), "writes");
}

namespace {

// The writers of commands, each with the command it hands the queue in a
// connected, read-out state. The poll cycle and the handshake retry fill
// only an idle queue, so they land second only by waiting.
struct Writer {
    const char *name;
    QByteArray command;
    std::function<void(LinkFixture &)> land;
};

const std::vector<Writer> &writers()
{
    static const std::vector<Writer> all{
        {"question", "/p\r", [](LinkFixture &f) { f.link.pollNext(); }},
        {"handshake retry", "/I1\r", [](LinkFixture &f) { f.link.retryHandshake(); }},
        {"echo-back", "/D5\r", [](LinkFixture &f) { f.receive("d05\r"); }},
        {"editor", "/N20\r", [](LinkFixture &f) { f.link.editSetting(Setting::MaxAdvance, 20); }},
        {"store", "/W\r", [](LinkFixture &f) { f.link.storeSettings(); }},
        {"transfer", "/M10\r", [](LinkFixture &f) { f.link.giveSettings({{Setting::MaxRpm, 10}}); }},
    };
    return all;
}

} // namespace

// One writer's command is half sent to an older unit when another's lands:
// the unit receives both whole, the one begun first.
void TestPump::commandBegunGoesOutWhole_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    for (int first = 0; first < int(writers().size()); ++first)
        for (int second = 2; second < int(writers().size()); ++second)
            if (first != second)
                QTest::addRow("%s, then %s", writers()[first].name, writers()[second].name)
                    << first << second;
}

void TestPump::commandBegunGoesOutWhole()
{
    QFETCH(int, first);
    QFETCH(int, second);
    LinkFixture f;
    connectAndReadOut(f, 0x20);
    QVERIFY(f.link.retryingHandshake()); // the stream request, not yet answered
    const qsizetype before = f.port->writes.size();
    writers()[first].land(f);
    for (int tick = 0; tick < 2; ++tick) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        f.link.transmitNext();
    }
    QCOMPARE(sentSince(f, before).size(), 2);
    writers()[second].land(f);
    for (int tick = 0; tick < 40; ++tick) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        f.link.transmitNext();
    }
    const QByteArray expected = writers()[first].command + writers()[second].command;
    QCOMPARE(sentSince(f, before).left(expected.size()), expected);
}

// A start-up command that needs a pause after it keeps it when a command of
// the user's replaces the rest of the sequence.
void TestPump::pauseKeptWhenSequenceReplaced()
{
    LinkFixture f;
    f.link.openPort(1);
    f.link.transmitNext();
    f.link.storeSettings();
    std::vector<std::chrono::milliseconds> sentAt;
    std::chrono::milliseconds elapsed{0};
    for (int tick = 0; tick < 20; ++tick) {
        const qsizetype before = f.port->writes.size();
        f.link.transmitNext();
        if (f.port->writes.size() > before)
            sentAt.push_back(elapsed);
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        elapsed += std::chrono::milliseconds(UnitLink::pumpMs);
    }
    QCOMPARE(f.port->sent(), QByteArray("/*\r/W\r"));
    QVERIFY(sentAt[2] - sentAt[1] >= 250ms); // from "*\r"'s CR to the "/" of "/W\r"
}

// A closed port drops what the pump sends, at the pace it would send it.
void TestPump::closedPortDrops_data()
{
    QTest::addColumn<QByteArray>("revision");
    QTest::addColumn<QByteArray>("leftAfterOneTick");
    QTest::newRow("paced") << QByteArray() << QByteArray("W\r");
    QTest::newRow("burst") << QByteArray("u21\r") << QByteArray();
}

void TestPump::closedPortDrops()
{
    QFETCH(QByteArray, revision);
    LinkFixture f;
    f.receive(revision);
    f.link.storeSettings();
    f.link.transmitNext();
    QTEST(f.link.queued(), "leftAfterOneTick");
    f.drainQueue();
    QVERIFY(f.port->writes.isEmpty());
}

// A click during the gap replaces the queue: the new command goes out whole.
void TestPump::queueReplacedDuringGap()
{
    LinkFixture f;
    startGap(f);
    f.link.storeSettings();
    f.drainQueue();
    QCOMPARE(sentSince(f, 3), QByteArray("/W\r"));
}

// The adapter pulled out mid-gap empties the queue; plugged back in at once,
// the new start-up commands lose no character to the old gap.
void TestPump::portLostDuringGapSparesNextCommands()
{
    LinkFixture f;
    startGap(f);
    f.port->vanish();
    QVERIFY(f.link.queued().isEmpty());
    f.link.openPort(1);
    f.drainQueue();
    QCOMPARE(sentSince(f, 3), QByteArray("/*\r/I0\r/u\r"));
}

QTEST_MAIN(TestPump)
#include "test_pump.moc"
