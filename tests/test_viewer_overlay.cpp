// SPDX-License-Identifier: GPL-3.0-or-later
// Two recordings on the viewer's strips: where the second lies on the first
// one's time axis, what the cursor reads out of both, and a second file that
// does not read.

#include "viewer/figure_readout.h"
#include "viewer/overlaid_recording.h"
#include "viewer/recording_viewer.h"
#include "viewer/strip_chart.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

const QByteArray header =
    "time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line\r\n";

struct Made {
    QDateTime start;
    double runFrom = 0; // the engine run's seconds; none past the minute
    double runTo = 0;
    int rpmRise = 0;     // added to the running speed, to tell the files apart
};

// 10 rows a second for a minute; the engine at 1500 RPM (plus the rise)
// from runFrom to runTo, the volts 12.5 standing, 14 running; the
// temperature climbing, a degree higher for each 30 RPM of rise.
QByteArray recordingText(const Made &made)
{
    QByteArray text = header;
    for (int tenth = 0; tenth <= 600; ++tenth) {
        const double t = tenth / 10.0;
        const bool running = t >= made.runFrom && t <= made.runTo;
        const int rpm = running ? 1500 + made.rpmRise : 0;
        text += made.start.addMSecs(tenth * 100).toString(Qt::ISODateWithMs).toLatin1() + ','
                + QByteArray::number(t, 'f', 3) + ',' + QByteArray::number(rpm) + ",20,"
                + (running ? "14" : "12.5") + ','
                + QByteArray::number(30 + tenth / 20 + made.rpmRise / 30) + ",60,60,10,=0000\r\n";
    }
    return text;
}

const QDateTime nine(QDate(2026, 12, 7), QTime(9, 0), QTimeZone(3600));

} // namespace

class TestViewerOverlay : public QObject {
    Q_OBJECT
private slots:
    void alignment_data()
    {
        QTest::addColumn<QDateTime>("secondStart");
        QTest::addColumn<double>("secondRunFrom");
        QTest::addColumn<double>("firstRunFrom");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<double>("offset");
        QTest::addColumn<bool>("fellBack");
        const int clock = int(OverlayAlignment::ClockTime);
        const int engine = int(OverlayAlignment::EngineStart);
        QTest::newRow("clock, 12.5 s later") << nine.addMSecs(12'500) << 10.0 << 5.0 << clock
                                             << 12.5 << false;
        // The same moment written in another zone: 08:00 UTC is 09:00 at +01:00.
        QTest::newRow("clock, another UTC offset")
            << QDateTime(QDate(2026, 12, 7), QTime(8, 0), QTimeZone::utc()) << 10.0 << 5.0
            << clock << 0.0 << false;
        QTest::newRow("clock, a day before") << nine.addDays(-1) << 10.0 << 5.0 << clock
                                             << -86400.0 << false;
        QTest::newRow("engine start") << nine.addDays(-1) << 10.0 << 5.0 << engine << -5.0
                                      << false;
        QTest::newRow("engine start, the second never ran")
            << nine.addDays(-1) << 99.0 << 5.0 << engine << 0.0 << true;
        QTest::newRow("engine start, the first never ran")
            << nine.addDays(-1) << 10.0 << 99.0 << engine << 0.0 << true;
    }
    void alignment()
    {
        QFETCH(QDateTime, secondStart);
        QFETCH(double, secondRunFrom);
        QFETCH(double, firstRunFrom);
        QFETCH(int, alignment);
        QFETCH(double, offset);
        QFETCH(bool, fellBack);
        const QString first = write("first.csv", {nine, firstRunFrom, 50});
        const QString second = write("second.csv", {secondStart, secondRunFrom, 50});
        QString error;
        const auto a = ViewedRecording::open(first, error);
        const auto b = ViewedRecording::open(second, error);
        QVERIFY2(a && b, qPrintable(error));
        const OverlayOffset found = overlayOffset(*a, *b, OverlayAlignment(alignment));
        QCOMPARE(found.seconds, offset);
        QCOMPARE(found.fellBackToFirstRows, fellBack);
    }

    void suggestedAlignmentFollowsSharedTime()
    {
        QString error;
        const auto a = ViewedRecording::open(write("a.csv", {nine, 5, 50}), error);
        const auto b = ViewedRecording::open(write("b.csv", {nine.addSecs(30), 5, 50}), error);
        const auto c = ViewedRecording::open(write("c.csv", {nine.addDays(1), 5, 50}), error);
        QCOMPARE(suggestedAlignment(*a, *b), OverlayAlignment::ClockTime);
        QCOMPARE(suggestedAlignment(*a, *c), OverlayAlignment::EngineStart);
    }

    // The second unit started 2 s later and its engine runs 120 RPM faster.
    void readoutShowsBothAndTheDifference_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("difference");
        QTest::newRow("both running") << 20.0 << "1500" << "1620" << "+120";
        QTest::newRow("only the first running") << 6.0 << "1500" << "0" << "-1500";
        QTest::newRow("before the second began") << 0.5 << "0" << "" << "";
    }
    void readoutShowsBothAndTheDifference()
    {
        QFETCH(double, seconds);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, difference);
        QString error;
        std::unique_ptr<RecordingViewer> viewer(
            RecordingViewer::open(write("left.csv", {nine, 5, 50}), error));
        QCOMPARE(viewer->addOverlay(write("right.csv", {nine.addSecs(2), 5, 50, 120})),
                 QString());
        QCOMPARE(viewer->overlay()->alignment(), OverlayAlignment::ClockTime);
        viewer->stripChart()->setCursorSeconds(seconds);
        QCOMPARE(box(*viewer, "cursor_rpm"), first);
        QCOMPARE(box(*viewer, "overlay_rpm"), second);
        QCOMPARE(box(*viewer, "difference_rpm"), difference);
    }

    void engineStartMovesTheSecondAndRemovalHidesIt()
    {
        QString error;
        std::unique_ptr<RecordingViewer> viewer(
            RecordingViewer::open(write("left.csv", {nine, 5, 50}), error));
        QCOMPARE(viewer->addOverlay(write("late.csv", {nine.addSecs(2), 15, 50, 120})),
                 QString());
        auto *alignment = viewer->findChild<QComboBox *>(QStringLiteral("overlayAlignment"));
        alignment->setCurrentIndex(alignment->findText(QStringLiteral("Align by engine start")));
        QCOMPARE(viewer->overlay()->offset().seconds, -10.0);
        viewer->stripChart()->setCursorSeconds(5.5);
        QCOMPARE(box(*viewer, "difference_rpm"), QStringLiteral("+120"));

        viewer->findChild<QPushButton *>(QStringLiteral("removeOverlayButton"))->click();
        QVERIFY(!viewer->overlay());
        QVERIFY(!viewer->findChild<QLabel *>(QStringLiteral("overlay_rpm"))->isVisibleTo(viewer.get()));
    }

    void unreadableSecondLeavesTheViewerAsItWas_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("not a recording") << QByteArray("hello,world\r\n1,2\r\n");
        QTest::newRow("no rows") << header;
        QTest::newRow("text for a number")
            << header + "2026-12-07T09:00:00.000+01:00,0.000,fast,20,14,40,60,60,10,=0000\r\n";
    }
    void unreadableSecondLeavesTheViewerAsItWas()
    {
        QFETCH(QByteArray, text);
        QString error;
        std::unique_ptr<RecordingViewer> viewer(
            RecordingViewer::open(write("left.csv", {nine, 5, 50}), error));
        QCOMPARE(viewer->addOverlay(write("right.csv", {nine, 5, 50, 120})), QString());
        const QString bad = write("bad.csv", text);
        const QString problem = viewer->addOverlay(bad);
        QVERIFY2(problem.contains(QLatin1String("bad.csv")), qPrintable(problem));
        QVERIFY(viewer->overlay()->recording().path().endsWith(QLatin1String("right.csv")));
        viewer->stripChart()->setCursorSeconds(20);
        QCOMPARE(box(*viewer, "overlay_rpm"), QStringLiteral("1620"));
    }

    void rowsInViewOfBothSaved()
    {
        QString error;
        std::unique_ptr<RecordingViewer> viewer(
            RecordingViewer::open(write("left.csv", {nine, 5, 50}), error));
        const QByteArray right = recordingText({nine.addSecs(2), 5, 50, 120});
        QCOMPARE(viewer->addOverlay(write("right.csv", right)), QString());
        viewer->stripChart()->setVisibleSeconds(10, 11);
        QCOMPARE(viewer->saveRowsInView(dir.filePath(QStringLiteral("rows.csv"))), QString());
        QFile saved(dir.filePath(QStringLiteral("rows-overlay.csv")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        // Its own seconds 8 to 9, as the file holds them.
        const QList<QByteArray> lines = right.split('\n');
        QByteArray expected = header;
        for (int row = 80; row <= 90; ++row)
            expected += lines[row + 1] + '\n';
        QCOMPARE(saved.readAll(), expected);
    }

    void screenshot()
    {
        const QString path = qEnvironmentVariable("TORVANE_OVERLAY_SCREENSHOT");
        if (path.isEmpty())
            QSKIP("TORVANE_OVERLAY_SCREENSHOT names no file");
        QString error;
        std::unique_ptr<RecordingViewer> viewer(
            RecordingViewer::open(write("left-ignition.csv", {nine, 8, 44}), error));
        QVERIFY(viewer->addOverlay(write("right-ignition.csv", {nine.addDays(-3), 14, 52, 150}))
                    .isEmpty());
        viewer->resize(1400, 900);
        viewer->show();
        viewer->stripChart()->setCursorSeconds(30);
        QVERIFY(viewer->grab().save(path));
    }

private:
    QString write(const char *name, const Made &made) { return write(name, recordingText(made)); }
    QString write(const char *name, const QByteArray &text)
    {
        QFile file(dir.filePath(QLatin1String(name)));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        return file.fileName();
    }
    static QString box(const RecordingViewer &viewer, const char *name)
    {
        return viewer.findChild<QLabel *>(QLatin1String(name))->text();
    }

    QTemporaryDir dir;
};

QTEST_MAIN(TestViewerOverlay)
#include "test_viewer_overlay.moc"
