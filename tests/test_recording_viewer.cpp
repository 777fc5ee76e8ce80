// SPDX-License-Identifier: GPL-3.0-or-later
// The recording viewer, on recordings written for the purpose: its time
// axis, what it reads out and draws, zooming, saving rows and a growing file.

#include "viewer/recording_viewer.h"
#include "viewer/strip_chart.h"
#include "viewer/trace_lines.h"
#include "viewer/time_ticks.h"

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QWheelEvent>
#include <cmath>
#include <numbers>

namespace {

const QDateTime start(QDate(2026, 12, 7), QTime(14, 0), QTimeZone(3600));

// A minute at 10 rows a second: two engine runs (5-20 s, 30-52 s), no rows
// from 24 to 27 s, the propeller angle empty for the first second.
bool inGap(double t) { return t > 24 && t < 27; }
int rpmAt(double t)
{
    for (const auto &[from, to] : {std::pair{5.0, 20.0}, std::pair{30.0, 52.0}})
        if (t >= from && t <= to)
            return 1200 + int(1000 * std::sin(std::numbers::pi * (t - from) / (to - from)));
    return 0;
}

QByteArray row(int tenth)
{
    const double t = tenth / 10.0;
    const int rpm = rpmAt(t);
    const QByteArray prop = t < 1 ? QByteArray() : QByteArray::number(rpm ? tenth * 30 % 360 : 42);
    return start.addMSecs(tenth * 100).toString(Qt::ISODateWithMs).toLatin1() + ','
           + QByteArray::number(t, 'f', 3) + ',' + QByteArray::number(rpm) + ','
           + QByteArray::number(20 + rpm / 200) + ',' + (rpm ? "14" : "12") + ','
           + QByteArray::number(20 + tenth / 10) + ',' + QByteArray::number(rpm ? 60 : 0) + ','
           + QByteArray::number(rpm ? 75 : 0) + ',' + prop + ",=0000\r\n";
}

QByteArray rows(int fromTenth, int toTenth)
{
    QByteArray text;
    for (int tenth = fromTenth; tenth <= toTenth; ++tenth)
        if (!inGap(tenth / 10.0))
            text += row(tenth);
    return text;
}

const QByteArray header =
    "time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line\r\n";

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly | QIODevice::Append);
    file.write(text);
    return file.fileName();
}

} // namespace

class TestRecordingViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The last row cut short, as by a killed console.
        const QByteArray text = header + rows(0, 600) + "2026-12-07T14:01";
        QString error;
        viewer.reset(RecordingViewer::open(write(dir, QStringLiteral("flight.csv"), text), error));
        QVERIFY2(viewer, qPrintable(error));
        viewer->resize(1400, 900);
        viewer->show();
        chart = viewer->stripChart();
    }
    void init() { chart->showAll(); }

    void tickSteps_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<bool>("clock");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("seventhTick");
        const auto add = [](const char *name, double span, bool clock, double step,
                            const char *label) {
            QTest::newRow(name) << span << clock << step << QString::fromLatin1(label);
        };
        add("20 ms", 0.02, true, 0.002, "14:00:00.014");
        add("half a second", 0.5, true, 0.05, "14:00:00.35");
        add("7 s", 7, true, 1, "14:00:07");
        add("90 s", 90, true, 10, "14:01:10");
        add("10 min", 600, true, 60, "14:07");
        add("50 min", 3000, true, 300, "14:35");
        add("4 h", 4 * 3600, true, 1800, "17:30");
        add("3 days, with the date", 3 * 86400, true, 12 * 3600, "2026-12-11 02:00");
        add("20 ms in seconds", 0.02, false, 0.002, "0.014");
        add("90 s in seconds", 90, false, 10, "70");
        add("3 days in seconds", 3 * 86400, false, 50000, "350000");
    }
    void tickSteps()
    {
        QFETCH(double, span);
        QFETCH(bool, clock);
        QFETCH(double, step);
        QFETCH(QString, seventhTick);
        const TimeAxis axis = clock ? TimeAxis::Clock : TimeAxis::Seconds;
        const TimeTicks ticks = timeTicks(span, 10, axis);
        QCOMPARE(ticks.step, step);
        QCOMPARE(timeTickLabel(start, 7 * step, ticks, axis, span > 86400), seventhTick);
    }
    void clockTicksFallOnRoundTimes()
    {
        const QDateTime odd = start.addMSecs(202'500); // 14:03:22.5
        const auto ticks = tickSeconds(0, 300, 60, tickZero(odd, TimeAxis::Clock));
        QCOMPARE(ticks.front(), 37.5);
        QCOMPARE(ticks.size(), size_t(5));
    }

    // A span or step no recording has still gives few ticks, at once.
    void ticksStayFewWhateverTheSpan_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("last");
        QTest::addColumn<double>("step");
        QTest::newRow("far wider than its step") << 0.0 << 1e16 << 0.001;
        QTest::newRow("a step lost in the magnitude") << 1e16 << 1e16 + 4096 << 0.001;
        QTest::newRow("beyond a 64-bit count") << -1e300 << 1e300 << 1.0;
        QTest::newRow("not a number") << double(NAN) << 1.0 << 1.0;
    }
    void ticksStayFewWhateverTheSpan()
    {
        QFETCH(double, first);
        QFETCH(double, last);
        QFETCH(double, step);
        QVERIFY(tickSeconds(first, last, step, 0).size() <= size_t(mostTimeTicks));
        for (const TimeAxis axis : {TimeAxis::Clock, TimeAxis::Seconds})
            QVERIFY(timeTicks(last - first, 10, axis).step > 0);
    }

    void rendersEveryStrip()
    {
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Recording - flight.csv"));
        QStringList captions;
        for (const QLabel *label : viewer->findChildren<QLabel *>())
            captions << label->text();
        for (const char *caption : {"Engine speed (RPM)", "Coils 3&4", "Propeller angle (deg)"})
            QVERIFY2(captions.contains(QLatin1String(caption)), caption);
        const QImage image = chart->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        // Only the traces are navy right of the strips' captions.
        const auto navyPixels = [&](const QRectF &area) {
            int navy = 0;
            for (int x = int(area.left() * ratio); x < int(area.right() * ratio); ++x)
                for (int y = int(area.top() * ratio); y < int(area.bottom() * ratio); ++y)
                    navy += image.pixelColor(x, y) == QColor(0, 0, 128);
            return navy;
        };
        for (int f = 0; f < figureCount; ++f) {
            const QRectF strip = chart->stripArea(Figure(f));
            const auto x = [&](double seconds) {
                return strip.left() + strip.width() * seconds / 60;
            };
            QVERIFY2(navyPixels(strip.adjusted(strip.width() / 2, 0, 0, 0)) > 20,
                     figureInfo(Figure(f)).name);
            // Nothing drawn across the gap.
            const QRectF gap(QPointF(x(24.5), strip.top()), QPointF(x(26.5), strip.bottom()));
            QCOMPARE(navyPixels(gap), 0);
        }
        const QString screenshot = qEnvironmentVariable("TORVANE_VIEWER_SCREENSHOT");
        if (!screenshot.isEmpty()) {
            chart->setCursorSeconds(10);
            QVERIFY(viewer->grab().save(screenshot));
        }
    }

    // Columns a pixel wide holding ten rows each, rows sparser than pixels,
    // and columns three pixels wide: the gap stays empty, and where columns
    // touch or rows are sparse the trace has no hole.
    void traceNeverCrossesTheGap_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<double>("width");
        QTest::addColumn<bool>("unbroken");
        QTest::newRow("several rows a pixel") << 60 << 60.0 << true;
        QTest::newRow("rows sparser than pixels") << 1200 << 1200.0 << true;
        QTest::newRow("columns three pixels wide") << 20 << 60.0 << false;
    }
    void traceNeverCrossesTheGap()
    {
        QFETCH(int, columns);
        QFETCH(double, width);
        QFETCH(bool, unbroken);
        QString error;
        const auto recording = ViewedRecording::open(dir.filePath(QStringLiteral("flight.csv")),
                                                     error);
        QVERIFY2(recording, qPrintable(error));
        const TimeSpan view{0, 60};
        const StripMapping mapping{view, QRectF(0, 0, width, 100), 0, 2500};
        const TraceShape shape = traceShape(
            *recording, Figure::Rpm, mapping,
            pixelColumnRows(recording->table().seconds, view, columns));
        const auto covered = [&](double from, double to) {
            for (const QRectF &span : shape.spans)
                if (span.left() < to && span.right() > from)
                    return true;
            for (const QLineF &line : shape.lines)
                if (std::min(line.x1(), line.x2()) < to && std::max(line.x1(), line.x2()) > from)
                    return true;
            return false;
        };
        QVERIFY(!covered(mapping.x(24.2), mapping.x(26.8)));
        if (!unbroken)
            return;
        for (double x = 0.5; x < width; x += 1)
            if (!(x > mapping.x(23.9) && x < mapping.x(27.1)))
                QVERIFY2(covered(x - 0.5, x + 0.5), qPrintable(QString::number(x)));
    }

    // Both runs pass 2000 RPM for about six seconds around their peak of 2200.
    void exceedancesShadedListedAndZoomed()
    {
        EngineLimits limits;
        limits.of(Figure::Rpm).highAlarm = Limit{2000, 1.0};
        viewer->setLimits(limits);
        const std::vector<Exceedance> &found = viewer->exceedances();
        QCOMPARE(found.size(), size_t(2));
        QCOMPARE(found[0].startSeconds, 9.5);
        // Back inside by the deadband, 1 % of the gauge range: below 1964.
        QCOMPARE(found[0].endSeconds.value_or(0), 15.9);
        QCOMPARE(found[0].peak, 2200.0);
        auto *list = viewer->findChild<QListWidget *>(QStringLiteral("exceedanceList"));
        QCOMPARE(list->count(), 2);
        QVERIFY(list->item(1)->text().contains(QLatin1String("RPM ALARM")));

        const QRectF strip = chart->stripArea(Figure::Rpm);
        const QImage image = chart->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const auto colourAt = [&](double seconds) {
            const double x = strip.left() + strip.width() * seconds / 60;
            return image.pixelColor(int(x * ratio), int((strip.top() + strip.height() / 5) * ratio));
        };
        QCOMPARE(colourAt(3), QColor(Qt::white));
        QVERIFY(colourAt(12).red() > colourAt(12).blue() + 40);

        list->setCurrentRow(1);
        const TimeSpan view = chart->visibleSeconds();
        QVERIFY(view.first < found[1].startSeconds && view.last > *found[1].endSeconds);
        QVERIFY(view.length() < 30);
        const QString screenshot = qEnvironmentVariable("TORVANE_VIEWER_EXCEEDANCE_SCREENSHOT");
        if (!screenshot.isEmpty()) {
            chart->showAll();
            chart->setCursorSeconds(12);
            QVERIFY(viewer->grab().save(screenshot));
        }
        viewer->setLimits(EngineLimits{});
        QCOMPARE(list->count(), 1);
    }

    void cursorReadout_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("rpm");
        QTest::addColumn<QString>("prop");
        QTest::newRow("engine running") << 10.0 << QString::number(rpmAt(10)) << "120";
        QTest::newRow("nearest row before") << 10.04 << QString::number(rpmAt(10)) << "120";
        QTest::newRow("nearest row after") << 10.06 << QString::number(rpmAt(10.1)) << "150";
        QTest::newRow("empty field") << 0.5 << "0" << "";
        QTest::newRow("in the gap") << 25.5 << "" << "";
    }
    void cursorReadout()
    {
        QFETCH(double, seconds);
        QFETCH(QString, rpm);
        QFETCH(QString, prop);
        chart->setCursorSeconds(seconds);
        QCOMPARE(box("cursor_rpm"), rpm);
        QCOMPARE(box("cursor_prop_deg"), prop);
        QVERIFY(box("cursorTime").startsWith(QStringLiteral("2026-12-07 14:00:")));
    }

    void summaryTellsRunsAndCutOff()
    {
        const QString text = box("recordingSummary");
        QVERIFY(text.contains(QStringLiteral("<b>Engine runs</b></td><td>2")));
        QVERIFY(text.contains(
            QStringLiteral("The last row was incomplete (the recording was cut off)")));
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("bad header") << QByteArray("hello,world\r\n1,2\r\n");
        QTest::newRow("no rows") << header;
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, text);
        const QString bad = write(dir, QStringLiteral("%1.csv").arg(QTest::currentDataTag()), text);
        QString error;
        QVERIFY(!RecordingViewer::open(bad, error));
        QVERIFY2(error.contains(QFileInfo(bad).fileName()), qPrintable(error));
    }

    void zoom_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("last");
        QTest::addColumn<double>("shownFirst");
        QTest::addColumn<double>("shownLast");
        QTest::newRow("inside") << 2.0 << 4.0 << 2.0 << 4.0;
        QTest::newRow("narrower than 10 ms") << 5.0 << 5.001 << 5.0 << 5.01;
        QTest::newRow("before the start") << -10.0 << 3.0 << 0.0 << 13.0;
        QTest::newRow("past the end") << 55.0 << 70.0 << 45.0 << 60.0;
    }
    void zoom()
    {
        QFETCH(double, first);
        QFETCH(double, last);
        QFETCH(double, shownFirst);
        QFETCH(double, shownLast);
        chart->setVisibleSeconds(first, last);
        QCOMPARE(chart->visibleSeconds(), (TimeSpan{shownFirst, shownLast}));
        QTest::keyClick(chart, Qt::Key_Home);
        QCOMPARE(chart->visibleSeconds(), (TimeSpan{0, 60}));
    }
    // The chart has the focus as the window opens: the keys work at once.
    void keysZoomAndPan_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<double>("shownFirst");
        QTest::addColumn<double>("shownLast");
        QTest::newRow("+") << Qt::Key_Plus << 25.0 << 35.0;
        QTest::newRow("= (+ without Shift)") << Qt::Key_Equal << 25.0 << 35.0;
        QTest::newRow("-") << Qt::Key_Minus << 10.0 << 50.0;
        QTest::newRow("Right") << Qt::Key_Right << 22.0 << 42.0;
        QTest::newRow("Left") << Qt::Key_Left << 18.0 << 38.0;
        QTest::newRow("Home") << Qt::Key_Home << 0.0 << 60.0;
    }
    void keysZoomAndPan()
    {
        QFETCH(Qt::Key, key);
        QFETCH(double, shownFirst);
        QFETCH(double, shownLast);
        QVERIFY(QTest::qWaitForWindowActive(viewer.get()));
        QCOMPARE(QApplication::focusWidget(), chart);
        chart->setVisibleSeconds(20, 40);
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(chart->visibleSeconds(), (TimeSpan{shownFirst, shownLast}));
    }
    void wheelZoomsAroundThePointer()
    {
        const QRectF plot = chart->stripArea(Figure::Rpm);
        const QPointF pointer(plot.left() + plot.width() / 4, plot.center().y());
        const auto secondsAtPointer = [&] {
            const TimeSpan view = chart->visibleSeconds();
            return view.first + view.length() * (pointer.x() - plot.left()) / plot.width();
        };
        const double before = secondsAtPointer();
        QWheelEvent wheel(pointer, chart->mapToGlobal(pointer), {}, {0, 240}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart, &wheel);
        QVERIFY(chart->visibleSeconds().length() < 60 * 0.7);
        QVERIFY(std::abs(secondsAtPointer() - before) < 1e-9);
    }

    void figuresAndRowsInView()
    {
        chart->setVisibleSeconds(2, 30);
        double sum = 0;
        int count = 0;
        for (int tenth = 20; tenth <= 300; ++tenth)
            if (!inGap(tenth / 10.0))
                sum += rpmAt(tenth / 10.0), ++count;
        QCOMPARE(box("mean_rpm"), QString::number(sum / count, 'f', 1));
        QCOMPARE(box("highest_rpm"), QString::number(rpmAt(12.5)));
        QCOMPARE(box("lowest_prop_deg"), QStringLiteral("0"));

        chart->setVisibleSeconds(2, 3);
        const QString saved = dir.filePath(QStringLiteral("rows.csv"));
        QCOMPARE(viewer->saveRowsInView(saved), QString());
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), header + rows(20, 30));
    }

    void growingFileKeepsTheEndInView()
    {
        const QString growing = write(dir, QStringLiteral("growing.csv"), header + rows(0, 300));
        QString error;
        std::unique_ptr<RecordingViewer> live(RecordingViewer::open(growing, error));
        EngineLimits limits;
        limits.of(Figure::Rpm).highAlarm = Limit{2000, 1.0};
        live->setLimits(limits);
        QCOMPARE(live->exceedances().size(), size_t(1));
        StripChart *strips = live->stripChart();
        strips->setVisibleSeconds(20, 30);
        write(dir, QStringLiteral("growing.csv"), rows(301, 400));
        live->readNewRows();
        QCOMPARE(strips->visibleSeconds(), (TimeSpan{30, 40}));
        // The second run's exceedance, still under way, ends at the last row.
        QCOMPARE(live->exceedances().size(), size_t(2));
        QCOMPARE(live->exceedances()[1].endSeconds.value_or(0), 40.0);
        strips->setVisibleSeconds(5, 10);
        write(dir, QStringLiteral("growing.csv"), rows(401, 500));
        live->readNewRows();
        QCOMPARE(strips->visibleSeconds(), (TimeSpan{5, 10}));
        std::unique_ptr<RecordingViewer> whole(RecordingViewer::open(growing, error));
        whole->setLimits(limits);
        QCOMPARE(live->exceedances(), whole->exceedances());
    }

private:
    QString box(const char *name) const
    {
        return viewer->findChild<QLabel *>(QLatin1String(name))->text();
    }

    QTemporaryDir dir;
    std::unique_ptr<RecordingViewer> viewer;
    StripChart *chart = nullptr;
};

QTEST_MAIN(TestRecordingViewer)
#include "test_recording_viewer.moc"
