// SPDX-License-Identifier: GPL-3.0-or-later
// Temperatures shown in deg C or deg F: the conversion, every place that
// shows one, and the files, which stay in deg C whatever is shown.

#include "limits/limits_file.h"
#include "recording/csv_row.h"
#include "settings/settings_keeper.h"
#include "support/link_fixture.h"
#include "ui/limits_dialog.h"
#include "ui/temperature_scale_action.h"
#include "viewer/logbook_model.h"
#include "viewer/logbook_window.h"
#include "viewer/recording_viewer.h"
#include "viewer/strip_chart.h"
#include "viewer/temperature_scale_choice.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

namespace {

constexpr int highAlarm = 3; // the limits dialog's column

// A minute, a row a second: the engine runs from 10 to 40 s; the temperature
// is 100 deg C in the run, 120 from 30 to 33 s.
QByteArray recording()
{
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), QTimeZone(3600));
    QByteArray text = csvHeader();
    for (int t = 0; t < 60; ++t) {
        const bool running = t >= 10 && t < 40;
        const int temperature = t < 10 ? 20 : t >= 30 && t < 33 ? 120 : 100;
        const FigureValues values{{Figure::Rpm, int16_t(running ? 2000 : 0)},
                                  {Figure::Temperature, int16_t(temperature)}};
        text += csvRow(start.addSecs(t), t * 1000, values, "=");
    }
    return text;
}

QString write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

EngineLimits temperatureAlarmAt(double celsius)
{
    EngineLimits limits;
    limits.of(Figure::Temperature).highAlarm = Limit{celsius};
    return limits;
}

QByteArray savedLimits(TemperatureScale scale, const QString &typed, const QString &path)
{
    const EngineLimits defaults = defaultLimits(std::nullopt, std::nullopt);
    LimitsDialog dialog(defaults, defaults, path, scale);
    dialog.editor(Figure::Temperature, highAlarm)->setText(typed);
    if (!dialog.save())
        return QByteArray();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTemperatureScale : public QObject {
    Q_OBJECT
private slots:
    void conversion_data()
    {
        QTest::addColumn<double>("celsius");
        QTest::addColumn<double>("fahrenheit");
        QTest::newRow("freezing") << 0.0 << 32.0;
        QTest::newRow("boiling") << 100.0 << 212.0;
        QTest::newRow("where they meet") << -40.0 << -40.0;
        QTest::newRow("gauge top") << 150.0 << 302.0;
        QTest::newRow("a fifth of a degree") << 21.0 << 69.8;
    }
    void conversion()
    {
        QFETCH(double, celsius);
        QFETCH(double, fahrenheit);
        QCOMPARE(shownTemperature(celsius, TemperatureScale::Fahrenheit), fahrenheit);
        QCOMPARE(storedTemperature(fahrenheit, TemperatureScale::Fahrenheit), celsius);
        QCOMPARE(shownTemperature(celsius, TemperatureScale::Celsius), celsius);
    }

    // Typed in deg F, kept in deg C in the file, shown in deg F again: as typed.
    void typedFahrenheitReadsBackAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char *typed : {"250", "212.5", "98.6", "33", "301.9", "120.01"})
            QTest::newRow(typed) << QString::fromLatin1(typed);
    }
    void typedFahrenheitReadsBackAsTyped()
    {
        QFETCH(QString, typed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("limits.txt"));
        QVERIFY(!savedLimits(TemperatureScale::Fahrenheit, typed, path).isEmpty());
        const LimitsFileReading reading = readLimitsFile(path);
        QVERIFY2(reading.file, qPrintable(reading.error));
        const EngineLimits read = reading.file->over(defaultLimits(std::nullopt, std::nullopt));
        QVERIFY(qFuzzyCompare(read.of(Figure::Temperature).highAlarm->value,
                              (typed.toDouble() - 32) * 5 / 9));

        LimitsDialog again(read, defaultLimits(std::nullopt, std::nullopt), path,
                           TemperatureScale::Fahrenheit);
        QCOMPARE(again.editor(Figure::Temperature, highAlarm)->text(), typed);
        // Saved again untouched, the file keeps every digit.
        QVERIFY(again.save());
        QCOMPARE(again.saved(), *reading.file);
    }

    void limitsDialogRefusesInTheTypedScale_data()
    {
        QTest::addColumn<QString>("caution");
        QTest::addColumn<QString>("alarm");
        QTest::addColumn<QString>("said");
        QTest::newRow("past the gauge") << "" << "310" << "310 deg F is outside the gauge's 32 to 302";
        QTest::newRow("below the gauge") << "20" << "" << "20 deg F is outside";
        QTest::newRow("caution above alarm") << "250" << "240" << "high caution = 250 deg F lies above";
    }
    void limitsDialogRefusesInTheTypedScale()
    {
        QFETCH(QString, caution);
        QFETCH(QString, alarm);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("limits.txt"));
        const EngineLimits defaults = defaultLimits(std::nullopt, std::nullopt);
        LimitsDialog dialog(defaults, defaults, path, TemperatureScale::Fahrenheit);
        dialog.editor(Figure::Temperature, 2)->setText(caution);
        dialog.editor(Figure::Temperature, highAlarm)->setText(alarm);
        QVERIFY(!dialog.save());
        const QString problem = dialog.findChild<QLabel *>(QStringLiteral("limitsProblem"))->text();
        QVERIFY2(problem.contains(said), qPrintable(problem));
        QVERIFY(!QFile::exists(path));
    }

    // What is written does not depend on what is shown.
    void filesAlikeInEitherScale()
    {
        QTemporaryDir dir;
        QCOMPARE(savedLimits(TemperatureScale::Fahrenheit, QStringLiteral("212"),
                             dir.filePath(QStringLiteral("f.txt"))),
                 savedLimits(TemperatureScale::Celsius, QStringLiteral("100"),
                             dir.filePath(QStringLiteral("c.txt"))));

        WindowFixture f;
        connectAndReadOut(f);
        SettingsKeeper keeper(f.link, dir.filePath(QStringLiteral("backups")));
        const auto savedWhileShowing = [&](TemperatureScale scale) {
            f.window.setTemperatureScale(scale);
            SettingsFile file = keeper.current();
            file.header.savedAt = QDateTime(QDate(2026, 12, 9), QTime(8, 0), QTimeZone(3600));
            return formatSettingsFile(file);
        };
        const QByteArray whileFahrenheit = savedWhileShowing(TemperatureScale::Fahrenheit);
        QCOMPARE(f.window.maxTemperatureBox->text(), QStringLiteral("194"));
        QCOMPARE(whileFahrenheit, savedWhileShowing(TemperatureScale::Celsius));
        QVERIFY(whileFahrenheit.contains("# max temperature: 90 deg C\n"));
    }

    // The menu's check switches the boxes and their captions at once.
    void windowFollowsTheMenu_data()
    {
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("highest");
        QTest::newRow("deg F") << true << "TEMP DEG F" << "DEG F" << "95" << "194";
        QTest::newRow("back to deg C") << false << "TEMP DEG C" << "DEG C" << "35" << "90";
    }
    void windowFollowsTheMenu()
    {
        QFETCH(bool, fahrenheit);
        WindowFixture f;
        connectAndReadOut(f);
        f.receive("=0BB81E000082231020\r");
        TemperatureScaleChoice choice(TemperatureScale::Celsius);
        QAction *action = attachTemperatureScaleAction(f.window, choice);
        QCOMPARE(action->objectName(), QStringLiteral("fahrenheitAction"));
        action->setChecked(true);
        action->setChecked(fahrenheit);
        QCOMPARE(choice.scale(), fahrenheit ? TemperatureScale::Fahrenheit : TemperatureScale::Celsius);
        QTEST(f.window.temperatureCaption->text(), "caption");
        QTEST(f.window.maxTemperatureUnitCaption->text(), "unit");
        QTEST(f.window.temperatureBox->text(), "now");
        QTEST(f.window.maxTemperatureBox->text(), "highest");
        const QString screenshot = qEnvironmentVariable("TORVANE_FAHRENHEIT_SCREENSHOT");
        if (fahrenheit && !screenshot.isEmpty())
            QVERIFY(f.window.grab().save(screenshot));
    }

    // An open viewer and logbook switch with the choice, whether it is made
    // elsewhere or by the viewer's own switch.
    void viewerAndLogbookFollowTheChoice_data()
    {
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<bool>("byViewerSwitch");
        QTest::addColumn<QString>("atCursor");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("exceedance");
        QTest::newRow("deg F") << true << false << "248" << "deg F" << "above 230 deg F";
        QTest::newRow("deg C") << false << false << "120" << "deg C" << "above 110 deg C";
        QTest::newRow("deg F, viewer") << true << true << "248" << "deg F" << "above 230 deg F";
        QTest::newRow("deg C, viewer") << false << true << "120" << "deg C" << "above 110 deg C";
    }
    void viewerAndLogbookFollowTheChoice()
    {
        QFETCH(bool, fahrenheit);
        QFETCH(bool, byViewerSwitch);
        QFETCH(QString, atCursor);
        QFETCH(QString, unit);
        QTemporaryDir dir;
        const QString path = write(dir.filePath(QStringLiteral("flight.csv")), recording());
        QString error;
        std::unique_ptr<RecordingViewer> viewer(RecordingViewer::open(path, error));
        QVERIFY2(viewer, qPrintable(error));
        viewer->setLimits(temperatureAlarmAt(110));
        std::unique_ptr<LogbookWindow> logbook(
            LogbookWindow::openFolder(dir.path(), temperatureAlarmAt(110),
                                      dir.filePath(QStringLiteral("index.json"))));
        TemperatureScaleChoice choice(fahrenheit ? TemperatureScale::Celsius
                                                 : TemperatureScale::Fahrenheit);
        viewer->followTemperatureScale(choice);
        logbook->followTemperatureScale(choice);
        viewer->stripChart()->setCursorSeconds(31);
        const TemperatureScale wanted =
            fahrenheit ? TemperatureScale::Fahrenheit : TemperatureScale::Celsius;
        auto *viewerSwitch = viewer->findChild<QCheckBox *>(QStringLiteral("fahrenheitToggle"));
        QCOMPARE(viewerSwitch->isChecked(), !fahrenheit);
        if (byViewerSwitch)
            viewerSwitch->click();
        else
            choice.setScale(wanted);
        QCOMPARE(choice.scale(), wanted);
        QCOMPARE(viewerSwitch->isChecked(), fahrenheit);

        QCOMPARE(viewer->findChild<QLabel *>(QStringLiteral("cursor_temp_c"))->text(), atCursor);
        QVERIFY(viewer->findChild<QLabel *>(QStringLiteral("recordingSummary"))
                    ->text()
                    .contains(QStringLiteral("Highest temperature</b></td><td>%1 %2")
                                  .arg(atCursor, unit)));
        const QString line =
            viewer->findChild<QListWidget *>(QStringLiteral("exceedanceList"))->item(0)->text();
        QFETCH(QString, exceedance);
        QVERIFY2(line.contains(exceedance), qPrintable(line));

        const auto *model = logbook->findChild<LogbookModel *>();
        QCOMPARE(model->headerData(LogbookModel::PeakTemperature, Qt::Horizontal, Qt::DisplayRole),
                 QVariant(QStringLiteral("Peak temp. (%1)").arg(unit)));
        QCOMPARE(model->index(0, LogbookModel::PeakTemperature).data(), QVariant(atCursor));
    }

    // --runs and --report follow --fahrenheit or --celsius, else the
    // remembered choice.
    void commandLineFollowsTheChoice_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("said");
        const QStringList runs{QStringLiteral("--runs"), QStringLiteral("recordings")};
        const QStringList report{QStringLiteral("--report"), QStringLiteral("recordings/flight.csv")};
        QTest::newRow("nothing remembered") << "" << runs << "120 deg C";
        QTest::newRow("remembered deg F") << "fahrenheit" << runs << "248 deg F";
        QTest::newRow("--celsius over it") << "fahrenheit" << runs + QStringList{"--celsius"}
                                           << "120 deg C";
        QTest::newRow("report, --fahrenheit")
            << "celsius" << report + QStringList{"--fahrenheit"} << "Peak temperature (deg F)";
        QTest::newRow("exceedances, remembered")
            << "fahrenheit"
            << QStringList{QStringLiteral("--exceedances"), QStringLiteral("recordings/flight.csv")}
            << "peak 248 deg F";
    }
    void commandLineFollowsTheChoice()
    {
        QFETCH(QString, remembered);
        QFETCH(QStringList, options);
        QFETCH(QString, said);
        QTemporaryDir dir;
        QVERIFY(!write(dir.filePath(QStringLiteral("recordings/flight.csv")), recording()).isEmpty());
        QVERIFY(!write(dir.filePath(QStringLiteral("config/torvane-console/limits.txt")),
                       "temperature.high_alarm = 110\n")
                     .isEmpty());
        if (!remembered.isEmpty())
            QVERIFY(!write(dir.filePath(QStringLiteral("config/torvane-console/console.conf")),
                           "[display]\ntemperature_scale=" + remembered.toLatin1() + '\n')
                         .isEmpty());
        QProcess console;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
        console.setProcessEnvironment(env);
        console.setWorkingDirectory(dir.path());
        console.start(QStringLiteral(CONSOLE), options);
        QVERIFY(console.waitForFinished(30000));
        QCOMPARE(console.exitCode(), 0);
        const QString output = QString::fromUtf8(console.readAllStandardOutput());
        QVERIFY2(output.contains(said), qPrintable(output));
    }
};

QTEST_MAIN(TestTemperatureScale)
#include "test_temperature_scale.moc"
