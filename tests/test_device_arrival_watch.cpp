// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_arrival_watch.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The kernel queues a change as it is made, so a wait only ever runs out
// when the watch is wrong; a quiet spell long enough for any due signal.
constexpr int arrivalMs = 10000;
constexpr int quietMs = 300;

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

int openFiles()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System
                                                                | QDir::NoDotAndDotDot).size());
}

} // namespace

class TestDeviceArrivalWatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void oneSignalPerWakeUp_data();
    void oneSignalPerWakeUp();
    void waitsForAMissingFolder();
    void stopLetsGo();
    void stopOrRestartFromItsSignal_data();
    void stopOrRestartFromItsSignal();
};

void TestDeviceArrivalWatch::initTestCase()
{
    DeviceArrivalWatch watch;
    watch.start();
#ifdef Q_OS_LINUX
    QVERIFY(watch.notifies());
#else
    QVERIFY(!watch.notifies());
    QSKIP("the kernel tells of new devices only on Linux");
#endif
}

void TestDeviceArrivalWatch::oneSignalPerWakeUp_data()
{
    QTest::addColumn<QStringList>("changes");
    QTest::newRow("file made") << QStringList{"file"};
    QTest::newRow("symbolic link made") << QStringList{"link"};
    QTest::newRow("moved in") << QStringList{"moved in"};
    QTest::newRow("permissions set") << QStringList{"permissions"};
    QTest::newRow("all together") << QStringList{"file", "link", "moved in", "permissions"};
}

void TestDeviceArrivalWatch::oneSignalPerWakeUp()
{
    QFETCH(QStringList, changes);
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    QVERIFY(touch(folder.filePath("existing")));
    QVERIFY(touch(elsewhere.filePath("moving")));
    DeviceArrivalWatch watch;
    QSignalSpy arrived(&watch, &DeviceArrivalWatch::devicesMayHaveArrived);
    watch.start(folder.filePath("unit"));

    for (const QString &change : changes) {
        if (change == "file")
            QVERIFY(touch(folder.filePath("unit")));
        else if (change == "link")
            QVERIFY(QFile::link("/dev/null", folder.filePath("link")));
        else if (change == "moved in")
            QVERIFY(QFile::rename(elsewhere.filePath("moving"), folder.filePath("moved")));
        else
            QVERIFY(QFile::setPermissions(folder.filePath("existing"),
                                          QFile::ReadOwner | QFile::WriteOwner));
    }
    QVERIFY(arrived.wait(arrivalMs));
    QTest::qWait(quietMs);
    QCOMPARE(arrived.count(), 1);
}

// As /dev/serial/by-id, which comes with the first USB adapter and goes with
// the last.
void TestDeviceArrivalWatch::waitsForAMissingFolder()
{
    QTemporaryDir root;
    const QString later = root.filePath("later");
    DeviceArrivalWatch watch;
    QSignalSpy arrived(&watch, &DeviceArrivalWatch::devicesMayHaveArrived);
    watch.start(later + "/unit");
    QVERIFY(watch.notifies());

    QVERIFY(touch(root.filePath("beside")));
    QTest::qWait(quietMs);
    QCOMPARE(arrived.count(), 0);

    for (int round = 1; round <= 2; ++round) {
        // The device may be in the folder before the folder is watched.
        QVERIFY(QDir().mkdir(later));
        QVERIFY(arrived.wait(arrivalMs));
        QVERIFY(touch(later + "/unit"));
        QVERIFY(arrived.wait(arrivalMs));
        QCOMPARE(arrived.count(), 2 * round);

        QVERIFY(QDir(later).removeRecursively());
        QTest::qWait(quietMs);
        QCOMPARE(arrived.count(), 2 * round);
    }
}

void TestDeviceArrivalWatch::stopLetsGo()
{
    QTemporaryDir folder;
    DeviceArrivalWatch watch;
    QSignalSpy arrived(&watch, &DeviceArrivalWatch::devicesMayHaveArrived);
    const int before = openFiles();
    watch.start(folder.filePath("unit"));
    watch.start(folder.filePath("unit"));
    QCOMPARE(openFiles(), before + 1);

    watch.stop();
    QVERIFY(!watch.notifies());
    QCOMPARE(openFiles(), before);
    QVERIFY(watch.findChildren<QSocketNotifier *>().isEmpty());
    QVERIFY(touch(folder.filePath("unit")));
    QTest::qWait(quietMs);
    QCOMPARE(arrived.count(), 0);
}

// What a waiting port does once its device opens, or fails to.
void TestDeviceArrivalWatch::stopOrRestartFromItsSignal_data()
{
    QTest::addColumn<bool>("restart");
    QTest::newRow("stop") << false;
    QTest::newRow("start again") << true;
}

void TestDeviceArrivalWatch::stopOrRestartFromItsSignal()
{
    QFETCH(bool, restart);
    QTemporaryDir folder;
    const QString hint = folder.filePath("unit");
    DeviceArrivalWatch watch;
    QSignalSpy arrived(&watch, &DeviceArrivalWatch::devicesMayHaveArrived);
    connect(&watch, &DeviceArrivalWatch::devicesMayHaveArrived, &watch, [&] {
        if (restart)
            watch.start(hint);
        else
            watch.stop();
    });
    watch.start(hint);

    QVERIFY(touch(hint));
    QVERIFY(arrived.wait(arrivalMs));
    QCOMPARE(watch.notifies(), restart);
    QVERIFY(touch(folder.filePath("again")));
    if (restart)
        QVERIFY(arrived.wait(arrivalMs));
    else
        QTest::qWait(quietMs);
    QCOMPARE(arrived.count(), restart ? 2 : 1);
}

QTEST_GUILESS_MAIN(TestDeviceArrivalWatch)
#include "test_device_arrival_watch.moc"
