// SPDX-License-Identifier: GPL-3.0-or-later
// A recording's report: its text for made-up recordings, the printed page read
// back from its PDF, and --report on the command line.

#include "logbook/recording_report.h"
#include "recording/csv_row.h"
#include "recording/recording_table.h"
#include "viewer/report_sheet.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

struct MadeUp {
    bool firmwareLine = true;
    bool engineRuns = true;
    bool cutOff = false;
};

// Half a second a row for 170 s: two runs, the second past 3000 RPM for 6 s.
QByteArray madeUpRecording(const MadeUp &kind)
{
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), QTimeZone(3600));
    QByteArray text = csvHeader();
    if (kind.firmwareLine)
        text += csvRow(start, 0, FigureValues{}, "u21");
    for (int half = 0; half <= 340; ++half) {
        const double t = half / 2.0;
        const bool firstRun = t >= 10 && t < 70;
        const bool secondRun = t >= 100 && t < 160;
        int rpm = 0;
        if (kind.engineRuns && firstRun)
            rpm = t < 12 ? 200 : t >= 40 && t < 41 ? 2600 : 2400;
        if (kind.engineRuns && secondRun)
            rpm = t >= 120 && t < 126 ? 3200 : 2400;
        const int volts = rpm == 200 ? 10 : rpm > 0 ? 14 : 13;
        const int advance = rpm == 0 ? 0 : firstRun ? 28 : 30;
        const int temperature = t < 10 ? 20 : t < 70 ? 20 + int(t - 10) : 85;
        const FigureValues values{{Figure::Rpm, int16_t(rpm)},
                                  {Figure::Advance, int16_t(advance)},
                                  {Figure::Volts, int16_t(volts)},
                                  {Figure::Temperature, int16_t(temperature)}};
        text += csvRow(start.addMSecs(half * 500), half * 500, values, "=");
    }
    if (kind.cutOff)
        text += "2026-12-07T09:02:50.500+01:00,170.5,0,0";
    return text;
}

// Past the page: a run every 6 s, each with an alarm.
QByteArray crowdedRecording(int runs)
{
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), QTimeZone(3600));
    QByteArray text = csvHeader();
    for (int half = 0; half < runs * 12; ++half) {
        const int rpm = half % 12 < 8 ? 3200 : 0;
        text += csvRow(start.addMSecs(half * 500), half * 500,
                       {{Figure::Rpm, int16_t(rpm)}, {Figure::Volts, 14}}, "=");
    }
    return text;
}

EngineLimits rpmAlarmAt3000()
{
    EngineLimits limits;
    limits.of(Figure::Rpm).highAlarm = Limit{3000};
    return limits;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList simplifiedLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(u'\n'))
        lines << line.simplified();
    return lines;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textLines_data();
    void textLines();
    void pageLines_data();
    void pageLines();
    void crowdedPageStaysOnePage();
    void unwritablePdfNamed();
    void commandLine_data();
    void commandLine();

private:
    struct Loaded {
        RecordingTable table;
        RecordingReport report;
    };
    Loaded load(const QString &name, const QByteArray &bytes);
    QString pdfOf(const Loaded &loaded, const QString &name);

    QTemporaryDir dir;
    QMap<QString, QString> texts; // by recording
    QString pageText;
};

TestReport::Loaded TestReport::load(const QString &name, const QByteArray &bytes)
{
    Loaded loaded;
    const QString path = dir.filePath(name);
    if (!write(path, bytes))
        return loaded;
    const RecordingLoad read = loadRecording(path, loaded.table);
    if (read.ok())
        loaded.report =
            recordingReport(path, loaded.table, read.lastRowIncomplete, rpmAlarmAt3000());
    return loaded;
}

QString TestReport::pdfOf(const Loaded &loaded, const QString &name)
{
    const QString path = dir.filePath(name);
    const QString error = writeReportPdf(loaded.report, loaded.table, path);
    if (!error.isEmpty())
        return error;
    // One page: a second would say so.
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    if (!QRegularExpression(QStringLiteral("^Pages: +1$"), QRegularExpression::MultilineOption)
             .match(info)
             .hasMatch())
        return QStringLiteral("not one page: ") + info;
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

void TestReport::initTestCase()
{
    QVERIFY(dir.isValid());
    const Loaded flight = load(QStringLiteral("flight.csv"), madeUpRecording({}));
    QCOMPARE(flight.report.rows, size_t(342));
    texts[QStringLiteral("flight")] = reportText(flight.report);
    texts[QStringLiteral("cut")] = reportText(
        load(QStringLiteral("cut.csv"), madeUpRecording({.firmwareLine = false, .cutOff = true}))
            .report);
    texts[QStringLiteral("ground")] = reportText(
        load(QStringLiteral("ground.csv"), madeUpRecording({.engineRuns = false})).report);
    pageText = pdfOf(flight, QStringLiteral("flight.pdf"));
}

void TestReport::textLines_data()
{
    QTest::addColumn<QString>("recording");
    QTest::addColumn<QString>("line"); // whitespace simplified; the start of a line
    const auto row = [](const char *recording, const char *line) {
        QTest::addRow("%s: %s", recording, line) << recording << QString::fromUtf8(line);
    };
    row("flight", "Torvane recording report");
    row("flight", "File: flight.csv");
    row("flight", "Firmware revision: 33");
    row("flight", "Start: 2026-12-07 09:00:00 UTC+01:00");
    row("flight", "End: 2026-12-07 09:02:50 UTC+01:00");
    row("flight", "Duration: 0:02:50");
    row("flight", "Rows: 342");
    row("flight", "Engine runs: 2, 0:01:59 running");
    row("flight", "Exceedances: 0 cautions, 1 alarm");
    row("flight", "Run Start Duration Peak RPM Peak advance (deg) Cranking volts (V) "
                  "Peak temperature (deg C) Cautions Alarms");
    // Cranking volts: the starter's dip; on the second run none, so the lead-in's.
    row("flight", "1 09:00:10 59.5 s 2600 28 10 79 0 0");
    row("flight", "2 09:01:40 59.5 s 3200 30 13 85 0 1");
    row("flight", "09:02:00 RPM ALARM above 3000: 120.0 s to 126.0 s (6.0 s), peak 3200");
    row("cut", "Firmware revision: not in the recording");
    row("cut", "Rows: 341 (the last one cut off)");
    row("ground", "Engine runs: none");
    row("ground", "Exceedances: none");
    row("ground", "None beyond the limits");
}

void TestReport::textLines()
{
    QFETCH(QString, recording);
    QFETCH(QString, line);
    const QString text = texts.value(recording);
    const QStringList lines = simplifiedLines(text);
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [&](const QString &l) { return l.startsWith(line); }),
             qPrintable(text));
}

void TestReport::pageLines_data()
{
    QTest::addColumn<QString>("text"); // somewhere in a line of the page
    for (const char *text :
         {"Torvane recording report", "File: flight.csv", "Firmware revision: 33",
          "Start: 2026-12-07 09:00:00 UTC+01:00", "Engine runs: 2, 0:01:59 running",
          "Engine speed (RPM)", "Temperature (deg C)", "2 09:01:40 59.5 s 3200 30 13 85 0 1",
          "09:02:00 RPM ALARM above 3000", "Name", "Signature", "Date"})
        QTest::newRow(text) << QString::fromUtf8(text);
}

void TestReport::pageLines()
{
    QFETCH(QString, text);
    const QStringList lines = simplifiedLines(pageText);
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [&](const QString &l) { return l.contains(text); }),
             qPrintable(pageText));
}

void TestReport::crowdedPageStaysOnePage()
{
    const Loaded crowded = load(QStringLiteral("crowded.csv"), crowdedRecording(300));
    QCOMPARE(crowded.report.runs.size(), size_t(300));
    QCOMPARE(crowded.report.exceedances.size(), size_t(300));
    const QString text = pdfOf(crowded, QStringLiteral("crowded.pdf"));
    const QRegularExpression more(QStringLiteral("and (\\d+) more runs.*\\n(?:.*\\n)*.*"
                                                 "and (\\d+) more exceedances"));
    const QRegularExpressionMatch match = more.match(text);
    QVERIFY2(match.hasMatch(), qPrintable(text));
    // What is left out is said, no more and no less.
    const int runLines = int(text.count(QRegularExpression(QStringLiteral("\\n *\\d+ +09:"))));
    QCOMPARE(runLines + match.captured(1).toInt(), 300);
    const int alarmLines = int(text.count(QStringLiteral("RPM ALARM")));
    QCOMPARE(alarmLines + match.captured(2).toInt(), 300);
}

void TestReport::unwritablePdfNamed()
{
    const QString path = dir.filePath(QStringLiteral("no such folder/report.pdf"));
    const QString error = writeReportPdf(RecordingReport{}, RecordingTable{}, path);
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

void TestReport::commandLine_data()
{
    QTest::addColumn<QString>("recording");
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // in stdout
    QTest::addColumn<QString>("error");  // in stderr
    QTest::newRow("text") << "flight.csv" << false << 0 << "09:02:00  RPM ALARM above 3000" << "";
    QTest::newRow("text and page, no display")
        << "flight.csv" << true << 0 << "09:02:00  RPM ALARM above 3000" << "";
    QTest::newRow("no such file") << "nothing.csv" << true << 2 << ""
                                  << "nothing.csv: cannot read";
    QTest::newRow("not a recording") << "settings.txt" << false << 2 << ""
                                     << "settings.txt: line 1: not a Torvane recording";
}

void TestReport::commandLine()
{
    QFETCH(QString, recording);
    QFETCH(bool, pdf);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, error);
    QVERIFY(write(dir.filePath(QStringLiteral("settings.txt")), "max_rpm = 3584\n"));
    const QString pdfPath = dir.filePath(QStringLiteral("cli.pdf"));
    QFile::remove(pdfPath);
    QStringList arguments{QStringLiteral("--report"), dir.filePath(recording),
                          QStringLiteral("--limits"), dir.filePath(QStringLiteral("limits.txt"))};
    QVERIFY(write(dir.filePath(QStringLiteral("limits.txt")), "rpm.high_alarm = 3000\n"));
    if (pdf)
        arguments << QStringLiteral("--pdf") << pdfPath;

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    // As a desktop session has it; without, Qt warns on stderr.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    console.setProcessEnvironment(env);
    console.start(QStringLiteral(CONSOLE), arguments);
    QVERIFY(console.waitForFinished(30000));
    const QString stdoutText = QString::fromUtf8(console.readAllStandardOutput());
    const QString stderrText = QString::fromUtf8(console.readAllStandardError());
    QCOMPARE(console.exitCode(), status);
    QVERIFY2(stdoutText.contains(output), qPrintable(stdoutText));
    if (error.isEmpty())
        QCOMPARE(stderrText, QString());
    else
        QVERIFY2(stderrText.contains(error), qPrintable(stderrText));
    QFile written(pdfPath);
    QCOMPARE(written.exists(), pdf && status == 0);
    if (written.exists()) {
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(5) == "%PDF-");
    }
}

QTEST_MAIN(TestReport)

#include "test_report.moc"
