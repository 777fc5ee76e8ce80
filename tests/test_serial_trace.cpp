// SPDX-License-Identifier: GPL-3.0-or-later
// The serial trace: every chunk and port event of a scripted session, as
// text lines, with the port's behaviour passed through unchanged.

#include "link/memory_serial_port.h"
#include "link/tracing_serial_port.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using Clock = std::chrono::steady_clock;

class TestSerialTrace : public QObject {
    Q_OBJECT
private slots:
    void sessionLines();
    void unwritableTraceStopsQuietly();
};

void TestSerialTrace::sessionLines()
{
    auto *inner = new MemorySerialPort;
    auto buffer = std::make_unique<QBuffer>();
    QBuffer *trace = buffer.get();
    trace->open(QIODevice::WriteOnly);
    std::chrono::microseconds now{0};
    TracingSerialPort port(inner, std::move(buffer), [&now] { return Clock::time_point(now); });
    QSignalSpy received(&port, &SerialPort::bytesReceived);
    QSignalSpy lost(&port, &SerialPort::closed);

    now = std::chrono::microseconds(250);
    inner->failNextOpen(PortResult::Unavailable);
    port.selectPort(2);
    QCOMPARE(port.setOpen(true), PortResult::Unavailable);
    now = std::chrono::microseconds(1500000);
    port.selectPort(1);
    QCOMPARE(port.setOpen(true), PortResult::Done);
    port.send("/*\r");
    now = std::chrono::microseconds(1734567);
    inner->receive("u2\x01\"\\\xff" "1\r");
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toByteArray(), QByteArray("u2\x01\"\\\xff" "1\r"));
    now = std::chrono::seconds(12);
    inner->vanish();
    QCOMPARE(lost.size(), 1);
    port.send("/p\r"); // the port is closed: nothing goes out
    port.setOpen(true);
    port.setOpen(false);
    QCOMPARE(inner->sent(), QByteArray("/*\r"));

    QList<QByteArray> lines = trace->data().split('\n');
    QVERIFY(QRegularExpression("^0\\.000000 START \\d{4}-\\d\\d-\\d\\dT[\\d:.]+[+-]\\d\\d:\\d\\d$")
                .match(QString::fromLatin1(lines.takeFirst()))
                .hasMatch());
    QCOMPARE(lines, (QList<QByteArray>{
                        "0.000250 OPEN-FAILED COM2 memory port 2: test failure",
                        "1.500000 OPEN COM1 memory port 1",
                        "1.500000 TX \"/*\\r\"",
                        "1.734567 RX \"u2\\x01\\\"\\\\\\xFF1\\r\"",
                        "12.000000 LOST COM1",
                        "12.000000 OPEN COM1 memory port 1",
                        "12.000000 CLOSE COM1",
                        "",
                    }));
}

void TestSerialTrace::unwritableTraceStopsQuietly()
{
    auto *inner = new MemorySerialPort;
    auto full = std::make_unique<QFile>(QStringLiteral("/dev/full"));
    QVERIFY(full->open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("trace stopped: /dev/full: .*space"));
    TracingSerialPort port(inner, std::move(full));
    QCOMPARE(port.setOpen(true), PortResult::Done);
    QSignalSpy received(&port, &SerialPort::bytesReceived);
    port.send("/u\r");
    inner->receive("u21\r");
    QCOMPARE(received.size(), 1);
    QCOMPARE(inner->sent(), QByteArray("/u\r"));
}

QTEST_GUILESS_MAIN(TestSerialTrace)
#include "test_serial_trace.moc"
