// SPDX-License-Identifier: GPL-3.0-or-later
// Limits files: what is refused, how a file combines with the defaults, the
// round trip; and --exceedances on a made-up recording.

#include "limits/limits_file.h"
#include "recording/csv_row.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString fileName = QStringLiteral("limits.txt");

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// 0.1 s a row: 2500 RPM, 3300 from 1.0 s to 3.0 s, 2500 again.
QByteArray madeUpRecording()
{
    QByteArray text = csvHeader();
    const QDateTime start(QDate(2026, 12, 7), QTime(14, 3, 22));
    for (int tenth = 0; tenth < 50; ++tenth) {
        const FigureValues values{{Figure::Rpm, tenth >= 10 && tenth < 30 ? 3300 : 2500},
                                  {Figure::Volts, 14}};
        text += csvRow(start.addMSecs(tenth * 100), tenth * 100, values, "=");
    }
    return text;
}

} // namespace

Q_DECLARE_METATYPE(LimitsFile)

class TestLimitsFiles : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void namedFiguresTakeOnlyWhatTheFileSays();
    void roundTrip_data();
    void roundTrip();
    void commandLine_data();
    void commandLine();
};

void TestLimitsFiles::refused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    QTest::newRow("low alarm above low caution")
        << QByteArray("volts.low_caution = 9\n# note\nvolts.low_alarm = 10\n") << 3
        << QStringLiteral("volts.low_alarm = 10 lies above volts.low_caution = 9");
    QTest::newRow("caution above alarm")
        << QByteArray("rpm.high_caution = 3100\nrpm.high_alarm = 3000\n") << 2
        << QStringLiteral("rpm.high_caution = 3100 lies above rpm.high_alarm = 3000");
    QTest::newRow("low above high")
        << QByteArray("temperature.high_alarm = 50\ntemperature.low_caution = 60\n") << 2
        << QStringLiteral("lies above temperature.high_alarm");
    QTest::newRow("unknown figure") << QByteArray("speed.high_alarm = 3000\n") << 1
                                    << QStringLiteral("unknown name \"speed.high_alarm\"");
    QTest::newRow("unknown limit") << QByteArray("rpm.redline = 3000\n") << 1
                                   << QStringLiteral("unknown name");
    QTest::newRow("duplicate") << QByteArray("rpm.high_alarm = 3000\n\nrpm.high_alarm = 3100\n") << 3
                               << QStringLiteral("already on line 1");
    QTest::newRow("outside the gauge") << QByteArray("rpm.high_alarm = 5000\n") << 1
                                       << QStringLiteral("outside the gauge's 0 to 3600");
    QTest::newRow("not a number") << QByteArray("rpm.high_alarm = fast\n") << 1
                                  << QStringLiteral("neither a number nor \"none\"");
    QTest::newRow("infinite") << QByteArray("rpm.high_alarm = 1e999\n") << 1
                              << QStringLiteral("neither a number");
    QTest::newRow("negative delay")
        << QByteArray("rpm.high_alarm = 3000\nrpm.high_alarm_delay = -1\n") << 2
        << QStringLiteral("is negative");
    QTest::newRow("delay for a limit not set")
        << QByteArray("rpm.high_alarm_delay = 2\nrpm.high_alarm = none\n") << 1
        << QStringLiteral("for a limit the file does not set");
    QTest::newRow("none for a deadband") << QByteArray("rpm.deadband = none\n") << 1
                                         << QStringLiteral("\"none\" only removes a limit");
    QTest::newRow("no value") << QByteArray("rpm.high_alarm =\n") << 1 << QStringLiteral("has no value");
    QTest::newRow("not name = value") << QByteArray("rpm.high_alarm 3000\n") << 1
                                      << QStringLiteral("expected \"name = value\"");
}

void TestLimitsFiles::refused()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const LimitsFileReading reading = parseLimitsFile(text, fileName);
    QVERIFY(!reading.file);
    QVERIFY2(reading.error.startsWith(QStringLiteral("limits.txt: line %1: ").arg(line)),
             qPrintable(reading.error));
    QVERIFY2(reading.error.contains(reason), qPrintable(reading.error));
}

void TestLimitsFiles::namedFiguresTakeOnlyWhatTheFileSays()
{
    const LimitsFileReading reading = parseLimitsFile(
        "advance.high_alarm = none\nvolts.high_alarm = 16   # a 14 V system\n"
        "volts.high_alarm_delay = 0.5\n",
        fileName);
    QVERIFY2(reading.file, qPrintable(reading.error));
    const EngineLimits defaults = defaultLimits(3584, 42);
    const EngineLimits limits = reading.file->over(defaults);
    QCOMPARE(limits.of(Figure::Rpm), defaults.of(Figure::Rpm));
    QVERIFY(!limits.of(Figure::Advance).any());
    QVERIFY(!limits.of(Figure::Volts).lowAlarm);
    QVERIFY(!limits.of(Figure::Volts).lowCaution);
    QCOMPARE(limits.of(Figure::Volts).highAlarm, std::optional(Limit{16, 0.5}));
}

void TestLimitsFiles::roundTrip_data()
{
    QTest::addColumn<LimitsFile>("file");
    LimitsFile odd;
    FigureLimits volts;
    volts.lowAlarm = Limit{0.1, 0};
    volts.lowCaution = Limit{0.1 + 0.2, 12.25};
    volts.highAlarm = Limit{15};
    volts.deadband = 1.0 / 3;
    odd.figures[std::size_t(Figure::Volts)] = volts;
    odd.figures[std::size_t(Figure::Advance)] = FigureLimits{};
    QTest::newRow("fractions, delays, a deadband, a figure switched off") << odd;
    QTest::newRow("the defaults, every figure named") << limitsFileOf(defaultLimits(3584, 42));
}

void TestLimitsFiles::roundTrip()
{
    QFETCH(LimitsFile, file);
    const QByteArray text = formatLimitsFile(file);
    const LimitsFileReading reading = parseLimitsFile(text, fileName);
    QVERIFY2(reading.file, qPrintable(reading.error + u'\n' + QString::fromUtf8(text)));
    QVERIFY2(*reading.file == file, text.constData());
}

void TestLimitsFiles::commandLine_data()
{
    QTest::addColumn<QByteArray>("limitsText"); // empty: no --limits
    QTest::addColumn<QByteArray>("defaultText"); // the default file; empty: none
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("error");

    const QByteArray rpmAlarm = "rpm.high_alarm = 3000\n";
    const QString oneEvent = QStringLiteral(
        "RPM ALARM above 3000: 1.0 s to 3.0 s (2.0 s), peak 3300 at 1.0 s\n1 exceedance\n");
    QTest::newRow("--limits") << rpmAlarm << QByteArray() << 0 << oneEvent << QString();
    QTest::newRow("the default file") << QByteArray() << rpmAlarm << 0 << oneEvent << QString();
    QTest::newRow("--limits over the default file")
        << QByteArray("rpm.high_alarm = none\n") << rpmAlarm << 0
        << QStringLiteral("0 exceedances\n") << QString();
    QTest::newRow("no file: no engine speed limit without the unit")
        << QByteArray() << QByteArray() << 0 << QStringLiteral("0 exceedances\n") << QString();
    QTest::newRow("a limits file that does not read")
        << QByteArray("rpm.high_alarm = 3000\nrpm.high_caution = 3100\n") << QByteArray() << 2
        << QString() << QStringLiteral("given.txt: line 2: ");
    QTest::newRow("a broken default file")
        << QByteArray() << QByteArray("rpm.high_alarm = 9999\n") << 2 << QString()
        << QStringLiteral("torvane-console/limits.txt: line 1: ");
}

void TestLimitsFiles::commandLine()
{
    QFETCH(QByteArray, limitsText);
    QFETCH(QByteArray, defaultText);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, error);

    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("run.csv"));
    QVERIFY(write(recording, madeUpRecording()));
    QStringList arguments{QStringLiteral("--exceedances"), recording};
    if (!limitsText.isEmpty()) {
        QVERIFY(write(dir.filePath(QStringLiteral("given.txt")), limitsText));
        arguments << QStringLiteral("--limits") << dir.filePath(QStringLiteral("given.txt"));
    }
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("config/torvane-console")));
    if (!defaultText.isEmpty())
        QVERIFY(write(dir.filePath(QStringLiteral("config/torvane-console/limits.txt")), defaultText));

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    console.setProcessEnvironment(env);
    console.start(QStringLiteral(CONSOLE), arguments);
    QVERIFY(console.waitForFinished(30000));
    const QString stderrText = QString::fromUtf8(console.readAllStandardError());
    QCOMPARE(console.exitCode(), status);
    QCOMPARE(QString::fromUtf8(console.readAllStandardOutput()), output);
    if (error.isEmpty())
        QCOMPARE(stderrText, QString());
    else
        QVERIFY2(stderrText.contains(error), qPrintable(stderrText));
}

QTEST_GUILESS_MAIN(TestLimitsFiles)
#include "test_limits_files.moc"
