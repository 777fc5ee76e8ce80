// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/memory_serial_port.h"
#include "logger/logger.h"
#include "recording/recording_table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// torvane-logger as a service runs it, against the simulated unit over a
// pseudo-terminal in real time; and, on the in-memory port, what it does
// when it cannot record or loses the unit. Every wait is bounded, generously
// for a slow machine.

namespace {

constexpr int startMs = 10000;
constexpr int recordingMs = 60000;

struct Unit {
    QProcess process;

    explicit Unit(const QStringList &arguments)
    {
        process.start(QStringLiteral(UNIT_SIM), arguments);
        // Its first line: the link is there.
        if (process.waitForReadyRead(startMs))
            process.readLine();
    }
    ~Unit()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
};

struct LoggerProcess {
    QProcess process;
    QByteArray err;

    LoggerProcess(const QTemporaryDir &home, const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        process.setProcessEnvironment(env);
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { err += process.readAllStandardError(); });
        process.start(QStringLiteral(LOGGER), arguments);
    }
    ~LoggerProcess()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    qsizetype lines(const QByteArray &start) const
    {
        qsizetype count = 0;
        for (const QByteArray &line : err.split('\n'))
            count += line.startsWith(start);
        return count;
    }
};

QStringList recordings(const QString &folder)
{
    QStringList paths;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name))
        paths << folder + QLatin1Char('/') + name;
    return paths;
}

// Empty when every row is whole: the header first, ten fields each.
QString rowProblem(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray bytes = file.readAll();
    if (!bytes.endsWith("\r\n"))
        return QStringLiteral("the last row is cut");
    // The reader refuses a row whose fields are not the header's.
    RecordingTable table;
    return loadRecording(path, table).error;
}

qsizetype timesSaid(const QSignalSpy &spy, const QString &start)
{
    qsizetype count = 0;
    for (const QList<QVariant> &arguments : spy)
        count += arguments.at(0).toString().startsWith(start);
    return count;
}

} // namespace

class TestLogger : public QObject {
    Q_OBJECT
private slots:
    void waitsForTheDeviceRecordsAndEndsCleanly();
    void newFileAfterTheDeviceComesBack();
    void folderItCannotWriteIsRetried();
    void lostConnection_data();
    void lostConnection();
};

void TestLogger::waitsForTheDeviceRecordsAndEndsCleanly()
{
    QTemporaryDir home;
    const QString link = home.filePath(QStringLiteral("unit"));
    const QString folder = home.filePath(QStringLiteral("recordings"));
    LoggerProcess logger(home, {QStringLiteral("--port"), link, QStringLiteral("--record"), folder});
    QVERIFY(logger.process.waitForStarted(startMs));
    // Three retries of the open: said once.
    QTest::qWait(3500);
    QCOMPARE(logger.lines("torvane-logger: cannot open"), 1);
    QCOMPARE(logger.lines("torvane-logger: waiting for"), 1);

    Unit unit({QStringLiteral("--link"), link, QStringLiteral("--engine-stopped")});
    QTRY_VERIFY_WITH_TIMEOUT(recordings(folder).size() == 1, recordingMs);
    const QString file = recordings(folder).first();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > 1000, recordingMs);
    const qint64 before = QFileInfo(file).size();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > before, startMs);
    QCOMPARE(logger.lines("torvane-logger: Stream Mode"), 1);
    QCOMPARE(QDir(home.filePath(QStringLiteral("data/torvane-logger/backups"))).entryList(QDir::Files).size(), 1);

    QElapsedTimer stopping;
    stopping.start();
    logger.process.terminate();
    QVERIFY(logger.process.waitForFinished(5000));
    QVERIFY2(stopping.elapsed() < 1000, qPrintable(QString::number(stopping.elapsed())));
    QCOMPARE(logger.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(logger.process.exitCode(), 0);
    const QString problem = rowProblem(file);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestLogger::newFileAfterTheDeviceComesBack()
{
    QTemporaryDir home;
    const QString link = home.filePath(QStringLiteral("unit"));
    const QString folder = home.filePath(QStringLiteral("recordings"));
    auto unit = std::make_unique<Unit>(QStringList{QStringLiteral("--link"), link,
                                                   QStringLiteral("--vanish-after"), QStringLiteral("3")});
    LoggerProcess logger(home, {QStringLiteral("--port"), link, QStringLiteral("--record"), folder});
    QTRY_VERIFY_WITH_TIMEOUT(recordings(folder).size() == 1, recordingMs);
    QVERIFY(unit->process.waitForFinished(recordingMs));
    QTRY_VERIFY_WITH_TIMEOUT(logger.lines("torvane-logger: Connection lost - Port 1") == 1, startMs);

    unit = std::make_unique<Unit>(QStringList{QStringLiteral("--link"), link});
    QTRY_VERIFY_WITH_TIMEOUT(recordings(folder).size() == 2, recordingMs);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(recordings(folder).last()).size() > 1000, recordingMs);
    QCOMPARE(logger.process.state(), QProcess::Running);
}

// A folder behind a file cannot be made, whoever runs the test.
void TestLogger::folderItCannotWriteIsRetried()
{
    QTemporaryDir home;
    const QString blocker = home.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString folder = blocker + QStringLiteral("/recordings");
    auto *port = new MemorySerialPort;
    Logger logger(port, folder, home.filePath(QStringLiteral("backups")));
    QSignalSpy spy(&logger, &Logger::said);
    logger.start();
    port->receive("/I0\r");
    port->receive("u21\r");
    QCOMPARE(logger.recorder().state(), Recorder::State::Failed);
    logger.retryRecording();
    logger.retryRecording();
    QCOMPARE(timesSaid(spy, QStringLiteral("cannot record: ")), 1);
    QCOMPARE(logger.link().phase(), LinkPhase::ReadingSettings);

    QVERIFY(QFile::remove(blocker));
    logger.retryRecording();
    QCOMPARE(recordings(folder).size(), 1);
    QCOMPARE(timesSaid(spy, QStringLiteral("recording into ") + folder), 1);
    port->receive("=0A50120000962DC864\r");
    QVERIFY(QFileInfo(recordings(folder).first()).size() > 100);
}

void TestLogger::lostConnection_data()
{
    QTest::addColumn<bool>("reconnecting");
    QTest::newRow("waits for the adapter") << true;
    QTest::newRow("--no-reconnect ends it") << false;
}

void TestLogger::lostConnection()
{
    QFETCH(bool, reconnecting);
    QTemporaryDir home;
    auto *port = new MemorySerialPort;
    Logger logger(port, home.filePath(QStringLiteral("recordings")), home.filePath(QStringLiteral("backups")));
    logger.setReconnecting(reconnecting);
    QSignalSpy said(&logger, &Logger::said);
    QSignalSpy finished(&logger, &Logger::finished);
    logger.start();
    port->receive("u21\r");
    port->unplug();
    QCOMPARE(said.last().at(0).toString(), QStringLiteral("Connection lost - Port 1"));
    QCOMPARE(finished.size(), reconnecting ? 0 : 1);
    if (!reconnecting)
        QCOMPARE(finished.first().at(0).toInt(), 1);
    QCOMPARE(logger.link().awaitedAdapter().isEmpty(), !reconnecting);
}

QTEST_GUILESS_MAIN(TestLogger)
#include "test_logger.moc"
