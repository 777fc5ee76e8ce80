// SPDX-License-Identifier: GPL-3.0-or-later
// Recording decoded lines as CSV: the rows of a session, one file per
// connection, refused paths, failures, and a console killed mid-stream.

#include "app/command_line.h"
#include "protocol/time_text.h"
#include "protocol/decoded_line.h"
#include "record/recorder.h"
#include "support/link_fixture.h"
#include "ui/recording_controls.h"
#include "ui/window_title.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QTimeZone>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

const QByteArray telemetry = "=0A50120000962DC864\r"; // 2640 rpm, 25 deg, 14 V, 45, 200, 100
const QByteArray telemetryRow = ",2640,25,14,45,200,100,";

// A window with its recorder, on a clock that moves only when told.
struct RecordingFixture : WindowFixture {
    QTemporaryDir dir;
    Recorder *recorder = attachRecorder(window, dir.filePath(QStringLiteral("default")));
    qint64 ms = 0;

    RecordingFixture()
    {
        const QDateTime base(QDate(2026, 12, 7), QTime(14, 3, 22), QTimeZone(3600));
        recorder->clock.wall = [this, base] { return base.addMSecs(ms); };
        recorder->clock.steady = [this] {
            return Clock::time_point(std::chrono::milliseconds(ms));
        };
        setTitleMarker(window, TitleMarker::Demo, true);
    }

    void pressCtrlR()
    {
        window.findChild<QAction *>(QStringLiteral("recordAction"))->trigger();
    }
    QString title() const { return window.windowTitle(); }
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The child's part of killedMidStreamLeavesWholeRows: rows as fast as it can
// until "ready", then rows with short pauses, so that a parent held up on a
// busy machine still kills it mid-stream, until a bound no test waits for.
int writeRowsUntilKilled(const QString &path)
{
    Recorder recorder;
    recorder.startInFile(path);
    const DecodedLine line = decodeLine(telemetry);
    QElapsedTimer running;
    running.start();
    for (int row = 1; recorder.state() == Recorder::State::Recording && running.elapsed() < 300000;
         ++row) {
        recorder.handleLine(line);
        if (row == 1000) {
            std::puts("ready");
            std::fflush(stdout);
        }
        if (row > 1000 && row % 10 == 0)
            QThread::msleep(1);
    }
    return 1;
}

} // namespace

class TestRecording : public QObject {
    Q_OBJECT
private slots:
    void sessionRows();
    void fileForEachConnection();
    void writeFailureShowsAndDecodingGoesOn();
    void timestamps_data();
    void timestamps();
    void existingPathsRefused_data();
    void existingPathsRefused();
    void killedMidStreamLeavesWholeRows();
};

void TestRecording::sessionRows()
{
    RecordingFixture f;
    const QString path = f.dir.filePath(QStringLiteral("run.csv"));
    f.recorder->startInFile(path);
    QCOMPARE(f.title(), QStringLiteral("TORVANE DATA LINK [DEMO] [REC]"));
    f.connect();
    f.ms = 125;
    f.receive(telemetry);
    f.receive("=8000120000962DC864\rX12\r"); // engine speed out of range, noise
    f.ms = 375;
    f.receive("x0BB8\r"); // 3000 rpm, no row of its own
    f.ms = 500;
    f.receive("p40\r");
    f.ms = 1750;
    f.receive("=0A5012,\"\x01" "0962DC864\r");
    f.ms = 2000;
    f.port->vanish();
    f.connect(); // a replug: another unit, nothing carried over
    f.ms = 2500;
    f.receive("p41\n");

    QCOMPARE(contents(path),
             QByteArray("time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line\r\n"
                        "2026-12-07T14:03:22.125+01:00,0.125,2640,25,14,45,200,100,,"
                        "=0A50120000962DC864\r\n"
                        "2026-12-07T14:03:22.500+01:00,0.500,3000,25,14,45,200,100,89,p40\r\n"
                        "2026-12-07T14:03:23.750+01:00,1.750,2640,25,14,45,200,100,89,"
                        "\"=0A5012,\"\"\x01" "0962DC864\"\r\n"
                        "2026-12-07T14:03:24.500+01:00,2.500,,,,,,,91,p41\r\n"));
    QCOMPARE(f.link.state().figures[Figure::Propeller], int16_t(91));
}

void TestRecording::fileForEachConnection()
{
    RecordingFixture f;
    const QString folder = f.dir.filePath(QStringLiteral("runs"));
    const QString first = folder + QStringLiteral("/torvane-2026-12-07_14-03-22.csv");
    f.recorder->startInFolder(folder);
    QVERIFY(!QFile::exists(first)); // no connection yet
    f.connect();
    f.receive(telemetry);
    f.receive("u21\r"); // a second answer to the handshake is no new connection
    f.port->vanish();
    f.connect(); // the same second: a suffix, nothing overwritten
    f.receive(telemetry);
    QCOMPARE(contents(first).count(telemetryRow), 1);
    const QString second = folder + QStringLiteral("/torvane-2026-12-07_14-03-22-2.csv");
    QCOMPARE(contents(second).count(telemetryRow), 1);

    // Ctrl+R stops, and starts mid-connection with a file at once.
    f.pressCtrlR();
    QCOMPARE(f.title(), QStringLiteral("TORVANE DATA LINK [DEMO]"));
    f.ms = 61000;
    f.pressCtrlR();
    QCOMPARE(f.title(), QStringLiteral("TORVANE DATA LINK [DEMO] [REC]"));
    const QString started =
        f.dir.filePath(QStringLiteral("default/torvane-2026-12-07_14-04-23.csv"));
    QCOMPARE(f.recorder->fileName(), started);
    f.receive(telemetry);
    QCOMPARE(contents(started).count(telemetryRow), 1);
}

void TestRecording::writeFailureShowsAndDecodingGoesOn()
{
    RecordingFixture f;
    f.connect();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("recording stopped: /dev/full: .*space"));
    f.recorder->startInFile(QStringLiteral("/dev/full"));
    QCOMPARE(f.title(), QStringLiteral("TORVANE DATA LINK [DEMO] [REC FAILED]"));
    f.receive(telemetry);
    QCOMPARE(f.link.state().figures[Figure::Rpm], int16_t(2640));
    QCOMPARE(f.title(), QStringLiteral("TORVANE DATA LINK [DEMO] [REC FAILED]"));
    f.pressCtrlR(); // the next start clears it
    QCOMPARE(f.title(), QStringLiteral("TORVANE DATA LINK [DEMO] [REC]"));
}

void TestRecording::timestamps_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("east") << 3600 << QByteArray("2026-12-07T14:03:22.005+01:00");
    QTest::newRow("west, half hour") << -12600 << QByteArray("2026-12-07T14:03:22.005-03:30");
    QTest::newRow("UTC is no Z") << 0 << QByteArray("2026-12-07T14:03:22.005+00:00");
}

void TestRecording::timestamps()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, text);
    const QDateTime time(QDate(2026, 12, 7), QTime(14, 3, 22, 5), QTimeZone(offset));
    QCOMPARE(isoTimestamp(time), text);
}

void TestRecording::existingPathsRefused_data()
{
    QTest::addColumn<QStringList>("arguments"); // "@" stands for a folder holding "old.csv"
    QTest::addColumn<int>("status");            // -1: the console runs
    QTest::addColumn<bool>("intoFolder");
    QTest::newRow("record, new file") << QStringList{"--record", "@/new.csv"} << -1 << false;
    QTest::newRow("record, folder") << QStringList{"--record", "@"} << -1 << true;
    QTest::newRow("record, existing file") << QStringList{"--record", "@/old.csv"} << 2 << false;
    QTest::newRow("trace, existing file") << QStringList{"--trace", "@/old.csv"} << 2 << false;
    QTest::newRow("trace, folder") << QStringList{"--trace", "@"} << 2 << false;
}

void TestRecording::existingPathsRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(bool, intoFolder);
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("old.csv")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    arguments.replaceInStrings(QStringLiteral("@"), dir.path());

    const CommandLineResult result = readCommandLine(QStringList{"torvane-console"} + arguments);
    QCOMPARE(result.options.has_value(), status == -1);
    if (result.options) {
        QCOMPARE(result.options->recordIntoFolder, intoFolder);
        return;
    }
    QCOMPARE(result.exitStatus, status);
    QVERIFY2(result.text.contains(QStringLiteral("already exists")), qPrintable(result.text));
}

void TestRecording::killedMidStreamLeavesWholeRows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed.csv"));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--write-rows-until-killed"), path});
    QVERIFY(child.waitForReadyRead(20000));
    child.kill();
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    // A kill can land inside a write that crosses a page boundary, so the
    // row being written may be cut short; every row before it is whole.
    const QByteArray text = contents(path);
    QList<QByteArray> rows = text.split('\n');
    const QByteArray cutShort = rows.takeLast();
    QVERIFY(cutShort.size() < rows.last().size());
    QVERIFY(rows.size() > 1000);
    for (const QByteArray &row : rows.mid(1)) {
        QVERIFY(row.endsWith('\r'));
        const QList<QByteArray> fields = row.chopped(1).split(',');
        QCOMPARE(fields.size(), 10);
        QVERIFY(QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs).isValid());
        QCOMPARE(fields[2] + fields[9], QByteArray("2640=0A50120000962DC864"));
    }
}

int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--write-rows-until-killed")
        return writeRowsUntilKilled(QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    TestRecording test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recording.moc"
