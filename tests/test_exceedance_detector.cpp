// SPDX-License-Identifier: GPL-3.0-or-later
// Exceedances: the detector on made-up figures, and the live watch against
// the recording the recorder wrote of the same lines.

#include "limits/exceedance_detector.h"
#include "limits/recording_exceedances.h"
#include "record/exceedance_watch.h"
#include "record/recorder.h"
#include "recording/recording_table.h"
#include "support/link_fixture.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(EngineLimits)

namespace {

constexpr double gap = std::numeric_limits<double>::quiet_NaN();

struct Sample {
    double seconds;
    double value;
};
using Samples = QList<Sample>;

// `value` every 0.1 s from `from` up to, not including, `to`.
Samples held(double from, double to, double value)
{
    Samples samples;
    for (int tenth = int(std::lround(from * 10)); tenth < int(std::lround(to * 10)); ++tenth)
        samples.append({tenth / 10.0, value});
    return samples;
}

EngineLimits rpmLimits()
{
    EngineLimits limits;
    limits.of(Figure::Rpm).highCaution = Limit{2900};
    limits.of(Figure::Rpm).highAlarm = Limit{3000};
    return limits;
}

QString described(const Exceedance &e)
{
    return QStringLiteral("%1 %2 %3 %4-%5 peak %6@%7")
        .arg(QLatin1String(figureInfo(e.figure).key),
             QLatin1String(e.side == LimitSide::High ? "high" : "low"),
             QLatin1String(e.level == LimitLevel::Alarm ? "alarm" : "caution"))
        .arg(e.startSeconds, 0, 'f', 1)
        .arg(e.endSeconds ? QString::number(*e.endSeconds, 'f', 1) : QStringLiteral("open"))
        .arg(e.peak)
        .arg(e.peakSeconds, 0, 'f', 1);
}

void keepEnded(const std::vector<ExceedanceChange> &changes, std::vector<Exceedance> &ended)
{
    for (const ExceedanceChange &change : changes)
        if (change.kind == ExceedanceChange::Kind::Ended)
            ended.push_back(change.exceedance);
}

// The ended exceedances, optionally with the clock advanced every 50 ms
// between the samples, as the live watch does.
QStringList detected(const EngineLimits &limits, Figure figure, const Samples &samples,
                     bool advanceBetween)
{
    ExceedanceDetector detector(limits);
    std::vector<Exceedance> ended;
    double last = samples.isEmpty() ? 0 : samples.first().seconds;
    for (const Sample &sample : samples) {
        for (double t = last + 0.05; advanceBetween && t < sample.seconds; t += 0.05)
            keepEnded(detector.advance(t), ended);
        keepEnded(detector.take(figure, sample.seconds, sample.value), ended);
        last = sample.seconds;
    }
    keepEnded(detector.finish(), ended);
    sortByStart(ended);
    QStringList texts;
    for (const Exceedance &e : ended)
        texts << described(e);
    return texts;
}

// A telemetry line: rpm, advance steps, volts, temperature.
QByteArray telemetryLine(int rpm, int volts, int advanceSteps = 18)
{
    const auto hex = [](int value, int width) {
        return QByteArray::number(value, 16).toUpper().rightJustified(width, '0');
    };
    return "=" + hex(rpm, 4) + hex(advanceSteps, 2) + "0000" + hex((volts + 1) * 10, 2) + "2DC864\r";
}

} // namespace

class TestExceedanceDetector : public QObject {
    Q_OBJECT
private slots:
    void events_data();
    void events();
    void noiseAroundALimitRaisesAtMostOne();
    void liveWatchFindsWhatTheRecordingHolds();
};

void TestExceedanceDetector::events_data()
{
    QTest::addColumn<EngineLimits>("limits");
    QTest::addColumn<int>("figure");
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<QStringList>("expected");

    const int rpm = int(Figure::Rpm);
    const int volts = int(Figure::Volts);
    QTest::newRow("a spike shorter than the on-delay")
        << rpmLimits() << rpm << held(0, 1, 2500) + held(1, 1.6, 3100) + held(1.6, 3, 2500)
        << QStringList{};
    Samples sustained = held(0, 1, 2500) + held(1, 3, 3100) + held(3, 4, 2500);
    sustained[20].value = 3300; // 2.0 s
    QTest::newRow("sustained: from the first value past to the first back inside")
        << rpmLimits() << rpm << sustained
        << QStringList{QStringLiteral("rpm high alarm 1.0-3.0 peak 3300@2.0"),
                       QStringLiteral("rpm high caution 1.0-3.0 peak 3300@2.0")};
    QTest::newRow("back inside the limit but not by the deadband")
        << rpmLimits() << rpm << held(0, 1, 2500) + held(1, 3, 3100) + held(3, 5, 2980) + held(5, 6, 2800)
        << QStringList{QStringLiteral("rpm high alarm 1.0-5.0 peak 3100@1.0"),
                       QStringLiteral("rpm high caution 1.0-5.0 peak 3100@1.0")};
    QTest::newRow("caution, then alarm, then back")
        << rpmLimits() << rpm
        << held(0, 1, 2500) + held(1, 3, 2950) + held(3, 5, 3100) + held(5, 7, 2950) + held(7, 8, 2500)
        << QStringList{QStringLiteral("rpm high caution 1.0-7.0 peak 3100@3.0"),
                       QStringLiteral("rpm high alarm 3.0-5.0 peak 3100@3.0")};
    EngineLimits alarmOnly;
    alarmOnly.of(Figure::Rpm).highAlarm = Limit{3000};
    QTest::newRow("silence, and the end of the data, end it at the last value")
        << alarmOnly << rpm << held(0, 1, 2500) + held(1, 4.05, 3100) + held(10, 12, 3100)
        << QStringList{QStringLiteral("rpm high alarm 1.0-4.0 peak 3100@1.0"),
                       QStringLiteral("rpm high alarm 10.0-11.9 peak 3100@10.0")};
    QTest::newRow("an empty field ends it and drops a candidate")
        << alarmOnly << rpm
        << held(0, 1, 2500) + held(1, 3.05, 3100) + Samples{{3.1, gap}} + held(3.2, 3.6, 3100)
               + held(3.6, 5, 2500)
        << QStringList{QStringLiteral("rpm high alarm 1.0-3.0 peak 3100@1.0")};
    QTest::newRow("the value past holds until the next one")
        << alarmOnly << rpm << Samples{{0, 2500}, {1, 3100}, {2.5, 2500}}
        << QStringList{QStringLiteral("rpm high alarm 1.0-2.5 peak 3100@1.0")};
    QTest::newRow("low volts: both limits, after their longer on-delay")
        << defaultLimits(std::nullopt, std::nullopt) << volts
        << held(0, 1, 14) + held(1, 13, 7) + held(13, 14, 14) + held(20, 21, 8) + held(21, 25, 14)
        << QStringList{QStringLiteral("volts low alarm 1.0-13.0 peak 7@1.0"),
                       QStringLiteral("volts low caution 1.0-13.0 peak 7@1.0")};
}

void TestExceedanceDetector::events()
{
    QFETCH(EngineLimits, limits);
    QFETCH(int, figure);
    QFETCH(Samples, samples);
    QFETCH(QStringList, expected);
    QCOMPARE(detected(limits, Figure(figure), samples, false), expected);
    QCOMPARE(detected(limits, Figure(figure), samples, true), expected);
}

void TestExceedanceDetector::noiseAroundALimitRaisesAtMostOne()
{
    // ±1 % of 3000 is within the default deadband of 36 RPM.
    for (uint32_t seed : {1u, 7u, 12345u}) {
        Samples samples;
        uint32_t state = seed;
        for (int tenth = 0; tenth < 600; ++tenth) {
            state = state * 1664525u + 1013904223u;
            samples.append({tenth / 10.0, 3000 + 30.0 * (int(state >> 16) % 201 - 100) / 100.0});
        }
        const QStringList events = detected(rpmLimits(), Figure::Rpm, samples, false);
        int alarms = 0;
        for (const QString &event : events)
            alarms += event.startsWith(QLatin1String("rpm high alarm"));
        QVERIFY2(alarms <= 1, qPrintable(events.join(u'\n')));
    }
}

void TestExceedanceDetector::liveWatchFindsWhatTheRecordingHolds()
{
    QTemporaryDir dir;
    LinkFixture f;
    f.connect();
    Recorder recorder;
    recorder.clock.steady = [&f] { return f.now; };
    recorder.clock.wall = [&f] {
        return QDateTime(QDate(2026, 12, 7), QTime(14, 3, 22))
            .addMSecs(std::chrono::duration_cast<std::chrono::milliseconds>(f.now.time_since_epoch()).count());
    };
    recorder.follow(f.link);
    const QString path = dir.filePath(QStringLiteral("run.csv"));
    recorder.startInFile(path);

    EngineLimits limits = defaultLimits(std::nullopt, std::nullopt);
    limits.of(Figure::Rpm) = rpmLimits().of(Figure::Rpm);
    ExceedanceWatch watch(f.link, limits);
    std::vector<Exceedance> started;
    std::vector<Exceedance> ended;
    connect(&watch, &ExceedanceWatch::exceedanceStarted, this,
            [&started](const Exceedance &e) { started.push_back(e); });
    connect(&watch, &ExceedanceWatch::exceedanceEnded, this,
            [&ended](const Exceedance &e) { ended.push_back(e); });

    // A tenth of a second per step: {steps, rpm, volts}; rpm -1 is silence.
    const QList<std::array<int, 3>> run{
        {20, 2500, 14}, {30, 3100, 14}, {5, 2500, 14},  {3, 3200, 14}, {20, 2500, 14},
        {10, 2950, 14}, {15, 3050, 7},  {40, -1, 0},    {120, 2600, 7}, {20, 2600, 14},
        {12, 3100, 14}, {3, 2990, 14},  {6, 3100, 14},  {30, 2400, 14},
    };
    for (const auto &[steps, rpm, volts] : run) {
        for (int step = 0; step < steps; ++step) {
            f.advance(std::chrono::milliseconds(100));
            if (rpm >= 0)
                f.receive(telemetryLine(rpm, volts));
            watch.checkDelays();
        }
    }
    QCOMPARE(watch.active().size(), size_t(0));
    QCOMPARE(watch.latest(Figure::Rpm), std::optional<double>(2400));
    QCOMPARE(started.size(), ended.size());

    RecordingTable table;
    const RecordingLoad load = loadRecording(path, table);
    QVERIFY2(load.ok(), qPrintable(load.error));
    const std::vector<Exceedance> fromFile = exceedancesIn(table, limits);
    sortByStart(ended);
    QStringList live;
    QStringList file;
    for (const Exceedance &e : ended)
        live << described(e);
    for (const Exceedance &e : fromFile)
        file << described(e);
    QVERIFY2(file.size() >= 5, qPrintable(file.join(u'\n')));
    QCOMPARE(live, file);
    QVERIFY(ended == fromFile);
}

QTEST_GUILESS_MAIN(TestExceedanceDetector)
#include "test_exceedance_detector.moc"
