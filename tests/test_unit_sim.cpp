// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated ignition unit driven by hand with an injected clock, checked
// against the console's own decoders; one real pseudo-terminal.

#include "protocol/decoded_line.h"
#include "protocol/replies.h"
#include "record/recorder.h"
#include "protocol/telemetry.h"
#include "sim/baud_mismatch.h"
#include "sim/hex_text.h"
#include "sim/replay_file.h"
#include "sim/sim_options.h"
#include "sim/telemetry_line.h"
#include "sim/unit_simulator.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTest>
#include <random>

using namespace std::chrono_literals;

namespace {

QByteArray reply(UnitModel &unit, QByteArrayView bytes)
{
    return unit.receive(bytes).join();
}

// Calls `sample` with the time after each 50 ms step, up to the first failed check.
template <typename Sample>
void runEngine(EngineModel &engine, double seconds, Sample sample)
{
    for (int step = 1; step <= seconds * 20 && !QTest::currentTestFailed(); ++step) {
        engine.advance(50ms);
        sample(step * 0.05);
    }
}

// A row of the current data table; text goes into QString columns.
template <typename... Values>
void row(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

// Options as the command line gives them, with a fixed seed.
SimOptions simOptions(const QString &arguments, int seed = 7)
{
    const QString line = QStringLiteral("sim --seed %1 %2").arg(seed).arg(arguments);
    return parseSimOptions(line.split(' ', Qt::SkipEmptyParts)).options;
}

// A simulator on a recording link, with a clock that moves only in run().
struct Bench {
    struct Link : ByteLink {
        explicit Link(Bench *bench) : bench(bench) {}
        void write(QByteArrayView bytes) override
        {
            bench->bytes += bytes;
            bench->writes.append({bench->now, bytes.size()});
        }
        void close() override { bench->closed = true; }
        Bench *bench;
    };

    explicit Bench(const SimOptions &options) : simulator(options)
    {
        simulator.setClock([this] { return now; });
        simulator.start(std::make_unique<Link>(this));
    }
    // 1 ms steps, with the engine and telemetry ticks the timers would give.
    void run(Nanos duration)
    {
        const Nanos telemetryEvery = std::chrono::milliseconds(simulator.telemetryIntervalMs());
        for (const Nanos end = now + duration; now < end;) {
            now += 1ms;
            if (now % 50ms == 0ns)
                simulator.advanceEngine();
            // A replay's timer is set for each line's time; a call every ms stands in for it.
            if (now % telemetryEvery == 0ns || simulator.isReplaying())
                simulator.sendTelemetry();
            simulator.pumpWriter();
        }
    }

    Nanos now{0};
    QByteArray bytes;
    QList<std::pair<Nanos, qsizetype>> writes; // when, and how many bytes
    bool closed = false;
    UnitSimulator simulator; // last, so it closes the link while the rest still stands
};

// Records what `bench` sent with the console's recorder, each line at the
// time its last byte went out.
void recordSent(const Bench &bench, const QString &path)
{
    using Steady = std::chrono::steady_clock;
    Nanos at{0};
    Recorder recorder;
    recorder.clock.wall = [] { return QDateTime(QDate(2026, 12, 7), QTime(14, 3), QTimeZone(3600)); };
    recorder.clock.steady = [&at] { return Steady::time_point(std::chrono::duration_cast<Steady::duration>(at)); };
    recorder.startInFile(path);
    QByteArray line;
    qsizetype byte = 0;
    for (const auto &[when, size] : bench.writes) {
        for (qsizetype end = byte + size; byte < end; ++byte) {
            line += bench.bytes[byte];
            if (bench.bytes[byte] != '\r')
                continue;
            at = when;
            recorder.handleLine(decodeLine(line));
            line.clear();
        }
    }
}

QList<QByteArray> telemetryOf(const QString &path)
{
    const LoadedRecording loaded = openReplay(path);
    QList<QByteArray> lines;
    for (qsizetype i = 0; loaded.recording && i < loaded.recording->telemetry.size(); ++i)
        lines << loaded.recording->telemetry.line(i).toByteArray();
    return lines;
}

LoadedRecording readCsv(const QByteArray &csv)
{
    QBuffer buffer;
    buffer.setData(csv);
    buffer.open(QIODevice::ReadOnly);
    return readReplay(buffer, QStringLiteral("run.csv"));
}

// Each whole line sent, with when its first byte went out.
QList<std::pair<Nanos, QByteArray>> timedLines(const Bench &bench)
{
    QList<std::pair<Nanos, QByteArray>> lines;
    QByteArray line;
    Nanos start{0};
    qsizetype at = 0;
    for (const auto &[when, size] : bench.writes) {
        for (const char c : QByteArrayView(bench.bytes).sliced(at, size)) {
            if (line.isEmpty())
                start = when;
            if (c == '\r')
                lines.append({start, std::exchange(line, {})});
            else
                line += c;
        }
        at += size;
    }
    return lines;
}

// What the console reads of the unit's lines sent at 19200 baud, each from an idle line.
QByteArray atWrongSpeed(const QByteArray &lines)
{
    QByteArray received;
    for (const QByteArray &line : lines.split('\r').first(lines.count('\r')))
        received += receivedAtBaud(line + '\r', 19200, 9600);
    return received;
}

// The console's start-up, a setting, and bytes no command has.
const QByteArray wiringProbe("/*\r/I0\r/u\r/N20\r\0\xFF\n", 16);

// The recording's first telemetry row comes at 0.100 s: the replay starts there.
const QByteArray sampleRecording =
    "time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line\r\n"
    "2026-12-07T14:03:22.125+01:00,0.000,0,0,12,35,16,32,45,p20\r\n"
    "2026-12-07T14:03:22.225+01:00,0.100,0,0,12,35,16,32,45,=00001E000082231020\r\n"
    "2026-12-07T14:03:22.425+01:00,0.300,850,28,12,35,16,32,45,=03521400008223101F\r\n"
    "2026-12-07T14:03:22.525+01:00,0.400,850,28,12,35,16,32,180,p80\r\n"
    "2026-12-07T14:03:22.725+01:00,0.600,2700,49,13,40,92,88,180,=0A8C2300008A285C58\r\n";

} // namespace

class TestUnitSim : public QObject {
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("expected");
        // A fresh unit: engine stopped, 12.4 V, 20 degrees, default settings.
        row("setting queries", "/c\r/d\r/l\r/t\r/m\r/n\r", "c00\rd02\rl00\rt01\rm0E\rn1E\r");
        row("unit queries", "/u\r/e\r/z\r/w\r/x\r/p\r", "u21\re14\rz14\rw7C\rx0000\rp00\r");
        // Acknowledgements, each followed by the query that reports the setting.
        row("N echoed, clamped", "/N99\r/n\r/N3\r/n\r", "/N99\rn23\r/N3\rn0E\r");
        row("M echoed, clamped", "/M16\r/m\r/M-4\r/m\r", "/M16\rm10\r/M-4\rm00\r");
        row("C signed, negative reads 0", "/C+3\r/c\r/C-9\r/c\r", "/C+3\rc03\r/C-9\rc00\r");
        row("T acks the clamped digit", "/T7\r/t\r", "/T2\rt02\r");
        row("L acks the clamped digit", "/L3\r/l\r/L-1\r/l\r", "/L3\rl03\r/L0\rl00\r");
        row("D acks the clamped digit", "/D5\r/d\r/D999999\r/d\r", "/D5\rd05\r/D8\rd08\r");
        row("D with too many digits", "/D0000005\r/d\r", "d02\r");
        row("store and stream", "/W\r/I0\r/I1\r", "/W\r/I0\r/I1\r");
        row("advance modes", "/SA\r/SM\r/S+\r/S-\r", "/SA\r/SM\r/S+\r/S-\r");
        row("burst start-up", "/*\r%/I0\r%/u\r", "/I0\ru21\r");
        row("noise, slash restarts, pause markers", "xy\n7/N3/%u%\r", "u21\r");
        row("bad queries, no CR", "/*\r/q\r/U\r/uu\r/\r/u\n\r/u", "");
        row("bad settings", "/N\r/N3a\r/I2\r/S\r/SX\r", "");
        row("over-long, then good", "/" + QString(40, 'u') + "\r/u\r", QString("u21\r"));
    }

    void commands()
    {
        QFETCH(QString, sent);
        QFETCH(QString, expected);
        EngineModel engine(1);
        UnitModel whole(engine, 1), byByte(engine, 1);
        QCOMPARE(reply(whole, sent.toLatin1()), expected.toLatin1());
        QByteArray replies; // the paced console sends a character at a time
        for (char c : sent.toLatin1())
            replies += reply(byByte, QByteArrayView(&c, 1));
        QCOMPARE(replies, expected.toLatin1());
    }

    void garbageInputIsHarmless()
    {
        EngineModel engine(1);
        UnitModel unit(engine, 1);
        // Half protocol characters, so that near-commands get through.
        static const QByteArray protocol("/\r%*+-0123456789CDILMNSTWcdelmnptuwxz");
        std::mt19937 random(3);
        for (int chunk = 0; chunk < 2000; ++chunk) {
            QByteArray noise(random() % 300 + 1, '\0');
            for (char &c : noise)
                c = random() % 2 ? char(random()) : protocol[random() % protocol.size()];
            for (const QByteArray &line : unit.receive(noise))
                QVERIFY(line.endsWith('\r') && line.size() <= CommandFramer::maxCommandLength + 2);
        }
        QCOMPARE(reply(unit, "\r/u\r"), "u21\r");
        QVERIFY(CommandFramer().feed("/" + QByteArray(40, 'N') + "\r").isEmpty()); // kept short
    }

    void storeAndManualAdvance()
    {
        EngineModel engine(1);
        runEngine(engine, 40, [](double) {}); // running, with some advance
        UnitModel unit(engine, 1);
        const int automatic = unit.advanceSteps();
        unit.receive("/SM\r");
        QVERIFY(automatic > 0 && unit.advanceSteps() == automatic); // no jump on switching
        unit.receive(QByteArray("/S+\r").repeated(50) + "/N20\r/L1\r");
        QCOMPARE(unit.advanceSteps(), 20); // within the maximum
        QCOMPARE(unit.storedSettings(), UnitSettings());
        QCOMPARE(unit.statusLines(), QList<QByteArray>({"b0F\r", "j01\r"})); // manual, unsaved
        unit.receive(QByteArray("/S-\r").repeated(50) + "/W\r/N25\r");
        QCOMPARE(unit.advanceSteps(), 0);
        QCOMPARE(unit.storedSettings().maxAdvanceSteps, 20);
    }

    void engineCycle_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("maxAdvance");
        QTest::addColumn<int>("shift");
        row("defaults", 1, 30, 0);
        row("highest, shifted up", 2, 35, 9);
        row("lowest, shifted down", 3, 14, -9);
    }

    void engineCycle()
    {
        QFETCH(int, seed);
        QFETCH(int, maxAdvance);
        QFETCH(int, shift);
        using enum EnginePhase;
        // Per phase, in loop order: seconds to settle, then the RPM range.
        static const struct { double settle; int low, high; } windows[] = {
            {0, 0, 0}, {1, 150, 300}, {4, 850, 950}, {9, 2550, 2800}, {5, 850, 950}, {3.5, 0, 0}};
        EngineModel engine(seed);
        UnitModel unit(engine, seed);
        unit.receive(QStringLiteral("/N%1\r/C%2\r").arg(maxAdvance).arg(shift).toLatin1());
        QList<double> startedAt{0};
        runEngine(engine, 130, [&](double t) {
            const int phase = int(engine.phase());
            if (phase != (startedAt.size() - 1) % 6) {
                QCOMPARE(phase, startedAt.size() % 6);
                startedAt.append(t);
            }
            QVERIFY(unit.advanceSteps() >= 0 && unit.advanceSteps() <= maxAdvance + shift);
            const double in = t - startedAt.last();
            if (in < windows[phase].settle)
                return;
            QVERIFY2(engine.rpm() >= windows[phase].low && engine.rpm() <= windows[phase].high,
                     qPrintable(QStringLiteral("%1 RPM at %2 s").arg(engine.rpm()).arg(t)));
            if (engine.phase() == RunUp)
                QCOMPARE(unit.advanceSteps(), maxAdvance + shift);
            const bool running = engine.phase() == Idle || engine.phase() == RunUp;
            if (in >= 5 && (running || engine.phase() == Stopped))
                QCOMPARE(reply(unit, "/w\r"), running ? "w8A\r" : "w7C\r"); // 13.8 V, 12.4 V
        });
        QVERIFY2(startedAt.size() > 6 && startedAt[6] > 40 && startedAt[6] < 75, "a minute a loop");
    }

    void telemetryAsTheConsoleReadsIt()
    {
        QCOMPARE(formatTelemetryLine({900, 13, 39, 100, 138, 50, 92, 88}), "=03840D276494325C58\r");

        EngineModel engine(4);
        UnitModel unit(engine, 4), overflowing(engine, 4, 0x21, UnitFaults{false, {}, true});
        int dropped = 0; // the console cannot hold a speed above 7FFF and drops the record
        runEngine(engine, 70, [&](double) {
            dropped += !decodeTelemetry(overflowing.telemetryLine());
            dropped += !decodeReply(reply(overflowing, "/x\r"));
            const QByteArray line = unit.telemetryLine();
            QVERIFY2(line.size() == telemetryLineBytes && line == line.toUpper(), line.constData());
            const std::optional<TelemetryRecord> record = decodeTelemetry(line);
            QVERIFY(record);
            QCOMPARE(record->engineRpm, engine.rpm());
            QCOMPARE(record->advanceSteps, unit.advanceSteps());
            QVERIFY(std::abs(record->busVolts * 10 - engine.busTenths()) <= 5);
            QCOMPARE(record->temperatureText, QString::number(engine.temperature()));
            QCOMPARE(record->pair12Value, engine.health12());
            QCOMPARE(record->pair34Value, engine.health34());
        });
        QVERIFY2(dropped >= 40 && dropped <= 300, "about one in twenty");
        const auto decoded = [&unit](QByteArrayView q) { return decodeReply(reply(unit, q)); };
        const QStringList texts{decoded("/u\r")->text, decoded("/n\r")->text, decoded("/m\r")->text,
                                decoded("/z\r")->text};
        QCOMPARE(texts.join(' '), "33 42 3584 " + QString::number(engine.maxTemperature()));
        QCOMPARE(decoded("/x\r")->value, engine.rpm());
    }

    void numberedLines()
    {
        Bench bench(simOptions("--number-lines --rate 48"));
        bench.run(500ms);
        QList<QByteArray> lines = bench.bytes.split('\r');
        lines.removeLast(); // unfinished
        QVERIFY(lines.size() > 20);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i].mid(7, 4), hexDigits(i, 4));

        EngineModel engine(5);
        runEngine(engine, 20, [](double) {}); // firing: dwell and sensor are not 0
        UnitModel plain(engine, 5), numbered(engine, 5);
        numbered.numberLines(true);
        for (int i = 0; i < 0x10000; ++i)
            numbered.telemetryLine();
        // Wrapped, and nothing else of the record changed.
        QCOMPARE(numbered.telemetryLine(), plain.telemetryLine().replace(7, 4, "0000"));
    }

    void writerNeverOutrunsTheLine_data()
    {
        QTest::addColumn<int>("tickMicroseconds");
        QTest::addColumn<int>("atLeast");
        QTest::addColumn<int>("atMost");
        row("1 ms ticks", 1000, 955, 960);
        row("late ticks", 7300, 380, 960);
    }

    void writerNeverOutrunsTheLine()
    {
        QFETCH(int, tickMicroseconds);
        QFETCH(int, atLeast);
        QFETCH(int, atMost);
        PacedWriter writer(byteTime);
        for (int i = 0; i < 150; ++i)
            QVERIFY(writer.queue(QByteArray(telemetryLineBytes, 'x'), 0ns));
        qsizetype sent = 0, largestTake = 0;
        for (Nanos now{0}; now <= 1s; now += std::chrono::microseconds(tickMicroseconds)) {
            const qsizetype taken = writer.take(now).size();
            largestTake = std::max(largestTake, taken);
            sent += taken;
            QVERIFY(sent <= now / byteTime + 1); // no byte starts before its time
        }
        QVERIFY2(sent >= atLeast && sent <= atMost, qPrintable(QString::number(sent)));
        QVERIFY2(largestTake <= 4, "a late tick catches up a little, not a burst");
    }

    void linesAtTheTopRate_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("fewestNoiseBytes"); // before each line
        QTest::addColumn<int>("mostNoiseBytes");
        row("clean", "", 0, 0);
        row("--fast", "--fast", 0, 0);
        row("--garbage", "--garbage 1", 1, int(LineNoise::longestBurst));
    }

    void linesAtTheTopRate()
    {
        QFETCH(QString, arguments);
        QFETCH(int, fewestNoiseBytes);
        QFETCH(int, mostNoiseBytes);
        SimOptions options = simOptions(arguments, 12);
        options.rate = 1000; // as set in code; clamped to what the line carries
        Bench bench(options);
        QCOMPARE(bench.simulator.telemetryIntervalMs(), 21);
        bench.run(200ms);
        bench.simulator.receive("/u\r/w\r");
        bench.run(300ms);
        bench.simulator.receive("/I0\r");
        bench.run(100ms);
        static const QRegularExpression line(QStringLiteral("=[0-9A-F]{18}\r|u21\r|w7C\r|/I0\r"));
        const QString stream = QString::fromLatin1(bench.bytes);
        QStringList noise = stream.split(line);
        QVERIFY(noise.takeLast().isEmpty() && noise.size() > 10); // every line whole
        QVERIFY(stream.contains("u21\r") && stream.contains("w7C\r")); // replies got through
        for (const QString &burst : noise)
            QVERIFY(burst.size() >= fewestNoiseBytes && burst.size() <= mostNoiseBytes);
    }

    void delivery_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("smallest"); // writes in mid-stream
        QTest::addColumn<int>("largest");
        QTest::addColumn<int>("everyMs"); // writes only then, or when a packet is full
        row("as due, host polls each ms", "", 1, 2, 0);
        row("FTDI latency timer", "--chunk-ms 16", 15, 16, 16);
        row("long latency, full packets", "--chunk-ms 100", 30, 62, 100);
        row("random sizes", "--chunk-bytes 1-64", 1, 64, 0);
        row("one size, across lines", "--chunk-bytes 7-7", 7, 7, 0);
    }

    void delivery()
    {
        QFETCH(QString, arguments);
        QFETCH(int, smallest);
        QFETCH(int, largest);
        QFETCH(int, everyMs);
        const auto continuous = [](const QString &arguments) {
            SimOptions options = simOptions(arguments);
            options.rate = 1000;
            return options;
        };
        Bench plain(continuous("")), chunked(continuous(arguments));
        for (Bench *bench : {&plain, &chunked}) {
            bench->run(1s);
            bench->simulator.receive("/I0\r");
            bench->run(300ms); // the adapter lets go of the rest
        }
        QCOMPARE(chunked.bytes, plain.bytes);
        QVERIFY(chunked.bytes.size() > 900);
        bool fullPacket = false;
        for (const auto &[at, size] : chunked.writes) {
            const QString what = QStringLiteral("%1 bytes at %2 ns").arg(size).arg(at.count());
            fullPacket |= size == UsbAdapter::packetBytes;
            QVERIFY2(everyMs == 0 || at % std::chrono::milliseconds(everyMs) == 0ns
                         || size == UsbAdapter::packetBytes,
                     qPrintable(what));
            if (at >= 200ms && at <= 1s)
                QVERIFY2(size >= smallest && size <= largest, qPrintable(what));
        }
        QCOMPARE(fullPacket, largest == UsbAdapter::packetBytes);
    }

    void lineEnds_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("end");
        row("CR by default", "", "\r");
        row("LF", "--line-end lf", "\n");
        row("CR LF", "--line-end CrLf", "\r\n");
    }

    void lineEnds()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, end);
        Bench bench(simOptions(arguments));
        bench.run(250ms);
        bench.simulator.receive("/I0\r/u\r");
        bench.simulator.sendStatusRecords();
        bench.run(100ms);
        const QString e = QRegularExpression::escape(end);
        const QRegularExpression expected(
            QStringLiteral("^(=[0-9A-F]{18}%1){2}/I0%1u21%1b[0-9A-F]{2}%1j01%1$").arg(e));
        QVERIFY2(expected.match(QString::fromLatin1(bench.bytes)).hasMatch(),
                 bench.bytes.toPercentEncoding().constData());
    }

    void muteThenReboot_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("comesBack");
        row("for a second", "--mute-after 0.5 --mute-for 1", true);
        row("for ever", "--mute-after 0.5", false);
    }

    void muteThenReboot()
    {
        QFETCH(QString, arguments);
        QFETCH(bool, comesBack);
        Bench bench(simOptions(arguments));
        const UnitModel &unit = bench.simulator.unit();
        bench.simulator.receive("/N20\r/W\r/N25\r/SM\r");
        bench.run(490ms);
        bench.simulator.receive("/x\r/x\r/x\r"); // still going out at 500 ms
        bench.run(10ms);
        QVERIFY(bench.simulator.isMute() && bench.simulator.isServing());
        const QByteArray beforeMute = bench.bytes;
        QVERIFY2(!beforeMute.endsWith('\r'), "the line in progress is cut");

        bench.simulator.receive("/I1\r/u\r/N30\r/W\r");
        bench.simulator.sendStatusRecords();
        bench.run(990ms);
        QCOMPARE(bench.bytes, beforeMute);
        QCOMPARE(unit.settings().maxAdvanceSteps, 25); // heard nothing
        bench.run(10ms);
        QCOMPARE(bench.simulator.isMute(), !comesBack);
        QCOMPARE(unit.settings().maxAdvanceSteps, comesBack ? 20 : 25);
        QCOMPARE(unit.storedSettings().maxAdvanceSteps, 20);
        QCOMPARE(unit.isManual(), !comesBack);
        QCOMPARE(unit.isStreaming(), !comesBack);

        bench.run(500ms);
        QCOMPARE(bench.bytes, beforeMute); // no stream until asked
        bench.simulator.receive("/I1\r");
        bench.run(300ms);
        QCOMPARE(bench.bytes.mid(beforeMute.size()).startsWith("/I1\r="), comesBack);
    }

    void faults_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("sent"); // after "/I0", so no telemetry
        QTest::addColumn<QString>("expected");
        row("none", "", "/u\r", "/I0\ru21\r");
        row("--silent", "--silent", "/u\r/x\r/W\r", "");
        row("--ignore, heard but not answered", "--ignore dzN", "/d\r/z\r/N20\r/e\r/n\r/D3\r",
            "/I0\re14\rn14\r/D3\r");
    }

    void faults()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, sent);
        QFETCH(QString, expected);
        Bench bench(simOptions(arguments));
        bench.simulator.receive("/I0\r" + sent.toLatin1());
        bench.run(500ms);
        QCOMPARE(bench.bytes, expected.toLatin1());
        bench.simulator.receive("/I1\r");
        bench.run(500ms);
        QCOMPARE(bench.bytes.count('=') >= 4, arguments != "--silent");
    }

    void wiringFaults_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("heard"); // the unit acts on the commands
        row("--swap-wires: hears nothing, says nothing", "--swap-wires", QByteArray(), false);
        row("--echo: the console's bytes, nothing else", "--echo", wiringProbe, false);
        row("--wrong-speed: heard, each line garbled", "--wrong-speed",
            atWrongSpeed("b01\rj01\r/I0\ru21\r/N20\r"), true);
    }

    void wiringFaults()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, expected);
        QFETCH(bool, heard);
        Bench bench(simOptions(arguments));
        bench.simulator.sendStatusRecords();
        bench.simulator.receive(wiringProbe.first(5)); // cut inside a command
        bench.simulator.receive(wiringProbe.sliced(5));
        bench.run(1s); // long enough for telemetry, had the unit not heard /I0
        QCOMPARE(bench.bytes, expected);
        QCOMPARE(bench.simulator.unit().settings().maxAdvanceSteps,
                 heard ? 20 : UnitSettings().maxAdvanceSteps);
    }

    void baudMismatch_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("senderBaud");
        QTest::addColumn<int>("receiverBaud");
        QTest::addColumn<QByteArray>("expected");
        QByteArray everyByte(256, '\0');
        for (int i = 0; i < everyByte.size(); ++i)
            everyByte[i] = char(i);
        row("same rate, every byte value", everyByte, 9600, 9600, everyByte);
        // At twice the speed each sample falls a whole sender bit further on.
        row("a zero byte, twice as fast", QByteArray(1, '\0'), 19200, 9600, QByteArray("\xF8"));
        row("two zero bytes read as one", QByteArray(2, '\0'), 19200, 9600, QByteArray("\x08"));
        row("a reply, no line left", QByteArray("u21\r"), 19200, 9600, QByteArray("O:"));
        // The line is still low at the stop bit; no second start without a rise.
        row("half as fast, bad stop bit kept", QByteArray(1, '\0'), 9600, 19200,
            QByteArray(1, '\0'));
    }

    void baudMismatch()
    {
        QFETCH(QByteArray, sent);
        QFETCH(int, senderBaud);
        QFETCH(int, receiverBaud);
        QFETCH(QByteArray, expected);
        QCOMPARE(receivedAtBaud(sent, senderBaud, receiverBaud), expected);
    }

    void vanishClosesTheLink()
    {
        Bench bench(simOptions("--vanish-after 0.1"));
        QSignalSpy vanished(&bench.simulator, &UnitSimulator::vanished);
        QVERIFY(vanished.wait(5000)); // on its own timer, in real time
        QVERIFY(bench.closed && !bench.simulator.isServing());
    }

    void options_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("expected"); // "error:" and part of the message, or settings
        row("defaults", "",
            "revision=21 rate=10 garbage=0 vanish=0 flags= end=0d chunk=0 bytes=0-0 mute=0-0 help=0"
            " warned=0 numbered=0 wiring=straight");
        row("all set",
            "--revision 20 --rate 2.5 --seed 42 --ignore dz --garbage 0.25 --vanish-after 3 --fast"
            " --silent --overflow",
            "revision=20 rate=2.5 seed=42 ignore=dz garbage=0.25 vanish=3 flags=FSO warned=0");
        row("hex prefix, clamped rate, device", "--revision=0x2f --rate 500 --device /dev/ttyS0",
            "revision=2f rate=48 warned=1 device=/dev/ttyS0");
        row("adapter, line end, mute, numbered",
            "--chunk-bytes 1-64 --line-end crlf --mute-after 1.5 --number-lines",
            "bytes=1-64 end=0d0a mute=1.5-0 warned=0 numbered=1");
        row("latency timer, mute for", "--chunk-ms 16 --line-end LF --mute-after 2 --mute-for 0.5",
            "chunk=16 end=0a mute=2-0.5 warned=0");
        row("latency clamped", "--chunk-ms 99999999999999999999", "chunk=255 warned=1");
        row("write size clamped", "--chunk-bytes 10-5000", "bytes=10-4096 warned=1");
        row("help", "--help", "help=1");
        row("revision too wide", "--revision 123", "error:--revision");
        row("rate zero", "--rate 0", "error:--rate");
        row("seed negative", "--seed -1", "error:--seed");
        row("ignore digits", "--ignore d1", "error:--ignore");
        row("garbage above 1", "--garbage 1.5", "error:--garbage");
        row("vanish negative", "--vanish-after -3", "error:--vanish-after");
        row("link and device", "--link /tmp/a --device /dev/ttyS0", "error:--link");
        row("chunk-ms negative", "--chunk-ms -16", "error:--chunk-ms");
        row("chunk-ms fraction", "--chunk-ms 1.5", "error:--chunk-ms");
        row("chunk-bytes reversed", "--chunk-bytes 9-3", "error:--chunk-bytes");
        row("chunk-bytes zero", "--chunk-bytes 0-3", "error:--chunk-bytes");
        row("chunk-bytes one number", "--chunk-bytes 8", "error:--chunk-bytes");
        row("chunk-ms with chunk-bytes", "--chunk-ms 16 --chunk-bytes 1-64",
            "error:--chunk-ms and --chunk-bytes");
        row("line-end unknown", "--line-end NL", "error:--line-end");
        row("mute-after zero", "--mute-after 0", "error:--mute-after");
        row("mute-for alone", "--mute-for 2", "error:--mute-for wants --mute-after");
        row("mute-for not a number", "--mute-after 1 --mute-for x", "error:--mute-for");
        row("stray argument", "stray", "error:stray");
        row("replay at a speed", "--replay run.csv --speed 2.5",
            "replay=run.csv speed=2.5 warned=0");
        row("speed without replay", "--speed 2", "error:--speed wants --replay");
        row("speed zero", "--replay run.csv --speed 0", "error:--speed wants a number");
        row("speed beyond 1000", "--replay run.csv --speed 1001", "error:--speed");
        row("replay numbered", "--replay run.csv --number-lines", "error:--number-lines");
        row("swapped wires", "--swap-wires", "wiring=swapped warned=0");
        row("loopback plug", "--echo", "wiring=loopback warned=0");
        row("wrong speed", "--wrong-speed --silent", "wiring=wrong-speed flags=S warned=0");
        row("two wiring faults", "--echo --seed 3 --swap-wires",
            "error:--swap-wires and --echo cannot go together");
    }

    void options()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        const auto parsed = parseSimOptions(("sim " + arguments).split(' ', Qt::SkipEmptyParts));
        if (expected.startsWith("error:")) {
            QVERIFY2(parsed.error.contains(expected.mid(6)), qPrintable(parsed.error));
            return;
        }
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        const SimOptions &o = parsed.options;
        static const char *const wiringNames[] = {"straight", "swapped", "loopback", "wrong-speed"};
        const QString got = QString::asprintf(
            " revision=%x rate=%g seed=%llu ignore=%s garbage=%g vanish=%g device=%s flags=%s%s%s"
            " end=%s chunk=%lld bytes=%d-%d mute=%g-%g help=%d warned=%d numbered=%d replay=%s"
            " speed=%g wiring=%s ",
            o.revision, o.rate, qulonglong(o.seed), o.ignoreLetters.constData(),
            o.garbageProbability, o.vanishAfterSeconds, qPrintable(o.device), o.fast ? "F" : "",
            o.silent ? "S" : "", o.overflow ? "O" : "", o.lineEnd.toHex().constData(),
            qlonglong(o.chunkPeriod.count()), o.chunkSmallest, o.chunkLargest, o.muteAfterSeconds,
            o.muteForSeconds, parsed.helpRequested, !parsed.warning.isEmpty(), o.numberLines,
            qPrintable(o.replayFile), o.replaySpeed, wiringNames[int(o.wiring)]);
        for (const QString &want : expected.split(' '))
            QVERIFY2(got.contains(' ' + want + ' '), qPrintable(got));
    }

    void recordingFile_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("expected"); // "line@ms ... | propeller@ms ...", or the error
        row("columns by name, BOM, CR LF",
            QByteArray("\xEF\xBB\xBFline,x,seconds\r\n=A,1,0.5\r\np7F,2,0.75\r\n"),
            "=A@500 | p7F@750");
        row("quoted line, other rows skipped",
            QByteArray("seconds,line\n0,hello\n0.25,\"=A,\"\"B\"\n0.5,pXY\n0.5,\n1,p4\n2,=C\n"),
            "=A,\"B@250 =C@2000 |");
        row("equal seconds", QByteArray("seconds,line\n1,=A\n1,=B\n"), "=A@1000 =B@1000 |");
        row("no seconds column", QByteArray("time,line\n1,=A\n"),
            "run.csv: line 1: no \"seconds\" column in the header");
        row("no line column", QByteArray("seconds,lines\n1,=A\n"),
            "run.csv: line 1: no \"line\" column");
        row("seconds with an exponent", QByteArray("seconds,line\n0,=A\n1e3,=B\n"),
            "run.csv: line 3: seconds \"1e3\" is not a plain number from 0 to 31622400");
        row("seconds beyond a year", QByteArray("seconds,line\n31622401,=A\n"), "line 2: seconds");
        row("seconds go back", QByteArray("seconds,line\n2,=A\n\n1.5,=B\n"),
            "run.csv: line 4: seconds go back, from 2 to 1.5");
        row("row short of the line column", QByteArray("seconds,line\n1\n"),
            "run.csv: line 2: 1 fields, fewer than the header's 2");
        row("unterminated quote", QByteArray("seconds,line\n1,\"=A\n2,=B\n"),
            "run.csv: line 2: unterminated quote");
        row("no telemetry", QByteArray("seconds,line\n1,p20\n"), "run.csv: no telemetry row");
        row("empty", QByteArray(), "run.csv: holds no rows");
        row("binary", QByteArray("\0\xff\x01\r\x02", 5), "run.csv: line 1: no \"seconds\"");
    }

    void recordingFile()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, expected);
        const LoadedRecording loaded = readCsv(csv);
        QCOMPARE(loaded.recording == nullptr, !loaded.error.isEmpty());
        if (!loaded.recording) {
            QVERIFY2(loaded.error.contains(expected), qPrintable(loaded.error));
            return;
        }
        QStringList kept;
        for (const TimedLines *lines :
             {&loaded.recording->telemetry, &loaded.recording->propeller}) {
            for (qsizetype i = 0; i < lines->size(); ++i)
                kept << QString::fromLatin1(lines->line(i)) + '@'
                            + QString::number(lines->at(i) / 1ms);
            kept << "|";
        }
        kept.removeLast();
        QCOMPARE(kept.join(' '), expected);
    }

    void unreadableRecordingIsNamed()
    {
        const QString error = openReplay(QStringLiteral("/nonexistent/run.csv")).error;
        QVERIFY2(error.startsWith("/nonexistent/run.csv: cannot read"), qPrintable(error));
    }

    void replayTiming_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("toleranceMs"); // a line may wait behind a reply, or the adapter
        QTest::addColumn<QString>("expected"); // after /I1: "ms engine-speed-field", ...
        row("as recorded, then the last line at 10 a second", "", 6,
            "0 0000, 200 0352, 500 0A8C, 600 0A8C, 700 0A8C");
        row("--speed 2", "--speed 2", 6, "0 0000, 100 0352, 250 0A8C, 350 0A8C");
        row("--speed 0.5 --rate 4", "--speed 0.5 --rate 4", 6,
            "0 0000, 400 0352, 1000 0A8C, 1250 0A8C");
        row("FTDI latency timer", "--speed 4 --chunk-ms 16", 21,
            "0 0000, 50 0352, 125 0A8C, 225 0A8C");
    }

    void replayTiming()
    {
        QFETCH(QString, arguments);
        QFETCH(int, toleranceMs);
        QFETCH(QString, expected);
        SimOptions options = simOptions("--replay run.csv " + arguments);
        options.replay = readCsv(sampleRecording).recording;
        const auto recorded = [&options](int ms) {
            return Nanos(std::llround(ms * 1e6 / options.replaySpeed));
        };
        Bench bench(options);
        bench.run(300ms);
        QVERIFY2(bench.bytes.contains('=') && !bench.bytes.contains("=00001E"),
                 "a stopped engine until the console asks for the stream");
        bench.simulator.receive("/I0\r");
        bench.run(50ms);
        bench.bytes.clear();
        bench.writes.clear();
        const Nanos asked = bench.now;
        bench.simulator.receive("/I1\r");
        bench.run(recorded(250));
        bench.simulator.receive("/p\r"); // before the recording's "p80"
        bench.run(recorded(100));
        bench.simulator.receive("/p\r");
        bench.run(1500ms - recorded(350));

        QStringList telemetry, replies;
        for (const auto &[at, line] : timedLines(bench)) {
            const QString ms = QString::number((at - asked) / 1ms);
            if (line.startsWith('='))
                telemetry << ms + ' ' + QString::fromLatin1(line.mid(1, 4));
            else
                replies << QString::fromLatin1(line);
        }
        QCOMPARE(replies.join(' '), "/I1 p20 p80");
        const QStringList wanted = expected.split(", ");
        QVERIFY2(telemetry.size() >= wanted.size(), qPrintable(telemetry.join(", ")));
        for (qsizetype i = 0; i < wanted.size(); ++i) {
            const QStringList got = telemetry[i].split(' '), want = wanted[i].split(' ');
            const int late = got[0].toInt() - want[0].toInt();
            QVERIFY2(got[1] == want[1] && late >= 0 && late <= toleranceMs,
                     qPrintable(telemetry.join(", ")));
        }
    }

    // Ten seconds recorded, played in a tenth: far more lines than 9600 baud
    // carries. The replay skips some, in order, and still ends on time.
    // Record a simulated run, replay the file, record the replay: the same
    // telemetry lines come back, in order, before the last one repeats.
    void recordReplayRecord()
    {
        QTemporaryDir dir;
        Bench original(simOptions("--rate 20 --number-lines")); // no two lines alike
        original.run(4s);
        recordSent(original, dir.filePath("first.csv"));
        const QList<QByteArray> recorded = telemetryOf(dir.filePath("first.csv"));
        QVERIFY(recorded.size() >= 70);

        SimOptions options = simOptions("--rate 20");
        options.replay = openReplay(dir.filePath("first.csv")).recording;
        QVERIFY(options.replay);
        Bench replay(options);
        replay.simulator.receive("/I1\r");
        replay.run(6s);
        recordSent(replay, dir.filePath("second.csv"));
        const QList<QByteArray> replayed = telemetryOf(dir.filePath("second.csv"));
        QVERIFY(replayed.size() > recorded.size());
        QCOMPARE(replayed.first(recorded.size()), recorded);
    }

    void fastReplayKeepsPace()
    {
        QByteArray csv = "seconds,line\n";
        for (int i = 0; i < 1000; ++i)
            csv += QByteArray::number(i / 100.0, 'f', 3) + ",=" + hexDigits(i, 4) + "\n";
        SimOptions options = simOptions("--replay run.csv --speed 100");
        options.replay = readCsv(csv).recording;
        Bench bench(options);
        bench.simulator.receive("/I0\r/I1\r");
        bench.run(500ms);
        int previous = -1;
        Nanos lastAt{-1};
        for (const auto &[at, line] : timedLines(bench)) {
            if (!line.startsWith('='))
                continue;
            const int number = line.mid(1).toInt(nullptr, 16);
            QVERIFY2(number > previous || number == 999, line.constData());
            if (number == 999 && previous != 999)
                lastAt = at;
            previous = number;
        }
        const Nanos lineTime = byteTime * telemetryLineBytes;
        QVERIFY(lastAt >= 100ms && lastAt <= 100ms + ReplayPlayer::slack + 2 * lineTime);
    }

    void ptyAnswersRevision()
    {
        UnitSimulator simulator(simOptions(""));
        const StartResult started = simulator.start();
        QVERIFY2(started.ok(), qPrintable(started.error));
        QSerialPort port(started.devicePath);
        QVERIFY(port.open(QIODevice::ReadWrite));
        port.write("/u\r");
        QByteArray received; // telemetry streams too; the reply is a line of its own
        QTRY_VERIFY_WITH_TIMEOUT((received += port.readAll(), received.startsWith("u21\r")
                                  || received.contains("\ru21\r")), 5000);
    }
};

QTEST_GUILESS_MAIN(TestUnitSim)
#include "test_unit_sim.moc"
