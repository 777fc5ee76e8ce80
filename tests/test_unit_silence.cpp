#include "support/form_fixture.h"
#include "ui/packed_color.h"

#include <QtTest>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A window connected to a streaming unit, on a clock that moves only when
// the test says so.
struct SilenceFixture : FormFixture {
    Clock::time_point now{};

    SilenceFixture()
    {
        form.clock = [this] { return now; };
        connect();
        receive("/I1\r");
        form.checkUnitSilence(); // the wait counts from here
    }

    void at(double seconds)
    {
        now = Clock::time_point{} + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(seconds));
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
    void nothingWatchedWhileLinkDown();
};

void TestUnitSilence::noticedAfterThreeQuietSeconds_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("lineAt"); // negative: no line
    QTest::addColumn<double>("checkAt");
    QTest::addColumn<bool>("silent");
    const QByteArray telemetry = "=0000000000008223000\r";
    QTest::newRow("quiet 2.9 s") << QByteArray() << -1.0 << 2.9 << false;
    QTest::newRow("quiet 3 s") << QByteArray() << -1.0 << 3.0 << true;
    QTest::newRow("telemetry at 1 s, 3.9 s") << telemetry << 1.0 << 3.9 << false;
    QTest::newRow("telemetry at 1 s, 4 s") << telemetry << 1.0 << 4.0 << true;
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
        f.at(lineAt);
        f.receive(line);
        f.form.checkUnitSilence();
    }
    f.at(checkAt);
    f.form.checkUnitSilence();
    QCOMPARE(f.form.statusbox->text(),
             silent ? QStringLiteral("No data from unit - Port 1") : QStringLiteral("Stream Mode"));
    QCOMPARE(f.form.linkUp, !silent);
}

void TestUnitSilence::silenceForgetsTheEngine()
{
    SilenceFixture f;
    f.receive("=0BB81E000082231020\r=0BB8");
    f.form.Timer2_Timer();
    QVERIFY(f.form.engineRunning);
    f.at(3);
    f.form.checkUnitSilence();

    QVERIFY(!f.form.engineRunning);
    QVERIFY(!f.form.AGauge2->isHidden());
    for (int16_t target : {f.form.engineRpm, f.form.advanceSteps, f.form.advanceDegrees,
                           f.form.busVolts, f.form.pair12Value, f.form.pair34Value})
        QCOMPARE(target, int16_t(0));
    QVERIFY(f.form.rxBuffer.isEmpty());
    QCOMPARE(Tag(f.form.conshiftdata), QStringLiteral("2"));
    QVERIFY(f.port->PortOpen());
    QVERIFY(f.form.Timer1->isActive());
    QVERIFY(!f.form.Timer4->isActive());
}

// The unit lost power with a change unsaved, then came back with its stored
// settings and not streaming: it is read afresh and asked to stream, and the
// button does not claim the change was stored.
void TestUnitSilence::rebootedUnitIsReadAgainKeepingStoreColour()
{
    SilenceFixture f;
    f.form.storebutton->setBackColor(PackedColor::green);
    f.at(3);
    f.form.checkUnitSilence();

    f.form.Timer1_Timer();
    QCOMPARE(f.form.txQueue, QByteArray("/c\r"));
    for (int tick = 0; tick < 20; ++tick) {
        f.form.txQueue.clear();
        f.form.Timer1_Timer();
    }
    QCOMPARE(f.form.handshakeCommands, QByteArray("/I1\r"));
    QVERIFY(f.form.Timer4->isActive());
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::green);

    f.receive("/I1\r");
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Stream Mode"));
}

void TestUnitSilence::nothingWatchedWhileLinkDown()
{
    SilenceFixture f;
    f.receive("/I0\r");
    f.at(10);
    f.form.checkUnitSilence();
    QCOMPARE(f.form.statusbox->text(), QString());

    // Link up again: the wait starts over rather than counting the old quiet.
    f.receive("/I1\r");
    f.at(11);
    f.form.checkUnitSilence();
    f.at(13.9);
    f.form.checkUnitSilence();
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Stream Mode"));
}

QTEST_MAIN(TestUnitSilence)
#include "test_unit_silence.moc"
