// The simulated ignition unit: its protocol, engine, line format, pacing and
// faults, driven by hand with an injected clock; one real pseudo-terminal.

#include "protocol/acknowledgement.h"
#include "protocol/replies.h"
#include "protocol/telemetry.h"
#include "sim/command_framer.h"
#include "sim/engine_model.h"
#include "sim/ignition_advance.h"
#include "sim/paced_writer.h"
#include "sim/pseudo_terminal.h"
#include "sim/sim_options.h"
#include "sim/telemetry_line.h"
#include "sim/unit_model.h"
#include "sim/unit_simulator.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <random>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

QByteArray joined(const QList<QByteArray> &lines)
{
    QByteArray all;
    for (const QByteArray &line : lines)
        all += line;
    return all;
}

QByteArray reply(UnitModel &unit, QByteArrayView bytes)
{
    return joined(unit.receive(bytes));
}

int field(const QByteArray &line, int position, int width)
{
    return line.mid(position - 1, width).toInt(nullptr, 16);
}

// The engine run for `seconds`, one sample per 50 ms step, up to the first
// failed check.
template <typename Sample>
void runEngine(EngineModel &engine, double seconds, Sample sample)
{
    for (int step = 0; step < int(seconds * 20) && !QTest::currentTestFailed(); ++step) {
        engine.advance(50ms);
        sample(step * 0.05);
    }
}

struct Recording {
    QByteArray bytes;
    QList<std::pair<Nanos, QByteArray>> writes;
    bool closed = false;
};

class RecordingLink : public ByteLink {
public:
    RecordingLink(Recording &into, const Nanos &now) : into(into), now(now) {}
    void write(QByteArrayView bytes) override
    {
        into.bytes += bytes;
        into.writes.append({now, bytes.toByteArray()});
    }
    void close() override { into.closed = true; }

private:
    Recording &into;
    const Nanos &now;
};

// A simulator on a recording link whose clock moves only when told to.
struct Bench {
    explicit Bench(SimOptions options) : simulator(options)
    {
        simulator.setClock([this] { return now; });
        simulator.start(std::make_unique<RecordingLink>(out, now));
    }
    // Steps of 1 ms, with the engine and telemetry ticks the timers would give.
    void run(Nanos duration)
    {
        const Nanos telemetryEvery = std::chrono::milliseconds(simulator.telemetryIntervalMs());
        for (Nanos end = now + duration; now < end;) {
            now += 1ms;
            if (now % 50ms == 0ns)
                simulator.advanceEngine();
            if (now % telemetryEvery == 0ns)
                simulator.sendTelemetry();
            simulator.pumpWriter();
        }
    }
    Nanos now{0};
    Recording out;
    UnitSimulator simulator;
};

SimOptions seeded(std::uint64_t seed = 7)
{
    SimOptions options;
    options.seed = seed;
    return options;
}

} // namespace

class TestUnitSim : public QObject {
    Q_OBJECT

private slots:
    void commandReplies_data();
    void commandReplies();
    void settingReportedBack_data();
    void settingReportedBack();
    void storeKeepsCurrentApartFromStored();
    void commandSplitAcrossReads();
    void garbageInputIsHarmless();
    void manualAdvanceTrim();

    void enginePhasesFollowInOrder();
    void engineSpeedPerPhase_data();
    void engineSpeedPerPhase();
    void busVoltageStoppedAndRunning();
    void temperatureRisesAndFallsSlowly();
    void propellerTurnsSlowlyByHand();
    void advanceFollowsSpeedWithinLimits_data();
    void advanceFollowsSpeedWithinLimits();

    void telemetryLineFields();
    void telemetryFollowsTheEngine();
    void consoleDecodesWhatTheUnitSends();

    void byteBudget_data();
    void byteBudget();
    void writerNeverOutrunsTheLine_data();
    void writerNeverOutrunsTheLine();
    void writerQueueIsBounded();
    void repliesGetThroughBetweenTelemetry();
    void streamStopsAndStarts();

    void silentUnit();
    void ignoredLetters();
    void overflowNowAndThen();
    void garbageOnlyBetweenLines();
    void vanishClosesTheLink();

    void options_data();
    void options();

    void ptyAnswersRevision();
    void ptyDropsOutputWhileNobodyListens();
    void ptyLinkNamesTheSlave();
};

void TestUnitSim::commandReplies_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("expected");

    // A fresh unit: engine stopped, 12.4 V, 20 degrees, default settings.
    QTest::newRow("revision") << QByteArray("/u\r") << QByteArray("u21\r");
    QTest::newRow("break") << QByteArray("/*\r") << QByteArray();
    QTest::newRow("stream off") << QByteArray("/I0\r") << QByteArray("/I0\r");
    QTest::newRow("stream on") << QByteArray("/I1\r") << QByteArray("/I1\r");
    QTest::newRow("shift") << QByteArray("/c\r") << QByteArray("c00\r");
    QTest::newRow("start delay") << QByteArray("/d\r") << QByteArray("d02\r");
    QTest::newRow("temperature") << QByteArray("/e\r") << QByteArray("e14\r");
    QTest::newRow("max temperature") << QByteArray("/z\r") << QByteArray("z14\r");
    QTest::newRow("volts") << QByteArray("/w\r") << QByteArray("w7C\r");
    QTest::newRow("rpm") << QByteArray("/x\r") << QByteArray("x0000\r");
    QTest::newRow("led") << QByteArray("/l\r") << QByteArray("l00\r");
    QTest::newRow("ppr") << QByteArray("/t\r") << QByteArray("t01\r");
    QTest::newRow("max rpm") << QByteArray("/m\r") << QByteArray("m0E\r");
    QTest::newRow("max advance") << QByteArray("/n\r") << QByteArray("n1E\r");
    QTest::newRow("prop angle") << QByteArray("/p\r") << QByteArray("p00\r");
    QTest::newRow("set N") << QByteArray("/N35\r") << QByteArray("/N35\r");
    QTest::newRow("set M") << QByteArray("/M14\r") << QByteArray("/M14\r");
    QTest::newRow("set C negative") << QByteArray("/C-9\r") << QByteArray("/C-9\r");
    QTest::newRow("set T") << QByteArray("/T1\r") << QByteArray("/T1\r");
    QTest::newRow("set L") << QByteArray("/L2\r") << QByteArray("/L2\r");
    QTest::newRow("set D") << QByteArray("/D5\r") << QByteArray("/D5\r");
    QTest::newRow("T acks the clamped digit") << QByteArray("/T7\r") << QByteArray("/T2\r");
    QTest::newRow("D acks the clamped digit") << QByteArray("/D12\r") << QByteArray("/D8\r");
    QTest::newRow("L below range") << QByteArray("/L-1\r") << QByteArray("/L0\r");
    QTest::newRow("store") << QByteArray("/W\r") << QByteArray("/W\r");
    QTest::newRow("auto") << QByteArray("/SA\r") << QByteArray("/SA\r");
    QTest::newRow("manual") << QByteArray("/SM\r") << QByteArray("/SM\r");
    QTest::newRow("trim up") << QByteArray("/S+\r") << QByteArray("/S+\r");
    QTest::newRow("trim down") << QByteArray("/S-\r") << QByteArray("/S-\r");
    QTest::newRow("burst handshake") << QByteArray("/*\r%/I0\r%/u\r") << QByteArray("/I0\ru21\r");
    QTest::newRow("pause marker inside") << QByteArray("/%u%\r") << QByteArray("u21\r");
    QTest::newRow("noise before the slash") << QByteArray("xy\n7/u\r") << QByteArray("u21\r");
    QTest::newRow("slash restarts") << QByteArray("/N3/u\r") << QByteArray("u21\r");
    QTest::newRow("unknown query") << QByteArray("/q\r") << QByteArray();
    QTest::newRow("upper-case query") << QByteArray("/U\r") << QByteArray();
    QTest::newRow("query with tail") << QByteArray("/uu\r") << QByteArray();
    QTest::newRow("setting without value") << QByteArray("/N\r") << QByteArray();
    QTest::newRow("setting with letters") << QByteArray("/N3a\r") << QByteArray();
    QTest::newRow("stream 2") << QByteArray("/I2\r") << QByteArray();
    QTest::newRow("mode without letter") << QByteArray("/S\r") << QByteArray();
    QTest::newRow("empty command") << QByteArray("/\r") << QByteArray();
    QTest::newRow("no terminator") << QByteArray("/u") << QByteArray();
    QTest::newRow("line feed is no terminator") << QByteArray("/u\n\r") << QByteArray();
    QTest::newRow("over-long, then good")
        << QByteArray("/" + QByteArray(40, 'a') + "\r/u\r") << QByteArray("u21\r");
    QTest::newRow("longest allowed")
        << QByteArray("/N" + QByteArray(31, '0') + "\r") << QByteArray();
}

void TestUnitSim::commandReplies()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, expected);
    EngineModel engine(1);
    UnitModel unit(engine, 1);
    QCOMPARE(reply(unit, sent), expected);
}

void TestUnitSim::settingReportedBack_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected"); // the answer to the matching query

    const auto row = [](const char *name, const char *command, const char *expected) {
        QTest::newRow(name) << QByteArray(command) << QByteArray(expected);
    };
    row("max advance", "/N35\r", "n23\r");
    row("max advance high", "/N99\r", "n23\r");
    row("max advance low", "/N3\r", "n0E\r");
    row("max rpm", "/M16\r", "m10\r");
    row("max rpm negative", "/M-4\r", "m00\r");
    row("shift", "/C5\r", "c05\r");
    row("shift plus sign", "/C+3\r", "c03\r");
    row("negative shift", "/C-9\r", "c00\r");
    row("ppr", "/T2\r", "t02\r");
    row("led", "/L3\r", "l03\r");
    row("delay", "/D8\r", "d08\r");
    row("huge value", "/D999999\r", "d08\r");
    row("too many digits", "/D0000005\r", "d02\r");
}

void TestUnitSim::settingReportedBack()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    EngineModel engine(1);
    UnitModel unit(engine, 1);
    unit.receive(command);
    const QByteArray query = '/' + expected.left(1) + '\r';
    QCOMPARE(reply(unit, query), expected);
}

void TestUnitSim::storeKeepsCurrentApartFromStored()
{
    EngineModel engine(1);
    UnitModel unit(engine, 1);
    const UnitSettings defaults = unit.storedSettings();
    unit.receive("/N20\r/L1\r");
    QCOMPARE(unit.settings().maxAdvanceSteps, 20);
    QCOMPARE(unit.storedSettings(), defaults);
    unit.receive("/W\r");
    QCOMPARE(unit.storedSettings(), unit.settings());
    unit.receive("/N25\r");
    QCOMPARE(unit.storedSettings().maxAdvanceSteps, 20);
}

void TestUnitSim::commandSplitAcrossReads()
{
    // The paced console sends a character at a time.
    EngineModel engine(1);
    UnitModel unit(engine, 1);
    QByteArray replies;
    for (char c : QByteArray("/N2%2\r/u\r"))
        replies += reply(unit, QByteArrayView(&c, 1));
    QCOMPARE(replies, QByteArray("/N22\ru21\r"));
}

void TestUnitSim::garbageInputIsHarmless()
{
    EngineModel engine(1);
    UnitModel unit(engine, 1);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> byte(0, 255), length(1, 300);
    for (int chunk = 0; chunk < 2000; ++chunk) {
        QByteArray noise;
        for (int i = length(random); i > 0; --i)
            noise.append(char(byte(random)));
        for (const QByteArray &line : unit.receive(noise)) {
            QVERIFY(line.endsWith('\r'));
            QVERIFY(line.size() <= CommandFramer::maxCommandLength + 2);
        }
    }
    QVERIFY(unit.settings().maxAdvanceSteps >= 14 && unit.settings().maxAdvanceSteps <= 35);
    QVERIFY(unit.settings().advanceShift >= -9 && unit.settings().advanceShift <= 9);
    QCOMPARE(reply(unit, "\r/u\r"), QByteArray("u21\r"));
}

void TestUnitSim::manualAdvanceTrim()
{
    EngineModel engine(1);
    runEngine(engine, 40, [](double) {}); // well into run-up or idle
    UnitModel unit(engine, 1);
    const int automatic = unit.advanceSteps();
    QVERIFY(automatic > 0);
    unit.receive("/SM\r");
    QCOMPARE(unit.advanceSteps(), automatic); // no jump on switching
    for (int i = 0; i < 50; ++i)
        unit.receive("/S+\r");
    QCOMPARE(unit.advanceSteps(), unit.settings().maxAdvanceSteps);
    unit.receive("/N20\r");
    QCOMPARE(unit.advanceSteps(), 20);
    for (int i = 0; i < 50; ++i)
        unit.receive("/S-\r");
    QCOMPARE(unit.advanceSteps(), 0);
    unit.receive("/SA\r");
    QVERIFY(unit.advanceSteps() > 0);
}

void TestUnitSim::enginePhasesFollowInOrder()
{
    EngineModel engine(11);
    QList<EnginePhase> seen{engine.phase()};
    QList<double> startedAt{0};
    runEngine(engine, 130, [&](double t) {
        if (engine.phase() != seen.last()) {
            seen.append(engine.phase());
            startedAt.append(t);
        }
    });
    const QList<EnginePhase> loop{EnginePhase::Stopped, EnginePhase::Cranking, EnginePhase::Idle,
                                  EnginePhase::RunUp, EnginePhase::IdleAfterRunUp,
                                  EnginePhase::ShutDown};
    QVERIFY(seen.size() >= 13);
    for (int i = 0; i < seen.size(); ++i)
        QCOMPARE(seen[i], loop[i % loop.size()]);
    const double loopSeconds = startedAt[12] - startedAt[6];
    QVERIFY2(loopSeconds > 40 && loopSeconds < 75, qPrintable(QString::number(loopSeconds)));
}

void TestUnitSim::engineSpeedPerPhase_data()
{
    QTest::addColumn<EnginePhase>("phase");
    QTest::addColumn<double>("settleSeconds");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");

    QTest::newRow("stopped") << EnginePhase::Stopped << 0.0 << 0 << 0;
    QTest::newRow("cranking") << EnginePhase::Cranking << 1.0 << 150 << 300;
    QTest::newRow("idle") << EnginePhase::Idle << 4.0 << 850 << 950;
    QTest::newRow("run-up") << EnginePhase::RunUp << 9.0 << 2550 << 2800;
    QTest::newRow("idle again") << EnginePhase::IdleAfterRunUp << 5.0 << 850 << 950;
    QTest::newRow("shut down") << EnginePhase::ShutDown << 3.5 << 0 << 0;
}

void TestUnitSim::engineSpeedPerPhase()
{
    QFETCH(EnginePhase, phase);
    QFETCH(double, settleSeconds);
    QFETCH(int, low);
    QFETCH(int, high);
    for (std::uint64_t seed : {1, 2, 3}) {
        EngineModel engine(seed);
        double enteredAt = 0;
        EnginePhase last = engine.phase();
        int samples = 0;
        runEngine(engine, 130, [&](double t) {
            if (engine.phase() != last) {
                last = engine.phase();
                enteredAt = t;
            }
            if (last != phase || t - enteredAt < settleSeconds)
                return;
            ++samples;
            const QString where = QStringLiteral("seed %1 at %2 s: %3 RPM").arg(seed).arg(t);
            QVERIFY2(engine.rpm() >= low && engine.rpm() <= high,
                     qPrintable(where.arg(engine.rpm())));
        });
        QVERIFY(samples > 0);
    }
}

void TestUnitSim::busVoltageStoppedAndRunning()
{
    EngineModel engine(5);
    UnitModel unit(engine, 5);
    int largestStep = 0;
    int previous = engine.busTenths();
    bool sawStopped = false, sawRunning = false;
    double enteredAt = 0;
    EnginePhase last = engine.phase();
    runEngine(engine, 130, [&](double t) {
        largestStep = std::max(largestStep, std::abs(engine.busTenths() - previous));
        previous = engine.busTenths();
        if (engine.phase() != last) {
            last = engine.phase();
            enteredAt = t;
        }
        if (t - enteredAt < 5)
            return;
        if (last == EnginePhase::Stopped) {
            sawStopped = true;
            QCOMPARE(reply(unit, "/w\r"), QByteArray("w7C\r"));
            QCOMPARE(field(unit.telemetryLine(), 12, 2), 0x86);
        } else if (last == EnginePhase::Idle || last == EnginePhase::RunUp) {
            sawRunning = true;
            QCOMPARE(reply(unit, "/w\r"), QByteArray("w8A\r"));
            QCOMPARE(field(unit.telemetryLine(), 12, 2), 0x94);
        }
    });
    QVERIFY(sawStopped && sawRunning);
    QVERIFY2(largestStep <= 2, "the voltage moves smoothly");
}

void TestUnitSim::temperatureRisesAndFallsSlowly()
{
    EngineModel engine(9);
    const int ambient = engine.temperature();
    int hottest = ambient;
    int atShutDown = -1;
    int lowestWhileStoppedAfter = 1000;
    runEngine(engine, 70, [&](double) {
        hottest = std::max(hottest, engine.temperature());
        QCOMPARE(engine.maxTemperature(), hottest);
        if (engine.phase() == EnginePhase::ShutDown && atShutDown < 0)
            atShutDown = engine.temperature();
        if (atShutDown >= 0 && engine.phase() == EnginePhase::Stopped)
            lowestWhileStoppedAfter = std::min(lowestWhileStoppedAfter, engine.temperature());
    });
    QVERIFY2(atShutDown >= ambient + 10, qPrintable(QString::number(atShutDown)));
    QVERIFY(lowestWhileStoppedAfter < atShutDown);
    QVERIFY2(lowestWhileStoppedAfter >= atShutDown - 4, "cools slowly");
}

void TestUnitSim::propellerTurnsSlowlyByHand()
{
    EngineModel engine(2);
    QSet<int> angles;
    runEngine(engine, 8, [&](double) {
        QCOMPARE(engine.phase(), EnginePhase::Stopped);
        angles.insert(engine.propAngle());
    });
    QVERIFY2(angles.size() >= 20, "the dial moves");
    QVERIFY2(angles.size() <= 80, "slowly");
    int previous = engine.propAngle();
    bool wrapped = false;
    runEngine(engine, 60, [&](double) {
        QVERIFY(engine.propAngle() >= 0 && engine.propAngle() <= 255);
        wrapped = wrapped || engine.propAngle() < previous;
        previous = engine.propAngle();
    });
    QVERIFY(wrapped);
}

void TestUnitSim::advanceFollowsSpeedWithinLimits_data()
{
    QTest::addColumn<int>("maxAdvance");
    QTest::addColumn<int>("shift");

    QTest::newRow("default") << 30 << 0;
    QTest::newRow("lowest maximum") << 14 << 0;
    QTest::newRow("highest, shifted up") << 35 << 9;
    QTest::newRow("shifted down") << 20 << -9;
}

void TestUnitSim::advanceFollowsSpeedWithinLimits()
{
    QFETCH(int, maxAdvance);
    QFETCH(int, shift);
    UnitSettings settings;
    settings.maxAdvanceSteps = maxAdvance;
    settings.advanceShift = shift;
    QCOMPARE(automaticAdvance(0, settings), 0);
    int previous = 0;
    for (int rpm = 0; rpm <= 4000; rpm += 25) {
        const int advance = automaticAdvance(rpm, settings);
        QVERIFY(advance >= 0);
        QVERIFY(advance <= std::max(0, maxAdvance + shift));
        QVERIFY2(advance >= previous, "more speed, more advance");
        previous = advance;
    }
    QCOMPARE(automaticAdvance(2700, settings), maxAdvance + shift);
    QVERIFY(automaticAdvance(900, settings) < automaticAdvance(2700, settings));
}

void TestUnitSim::telemetryLineFields()
{
    TelemetryFields fields;
    fields.rpm = 900;
    fields.advanceSteps = 13;
    fields.dwell = 39;
    fields.sensor = 100;
    fields.busTenths = 138;
    fields.temperature = 50;
    fields.health12 = 92;
    fields.health34 = 88;
    QCOMPARE(formatTelemetryLine(fields), QByteArray("=03840D276494325C58\r"));

    fields.rpm = 70000; // wider than the field
    fields.temperature = -5;
    const QByteArray clamped = formatTelemetryLine(fields);
    QCOMPARE(clamped.mid(1, 4), QByteArray("FFFF"));
    QCOMPARE(clamped.mid(13, 2), QByteArray("00"));
    QCOMPARE(clamped.size(), telemetryLineBytes);
}

void TestUnitSim::telemetryFollowsTheEngine()
{
    static const QRegularExpression shape(QStringLiteral("^=[0-9A-F]{18}\r$"));
    EngineModel engine(4);
    UnitModel unit(engine, 4);
    QSet<int> health12, health34;
    runEngine(engine, 70, [&](double) {
        const QByteArray line = unit.telemetryLine();
        QVERIFY2(shape.match(QString::fromLatin1(line)).hasMatch(), line.constData());
        QCOMPARE(field(line, 2, 4), engine.rpm());
        QCOMPARE(field(line, 6, 2), unit.advanceSteps());
        QCOMPARE(field(line, 12, 2), engine.busTenths() + 10);
        QCOMPARE(field(line, 14, 2), engine.temperature());
        QVERIFY(field(line, 16, 2) <= 100 && field(line, 18, 2) <= 100);
        if (engine.phase() == EnginePhase::RunUp) {
            health12.insert(field(line, 16, 2));
            health34.insert(field(line, 18, 2));
        }
    });
    QVERIFY2(health12.size() > 3 && health34.size() > 3, "the bars move");
}

void TestUnitSim::consoleDecodesWhatTheUnitSends()
{
    EngineModel engine(6);
    runEngine(engine, 30, [](double) {});
    UnitModel unit(engine, 6);
    const std::optional<TelemetryRecord> record = decodeTelemetry(unit.telemetryLine());
    QVERIFY(record);
    QCOMPARE(engine.busTenths(), 138);
    QCOMPARE(int(record->engineRpm), engine.rpm());
    QCOMPARE(int(record->advanceSteps), unit.advanceSteps());
    QCOMPARE(int(record->busVolts), 14);
    QCOMPARE(record->temperatureText, QString::number(engine.temperature()));

    const auto decoded = [&unit](QByteArrayView query) { return decodeReply(reply(unit, query)); };
    QCOMPARE(decoded("/u\r")->text, QStringLiteral("33"));
    QCOMPARE(decoded("/n\r")->text, QStringLiteral("42"));
    QCOMPARE(decoded("/m\r")->text, QStringLiteral("3584"));
    QCOMPARE(int(decoded("/x\r")->value), engine.rpm());
    QCOMPARE(decoded("/z\r")->text, QString::number(engine.maxTemperature()));

    for (const char *command : {"/T2\r", "/D7\r"}) {
        const std::optional<Acknowledgement> ack = decodeAcknowledgement(reply(unit, command));
        QVERIFY(ack);
        QCOMPARE(*ack->value, command[2]);
    }
    QCOMPARE(decodeAcknowledgement(reply(unit, "/L3\r"))->ledSetting, 3);
    QCOMPARE(decodeAcknowledgement(reply(unit, "/I1\r"))->value, '1');
}

void TestUnitSim::byteBudget_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("freeAt");
    QTest::addColumn<qint64>("perByte");
    QTest::addColumn<qint64>("expected");

    const qint64 b = byteTime.count();
    QTest::newRow("the first byte goes at once") << 0LL << 0LL << b << 1LL;
    QTest::newRow("second byte not before its time") << b - 1 << 0LL << b << 1LL;
    QTest::newRow("second byte on time") << b << 0LL << b << 2LL;
    QTest::newRow("ten ms") << 10'000'000LL << 0LL << b << 10LL;
    QTest::newRow("one second") << 1'000'000'000LL << 0LL << b << 960LL;
    QTest::newRow("line busy") << 5LL << 6LL << b << 0LL;
    QTest::newRow("unpaced") << 5LL << 5LL << 0LL << std::numeric_limits<qint64>::max();
    QTest::newRow("unpaced, line busy") << 5LL << 6LL << 0LL << 0LL;
}

void TestUnitSim::byteBudget()
{
    QFETCH(qint64, now);
    QFETCH(qint64, freeAt);
    QFETCH(qint64, perByte);
    QFETCH(qint64, expected);
    QCOMPARE(byteTime.count(), 1'041'667LL);
    QCOMPARE(::byteBudget(Nanos(now), Nanos(freeAt), Nanos(perByte)), expected);
}

void TestUnitSim::writerNeverOutrunsTheLine_data()
{
    QTest::addColumn<int>("tickMicroseconds");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<int>("atLeast");
    QTest::addColumn<int>("atMost");

    // 960 bytes a second, plus the one that may start at the very end.
    QTest::newRow("1 ms ticks, no gap") << 1000 << 0 << 955 << 961;
    QTest::newRow("late ticks, no gap") << 7300 << 0 << 380 << 961;
    QTest::newRow("1 ms ticks, 10 ms gaps") << 1000 << 10 << 600 << 680;
}

void TestUnitSim::writerNeverOutrunsTheLine()
{
    QFETCH(int, tickMicroseconds);
    QFETCH(int, gapMs);
    QFETCH(int, atLeast);
    QFETCH(int, atMost);
    PacedWriter writer(byteTime, std::chrono::milliseconds(gapMs));
    const QByteArray line(telemetryLineBytes, 'x');
    for (int i = 0; i < 150; ++i)
        QVERIFY(writer.queue(line, 0ns));
    qsizetype sent = writer.take(0ns).size();
    qsizetype largestTake = 0;
    for (Nanos now{0}; now < 1s;) {
        now += std::chrono::microseconds(tickMicroseconds);
        const qsizetype taken = writer.take(now).size();
        largestTake = std::max(largestTake, taken);
        sent += taken;
    }
    QVERIFY2(sent >= atLeast && sent <= atMost, qPrintable(QString::number(sent)));
    QVERIFY2(largestTake <= 4, "a late tick catches up a little, not a burst");
}

void TestUnitSim::writerQueueIsBounded()
{
    PacedWriter writer(byteTime, 10ms);
    const QByteArray chunk(100, 'x');
    int accepted = 0;
    while (writer.queue(chunk, 0ns) && accepted < 1000)
        ++accepted;
    QCOMPARE(accepted, int(PacedWriter::capacity / chunk.size()));
    QCOMPARE(writer.queuedBytes(), accepted * chunk.size());

    // Fast mode: a whole chunk at once, then nothing until the gap is over.
    PacedWriter fast(0ns, 10ms);
    fast.queue("abc\r", 0ns);
    fast.queue("def\r", 0ns);
    QCOMPARE(fast.take(0ns), QByteArray("abc\r"));
    QCOMPARE(fast.take(9ms), QByteArray());
    QCOMPARE(fast.take(10ms), QByteArray("def\r"));
    QVERIFY(fast.isIdle());
}

void TestUnitSim::repliesGetThroughBetweenTelemetry()
{
    SimOptions options = seeded();
    options.rate = 1000; // clamped to what the line carries
    Bench bench(options);
    QCOMPARE(bench.simulator.telemetryIntervalMs(), 21);
    bench.run(200ms);
    bench.simulator.receive("/u\r");
    bench.simulator.receive("/e\r");
    bench.run(300ms);

    const QList<QByteArray> lines = bench.out.bytes.split('\r');
    QVERIFY(lines.contains("u21"));
    QVERIFY(lines.contains("e14"));
    QVERIFY(lines.count() > 8);
    // Each line starts in its own write, after an idle gap.
    Nanos lastByteAt{-1s};
    for (const auto &[at, bytes] : bench.out.writes) {
        if (bytes.startsWith('=') || bytes.startsWith('u') || bytes.startsWith('e'))
            QVERIFY(at - lastByteAt >= 10ms);
        if (bytes.endsWith('\r'))
            lastByteAt = at;
    }
}

void TestUnitSim::streamStopsAndStarts()
{
    Bench bench(seeded());
    bench.run(500ms);
    QVERIFY(bench.out.bytes.count('=') >= 4);
    bench.simulator.receive("/I0\r");
    bench.run(50ms);
    const QByteArray stopped = bench.out.bytes;
    bench.run(500ms);
    QCOMPARE(bench.out.bytes, stopped);
    bench.simulator.receive("/I1\r");
    bench.run(500ms);
    QVERIFY(bench.out.bytes.count('=') >= stopped.count('=') + 4);
}

void TestUnitSim::silentUnit()
{
    SimOptions options = seeded();
    options.silent = true;
    Bench bench(options);
    bench.simulator.receive("/u\r/I1\r/x\r/W\r");
    bench.simulator.sendStatusRecords();
    bench.run(500ms);
    QCOMPARE(bench.out.bytes, QByteArray());
    QVERIFY(bench.simulator.unit().isStreaming()); // it still listens
}

void TestUnitSim::ignoredLetters()
{
    EngineModel engine(1);
    UnitModel unit(engine, 1, UnitModel::defaultRevision, UnitFaults{false, "dzN", false});
    QCOMPARE(reply(unit, "/d\r/z\r/N20\r"), QByteArray());
    QCOMPARE(unit.settings().maxAdvanceSteps, 20); // heard, not answered
    QCOMPARE(reply(unit, "/e\r/n\r/D3\r"), QByteArray("e14\rn14\r/D3\r"));
}

void TestUnitSim::overflowNowAndThen()
{
    for (bool overflow : {false, true}) {
        EngineModel engine(8);
        UnitModel unit(engine, 8, UnitModel::defaultRevision, UnitFaults{false, {}, overflow});
        int telemetryOverflows = 0, replyOverflows = 0;
        for (int i = 0; i < 1000; ++i) {
            engine.advance(50ms);
            if (field(unit.telemetryLine(), 2, 4) >= 0x8000)
                ++telemetryOverflows;
            if (field(reply(unit, "/x\r"), 2, 4) >= 0x8000)
                ++replyOverflows;
        }
        if (!overflow) {
            QCOMPARE(telemetryOverflows + replyOverflows, 0);
            continue;
        }
        // About one in twenty.
        for (int overflows : {telemetryOverflows, replyOverflows})
            QVERIFY2(overflows >= 10 && overflows <= 150, qPrintable(QString::number(overflows)));
    }
}

void TestUnitSim::garbageOnlyBetweenLines()
{
    SimOptions options = seeded(12);
    options.garbageProbability = 1;
    Bench bench(options);
    bench.run(300ms);
    bench.simulator.receive("/u\r/w\r");
    bench.run(700ms);

    // Every line whole, each after a burst of noise.
    static const QRegularExpression unitLine(QStringLiteral("(=[0-9A-F]{18}|u21|w7C)\r"));
    const QString stream = QString::fromLatin1(bench.out.bytes);
    QStringList lines;
    qsizetype cursor = 0;
    for (QRegularExpressionMatch match = unitLine.match(stream); match.hasMatch();
         match = unitLine.match(stream, cursor)) {
        const qsizetype noise = match.capturedStart() - cursor;
        QVERIFY2(noise >= 1 && noise <= LineNoise::longestBurst,
                 qPrintable(QString::number(noise)));
        lines << match.captured(1);
        cursor = match.capturedEnd();
    }
    QVERIFY(stream.size() - cursor <= LineNoise::longestBurst);
    QVERIFY(lines.contains(QStringLiteral("u21")) && lines.contains(QStringLiteral("w7C")));
    QVERIFY(lines.size() >= 10);
}

void TestUnitSim::vanishClosesTheLink()
{
    Bench bench(seeded());
    QSignalSpy vanished(&bench.simulator, &UnitSimulator::vanished);
    bench.run(200ms);
    bench.simulator.vanish();
    QVERIFY(bench.out.closed);
    QCOMPARE(vanished.count(), 1);
    const QByteArray before = bench.out.bytes;
    bench.simulator.receive("/u\r");
    bench.run(200ms);
    QCOMPARE(bench.out.bytes, before);

    // Timed by its own timer in real use.
    SimOptions options = seeded();
    options.vanishAfterSeconds = 0.1;
    Bench timed(options);
    QSignalSpy timedOut(&timed.simulator, &UnitSimulator::vanished);
    QVERIFY(timedOut.wait(5000));
    QVERIFY(timed.out.closed);
}

void TestUnitSim::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error"); // a part of the message, or empty
    QTest::addColumn<QString>("check"); // what to look at when accepted

    const auto args = [](std::initializer_list<const char *> list) {
        QStringList all{QStringLiteral("torvane-unit-sim")};
        for (const char *a : list)
            all << QString::fromLatin1(a);
        return all;
    };
    QTest::newRow("defaults") << args({}) << QString() << "defaults";
    QTest::newRow("revision") << args({"--revision", "20"}) << QString() << "revision 20";
    QTest::newRow("revision 0x") << args({"--revision=0x2f"}) << QString() << "revision 2f";
    QTest::newRow("revision too wide") << args({"--revision", "123"}) << "--revision" << "";
    QTest::newRow("revision not hex") << args({"--revision", "g1"}) << "--revision" << "";
    QTest::newRow("rate") << args({"--rate", "2.5"}) << QString() << "rate 2.5";
    QTest::newRow("rate clamped") << args({"--rate", "500"}) << QString() << "rate 48";
    QTest::newRow("rate zero") << args({"--rate", "0"}) << "--rate" << "";
    QTest::newRow("rate text") << args({"--rate", "fast"}) << "--rate" << "";
    QTest::newRow("seed") << args({"--seed", "42"}) << QString() << "seed 42";
    QTest::newRow("seed negative") << args({"--seed", "-1"}) << "--seed" << "";
    QTest::newRow("ignore") << args({"--ignore", "dz"}) << QString() << "ignore dz";
    QTest::newRow("ignore digits") << args({"--ignore", "d1"}) << "--ignore" << "";
    QTest::newRow("garbage") << args({"--garbage", "0.25"}) << QString() << "garbage 0.25";
    QTest::newRow("garbage above 1") << args({"--garbage", "1.5"}) << "--garbage" << "";
    QTest::newRow("vanish") << args({"--vanish-after", "3"}) << QString() << "vanish 3";
    QTest::newRow("vanish negative") << args({"--vanish-after", "-3"}) << "--vanish-after" << "";
    QTest::newRow("flags") << args({"--fast", "--silent", "--overflow"}) << QString() << "flags";
    QTest::newRow("link and device")
        << args({"--link", "/tmp/a", "--device", "/dev/ttyS0"}) << "--link" << "";
    QTest::newRow("missing value") << args({"--rate"}) << "rate" << "";
    QTest::newRow("unknown option") << args({"--bogus"}) << "bogus" << "";
    QTest::newRow("stray argument") << args({"stray"}) << "stray" << "";
    QTest::newRow("help") << args({"--help"}) << QString() << "help";
}

void TestUnitSim::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QFETCH(QString, check);
    const ParsedOptions parsed = parseSimOptions(arguments);
    if (!error.isEmpty()) {
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
        return;
    }
    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    const SimOptions &o = parsed.options;
    if (check == "defaults") {
        QCOMPARE(o.revision, 0x21);
        QCOMPARE(o.rate, 10.0);
        QVERIFY(!o.fast && !o.silent && !o.overflow && o.device.isEmpty());
    } else if (check == "revision 20") {
        QCOMPARE(o.revision, 0x20);
    } else if (check == "revision 2f") {
        QCOMPARE(o.revision, 0x2F);
    } else if (check == "rate 2.5") {
        QCOMPARE(o.rate, 2.5);
    } else if (check == "rate 48") {
        QCOMPARE(o.rate, 48.0);
        QVERIFY(!parsed.warning.isEmpty());
    } else if (check == "seed 42") {
        QCOMPARE(o.seed, 42u);
    } else if (check == "ignore dz") {
        QCOMPARE(o.ignoreLetters, QByteArray("dz"));
    } else if (check == "garbage 0.25") {
        QCOMPARE(o.garbageProbability, 0.25);
    } else if (check == "vanish 3") {
        QCOMPARE(o.vanishAfterSeconds, 3.0);
    } else if (check == "flags") {
        QVERIFY(o.fast && o.silent && o.overflow);
    } else if (check == "help") {
        QVERIFY(parsed.helpRequested);
        for (const char *option :
             {"--device", "--link", "--revision", "--rate", "--fast", "--seed", "--silent",
              "--ignore", "--garbage", "--vanish-after", "--overflow"})
            QVERIFY2(simHelpText().contains(QLatin1String(option)), option);
    }
}

namespace {

// The console's end of the pseudo-terminal, raw and non-blocking.
int openSlave(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios settings {};
    if (fd >= 0 && ::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

QByteArray readSome(int fd)
{
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, qsizetype(n)) : QByteArray();
}

} // namespace

void TestUnitSim::ptyAnswersRevision()
{
    UnitSimulator simulator(seeded());
    const StartResult started = simulator.start();
    QVERIFY2(started.ok(), qPrintable(started.error));
    const int fd = openSlave(started.devicePath);
    QVERIFY(fd >= 0);
    QVERIFY(::write(fd, "/u\r", 3) == 3);
    // Telemetry streams too; the reply is a line of its own.
    QByteArray received;
    const auto answered = [&] {
        received += readSome(fd);
        return received.startsWith("u21\r") || received.contains("\ru21\r");
    };
    QTRY_VERIFY_WITH_TIMEOUT(answered(), 5000);
    ::close(fd);
}

void TestUnitSim::ptyDropsOutputWhileNobodyListens()
{
    UnitSimulator simulator(seeded());
    const StartResult started = simulator.start();
    QVERIFY2(started.ok(), qPrintable(started.error));
    QTest::qWait(300); // streaming into the void
    const int fd = openSlave(started.devicePath);
    QVERIFY(fd >= 0);
    QCOMPARE(readSome(fd), QByteArray());
    QByteArray received;
    QTRY_VERIFY_WITH_TIMEOUT((received += readSome(fd), received.count('\r') >= 2), 5000);
    ::close(fd);
}

void TestUnitSim::ptyLinkNamesTheSlave()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("unit"));
    QString error;
    std::unique_ptr<PseudoTerminal> terminal = PseudoTerminal::open(link, &error);
    QVERIFY2(terminal, qPrintable(error));
    QCOMPARE(QFile::symLinkTarget(link), terminal->slavePath());
    terminal->close();
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());

    QFile occupied(link);
    QVERIFY(occupied.open(QIODevice::WriteOnly));
    occupied.close();
    QVERIFY(!PseudoTerminal::open(link, &error));
    QVERIFY(QFileInfo(link).isFile()); // someone else's file is left alone
}

QTEST_GUILESS_MAIN(TestUnitSim)
#include "test_unit_sim.moc"
