// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/link_fixture.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QByteArray idleTelemetry = "=0000000000008223000\r";
const QString silentStatus = QStringLiteral("No data from unit - Port 1");

// A link to a streaming unit; times count from the first silence check.
struct SilenceFixture : LinkFixture {
    std::chrono::steady_clock::time_point start;

    SilenceFixture()
    {
        connect();
        receive("/I1\r");
        start = now;
        link.checkSilence(); // the wait counts from here
    }

    void checkAt(double seconds)
    {
        now = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::duration<double>(seconds));
        link.checkSilence();
    }
};

} // namespace

class TestUnitSilence : public QObject {
    Q_OBJECT
private slots:
    void noticedAfterThreeQuietSeconds_data();
    void noticedAfterThreeQuietSeconds();
    void silenceForgetsTheEngine();
    void rebootedUnitIsReadAgainKeepingStoreColour();
    void firstLineAfterSilenceSetsStatus_data();
    void firstLineAfterSilenceSetsStatus();
    void resumedStreamEndsRereadAfterSilence();
    void nothingWatchedWhileLinkDown();
};

void TestUnitSilence::noticedAfterThreeQuietSeconds_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("lineAt"); // negative: no line
    QTest::addColumn<double>("checkAt");
    QTest::addColumn<bool>("silent");
    QTest::newRow("quiet 2.9 s") << QByteArray() << -1.0 << 2.9 << false;
    QTest::newRow("quiet 3 s") << QByteArray() << -1.0 << 3.0 << true;
    QTest::newRow("telemetry at 1 s, 3.9 s") << idleTelemetry << 1.0 << 3.9 << false;
    QTest::newRow("telemetry at 1 s, 4 s") << idleTelemetry << 1.0 << 4.0 << true;
    QTest::newRow("p reply at 1 s, 3.9 s") << QByteArray("p40\r") << 1.0 << 3.9 << false;
    QTest::newRow("garbage is not the unit") << QByteArray("X12\r") << 1.0 << 3.0 << true;
    QTest::newRow("half a line is not a line") << QByteArray("=0BB8") << 1.0 << 3.0 << true;
}

void TestUnitSilence::noticedAfterThreeQuietSeconds()
{
    QFETCH(QByteArray, line);
    QFETCH(double, lineAt);
    QFETCH(double, checkAt);
    QFETCH(bool, silent);
    SilenceFixture f;
    if (lineAt >= 0) {
        f.now = f.start + std::chrono::milliseconds(int(lineAt * 1000));
        f.receive(line);
        f.link.checkSilence();
    }
    f.checkAt(checkAt);
    QCOMPARE(f.link.status(), silent ? silentStatus : QStringLiteral("Stream Mode"));
    QCOMPARE(f.link.phase(), silent ? LinkPhase::UnitSilent : LinkPhase::Streaming);
}

void TestUnitSilence::silenceForgetsTheEngine()
{
    SilenceFixture f;
    f.receive("=0BB81E000082231020\r=0BB8");
    QVERIFY(f.link.state().engineRunning);
    f.checkAt(3);

    QVERIFY(!f.link.state().engineRunning);
    QCOMPARE(f.link.state().engine, EngineFigures{});
    QVERIFY(f.port->isOpen());
    QVERIFY(f.link.polling());
    QVERIFY(!f.link.retryingHandshake());
    // The half line is gone: the next answer is not glued to it.
    f.receive("p40\r");
    QVERIFY(!f.link.state().engineRunning);
    QCOMPARE(f.link.state().propellerDegrees, int16_t(89));
    // Every value is asked for afresh, twice.
    for (int ask = 0; ask < 2; ++ask) {
        f.link.pollNext();
        QCOMPARE(f.link.queued(), QByteArray("/c\r"));
        f.drainQueue();
    }
}

// The unit lost power with a change unsaved, then came back with its stored
// settings and not streaming: it is read afresh and asked to stream, and the
// button does not claim the change was stored.
void TestUnitSilence::rebootedUnitIsReadAgainKeepingStoreColour()
{
    SilenceFixture f;
    f.link.editSetting(Setting::StartDelay, 3);
    f.drainQueue();
    QVERIFY(f.link.state().unsavedChanges);
    f.checkAt(3);

    f.link.pollNext();
    QCOMPARE(f.link.queued(), QByteArray("/c\r"));
    f.drainQueue();
    f.readOut();
    QVERIFY(f.link.retryingHandshake());
    QVERIFY(f.link.state().unsavedChanges);
    f.drainQueue();
    f.link.retryHandshake();
    QCOMPARE(f.link.queued(), QByteArray("/I1\r"));

    f.receive("/I1\r");
    QCOMPARE(f.link.status(), QStringLiteral("Stream Mode"));
}

// The first line the unit sends after a silence says what the link is now.
void TestUnitSilence::firstLineAfterSilenceSetsStatus_data()
{
    QTest::addColumn<bool>("longSilence"); // the read-out ran unanswered first
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("status");
    QTest::addColumn<LinkPhase>("phase");
    const QString connected = QStringLiteral("Connected Comm Port 1");
    QTest::newRow("telemetry") << false << idleTelemetry << "Stream Mode" << LinkPhase::Streaming;
    QTest::newRow("reply") << false << QByteArray("p40\r") << connected
                           << LinkPhase::ReadingSettings;
    QTest::newRow("acknowledgement") << false << QByteArray("/D5\r") << connected
                                     << LinkPhase::ReadingSettings;
    QTest::newRow("stream on") << false << QByteArray("/I1\r") << "Stream Mode"
                               << LinkPhase::Streaming;
    QTest::newRow("garbage") << false << QByteArray("X12\r") << silentStatus
                             << LinkPhase::UnitSilent;
    QTest::newRow("telemetry after a long silence")
        << true << idleTelemetry << "Stream Mode" << LinkPhase::Streaming;
}

void TestUnitSilence::firstLineAfterSilenceSetsStatus()
{
    QFETCH(bool, longSilence);
    QFETCH(QByteArray, line);
    QFETCH(LinkPhase, phase);
    SilenceFixture f;
    f.checkAt(3);
    if (longSilence)
        f.readOut();
    f.receive(line);
    QTEST(f.link.status(), "status");
    QCOMPARE(f.link.phase(), phase);
    if (phase == LinkPhase::ReadingSettings) {
        // The read-out goes on, then asks for the stream.
        f.readOut();
        QCOMPARE(f.link.phase(), LinkPhase::Streaming);
        f.drainQueue();
        f.link.retryHandshake();
        QCOMPARE(f.link.queued(), QByteArray("/I1\r"));
    }
}

// Telemetry after a silence, even after the read-out began: the unit streams
// on, so that read-out is over, and a later stream request clears STORE
// CONFIG as after any read-out.
void TestUnitSilence::resumedStreamEndsRereadAfterSilence()
{
    SilenceFixture f;
    f.link.editSetting(Setting::StartDelay, 3);
    f.drainQueue();
    f.checkAt(3);
    f.receive("p40\r");
    f.receive(idleTelemetry);
    QVERIFY(f.link.state().unsavedChanges);

    QSignalSpy store(&f.link, &UnitLink::storeStateChanged);
    f.receive("/I0\r");
    f.readOut();
    QVERIFY(!f.link.state().unsavedChanges);
    QCOMPARE(store.size(), 1);
}

void TestUnitSilence::nothingWatchedWhileLinkDown()
{
    SilenceFixture f;
    f.receive("/I0\r");
    f.checkAt(10);
    QCOMPARE(f.link.status(), QString());

    // Link up again: the wait starts over rather than counting the old quiet.
    f.receive("/I1\r");
    f.checkAt(11);
    f.checkAt(13.9);
    QCOMPARE(f.link.status(), QStringLiteral("Stream Mode"));
}

QTEST_MAIN(TestUnitSilence)
#include "test_unit_silence.moc"
