// SPDX-License-Identifier: GPL-3.0-or-later
// The engine logbook's window on logbooks made by hand: the table and its
// sorting, the totals, the trend and its outliers, and a run opened in the
// viewer.

#include "viewer/logbook_model.h"
#include "viewer/logbook_window.h"
#include "viewer/recording_viewer.h"
#include "viewer/run_trend_strip.h"
#include "viewer/strip_chart.h"

#include "recording/recording_table.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

const QTimeZone plusOne(3600);

LoggedRun run(const QDateTime &start, double seconds, float rpm, std::optional<float> temperature)
{
    LoggedRun r;
    r.start = start;
    r.startSeconds = 10;
    r.durationSeconds = seconds;
    r.peakRpm = rpm;
    r.peakAdvance = 28;
    r.crankingVolts = 11.5f;
    r.peakTemperature = temperature;
    return r;
}

LoggedRecording recording(const QString &path, std::vector<LoggedRun> runs)
{
    LoggedRecording r;
    r.path = path;
    r.runs = std::move(runs);
    return r;
}

// Three runs whose texts sort otherwise than their values, and a file that
// is no recording.
Logbook smallLogbook()
{
    Logbook book;
    book.folder = QStringLiteral("/flights");
    book.recordings.push_back(recording(
        QStringLiteral("/flights/2026-12/a.csv"),
        {run(QDateTime(QDate(2026, 12, 9), QTime(7, 31), plusOne), 600, 900, 212),
         run(QDateTime(QDate(2026, 12, 9), QTime(9, 5), plusOne), 45, 10000, std::nullopt)}));
    book.recordings.push_back(recording(
        QStringLiteral("/flights/b.csv"),
        {run(QDateTime(QDate(2026, 12, 9), QTime(7, 0), QTimeZone(0)), 5400, 2000, 95.5f)}));
    LoggedRecording notes;
    notes.path = QStringLiteral("/flights/notes.csv");
    notes.skipped = QStringLiteral("not a recording: no header");
    book.recordings.push_back(notes);
    return book;
}

// Thirty runs over ten recordings, one far hotter than the runs before it.
constexpr size_t hotRun = 24;
Logbook longLogbook()
{
    Logbook book;
    book.folder = QStringLiteral("/flights");
    for (int day = 0; day < 10; ++day) {
        std::vector<LoggedRun> runs;
        for (int i = 0; i < 3; ++i) {
            const size_t n = size_t(day * 3 + i);
            const QDateTime start(QDate(2026, 11, 10 + 2 * day), QTime(8 + 3 * i, 15), plusOne);
            LoggedRun r = run(start, 900 + 97 * ((n * 7) % 11), 2300 + float((n * 13) % 9) * 10,
                              n == hotRun ? 212.f : 180 + float((n * 5) % 7));
            r.crankingVolts = 11.2f + float((n * 3) % 5) / 10;
            r.cautions = n == hotRun ? 1 : 0;
            runs.push_back(r);
        }
        book.recordings.push_back(recording(
            QStringLiteral("/flights/2026-11/flight-%1.csv").arg(10 + 2 * day), std::move(runs)));
    }
    return book;
}

QTableView *tableOf(const LogbookWindow &window)
{
    return window.findChild<QTableView *>(QStringLiteral("logbookTable"));
}

QString cell(const LogbookWindow &window, int row, int column)
{
    const QAbstractItemModel *model = tableOf(window)->model();
    return model->index(row, column).data().toString();
}

QStringList columnTexts(const LogbookWindow &window, int column)
{
    QStringList texts;
    for (int row = 0; row < tableOf(window)->model()->rowCount(); ++row)
        texts << cell(window, row, column);
    return texts;
}

RecordingViewer *openViewer()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *viewer = qobject_cast<RecordingViewer *>(w); viewer && viewer->isVisible())
            return viewer;
    return nullptr;
}

// Two minutes at 10 rows a second, the engine running from 30 to 52 s at up
// to 2200 RPM.
QByteArray recordingText()
{
    const QDateTime start(QDate(2026, 12, 9), QTime(7, 30), plusOne);
    QByteArray text = "time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line\r\n";
    for (int tenth = 0; tenth <= 1200; ++tenth) {
        const double t = tenth / 10.0;
        const int rpm = t >= 30 && t <= 52 ? 1200 + int(1000 * std::sin(3.14159 * (t - 30) / 22)) : 0;
        text += start.addMSecs(tenth * 100).toString(Qt::ISODateWithMs).toLatin1() + ','
                + QByteArray::number(t, 'f', 3) + ',' + QByteArray::number(rpm) + ",20,"
                + (rpm ? "14" : "12") + ",80,0,0,0,=0000\r\n";
    }
    return text;
}

QString writeRecording(const QTemporaryDir &dir, const QString &name)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(recordingText()) < 0)
        return {};
    return file.fileName();
}

} // namespace

class TestLogbookWindow : public QObject {
    Q_OBJECT
private slots:
    void showsRunsTotalsAndSkippedFiles()
    {
        LogbookWindow window(smallLogbook(), EngineLimits{});
        QCOMPARE(window.windowTitle(), QStringLiteral("Engine logbook - /flights"));
        QCOMPARE(tableOf(window)->model()->rowCount(), 3);
        // In time order: 07:00 UTC comes after 07:31 at one hour ahead of it.
        QCOMPARE(columnTexts(window, LogbookModel::Start),
                 QStringList({"2026-12-09 07:31:00 +01:00", "2026-12-09 07:00:00 +00:00",
                              "2026-12-09 09:05:00 +01:00"}));
        QCOMPARE(columnTexts(window, LogbookModel::Recording),
                 QStringList({"2026-12/a.csv", "b.csv", "2026-12/a.csv"}));
        QCOMPARE(cell(window, 2, LogbookModel::PeakTemperature), QStringLiteral("-"));
        QCOMPARE(cell(window, 1, LogbookModel::PeakTemperature), QStringLiteral("95.5"));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("logbookTotals"))->text(),
                 QStringLiteral("2 recordings, 3 runs, engine time 1 h 41 min; 1 file skipped"));
        const auto *skipped = window.findChild<QListWidget *>(QStringLiteral("skippedRecordings"));
        QCOMPARE(skipped->count(), 1);
        QCOMPARE(skipped->item(0)->text(), QStringLiteral("notes.csv: not a recording: no header"));
    }

    void sortsByValueNotText_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("peak RPM") << int(LogbookModel::PeakRpm)
                                  << QStringList({"900", "2000", "10000"});
        QTest::newRow("duration") << int(LogbookModel::Duration)
                                  << QStringList({"0:45", "10:00", "1:30:00"});
        QTest::newRow("temperature, the run without it last")
            << int(LogbookModel::PeakTemperature) << QStringList({"95.5", "212", "-"});
    }
    void sortsByValueNotText()
    {
        QFETCH(int, column);
        QFETCH(QStringList, ascending);
        LogbookWindow window(smallLogbook(), EngineLimits{});
        tableOf(window)->sortByColumn(column, Qt::AscendingOrder);
        QCOMPARE(columnTexts(window, column), ascending);
    }

    void trendFlagsTheOutlierAndItsLineSelectsTheRun()
    {
        const QTemporaryDir dir;
        LogbookWindow window(longLogbook(), EngineLimits{}, dir.filePath(QStringLiteral("index")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *trend = window.findChild<RunTrendStrip *>(QStringLiteral("logbookTrend"));
        QCOMPARE(trend->series().points.size(), size_t(30));
        QCOMPARE(trend->series().outliers.size(), size_t(1));
        QCOMPARE(trend->series().outliers[0].index, hotRun);

        const QImage image = trend->grab().toImage();
        const QPointF dot = trend->pointPosition(hotRun) * image.devicePixelRatio();
        QCOMPARE(image.pixelColor(dot.toPoint()), QColor(220, 0, 0));

        auto *list = window.findChild<QListWidget *>(QStringLiteral("trendOutlierList"));
        QCOMPARE(list->count(), 1);
        const QString line = list->item(0)->text();
        QVERIFY2(line.startsWith(QStringLiteral(
                     "Run 2026-11-26 08:15:00 +01:00: peak temperature 212 deg C, ")),
                 qPrintable(line));
        QVERIFY2(line.endsWith(QStringLiteral(" standard deviations above its last 10 runs")),
                 qPrintable(line));

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        const RunPlace hot{hotRun / 3, hotRun % 3};
        QCOMPARE(window.selectedRun(), std::optional<RunPlace>(hot));
        QCOMPARE(trend->selectedPoint(), std::optional<size_t>(hotRun));

        const QString screenshot = qEnvironmentVariable("TORVANE_LOGBOOK_SCREENSHOT");
        if (!screenshot.isEmpty())
            QVERIFY(window.grab().save(screenshot));
    }

    void doubleClickOpensTheRunInTheViewer()
    {
        QTemporaryDir dir;
        const QString path = writeRecording(dir, QStringLiteral("flight.csv"));
        QVERIFY(!path.isEmpty());
        RecordingTable table;
        QVERIFY(loadRecording(path, table).ok());
        EngineLimits limits;
        limits.of(Figure::Rpm).highCaution = Limit{2000, 1.0};
        Logbook book;
        book.folder = dir.path();
        book.recordings.push_back(recording(path, loggedRuns(table, limits)));
        QCOMPARE(book.recordings[0].runs.size(), size_t(1));

        LogbookWindow window(book, limits);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableView *view = tableOf(window);
        const QPoint where = view->visualRect(view->model()->index(0, 1)).center();
        // As a mouse sends it: a click, then the second press as a double-click.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, where);
        std::unique_ptr<RecordingViewer> viewer(openViewer());
        QVERIFY(viewer);
        const TimeSpan shown = viewer->stripChart()->visibleSeconds();
        QCOMPARE(shown.first, 20.0);
        QCOMPARE(shown.last, 62.0);
        QCOMPARE(viewer->exceedances().size(), size_t(1));
    }

    // A recording that sorts first arrives; the run selected stays selected.
    void refreshReadsTheFolderAgain()
    {
        QTemporaryDir folder;
        const QTemporaryDir cache;
        QVERIFY(!writeRecording(folder, QStringLiteral("flight.csv")).isEmpty());
        std::unique_ptr<LogbookWindow> window(LogbookWindow::openFolder(
            folder.path(), EngineLimits{}, cache.filePath(QStringLiteral("index.json"))));
        QCOMPARE(tableOf(*window)->model()->rowCount(), 1);
        window->selectRun({0, 0});

        QVERIFY(!writeRecording(folder, QStringLiteral("earlier.csv")).isEmpty());
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("refreshLogbook")),
                          Qt::LeftButton);
        QCOMPARE(tableOf(*window)->model()->rowCount(), 2);
        QCOMPARE(window->selectedRun(), std::optional<RunPlace>(RunPlace{1, 0}));
    }
};

QTEST_MAIN(TestLogbookWindow)
#include "test_logbook_window.moc"
