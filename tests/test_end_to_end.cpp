#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "link/qt_serial_port.h"
#include "sim/unit_simulator.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"
#include "ui/packed_color.h"

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

struct Session {
    std::unique_ptr<UnitSimulator> unit;
    std::unique_ptr<DashForm> form;
    Nanos clockOffset{0};

    explicit Session(SimOptions options, const QString &device = {})
    {
        options.seed = 7;
        startUnit(options);
        PortMap ports;
        ports.setDevice(1, device.isEmpty() ? unitDevice : device);
        form = std::make_unique<DashForm>(new QtSerialPort(ports));
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

QList<QScrollBar *> settingBars(DashForm &f)
{
    return {f.cyclescroll, f.ledscroll, f.pprscroll, f.conshiftscroll, f.maxrpmscroll,
            f.maxadvancescroll};
}

bool streaming(DashForm &f)
{
    return f.statusbox->text() == QStringLiteral("Stream Mode");
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
    DashForm &f = *s.form;
    f.com1_Click();
    QTRY_COMPARE_WITH_TIMEOUT(f.statusbox->text(), QStringLiteral("Connected Comm Port 1"),
                              connectMs);
    QTEST(f.revdata->text(), "shown");
    QVERIFY(f.com1->isHidden() && f.Command4->isHidden());

    QTRY_VERIFY_WITH_TIMEOUT(streaming(f), readOutMs);
    const UnitSettings &unit = s.unit->unit().settings();
    QCOMPARE(f.cycledata->text(), QString::number(unit.startDelay));
    QCOMPARE(f.leddata->text(), QStringLiteral("Kill Sw"));
    QCOMPARE(f.pprdata->text(), QString::number(unit.pulsesPerRev));
    QCOMPARE(f.maxrpmdata->text(), QString::number(unit.maxRpmUnits * 256));
    QCOMPARE(f.maxadvancedata->text(), QStringLiteral("42"));
    QCOMPARE(f.conshiftdata->text(), QStringLiteral("0"));
    for (QScrollBar *bar : settingBars(f))
        QVERIFY2(!bar->isHidden(), qPrintable(bar->objectName()));
    QVERIFY(!f.maxtempdata->text().isEmpty());

    // Telemetry reaches the gauges: the stopped engine's 12.4 V.
    QTRY_VERIFY_WITH_TIMEOUT(!f.tempdata->text().isEmpty(), 5000);
    QCOMPARE(f.busVolts, int16_t(12));
    QTRY_VERIFY_WITH_TIMEOUT(f.LGauge1->pointerValueAt(2) > 11.5, 5000);
    // The read-out echoed each reported value; nothing awaits storing.
    QCOMPARE(f.storebutton->BackColor(), PackedColor::darkGrey);
}

void TestEndToEnd::engineRunningSilencesPolling()
{
    Session s(SimOptions{});
    DashForm &f = *s.form;
    f.com1_Click();
    QTRY_VERIFY_WITH_TIMEOUT(streaming(f), readOutMs);
    // While stopped the console keeps asking for the propeller angle.
    QTRY_VERIFY_WITH_TIMEOUT(f.propAngle != 0 || f.AGauge2->NeedleValue() != 0, 5000);

    s.skipEngine(20s);
    QTRY_VERIFY_WITH_TIMEOUT(f.engineRunning, 5000);
    QVERIFY(f.AGauge2->isHidden());
    QVERIFY(f.engineRpm >= 50);

    int queries = 0;
    QObject::connect(f.Timer1, &QTimer::timeout, &f, [&] { queries += !f.txQueue.isEmpty(); });
    QTest::qWait(1500);
    QCOMPARE(queries, 0);
}

void TestEndToEnd::changeAndStoreSetting()
{
    Session s(SimOptions{});
    DashForm &f = *s.form;
    f.com1_Click();
    QTRY_VERIFY_WITH_TIMEOUT(streaming(f), readOutMs);
    const int before = s.unit->unit().settings().maxAdvanceSteps;

    f.maxadvancescroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f.storebutton->BackColor(), PackedColor::green);
    QTRY_COMPARE_WITH_TIMEOUT(s.unit->unit().settings().maxAdvanceSteps, before + 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(f.maxadvancedata->text(), QString::number((before + 1) * 1.4), 5000);
    QCOMPARE(s.unit->unit().storedSettings().maxAdvanceSteps, before);

    QTest::mouseClick(f.storebutton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s.unit->unit().storedSettings().maxAdvanceSteps, before + 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(f.storebutton->BackColor(), PackedColor::darkGrey, 5000);
}

void TestEndToEnd::silentUnitLeavesConsoleRetrying()
{
    SimOptions options;
    options.silent = true;
    Session s(options);
    DashForm &f = *s.form;
    f.com1_Click();
    QTest::qWait(2500);
    QCOMPARE(f.statusbox->text(), QStringLiteral("Waiting for connection - Port 1"));
    QVERIFY(f.Timer4->isActive());
    QVERIFY(!f.com1->isHidden());
}

void TestEndToEnd::ignoredQueriesAreGivenUp()
{
    SimOptions options;
    options.ignoreLetters = "dz";
    Session s(options);
    DashForm &f = *s.form;
    f.com1_Click();
    QTRY_VERIFY_WITH_TIMEOUT(streaming(f), readOutMs);
    QVERIFY(f.cycledata->text().isEmpty());
    QVERIFY(f.maxtempdata->text().isEmpty());
    QVERIFY(f.cyclescroll->isHidden());
    QCOMPARE(Tag(f.cycledata), QStringLiteral("0"));
    QVERIFY(!f.leddata->text().isEmpty());
}

void TestEndToEnd::vanishingDeviceAndReconnect()
{
    QTemporaryDir dir;
    SimOptions options;
    options.linkPath = dir.filePath(QStringLiteral("unit"));
    Session s(options, options.linkPath);
    DashForm &f = *s.form;
    f.com1_Click();
    QTRY_VERIFY_WITH_TIMEOUT(streaming(f), readOutMs);

    s.unit->vanish();
    QElapsedTimer detection;
    detection.start();
    QTRY_COMPARE_WITH_TIMEOUT(f.statusbox->text(), QStringLiteral("Connection lost - Port 1"),
                              3000);
    QVERIFY(detection.elapsed() < 1000);
    QVERIFY(!f.com1->isHidden());

    s.startUnit(options);
    f.com1_Click();
    QTRY_COMPARE_WITH_TIMEOUT(f.statusbox->text(), QStringLiteral("Connected Comm Port 1"),
                              connectMs);
    QTRY_VERIFY_WITH_TIMEOUT(streaming(f), readOutMs);
}

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
