// QtSerialPort and PortMap against real pseudo-terminals: the test holds the
// master side, the port under test opens the slave device.

#include "link/port_map.h"
#include "link/qt_serial_port.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr char holdDeviceVariable[] = "TORVANE_TEST_HOLD_DEVICE";

// A pseudo-terminal pair; the master is raw and non-blocking.
class Pty {
public:
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        const char *name = ::ptsname(master);
        if (!name)
            return;
        slave = QString::fromLocal8Bit(name);
        termios tio {};
        if (::tcgetattr(master, &tio) != 0)
            return;
        ::cfmakeraw(&tio);
        if (::tcsetattr(master, TCSANOW, &tio) != 0)
            return;
        const int flags = ::fcntl(master, F_GETFL);
        ok = flags >= 0 && ::fcntl(master, F_SETFL, flags | O_NONBLOCK) == 0;
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return ok && master >= 0 && !slave.isEmpty(); }
    const QString &slavePath() const { return slave; }

    bool write(QByteArrayView bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master, bytes.data() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

    // Everything the slave side sent since the last call.
    QByteArray readAvailable()
    {
        QByteArray all;
        char buffer[512];
        for (;;) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            all.append(buffer, n);
        }
        return all;
    }

    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

private:
    int master = -1;
    QString slave;
    bool ok = false;
};

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

PortMap mapPort1To(const QString &device)
{
    PortMap map;
    map.setDevice(1, device);
    return map;
}

// Collects what OnComm hands over, as the window's receive handler does.
struct Receiver {
    explicit Receiver(QtSerialPort &port)
    {
        QObject::connect(&port, &SerialPort::OnComm, &port, [this, &port] {
            ++events;
            if (port.CommEvent() != SerialPort::comEvReceive)
                ++wrongEvents;
            received.append(port.Input());
        });
    }
    QByteArray received;
    int events = 0;
    int wrongEvents = 0;
};

} // namespace

class TestSerialPortPty : public QObject {
    Q_OBJECT

private slots:
    void init();

    void portMapDefaults();
    void portMapSetDevice();
    void portOption_data();
    void portOption();
    void portOptionRepeated();

    void openSucceeds();
    void setCommPortOutsideMapFails();
    void secondInstanceGetsPortInUse();
    void destroyedInstanceReleasesDevice();
    void anotherProgramHoldsDevice();
    void missingDeviceIsUnavailable();
    void bytesFromDeviceRaiseOnComm();
    void outputReachesDevice();
    void outputIgnoredWhileClosed();
    void closeAndReopen();
    void vanishingDeviceClosesPortOnce();
    void outputWhileDeviceVanishes();
    void reopenAfterVanish();
};

void TestSerialPortPty::init()
{
    // Only the warnings a test announces with ignoreMessage() are allowed.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void TestSerialPortPty::portMapDefaults()
{
    const PortMap map;
    for (int port = 1; port <= 4; ++port) {
#ifdef Q_OS_WIN
        QCOMPARE(map.device(port), QStringLiteral("COM%1").arg(port));
#else
        QCOMPARE(map.device(port), QStringLiteral("/dev/ttyS%1").arg(port - 1));
#endif
        QCOMPARE(PortMap::defaultDevice(port), map.device(port));
    }
    QVERIFY(map.device(0).isEmpty());
    QVERIFY(map.device(5).isEmpty());
    QVERIFY(map.device(-1).isEmpty());
}

void TestSerialPortPty::portMapSetDevice()
{
    PortMap map;
    map.setDevice(3, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(map.device(3), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(map.device(2), PortMap::defaultDevice(2));
    map.setDevice(5, QStringLiteral("/dev/ttyUSB1"));   // ignored
    map.setDevice(0, QStringLiteral("/dev/ttyUSB1"));   // ignored
    QVERIFY(map.device(5).isEmpty());
    QVERIFY(map.device(0).isEmpty());
}

void TestSerialPortPty::portOption_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");

    QTest::newRow("port 1") << "1=/dev/ttyUSB0" << true << 1 << "/dev/ttyUSB0";
    QTest::newRow("port 4") << "4=/dev/pts/7" << true << 4 << "/dev/pts/7";
    QTest::newRow("windows name") << "2=COM7" << true << 2 << "COM7";
    QTest::newRow("'=' in device") << "3=/dev/a=b" << true << 3 << "/dev/a=b";
    QTest::newRow("N is 0") << "0=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("N is 5") << "5=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("N is -1") << "-1=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("N is huge") << "99999999999=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("no '='") << "1/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("only a number") << "1" << false << 0 << "";
    QTest::newRow("empty device") << "1=" << false << 0 << "";
    QTest::newRow("empty N") << "=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("empty value") << "" << false << 0 << "";
    QTest::newRow("N not a number") << "a=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("N is COM1") << "COM1=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("N with space") << " 1=/dev/ttyUSB0" << false << 0 << "";
    QTest::newRow("N with sign") << "+1=/dev/ttyUSB0" << false << 0 << "";
}

void TestSerialPortPty::portOption()
{
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QFETCH(int, port);
    QFETCH(QString, device);

    PortMap map;
    const std::optional<QString> error = applyPortOption(map, value);
    QCOMPARE(!error.has_value(), valid);
    if (valid) {
        QCOMPARE(map.device(port), device);
        for (int other = 1; other <= 4; ++other) {
            if (other != port)
                QCOMPARE(map.device(other), PortMap::defaultDevice(other));
        }
    } else {
        QVERIFY(!error->isEmpty());
        QVERIFY2(error->contains(value), qPrintable(*error));
        QVERIFY2(!error->contains(QLatin1Char('\n')), qPrintable(*error));
        for (int p = 1; p <= 4; ++p)
            QCOMPARE(map.device(p), PortMap::defaultDevice(p));   // unchanged
    }
}

void TestSerialPortPty::portOptionRepeated()
{
    PortMap map;
    QVERIFY(!applyPortOption(map, QStringLiteral("1=/dev/ttyUSB0")));
    QVERIFY(!applyPortOption(map, QStringLiteral("2=/dev/ttyUSB1")));
    QVERIFY(!applyPortOption(map, QStringLiteral("1=/dev/ttyACM0")));
    QCOMPARE(map.device(1), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(map.device(2), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(map.device(3), PortMap::defaultDevice(3));
}

void TestSerialPortPty::openSucceeds()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QtSerialPort port(mapPort1To(pty.slavePath()));
    QVERIFY(!port.PortOpen());
    QCOMPARE(port.setCommPort(1), int(SerialPort::noError));
    QCOMPARE(port.CommPort(), int16_t(1));
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
    QVERIFY(port.PortOpen());
    QCOMPARE(port.deviceName(), pty.slavePath());
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));   // already open
    QVERIFY(port.PortOpen());
    QCOMPARE(port.setPortOpen(false), int(SerialPort::noError));
    QVERIFY(!port.PortOpen());
}

void TestSerialPortPty::setCommPortOutsideMapFails()
{
    QtSerialPort port(PortMap {});
    QCOMPARE(port.setCommPort(5), int(SerialPort::errorPortUnavailable));
    QCOMPARE(port.CommPort(), int16_t(5));   // the number last written
    QCOMPARE(port.setCommPort(0), int(SerialPort::errorPortUnavailable));
    QCOMPARE(port.CommPort(), int16_t(0));

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^torvane-console: cannot open port 0: ")));
    QCOMPARE(port.setPortOpen(true), int(SerialPort::errorPortUnavailable));
    QVERIFY(!port.PortOpen());

    QCOMPARE(port.setCommPort(4), int(SerialPort::noError));
    QCOMPARE(port.CommPort(), int16_t(4));
}

void TestSerialPortPty::secondInstanceGetsPortInUse()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QtSerialPort first(mapPort1To(pty.slavePath()));
    QtSerialPort second(mapPort1To(pty.slavePath()));
    QCOMPARE(first.setCommPort(1), int(SerialPort::noError));
    QCOMPARE(second.setCommPort(1), int(SerialPort::noError));
    QCOMPARE(first.setPortOpen(true), int(SerialPort::noError));

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^torvane-console: cannot open %1: ")
                                                .arg(QRegularExpression::escape(pty.slavePath()))));
    QCOMPARE(second.setPortOpen(true), int(SerialPort::errorPortInUse));
    QVERIFY(!second.PortOpen());
    QVERIFY(first.PortOpen());

    // Once the first lets go, the second gets the device.
    QCOMPARE(first.setPortOpen(false), int(SerialPort::noError));
    QCOMPARE(second.setPortOpen(true), int(SerialPort::noError));
    QVERIFY(second.PortOpen());
}

void TestSerialPortPty::destroyedInstanceReleasesDevice()
{
    Pty pty;
    QVERIFY(pty.isValid());
    {
        QtSerialPort first(mapPort1To(pty.slavePath()));
        QCOMPARE(first.setPortOpen(true), int(SerialPort::noError));
        // destroyed while open
    }
    QtSerialPort second(mapPort1To(pty.slavePath()));
    QCOMPARE(second.setPortOpen(true), int(SerialPort::noError));
    QVERIFY(second.PortOpen());
}

void TestSerialPortPty::anotherProgramHoldsDevice()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(holdDeviceVariable), pty.slavePath());
    other.setProcessEnvironment(env);
    other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    other.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(other.waitForStarted(5000));
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += other.readAllStandardOutput()).contains('\n'), 5000);
    QCOMPARE(said, QByteArray("held\n"));

    QtSerialPort port(mapPort1To(pty.slavePath()));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^torvane-console: cannot open %1: in use")
                                                .arg(QRegularExpression::escape(pty.slavePath()))));
    QCOMPARE(port.setPortOpen(true), int(SerialPort::errorPortInUse));
    QVERIFY(!port.PortOpen());

    other.closeWriteChannel();   // the other program lets go
    QVERIFY(other.waitForFinished(5000));
    QCOMPARE(other.exitCode(), 0);
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
    QVERIFY(port.PortOpen());
}

void TestSerialPortPty::missingDeviceIsUnavailable()
{
    QtSerialPort port(mapPort1To(QStringLiteral("/dev/does-not-exist")));
    QSignalSpy lost(&port, &SerialPort::connectionLost);
    QCOMPARE(port.setCommPort(1), int(SerialPort::noError));
    // Exactly one line, naming the device and the system's reason.
    QTest::ignoreMessage(
        QtWarningMsg,
        QRegularExpression(
            QStringLiteral("^torvane-console: cannot open /dev/does-not-exist: No such file or directory$")));
    QCOMPARE(port.setPortOpen(true), int(SerialPort::errorPortUnavailable));
    QVERIFY(!port.PortOpen());
    QCOMPARE(port.setPortOpen(false), int(SerialPort::noError));
    QTest::qWait(50);
    QCOMPARE(lost.count(), 0);
}

void TestSerialPortPty::bytesFromDeviceRaiseOnComm()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QtSerialPort port(mapPort1To(pty.slavePath()));
    Receiver receiver(port);
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
    QVERIFY(port.Input().isEmpty());

    // A telemetry-like line, then every byte value, then a burst.
    QByteArray expected = QByteArrayLiteral("R1234,05,138\r");
    QVERIFY(pty.write(expected));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, expected, 5000);
    QVERIFY(receiver.events >= 1);

    const QByteArray every = allByteValues();
    QVERIFY(pty.write(every));
    expected += every;
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, expected, 5000);

    QByteArray burst;
    for (int i = 0; i < 40; ++i)
        burst += every;
    QVERIFY(pty.write(burst));
    expected += burst;
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, expected, 5000);

    QCOMPARE(receiver.wrongEvents, 0);
    QCOMPARE(port.CommEvent(), int(SerialPort::comEvReceive));
    QVERIFY(port.Input().isEmpty());   // reading removed them
}

void TestSerialPortPty::outputReachesDevice()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QtSerialPort port(mapPort1To(pty.slavePath()));
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));

    QByteArray expected;
    QByteArray atMaster;
    // The handshake, one small write at a time as the transmit pump does.
    for (const char *command : {"/*\r", "/I0\r", "/u\r"}) {
        port.Output(command);
        expected += command;
    }
    QTRY_COMPARE_WITH_TIMEOUT((atMaster += pty.readAvailable()), expected, 5000);

    const QByteArray every = allByteValues();
    port.Output(every);
    expected += every;
    QTRY_COMPARE_WITH_TIMEOUT((atMaster += pty.readAvailable()), expected, 5000);

    // Received bytes and sent bytes do not disturb each other.
    Receiver receiver(port);
    QVERIFY(pty.write(every));
    port.Output(QByteArrayView("/c\r"));
    expected += "/c\r";
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, every, 5000);
    QTRY_COMPARE_WITH_TIMEOUT((atMaster += pty.readAvailable()), expected, 5000);
}

void TestSerialPortPty::outputIgnoredWhileClosed()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QtSerialPort port(mapPort1To(pty.slavePath()));
    port.Output("/*\r");   // never opened
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
    QCOMPARE(port.setPortOpen(false), int(SerialPort::noError));
    port.Output("/u\r");   // closed again
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
    port.Output("/c\r");
    QByteArray atMaster;
    QTRY_COMPARE_WITH_TIMEOUT((atMaster += pty.readAvailable()), QByteArray("/c\r"), 5000);
    QTest::qWait(100);
    QCOMPARE(atMaster += pty.readAvailable(), QByteArray("/c\r"));
}

void TestSerialPortPty::closeAndReopen()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QtSerialPort port(mapPort1To(pty.slavePath()));
    Receiver receiver(port);
    QSignalSpy lost(&port, &SerialPort::connectionLost);

    QCOMPARE(port.setPortOpen(false), int(SerialPort::noError));   // closing a closed port
    QVERIFY(!port.PortOpen());
    for (int round = 0; round < 3; ++round) {
        QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
        QVERIFY(port.PortOpen());
        const QByteArray line = QByteArray("u2.") + QByteArray::number(round) + '\r';
        receiver.received.clear();
        QVERIFY(pty.write(line));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.received, line, 5000);
        port.Output(line);
        QByteArray atMaster;
        QTRY_COMPARE_WITH_TIMEOUT((atMaster += pty.readAvailable()), line, 5000);
        QCOMPARE(port.setPortOpen(false), int(SerialPort::noError));
        QVERIFY(!port.PortOpen());
        QCOMPARE(port.setPortOpen(false), int(SerialPort::noError));
        QVERIFY(!port.PortOpen());
    }
    QTest::qWait(50);
    QCOMPARE(lost.count(), 0);   // a deliberate close is no lost connection
}

void TestSerialPortPty::vanishingDeviceClosesPortOnce()
{
    auto pty = std::make_unique<Pty>();
    QVERIFY(pty->isValid());
    QtSerialPort port(mapPort1To(pty->slavePath()));
    Receiver receiver(port);
    int lost = 0;
    bool openWhenLost = true;
    connect(&port, &SerialPort::connectionLost, &port, [&] {
        ++lost;
        openWhenLost = port.PortOpen();
    });
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
    QVERIFY(pty->write("R0,0,0\r"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, QByteArray("R0,0,0\r"), 5000);
    const int eventsBefore = receiver.events;

    const qint64 cpuBefore = cpuMicroseconds();
    QElapsedTimer clock;
    clock.start();
    pty->closeMaster();   // the device vanishes

    QTRY_COMPARE_WITH_TIMEOUT(lost, 1, 5000);
    QVERIFY(!openWhenLost);
    QVERIFY(!port.PortOpen());

    // No storm afterwards: no further signals, and the process stays idle.
    QTest::qWait(300);
    const qint64 cpuUsed = cpuMicroseconds() - cpuBefore;
    QCOMPARE(lost, 1);
    QCOMPARE(receiver.events, eventsBefore);
    QVERIFY2(cpuUsed < 150000,
             qPrintable(QStringLiteral("%1 ms of CPU in the %2 ms after the device vanished")
                            .arg(cpuUsed / 1000)
                            .arg(clock.elapsed())));

    // The closed port behaves as any closed port.
    port.Output("/c\r");
    QVERIFY(port.Input().isEmpty());
    QCOMPARE(port.setPortOpen(false), int(SerialPort::noError));
    QTest::qWait(50);
    QCOMPARE(lost, 1);
}

void TestSerialPortPty::outputWhileDeviceVanishes()
{
    // The window writes after the device went but before the port noticed:
    // however the port finds out (a failed read: ReadError; a failed write:
    // ResourceError), that is one loss, and no event storm.
    auto pty = std::make_unique<Pty>();
    QVERIFY(pty->isValid());
    QtSerialPort port(mapPort1To(pty->slavePath()));
    QSignalSpy lost(&port, &SerialPort::connectionLost);
    QSignalSpy comm(&port, &SerialPort::OnComm);
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));

    const qint64 cpuBefore = cpuMicroseconds();
    pty->closeMaster();
    port.Output("/*\r");
    port.Output(allByteValues());
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
    QVERIFY(!port.PortOpen());
    QTest::qWait(300);
    const qint64 cpuUsed = cpuMicroseconds() - cpuBefore;
    QCOMPARE(lost.count(), 1);
    QCOMPARE(comm.count(), 0);
    QVERIFY2(cpuUsed < 150000, qPrintable(QStringLiteral("%1 ms of CPU").arg(cpuUsed / 1000)));
}

void TestSerialPortPty::reopenAfterVanish()
{
    // Port 1 names a symlink, as /dev/serial/by-id/... names a USB adapter, so
    // that the same name can point at the device when it comes back.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyTorvane"));
    auto pty = std::make_unique<Pty>();
    QVERIFY(pty->isValid());
    QVERIFY(QFile::link(pty->slavePath(), link));

    QtSerialPort port(mapPort1To(link));
    Receiver receiver(port);
    QSignalSpy lost(&port, &SerialPort::connectionLost);
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));

    // The same device under its other name is in use too.
    QtSerialPort byOtherName(mapPort1To(pty->slavePath()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^torvane-console: cannot open ")));
    QCOMPARE(byOtherName.setPortOpen(true), int(SerialPort::errorPortInUse));

    pty->closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
    QVERIFY(!port.PortOpen());
    pty.reset();

    // The adapter is plugged in again.
    Pty again;
    QVERIFY(again.isValid());
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(again.slavePath(), link));
    QCOMPARE(port.setPortOpen(true), int(SerialPort::noError));
    QVERIFY(port.PortOpen());
    QVERIFY(again.write("u1.7\r"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received, QByteArray("u1.7\r"), 5000);
    port.Output("/u\r");
    QByteArray atMaster;
    QTRY_COMPARE_WITH_TIMEOUT((atMaster += again.readAvailable()), QByteArray("/u\r"), 5000);
    QCOMPARE(lost.count(), 1);
}

// "Another program" for anotherProgramHoldsDevice: this binary run again
// with TORVANE_TEST_HOLD_DEVICE set opens that device with QSerialPort, as
// a terminal program would, says "held" and keeps it until stdin closes.
static int holdDevice(int argc, char **argv, const QString &device)
{
    QCoreApplication app(argc, argv);
    QSerialPort serial(device);
    if (!serial.open(QIODevice::ReadWrite)) {
        std::printf("failed: %s\n", qPrintable(serial.errorString()));
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}

int main(int argc, char **argv)
{
    const QString hold = qEnvironmentVariable(holdDeviceVariable);
    if (!hold.isEmpty())
        return holdDevice(argc, argv, hold);
    QCoreApplication app(argc, argv);
    TestSerialPortPty test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_serial_port_pty.moc"
