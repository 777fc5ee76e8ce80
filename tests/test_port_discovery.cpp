// SPDX-License-Identifier: GPL-3.0-or-later
// Which device each port button takes, how the ports are listed and
// described, and which command lines the console accepts. No hardware.

#include "app/command_line.h"
#include "app/port_listing.h"
#include "link/port_discovery.h"
#include "support/link_fixture.h"
#include "ui/color_button.h"

#include <QHelpEvent>
#include <QTest>

namespace {

// "/dev/ttyXR0*": a port the system knows a USB vendor id for.
QList<FoundPort> portsNamed(const QStringList &names)
{
    QList<FoundPort> ports;
    for (QString name : names) {
        const bool usb = name.endsWith(QLatin1Char('*'));
        name.chop(usb ? 1 : 0);
        ports.append(FoundPort{name, {}, {}, {}, usb});
    }
    return ports;
}

QStringList devices(const QList<FoundPort> &ports)
{
    QStringList names;
    for (const FoundPort &p : ports)
        names << p.device;
    return names;
}

PortMap pinned(const QStringList &pins)
{
    PortMap map;
    for (const QString &pin : pins)
        applyPortOption(map, pin);
    return map;
}

// Not in button order.
const QList<FoundPort> threePorts{
    {QStringLiteral("/dev/ttyS0"), {}, {}, {}, false},
    {QStringLiteral("/dev/ttyUSB10"), QStringLiteral("USB Serial"), {}, {}, true},
    {QStringLiteral("/dev/ttyUSB2"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
     QStringLiteral("A50285BI"), true},
};

QString tooltipOf(QWidget *button)
{
    QHelpEvent event(QEvent::ToolTip, QPoint(1, 1), button->mapToGlobal(QPoint(1, 1)));
    QCoreApplication::sendEvent(button, &event);
    return button->toolTip();
}

} // namespace

class TestPortDiscovery : public QObject {
    Q_OBJECT

private slots:
    void order_data();
    void order();
    void buttonBinding_data();
    void buttonBinding();
    void listing_data();
    void listing();
    void tooltipSaysWhyItsButtonFailed();
    void commandLine_data();
    void commandLine();
};

void TestPortDiscovery::order_data()
{
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("ordered");

    QTest::newRow("none") << QStringList{} << QStringList{};
    QTest::newRow("adapters before on-board")
        << QStringList{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyACM0"}
        << QStringList{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"};
    QTest::newRow("numbers by value")
        << QStringList{"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyS10", "/dev/ttyS9", "/dev/ttyUSB1"}
        << QStringList{"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyS9", "/dev/ttyS10"};
    QTest::newRow("vendor id makes an adapter")
        << QStringList{"/dev/ttyS0", "/dev/ttyXRUSB0*", "/dev/ttyAMA0"}
        << QStringList{"/dev/ttyXRUSB0", "/dev/ttyAMA0", "/dev/ttyS0"};
    QTest::newRow("long digit runs")
        << QStringList{"/dev/ttyUSB99999999999999999999", "/dev/ttyUSB100000000000000000000"}
        << QStringList{"/dev/ttyUSB99999999999999999999", "/dev/ttyUSB100000000000000000000"};
}

void TestPortDiscovery::order()
{
    QFETCH(QStringList, found);
    QFETCH(QStringList, ordered);
    QCOMPARE(devices(orderPorts(portsNamed(found))), ordered);
}

void TestPortDiscovery::buttonBinding_data()
{
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("described");

    QTest::newRow("COM1 takes the first") << QStringList{} << 1 << "/dev/ttyUSB2 - FT232R USB UART";
    QTest::newRow("COM3 takes the third") << QStringList{} << 3 << "/dev/ttyS0";
    QTest::newRow("COM4 has none") << QStringList{} << 4 << "";
    QTest::newRow("pinned") << QStringList{"1=/tmp/unit"} << 1 << "/tmp/unit";
    QTest::newRow("pinned to a port found") << QStringList{"4=/dev/ttyUSB10"} << 4 << "/dev/ttyUSB10 - USB Serial";
    QTest::newRow("position, whatever the pins") << QStringList{"1=/tmp/unit"} << 2 << "/dev/ttyUSB10 - USB Serial";
    QTest::newRow("button 0") << QStringList{} << 0 << "";
    QTest::newRow("button 5") << QStringList{} << 5 << "";
}

void TestPortDiscovery::buttonBinding()
{
#ifdef Q_OS_WIN
    QSKIP("Unpinned buttons are COMn on Windows");
#endif
    QFETCH(QStringList, pins);
    QFETCH(int, button);
    QFETCH(QString, described);
    QCOMPARE(describePort(portForButton(pinned(pins), button, orderPorts(threePorts))), described);
}

void TestPortDiscovery::listing_data()
{
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<QList<FoundPort>>("found");
    QTest::addColumn<QString>("text");

    QTest::newRow("nothing") << QStringList{} << QList<FoundPort>{} << "No serial ports found\n";
    QTest::newRow("pinned, nothing found") << QStringList{"2=/tmp/unit"} << QList<FoundPort>{}
                                           << "COM1: no serial port\n"
                                              "COM2: /tmp/unit (pinned by --port)\n"
                                              "COM3: no serial port\n"
                                              "COM4: no serial port\n"
                                              "No serial ports found\n";
    QTest::newRow("a pin leaves a port over")
        << QStringList{"3=/tmp/unit"} << threePorts
        << "COM1: /dev/ttyUSB2 - FT232R USB UART, manufacturer FTDI, serial number A50285BI\n"
           "COM2: /dev/ttyUSB10 - USB Serial\n"
           "COM3: /tmp/unit (pinned by --port)\n"
           "COM4: no serial port\n"
           "Also found: /dev/ttyS0\n";
}

void TestPortDiscovery::listing()
{
#ifdef Q_OS_WIN
    QSKIP("Unpinned buttons are COMn on Windows");
#endif
    QFETCH(QStringList, pins);
    QFETCH(QList<FoundPort>, found);
    QFETCH(QString, text);
    QCOMPARE(portListing(pinned(pins), orderPorts(found)), text);
}

void TestPortDiscovery::tooltipSaysWhyItsButtonFailed()
{
    WindowFixture f;
    ConsoleWindow &window = f.window;
    f.port->failNextOpen(PortResult::Unavailable);
    window.clickPort(2);
    QCOMPARE(tooltipOf(window.portButtons[1]), QStringLiteral("COM2: memory port 2\nCould not open: test failure"));
    QCOMPARE(tooltipOf(window.portButtons[0]), QStringLiteral("COM1: memory port 1"));

    // Until the next attempt.
    window.clickPort(1);
    QCOMPARE(tooltipOf(window.portButtons[1]), QStringLiteral("COM2: memory port 2"));
}

void TestPortDiscovery::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");      // -1: the console runs
    QTest::addColumn<QString>("says");    // in the help or error text
    QTest::addColumn<QString>("com1");    // COM1's device when it runs

    QTest::newRow("no options") << QStringList{} << -1 << "" << "";
    QTest::newRow("-platform offscreen") << QStringList{"-platform", "offscreen"} << -1 << "" << "";
    QTest::newRow("--platform offscreen") << QStringList{"--platform", "offscreen"} << -1 << "" << "";
    QTest::newRow("-style fusion") << QStringList{"-style", "fusion"} << -1 << "" << "";
    QTest::newRow("-style=fusion") << QStringList{"-style=fusion"} << -1 << "" << "";
    QTest::newRow("-geometry") << QStringList{"-geometry", "800x600+0+0"} << -1 << "" << "";
    QTest::newRow("switches") << QStringList{"-reverse", "-widgetcount", "-nograb"} << -1 << "" << "";
    QTest::newRow("qwindowtitle") << QStringList{"-qwindowtitle", "Torvane"} << -1 << "" << "";
    QTest::newRow("Qt's and ours")
        << QStringList{"-platform", "offscreen", "--port", "1=/dev/ttyUSB0", "-style", "fusion", "--connect", "1"}
        << -1 << "" << "/dev/ttyUSB0";
    QTest::newRow("--list-ports") << QStringList{"--list-ports", "--port=1=/tmp/unit"} << -1 << "" << "/tmp/unit";

    QTest::newRow("--help") << QStringList{"--help"} << 0 << "--list-ports" << "";
    QTest::newRow("--help-all lists Qt's") << QStringList{"--help-all"} << 0 << "--platform" << "";

    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "bogus" << "";
    QTest::newRow("port number 5") << QStringList{"--port", "5=/dev/ttyUSB0"} << 2 << "--port" << "";
    QTest::newRow("port without value") << QStringList{"--port"} << 2 << "port" << "";
    QTest::newRow("connect 9") << QStringList{"--connect", "9"} << 2 << "--connect" << "";
    QTest::newRow("stray argument") << QStringList{"-platform", "offscreen", "COM1"} << 2
                                    << "unexpected argument: COM1" << "";
    QTest::newRow("-platform without value") << QStringList{"-platform"} << 2 << "platform" << "";
    QTest::newRow("--replay") << QStringList{"--replay", "run.csv"} << -1 << "" << "";
    QTest::newRow("--replay and --demo") << QStringList{"--demo", "--replay", "run.csv"} << 2
                                         << "--replay and --demo cannot go together" << "";
    QTest::newRow("--replay without value") << QStringList{"--replay="} << 2
                                            << "--replay wants a file" << "";
}

void TestPortDiscovery::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, says);
    QFETCH(QString, com1);

    const CommandLineResult result = readCommandLine(QStringList{"torvane-console"} + arguments);
    QCOMPARE(result.options.has_value(), status == -1);
    if (result.options) {
        QCOMPARE(result.options->ports.device(1), com1);
        return;
    }
    QCOMPARE(result.exitStatus, status);
    QVERIFY2(result.text.contains(says), qPrintable(result.text));
    QVERIFY(result.text.contains(QStringLiteral("Usage: torvane-console")));
}

QTEST_MAIN(TestPortDiscovery)
#include "test_port_discovery.moc"
