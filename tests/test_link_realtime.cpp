// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"
#include "link/qt_serial_port.h"
#include "support/pty_peer.h"
#include "ui/color_button.h"
#include "ui/console_window.h"

#include <QLineEdit>
#include <QtTest>
#include <algorithm>
#include <sys/resource.h>

// The console over a real pseudo-terminal with its real timers, where the
// timing on the wire is what is under test. Tolerances are wide enough for
// a busy two-core machine.
class TestLinkRealtime : public QObject {
    Q_OBJECT
private slots:
    void startupSequenceTiming();
    void silentUnitRetriesCheaply();
    void answeringUnitConnects();
};

namespace {

struct Console {
    explicit Console(const PtyPeer &peer) : link(new QtSerialPort(portsFor(peer))) {}
    static PortMap portsFor(const PtyPeer &peer)
    {
        PortMap ports;
        ports.setDevice(1, peer.devicePath());
        return ports;
    }
    UnitLink link;
    ConsoleWindow window{link};
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ms(PtyPeer::Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

void TestLinkRealtime::startupSequenceTiming()
{
    PtyPeer peer;
    Console console(peer);
    console.window.clickPort(1);
    QTRY_VERIFY_WITH_TIMEOUT(peer.arrivals().size() >= 10, 5000);
    const auto arrivals = peer.arrivals();
    QCOMPARE(peer.received().left(10), QByteArray("/*\r/I0\r/u\r"));

    std::vector<double> characterGaps;
    std::vector<double> commandGaps;
    for (size_t i = 1; i < 10; ++i) {
        const double gap = ms(arrivals[i].at - arrivals[i - 1].at);
        (i == 3 || i == 7 ? commandGaps : characterGaps).push_back(gap);
    }
    std::sort(characterGaps.begin(), characterGaps.end());
    const double median = characterGaps[characterGaps.size() / 2];
    QVERIFY2(median > 40 && median < 100, qPrintable(QString("median %1 ms").arg(median)));
    for (double gap : commandGaps)
        QVERIFY2(gap > 270 && gap < 500, qPrintable(QString("command gap %1 ms").arg(gap)));
}

void TestLinkRealtime::silentUnitRetriesCheaply()
{
    PtyPeer peer;
    Console console(peer);
    console.window.clickPort(1);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(3000);
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = wall.elapsed() / 1000.0;

    // The sequence went out more than once and the status still waits.
    QVERIFY(peer.received().count("/u\r") >= 2);
    QCOMPARE(console.window.statusBox->text(), QStringLiteral("Waiting for connection - Port 1"));
    QVERIFY2(cpu < 0.15 * elapsed,
             qPrintable(QString("cpu %1 s over %2 s").arg(cpu).arg(elapsed)));
}

void TestLinkRealtime::answeringUnitConnects()
{
    PtyPeer peer;
    peer.setResponder([](const QByteArray &command) -> QByteArray {
        if (command == "/I0\r")
            return "/I0\r";
        if (command == "/u\r")
            return "u21\r";
        return {};
    });
    Console console(peer);
    console.window.clickPort(1);
    QTRY_COMPARE_WITH_TIMEOUT(console.window.statusBox->text(), QStringLiteral("Connected Comm Port 1"),
                              5000);
    QVERIFY(console.window.portButtons[0]->isHidden());
    QCOMPARE(console.window.firmwareBox->text(), QStringLiteral("33"));
}

QTEST_MAIN(TestLinkRealtime)
#include "test_link_realtime.moc"
