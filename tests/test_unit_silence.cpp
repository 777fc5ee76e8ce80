// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_keeper.h"
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
    void rebootedUnitIsReadAgain_data();
    void rebootedUnitIsReadAgain();
    void firstLineAfterSilenceSetsStatus_data();
    void firstLineAfterSilenceSetsStatus();
    void silenceBeforeIdentificationLeavesFirstReadOut();
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
    QCOMPARE(f.link.state().figures, FigureValues{});
    QVERIFY(f.port->isOpen());
    QVERIFY(f.link.polling());
    QVERIFY(!f.link.retryingHandshake());
    // The half line is gone: the next answer is not glued to it.
    f.receive("p40\r");
    QVERIFY(!f.link.state().engineRunning);
    QCOMPARE(f.link.state().figures[Figure::Propeller], int16_t(89));
    // Once it answers, every value is asked for afresh, twice.
    for (int ask = 0; ask < 2; ++ask) {
        f.link.pollNext();
        QCOMPARE(f.link.queued(), QByteArray("/c\r"));
        f.drainQueue();
    }
}

// The unit lost power for 12 s and came back with other settings, not
// streaming, or streaming at once. No question is spent on it while it is
// silent; once it answers every value is asked again, and the new ones are
// shown and backed up. STORE CONFIG ends dark grey unless the user's own
// change is still unstored.
void TestUnitSilence::rebootedUnitIsReadAgain_data()
{
    QTest::addColumn<bool>("userChange");
    QTest::addColumn<QByteArray>("firstLine");
    QTest::newRow("answers the propeller question") << false << QByteArray("p40\r");
    QTest::newRow("a change of the user's unstored") << true << QByteArray("p40\r");
    QTest::newRow("streams at once") << false << idleTelemetry;
}

void TestUnitSilence::rebootedUnitIsReadAgain()
{
    QFETCH(bool, userChange);
    QFETCH(QByteArray, firstLine);
    QTemporaryDir backups;
    LinkFixture f;
    SettingsKeeper keeper(f.link, backups.path());
    connectAndReadOut(f);
    f.receive("/I1\r");
    if (userChange) {
        f.link.editSetting(Setting::Led, 2);
        f.drainQueue();
    }
    f.link.checkSilence();

    QByteArrayList askedWhileSilent;
    for (int tick = 0; tick < 40; ++tick) { // 12 s
        f.advance(300ms);
        f.link.checkSilence();
        f.link.pollNext();
        askedWhileSilent << f.link.queued();
        f.drainQueue();
    }
    QCOMPARE(f.link.phase(), LinkPhase::UnitSilent);
    QVERIFY(!f.link.settingsRead());
    QCOMPARE(QSet<QByteArray>(askedWhileSilent.begin(), askedWhileSilent.end()),
             QSet<QByteArray>{"/p\r"});

    const QHash<QByteArray, QByteArray> rebooted{
        {"/c\r", "c01\r"}, {"/d\r", "d05\r"}, {"/e\r", "e40\r"}, {"/z\r", "z5A\r"},
        {"/w\r", "w8A\r"}, {"/x\r", "x0000\r"}, {"/l\r", "l01\r"}, {"/t\r", "t02\r"},
        {"/m\r", "m0C\r"}, {"/n\r", "n1C\r"}, {"/p\r", "p40\r"}};
    f.receive(firstLine);
    QSet<QByteArray> asked;
    for (int tick = 0; tick < 40 && f.link.queued() != "/p\r"; ++tick) {
        if (f.link.queued().isEmpty()) {
            f.link.pollNext();
            asked << f.link.queued();
        }
        const QByteArray query = f.link.queued();
        f.drainQueue();
        f.receive(rebooted.value(query));
    }
    for (const char *setting : {"/c\r", "/d\r", "/l\r", "/t\r", "/m\r", "/n\r"})
        QVERIFY2(asked.contains(setting), setting);
    QVERIFY(f.link.settingsRead());
    const UnitState &unit = f.link.state();
    QCOMPARE(unit.setting(Setting::StartDelay).shown, QStringLiteral("5"));
    QCOMPARE(unit.setting(Setting::MaxRpm).position, 12);
    QCOMPARE(unit.setting(Setting::AdvanceShift).position, 1);
    QCOMPARE(unit.unsavedChanges, userChange);

    QByteArray backedUp;
    const QStringList files = QDir(backups.path()).entryList(QDir::Files);
    for (const QString &name : files) {
        QFile file(backups.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        backedUp += file.readAll();
    }
    QCOMPARE(files.size(), 2);
    QVERIFY(backedUp.contains("start_delay = 2") && backedUp.contains("start_delay = 5"));
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

// A unit that streamed, then fell silent before it identified itself: its
// first read-out still ends with nothing to store, the echo included.
void TestUnitSilence::silenceBeforeIdentificationLeavesFirstReadOut()
{
    LinkFixture f;
    f.link.openPort(1);
    f.receive(idleTelemetry);
    f.link.checkSilence();
    f.advance(3s);
    f.link.checkSilence();
    QCOMPARE(f.link.status(), silentStatus);
    f.drainQueue();
    f.receive("/I0\ru21\r");
    answerReadOut(f);
    QVERIFY(f.link.settingsRead());
    QVERIFY(!f.link.state().unsavedChanges);
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
