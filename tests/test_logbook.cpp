// SPDX-License-Identifier: GPL-3.0-or-later
// The logbook: runs from made-up recordings, a folder with files cut, growing
// or not recordings at all, the index that spares reading them again, the
// trend rule, and --runs.

#include "logbook/logbook.h"
#include "logbook/logbook_text.h"
#include "logbook/run_trend.h"
#include "recording/csv_row.h"
#include "recording/recording_table.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

const QDateTime recordingStart(QDate(2026, 12, 9), QTime(7, 31, 1), QTimeZone(3600));

bool write(const QString &path, const QByteArray &bytes,
           QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

// One row per tenth of a second from `firstTenth`, the figures from `at`.
template <typename Figures>
QByteArray rows(int firstTenth, int endTenth, Figures at)
{
    QByteArray text;
    for (int tenth = firstTenth; tenth < endTenth; ++tenth)
        text += csvRow(recordingStart.addMSecs(tenth * 100), tenth * 100, at(tenth), "=");
    return text;
}

// Two runs. The first: the starter pulls the bus to 10 V for 3 s, the last
// of them with the engine turning (from 4.0 s), then 2500 RPM to 19.9 s with
// 105 deg C from 10 s to 14 s. The second, from 30.0 s to 39.9 s: 12 V,
// 2400 RPM, 125 deg C for 2 s.
QByteArray twoRuns()
{
    return csvHeader() + rows(0, 420, [](int t) {
               const bool first = t >= 40 && t < 200;
               const bool second = t >= 300 && t < 400;
               const int rpm = first ? (t < 50 ? 300 : 2500) : second ? 2400 : 0;
               const int volts = t >= 20 && t < 50 ? 10 : second ? 12 : t >= 50 && t < 200 ? 14 : 13;
               const int temperature = t >= 100 && t < 140   ? 105
                                       : t >= 320 && t < 340 ? 125
                                       : first || second     ? 80
                                                             : 20;
               return FigureValues{{Figure::Rpm, int16_t(rpm)},
                                   {Figure::Advance, int16_t(rpm > 0 ? 25 : 0)},
                                   {Figure::Volts, int16_t(volts)},
                                   {Figure::Temperature, int16_t(temperature)}};
           });
}

FigureValues running(int rpm)
{
    return {{Figure::Rpm, int16_t(rpm)}, {Figure::Volts, 14}, {Figure::Temperature, 70}};
}

// Low volts a caution below 11 V, temperature a caution over 100 deg C and
// an alarm over 120, each after 1 s.
EngineLimits testLimits()
{
    EngineLimits limits;
    limits.of(Figure::Volts).lowCaution = Limit{11};
    limits.of(Figure::Temperature).highCaution = Limit{100};
    limits.of(Figure::Temperature).highAlarm = Limit{120};
    return limits;
}

// The folder the logbook tests read: two runs, a run cut mid-row, a
// spreadsheet that is no recording, a text file that is not looked at.
struct MadeUpFolder {
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("recordings"));
    QString index = dir.filePath(QStringLiteral("cache/index.json"));
    QString path(const char *name) const { return folder + u'/' + QLatin1String(name); }

    bool make()
    {
        const QByteArray cut = csvHeader() + rows(0, 100, [](int) { return running(2000); });
        return QDir().mkpath(folder + QStringLiteral("/older"))
               && write(path("a-two-runs.csv"), twoRuns())
               && write(path("b-notes.csv"), "fuel,oil\r\n12,3\r\n")
               && write(path("older/c-cut.csv"), cut + rowAfterCut().first(cutAfterBytes))
               && write(path("notes.txt"), "not listed\n");
    }
    // What the cut recording gains: the rest of its last row and ten seconds.
    static QByteArray growth()
    {
        return rowAfterCut().mid(cutAfterBytes) + rows(101, 200, [](int) { return running(2100); });
    }

private:
    static constexpr qsizetype cutAfterBytes = 30;
    static QByteArray rowAfterCut()
    {
        return rows(100, 101, [](int) { return running(2100); });
    }
};

Logbook read(const MadeUpFolder &made, const EngineLimits &limits = testLimits())
{
    return readLogbook(made.folder, limits, made.index);
}

} // namespace

class TestLogbook : public QObject {
    Q_OBJECT
private slots:
    void runsOfARecording();
    void folderWithFilesThatDoNotRead();
    void indexSparesUnchangedFiles();
    void indexThatDoesNotReadIsIgnored_data();
    void indexThatDoesNotReadIsIgnored();
    void trendOutliers_data();
    void trendOutliers();
    void commandLine_data();
    void commandLine();
};

void TestLogbook::runsOfARecording()
{
    QByteArray bytes = twoRuns();
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    RecordingTable table;
    QVERIFY(readRecording(buffer, QStringLiteral("two-runs.csv"), table).ok());

    const std::vector<LoggedRun> runs = loggedRuns(table, testLimits());
    QCOMPARE(runs.size(), size_t(2));
    QCOMPARE(runs[0].start, recordingStart.addSecs(4));
    QCOMPARE(runs[0].start.offsetFromUtc(), 3600);
    QCOMPARE(runs[0].durationSeconds, 15.9);
    QCOMPARE(runs[0].peakRpm, std::optional(2500.0f));
    // The dip before the engine turned counts; the second run's lead-in
    // stops at the first run's end.
    QCOMPARE(runs[0].crankingVolts, std::optional(10.0f));
    QCOMPARE(runs[1].crankingVolts, std::optional(12.0f));
    QCOMPARE(runs[0].peakTemperature, std::optional(105.0f));
    // Low volts while cranking and the hot spell; then the alarm inside its caution.
    QCOMPARE(std::pair(runs[0].cautions, runs[0].alarms), std::pair(2, 0));
    QCOMPARE(std::pair(runs[1].cautions, runs[1].alarms), std::pair(1, 1));
}

void TestLogbook::folderWithFilesThatDoNotRead()
{
    MadeUpFolder made;
    QVERIFY(made.make());
    const Logbook logbook = read(made);

    QCOMPARE(logbook.filesRead, 3);
    QCOMPARE(logbook.recordings.size(), size_t(3));
    const LoggedRecording &twoRuns = logbook.recordings[0];
    const LoggedRecording &notes = logbook.recordings[1];
    const LoggedRecording &cut = logbook.recordings[2];
    QCOMPARE(twoRuns.path, made.path("a-two-runs.csv"));
    QCOMPARE(twoRuns.runs.size(), size_t(2));
    QVERIFY2(notes.skipped.startsWith(QStringLiteral("line 1: not a Torvane recording")),
             qPrintable(notes.skipped));
    QVERIFY(notes.runs.empty());
    QCOMPARE(cut.path, made.path("older/c-cut.csv"));
    QVERIFY(cut.skipped.isEmpty());
    QCOMPARE(cut.recordedSeconds, 9.9); // the whole rows
    QCOMPARE(cut.runs.size(), size_t(1));

    const LogbookTotals totals = logbook.totals();
    QCOMPARE(totals.recordings, 2);
    QCOMPARE(totals.skipped, 1);
    QCOMPARE(totals.runs, 3);
    QCOMPARE(totals.engineSeconds, 15.9 + 9.9 + 9.9);
}

void TestLogbook::indexSparesUnchangedFiles()
{
    MadeUpFolder made;
    QVERIFY(made.make());
    const Logbook first = read(made);
    const Logbook again = read(made);
    QCOMPARE(again.filesRead, 0);
    QCOMPARE(again.recordings.size(), first.recordings.size());
    for (size_t i = 0; i < first.recordings.size(); ++i) {
        QCOMPARE(again.recordings[i].skipped, first.recordings[i].skipped);
        QVERIFY(again.recordings[i].runs == first.recordings[i].runs);
    }

    // A recording still being written gains the rest of its cut row and more.
    const QString growing = made.path("older/c-cut.csv");
    QVERIFY(write(growing, MadeUpFolder::growth(), QIODevice::Append));
    const Logbook grown = read(made);
    QCOMPARE(grown.filesRead, 1);
    QCOMPARE(grown.recordings[2].runs.size(), size_t(1));
    QCOMPARE(grown.recordings[2].runs[0].peakRpm, std::optional(2100.0f));

    // Other limits may count other exceedances: everything is read again.
    EngineLimits stricter = testLimits();
    stricter.of(Figure::Temperature).highCaution = Limit{90};
    QCOMPARE(read(made, stricter).filesRead, 3);
    QCOMPARE(read(made, stricter).filesRead, 0);

    // A file gone is forgotten.
    QVERIFY(QFile::remove(made.path("b-notes.csv")));
    QCOMPARE(read(made, stricter).recordings.size(), size_t(2));
    QFile index(made.index);
    QVERIFY(index.open(QIODevice::ReadOnly));
    QVERIFY(!index.readAll().contains("b-notes.csv"));
}

void TestLogbook::indexThatDoesNotReadIsIgnored_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::newRow("not JSON") << QByteArray("{\"format\": 1, \"files\": {");
    QTest::newRow("another format") << QByteArray("{\"format\": 99, \"files\": {}}");
    QTest::newRow("entries of the wrong types")
        << QByteArray("{\"format\": 1, \"files\": {\"@\": {\"size\": \"big\", \"runs\": 7}}}");
}

void TestLogbook::indexThatDoesNotReadIsIgnored()
{
    QFETCH(QByteArray, index);
    MadeUpFolder made;
    QVERIFY(made.make());
    const Logbook first = read(made);
    QVERIFY(write(made.index, index.replace('@', made.path("a-two-runs.csv").toUtf8())));

    const Logbook rebuilt = read(made);
    QCOMPARE(rebuilt.filesRead, 3);
    QVERIFY(rebuilt.recordings[0].runs == first.recordings[0].runs);
    QCOMPARE(read(made).filesRead, 0); // written afresh
}

void TestLogbook::trendOutliers_data()
{
    QTest::addColumn<std::vector<double>>("series");
    QTest::addColumn<std::vector<size_t>>("flagged");

    const std::vector<double> steady{88, 90, 89, 91, 90, 89, 90, 91, 88, 90};
    auto then = [&](std::vector<double> more) {
        std::vector<double> series = steady;
        series.insert(series.end(), more.begin(), more.end());
        return series;
    };
    QTest::newRow("hot run") << then({97, 90}) << std::vector<size_t>{10};
    QTest::newRow("cold run") << then({83}) << std::vector<size_t>{10};
    QTest::newRow("within two deviations") << then({91, 88}) << std::vector<size_t>{};
    QTest::newRow("too few runs before") << std::vector<double>{12, 12, 12, 12, 9}
                                         << std::vector<size_t>{};
    QTest::newRow("fifth run before: compared")
        << std::vector<double>{12, 12, 12, 12, 12, 9} << std::vector<size_t>{5};
    QTest::newRow("flat, then one step") << std::vector<double>{12, 12, 12, 12, 12, 11}
                                         << std::vector<size_t>{};
    QTest::newRow("flat, then over 2 % of the mean")
        << std::vector<double>{2500, 2500, 2500, 2500, 2500, 2551} << std::vector<size_t>{5};
}

void TestLogbook::trendOutliers()
{
    QFETCH(std::vector<double>, series);
    QFETCH(std::vector<size_t>, flagged);
    std::vector<size_t> found;
    for (const TrendOutlier &outlier : ::trendOutliers(series)) {
        found.push_back(outlier.index);
        QCOMPARE(outlier.value, series[outlier.index]);
        QVERIFY(std::abs(outlier.deviations) > trendDeviations);
        QCOMPARE(outlier.deviations > 0, outlier.value > outlier.mean);
    }
    QCOMPARE(found, flagged);
}

void TestLogbook::commandLine_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines"); // each begins a line of stdout, in order

    QTest::newRow("text") << QStringList() << 0
                          << QStringList{
                                 "Recording        Start                       Duration  Peak RPM",
                                 "a-two-runs.csv   2026-12-09 07:31:05 +01:00      0:16  2500 RPM  "
                                 "      25 deg            10 V         105 deg C         2       0",
                                 "a-two-runs.csv   2026-12-09 07:31:31 +01:00      0:10",
                                 "older/c-cut.csv  2026-12-09 07:31:01 +01:00      0:10  2000 RPM  "
                                 "           -            14 V          70 deg C",
                                 "b-notes.csv: skipped: line 1: not a Torvane recording",
                                 "2 recordings (1 file skipped), 3 runs, engine time 0 h 1 min"};
    QTest::newRow("csv") << QStringList{"--csv"} << 0
                         << QStringList{"recording,start,duration_s,peak_rpm,peak_advance_deg,"
                                        "cranking_volts,peak_temp_c,cautions,alarms,skipped\r",
                                        "a-two-runs.csv,2026-12-09T07:31:05+01:00,15.9,2500,25,"
                                        "10,105,2,0,\r",
                                        "a-two-runs.csv,2026-12-09T07:31:31+01:00,9.9,2400,25,"
                                        "12,125,1,1,\r",
                                        "b-notes.csv,,,,,,,,,\"line 1: not a Torvane"};
    QTest::newRow("no such folder") << QStringList{"--runs", "missing"} << 2 << QStringList();
    QTest::newRow("a file, not a folder")
        << QStringList{"--runs", "recordings/a-two-runs.csv"} << 2 << QStringList();
    QTest::newRow("limits that do not read")
        << QStringList{"--limits", "recordings/notes.txt"} << 2 << QStringList();
}

void TestLogbook::commandLine()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    MadeUpFolder made;
    QVERIFY(made.make());
    QVERIFY(QDir(made.dir.path()).mkpath(QStringLiteral("config/torvane-console")));
    QVERIFY(write(made.dir.filePath(QStringLiteral("config/torvane-console/limits.txt")),
                  "volts.low_caution = 11\nvolts.low_caution_delay = 1\n"
                  "temperature.high_caution = 100\ntemperature.high_alarm = 120\n"));

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), made.dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), made.dir.filePath(QStringLiteral("cache")));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    console.setProcessEnvironment(env);
    console.setWorkingDirectory(made.dir.path());
    if (!options.contains(QStringLiteral("--runs")))
        options << QStringLiteral("--runs") << QStringLiteral("recordings");
    console.start(QStringLiteral(CONSOLE), options);
    QVERIFY(console.waitForFinished(30000));
    QCOMPARE(console.exitCode(), status);
    const QStringList output =
        QString::fromUtf8(console.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    qsizetype at = 0;
    for (const QString &line : lines) {
        while (at < output.size() && !output[at].startsWith(line))
            ++at;
        QVERIFY2(at < output.size(),
                 qPrintable(QStringLiteral("no line \"%1\" in:\n%2").arg(line, output.join(u'\n'))));
    }
}

QTEST_GUILESS_MAIN(TestLogbook)
#include "test_logbook.moc"
