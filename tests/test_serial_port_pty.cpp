// SPDX-License-Identifier: GPL-3.0-or-later
// QtSerialPort and PortMap against real pseudo-terminals: the test holds the
// master side, the port under test opens the slave device.

#include "link/port_map.h"
#include "link/qt_serial_port.h"

#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// A pseudo-terminal pair; the master is raw and non-blocking.
class Pty {
public:
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        termios tio {};
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::tcgetattr(master, &tio) != 0)
            return;
        ::cfmakeraw(&tio);
        if (const char *name = ::ptsname(master);
            name && ::tcsetattr(master, TCSANOW, &tio) == 0 && ::fcntl(master, F_SETFL, O_NONBLOCK) == 0)
            slave = QString::fromLocal8Bit(name);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    QString slave; // empty when the pair could not be set up

    // When the pty's buffer is full, lets the port under test read some.
    bool write(QByteArray bytes)
    {
        for (int wait = 0; !bytes.isEmpty() && wait < 1000; ++wait) {
            const ssize_t n = ::write(master, bytes.data(), size_t(bytes.size()));
            if (n > 0)
                bytes.remove(0, n);
            else
                QTest::qWait(5);
        }
        return bytes.isEmpty();
    }

    // Everything the port sent since the last call.
    QByteArray read()
    {
        QByteArray all;
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            all.append(buffer, n);
        return all;
    }

    void closeMaster() // the device vanishes
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

private:
    int master = -1;
};

PortMap port1At(const QString &device)
{
    PortMap map;
    map.setDevice(1, device);
    return map;
}

void expectOpenWarning(const QString &device)
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^%1: cannot open %2: ")
                                                              .arg(QCoreApplication::applicationName(),
                                                                   QRegularExpression::escape(device))));
}

qint64 cpuMicroseconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto us = [](const timeval &t) { return qint64(t.tv_sec) * 1000000 + t.tv_usec; };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

// Collects what bytesReceived hands over, as the link does.
struct Receiver {
    explicit Receiver(QtSerialPort &port)
    {
        QObject::connect(&port, &SerialPort::bytesReceived, &port, [this](const QByteArray &bytes) {
            ++events;
            QVERIFY(!bytes.isEmpty());
            received.append(bytes);
        });
    }
    QByteArray received;
    int events = 0;
};

} // namespace

class TestSerialPortPty : public QObject {
    Q_OBJECT

private slots:
    void init();
    void portOption_data();
    void portOption();
    void openResults_data();
    void openResults();
    void bytesBothWays();
    void byteAtATimeArrivesBatched();
    void vanishingDeviceClosesPortOnce_data();
    void vanishingDeviceClosesPortOnce();
};

void TestSerialPortPty::init()
{
    // Only the warnings a test announces with ignoreMessage() are allowed.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void TestSerialPortPty::portOption_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("port"); // 0: rejected
    QTest::addColumn<QString>("device");

    QTest::newRow("port 1") << "1=/dev/ttyUSB0" << 1 << "/dev/ttyUSB0";
    QTest::newRow("port 4") << "4=/dev/pts/7" << 4 << "/dev/pts/7";
    QTest::newRow("windows name") << "2=COM7" << 2 << "COM7";
    QTest::newRow("'=' in device") << "3=/dev/a=b" << 3 << "/dev/a=b";
    QTest::newRow("N is 0") << "0=/dev/ttyUSB0" << 0 << "";
    QTest::newRow("N is 5") << "5=/dev/ttyUSB0" << 0 << "";
    QTest::newRow("N is -1") << "-1=/dev/ttyUSB0" << 0 << "";
    QTest::newRow("N is huge") << "99999999999=/dev/ttyUSB0" << 0 << "";
    QTest::newRow("no '='") << "1/dev/ttyUSB0" << 0 << "";
    QTest::newRow("empty device") << "1=" << 0 << "";
    QTest::newRow("empty N") << "=/dev/ttyUSB0" << 0 << "";
    QTest::newRow("empty value") << "" << 0 << "";
    QTest::newRow("N is COM1") << "COM1=/dev/ttyUSB0" << 0 << "";
    QTest::newRow("N with space") << " 1=/dev/ttyUSB0" << 0 << "";
    QTest::newRow("N with sign") << "+1=/dev/ttyUSB0" << 0 << "";
}

void TestSerialPortPty::portOption()
{
    QFETCH(QString, value);
    QFETCH(int, port);
    QFETCH(QString, device);

    PortMap map;
    const std::optional<QString> error = applyPortOption(map, value);
    QCOMPARE(error.has_value(), port == 0);
    if (error) {
        // One line for the user that quotes what was given.
        QVERIFY2(error->contains(value) && !error->contains(QLatin1Char('\n')), qPrintable(*error));
    }
    for (int p = 0; p <= 5; ++p)
        QCOMPARE(map.device(p), p == port ? device : PortMap::defaultDevice(p));
#ifndef Q_OS_WIN
    // Unpinned buttons take a port found at the click, not a fixed name.
    QVERIFY(PortMap::defaultDevice(1).isEmpty() && PortMap::defaultDevice(4).isEmpty());
#endif
    QVERIFY(PortMap::defaultDevice(0).isEmpty() && PortMap::defaultDevice(5).isEmpty());
}

void TestSerialPortPty::openResults_data()
{
    QTest::addColumn<QString>("second"); // how the second port names the device
    QTest::addColumn<PortResult>("result");
    QTest::newRow("same device") << "same" << PortResult::InUse;
    QTest::newRow("symlink to it") << "link" << PortResult::InUse;
    QTest::newRow("missing device") << "missing" << PortResult::Unavailable;
}

void TestSerialPortPty::openResults()
{
    QFETCH(QString, second);
    QFETCH(PortResult, result);
    Pty pty;
    QVERIFY(!pty.slave.isEmpty());
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyTorvane"));
    QVERIFY(QFile::link(pty.slave, link));
    const QString device = second == QLatin1String("same") ? pty.slave
        : second == QLatin1String("link")                  ? link
                                                           : QStringLiteral("/dev/does-not-exist");

    QtSerialPort first(port1At(pty.slave));
    QtSerialPort other(port1At(device));
    QCOMPARE(first.setOpen(true), PortResult::Done);
    QVERIFY(first.isOpen());
    expectOpenWarning(device);
    QCOMPARE(other.setOpen(true), result);
    QVERIFY(!other.isOpen());
    QVERIFY(first.isOpen());

    // Once the first lets go, a device in use can be had.
    QCOMPARE(first.setOpen(false), PortResult::Done);
    if (result == PortResult::Unavailable)
        expectOpenWarning(device);
    QCOMPARE(other.setOpen(true), result == PortResult::InUse ? PortResult::Done : result);
}

void TestSerialPortPty::bytesBothWays()
{
    Pty pty;
    QVERIFY(!pty.slave.isEmpty());
    QtSerialPort port(port1At(pty.slave));
    Receiver receiver(port);
    QSignalSpy lost(&port, &SerialPort::closed);
    const QByteArray every = allByteValues();

    // A deliberate close and reopen changes nothing, and is no lost connection.
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(port.setOpen(true), PortResult::Done);
        QVERIFY(port.isOpen());

        // In: a telemetry line, every byte value, then a burst.
        QByteArray in = QByteArrayLiteral("R1234,05,138\r") + every + every.repeated(40);
        receiver.received.clear();
        QVERIFY(pty.write(in));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.received, in, 5000);

        // Out: the handshake one small write at a time, then every byte value.
        QByteArray out;
        for (const char *command : {"/*\r", "/I0\r", "/u\r"}) {
            port.send(command);
            out += command;
        }
        port.send(every);
        out += every;
        QByteArray atMaster;
        QTRY_COMPARE_WITH_TIMEOUT(atMaster += pty.read(), out, 5000);

        QCOMPARE(port.setOpen(false), PortResult::Done);
        QVERIFY(!port.isOpen());
    }
    QTest::qWait(50);
    QCOMPARE(lost.count(), 0);
}

// As PL2303 and CH340 adapters deliver: one byte a millisecond, from another
// thread so that nothing else wakes the event loop. Every byte arrives, in
// order, in far fewer deliveries than bytes; so does a byte after a pause.
void TestSerialPortPty::byteAtATimeArrivesBatched()
{
    Pty pty;
    QVERIFY(!pty.slave.isEmpty());
    QtSerialPort port(port1At(pty.slave));
    Receiver receiver(port);
    QCOMPARE(port.setOpen(true), PortResult::Done);

    const QByteArray line = QByteArrayLiteral("=0A2B000086140000\r");
    const QByteArray sent = line.repeated(20);
    std::thread writer([&pty, &sent] {
        for (char byte : sent) {
            pty.write(QByteArray(1, byte));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // A plain event loop: QTRY's polling sleeps, and would batch by itself.
    QEventLoop loop;
    QTimer check;
    connect(&check, &QTimer::timeout, &loop, [&] {
        if (receiver.received.size() >= sent.size())
            loop.quit();
    });
    check.start(100);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    writer.join();
    QCOMPARE(receiver.received, sent);
    QVERIFY2(receiver.events < sent.size() / 4,
             qPrintable(QStringLiteral("%1 deliveries for %2 bytes").arg(receiver.events).arg(sent.size())));

    QTest::qWait(400);
    QVERIFY(pty.write("p5D\r"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, sent + "p5D\r", 5000);
}

void TestSerialPortPty::vanishingDeviceClosesPortOnce_data()
{
    QTest::addColumn<bool>("writing");
    QTest::newRow("idle") << false;
    QTest::newRow("writing as it goes") << true;
}

// The device goes (USB adapter unplugged): one failure and one closed() with
// the port already closed, then quiet. Port 1 names a symlink, as /dev/serial/by-id/...
// names an adapter, so that the same name finds the device when it is back.
void TestSerialPortPty::vanishingDeviceClosesPortOnce()
{
    QFETCH(bool, writing);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyTorvane"));
    auto pty = std::make_unique<Pty>();
    QVERIFY(!pty->slave.isEmpty());
    QVERIFY(QFile::link(pty->slave, link));

    QtSerialPort port(port1At(link));
    Receiver receiver(port);
    int lost = 0;
    bool openWhenLost = true;
    QSignalSpy failures(&port, &SerialPort::errorOccurred);
    connect(&port, &SerialPort::closed, &port, [&] {
        ++lost;
        openWhenLost = port.isOpen();
    });
    QCOMPARE(port.setOpen(true), PortResult::Done);
    QVERIFY(pty->write("R0,0,0\r"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, QByteArray("R0,0,0\r"), 5000);
    const int events = receiver.events;

    const qint64 cpuBefore = cpuMicroseconds();
    pty->closeMaster();
    if (writing) {
        port.send("/*\r");
        port.send(allByteValues());
    }
    QTRY_COMPARE_WITH_TIMEOUT(lost, 1, 5000);
    QCOMPARE(failures.count(), 1);
    QVERIFY(!openWhenLost);
    QVERIFY(!port.isOpen());

    // No storm afterwards: no further signals, and the process stays idle.
    QTest::qWait(300);
    const qint64 cpuUsed = cpuMicroseconds() - cpuBefore;
    QCOMPARE(lost, 1);
    QCOMPARE(receiver.events, events);
    QVERIFY2(cpuUsed < 150000, qPrintable(QStringLiteral("%1 ms of CPU").arg(cpuUsed / 1000)));

    // The adapter is plugged in again: the port opens and works.
    pty = std::make_unique<Pty>();
    QVERIFY(!pty->slave.isEmpty());
    QVERIFY(QFile::remove(link) && QFile::link(pty->slave, link));
    QCOMPARE(port.setOpen(true), PortResult::Done);
    QVERIFY(pty->write("u1.7\r"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, QByteArray("R0,0,0\ru1.7\r"), 5000);
    port.send("/u\r");
    QByteArray atMaster;
    QTRY_COMPARE_WITH_TIMEOUT(atMaster += pty->read(), QByteArray("/u\r"), 5000);
    QCOMPARE(lost, 1);
}

QTEST_GUILESS_MAIN(TestSerialPortPty)
#include "test_serial_port_pty.moc"
