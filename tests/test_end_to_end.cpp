// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"
#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "gauges/packed_color.h"
#include "link/qt_serial_port.h"
#include "sim/unit_simulator.h"
#include "ui/color_button.h"
#include "ui/console_window.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The real console window, the real QSerialPort and the simulated unit, over
// a pseudo-terminal, in real time. Every wait is bounded.

namespace {

using namespace std::chrono_literals;
constexpr int connectMs = 10000;
constexpr int readOutMs = 30000;

// The real port, keeping a copy of every byte the console sends.
struct WatchedPort : QtSerialPort {
    using QtSerialPort::QtSerialPort;
    void send(QByteArrayView text) override
    {
        if (isOpen())
            sent += text;
        QtSerialPort::send(text);
    }
    QByteArray sent;
};

struct Session {
    std::unique_ptr<UnitSimulator> unit;
    WatchedPort *port = nullptr;
    std::unique_ptr<UnitLink> link;
    std::unique_ptr<ConsoleWindow> window;
    Nanos clockOffset{0};

    explicit Session(SimOptions options, const QString &device = {})
    {
        options.seed = 7;
        startUnit(options);
        PortMap ports;
        ports.setDevice(1, device.isEmpty() ? unitDevice : device);
        port = new WatchedPort(ports);
        link = std::make_unique<UnitLink>(port);
        window = std::make_unique<ConsoleWindow>(*link);
    }

    void startUnit(const SimOptions &options)
    {
        unit = std::make_unique<UnitSimulator>(options);
        unit->setClock([this] { return std::chrono::steady_clock::now().time_since_epoch() + clockOffset; });
        const StartResult started = unit->start();
        QVERIFY2(started.ok(), qPrintable(started.error));
        unitDevice = started.devicePath;
    }

    // Moves the simulated engine on without waiting for it.
    void skipEngine(std::chrono::seconds span)
    {
        for (auto s = 0s; s < span; ++s) {
            clockOffset += 1s;
            unit->advanceEngine();
        }
    }

    QString unitDevice;
};

QLineEdit *box(ConsoleWindow &w, Setting setting)
{
    return w.settingRows[int(setting)].box;
}

bool streaming(ConsoleWindow &w)
{
    return w.statusBox->text() == QStringLiteral("Stream Mode");
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void connectReadOutAndStream_data();
    void connectReadOutAndStream();
    void engineRunningSilencesPolling();
    void changeAndStoreSetting();
    void silentUnitLeavesConsoleRetrying();
    void ignoredQueriesAreGivenUp();
    void vanishingDeviceAndReconnect();
};

void TestEndToEnd::connectReadOutAndStream_data()
{
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("chunkMs");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("paced") << 0x20 << "32" << 0 << QByteArray("\r");
    QTest::newRow("burst") << 0x21 << "33" << 0 << QByteArray("\r");
    QTest::newRow("FTDI 16 ms chunks, CR LF") << 0x21 << "33" << 16 << QByteArray("\r\n");
}

void TestEndToEnd::connectReadOutAndStream()
{
    QFETCH(int, revision);
    QFETCH(int, chunkMs);
    QFETCH(QByteArray, lineEnd);
    SimOptions options;
    options.revision = revision;
    options.chunkPeriod = std::chrono::milliseconds(chunkMs);
    options.lineEnd = lineEnd;
    Session s(options);
    ConsoleWindow &w = *s.window;
    w.clickPort(1);
    QTRY_COMPARE_WITH_TIMEOUT(w.statusBox->text(), QStringLiteral("Connected Comm Port 1"),
                              connectMs);
    QTEST(w.firmwareBox->text(), "shown");
    QVERIFY(w.portButtons[0]->isHidden() && w.wiringButton->isHidden());

    QTRY_VERIFY_WITH_TIMEOUT(streaming(w), readOutMs);
    const UnitSettings &unit = s.unit->unit().settings();
    QCOMPARE(box(w, Setting::StartDelay)->text(), QString::number(unit.startDelay));
    QCOMPARE(box(w, Setting::Led)->text(), QStringLiteral("Kill Sw"));
    QCOMPARE(box(w, Setting::PulsesPerRev)->text(), QString::number(unit.pulsesPerRev));
    QCOMPARE(box(w, Setting::MaxRpm)->text(), QString::number(unit.maxRpmUnits * 256));
    QCOMPARE(box(w, Setting::MaxAdvance)->text(), QStringLiteral("42"));
    QCOMPARE(box(w, Setting::AdvanceShift)->text(), QStringLiteral("0"));
    for (const ConsoleWindow::SettingRow &row : w.settingRows)
        QVERIFY2(!row.editor->isHidden(), qPrintable(row.editor->objectName()));
    QVERIFY(!w.maxTemperatureBox->text().isEmpty());

    // Telemetry reaches the gauges: the stopped engine's 12.4 V.
    QTRY_VERIFY_WITH_TIMEOUT(!w.temperatureBox->text().isEmpty(), 5000);
    QCOMPARE(s.link->state().figures[Figure::Volts], int16_t(12));
    QTRY_VERIFY_WITH_TIMEOUT(w.engineBars->pointerValueAt(2) > 11.5, 5000);
    // The read-out echoed each reported value; nothing awaits storing.
    QCOMPARE(w.storeButton->backColor(), PackedColor::darkGrey);
}

void TestEndToEnd::engineRunningSilencesPolling()
{
    Session s(SimOptions{});
    ConsoleWindow &w = *s.window;
    w.clickPort(1);
    QTRY_VERIFY_WITH_TIMEOUT(streaming(w), readOutMs);
    // While stopped the console keeps asking for the propeller angle.
    QTRY_VERIFY_WITH_TIMEOUT(s.link->state().figures[Figure::Propeller] != 0
                                 || w.propellerDial->needleValue() != 0,
                             5000);

    s.skipEngine(20s);
    QTRY_VERIFY_WITH_TIMEOUT(s.link->state().engineRunning, 5000);
    QVERIFY(w.propellerDial->isHidden());
    QVERIFY(s.link->state().figures[Figure::Rpm] >= 50);

    // Nothing goes out while it runs: no poll question, no retry.
    QTest::qWait(100); // a question already on its way
    s.port->sent.clear();
    QTest::qWait(1500);
    QCOMPARE(s.port->sent, QByteArray());
}

void TestEndToEnd::changeAndStoreSetting()
{
    Session s(SimOptions{});
    ConsoleWindow &w = *s.window;
    w.clickPort(1);
    QTRY_VERIFY_WITH_TIMEOUT(streaming(w), readOutMs);
    const int before = s.unit->unit().settings().maxAdvanceSteps;

    w.settingRows[int(Setting::MaxAdvance)].editor->triggerAction(
        QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(w.storeButton->backColor(), PackedColor::green);
    QTRY_COMPARE_WITH_TIMEOUT(s.unit->unit().settings().maxAdvanceSteps, before + 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(box(w, Setting::MaxAdvance)->text(),
                              QString::number((before + 1) * 1.4), 5000);
    QCOMPARE(s.unit->unit().storedSettings().maxAdvanceSteps, before);

    QTest::mouseClick(w.storeButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.unit->unit().storedSettings().maxAdvanceSteps, before + 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(w.storeButton->backColor(), PackedColor::darkGrey, 5000);
}

void TestEndToEnd::silentUnitLeavesConsoleRetrying()
{
    SimOptions options;
    options.silent = true;
    Session s(options);
    ConsoleWindow &w = *s.window;
    w.clickPort(1);
    QTest::qWait(2500);
    QCOMPARE(w.statusBox->text(), QStringLiteral("Waiting for connection - Port 1"));
    QVERIFY(s.link->retryingHandshake());
    QVERIFY(!w.portButtons[0]->isHidden());
}

void TestEndToEnd::ignoredQueriesAreGivenUp()
{
    SimOptions options;
    options.ignoreLetters = "dz";
    Session s(options);
    ConsoleWindow &w = *s.window;
    w.clickPort(1);
    QTRY_VERIFY_WITH_TIMEOUT(streaming(w), readOutMs);
    QVERIFY(box(w, Setting::StartDelay)->text().isEmpty());
    QVERIFY(w.maxTemperatureBox->text().isEmpty());
    QVERIFY(w.settingRows[int(Setting::StartDelay)].editor->isHidden());
    // Each unanswered question was asked twice, then given up.
    QCOMPARE(s.port->sent.count("/d\r"), 2);
    QCOMPARE(s.port->sent.count("/z\r"), 2);
    QVERIFY(!box(w, Setting::Led)->text().isEmpty());
}

void TestEndToEnd::vanishingDeviceAndReconnect()
{
    QTemporaryDir dir;
    SimOptions options;
    options.linkPath = dir.filePath(QStringLiteral("unit"));
    Session s(options, options.linkPath);
    ConsoleWindow &w = *s.window;
    w.clickPort(1);
    QTRY_VERIFY_WITH_TIMEOUT(streaming(w), readOutMs);

    s.unit->vanish();
    QElapsedTimer detection;
    detection.start();
    QTRY_COMPARE_WITH_TIMEOUT(w.statusBox->text(), QStringLiteral("Connection lost - Port 1"),
                              3000);
    QVERIFY(detection.elapsed() < 1000);
    QVERIFY(!w.portButtons[0]->isHidden());

    s.startUnit(options);
    w.clickPort(1);
    QTRY_COMPARE_WITH_TIMEOUT(w.statusBox->text(), QStringLiteral("Connected Comm Port 1"),
                              connectMs);
    QTRY_VERIFY_WITH_TIMEOUT(streaming(w), readOutMs);
}

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
