#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

namespace {

// Options are read before the application object exists, so the parser does
// not know the program's name.
QString usage(const QCommandLineParser &parser)
{
    return parser.helpText().replace(QStringLiteral("<executable_name>"),
                                     QStringLiteral("torvane-console"));
}

[[noreturn]] void fail(QCommandLineParser &parser, const QString &message)
{
    std::fprintf(stderr, "torvane-console: %s\n\n%s", qPrintable(message), qPrintable(usage(parser)));
    std::exit(2);
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Torvane Data Link: console for Torvane 410/420 electronic ignition units.\n"
        "Connect the unit's three-wire RS-232 cable, then click COM1 to COM4."));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Use DEVICE for port button COMN (N from 1 to 4; repeatable). "
                       "Default: COMn is /dev/ttyS(n-1) on Linux, COMn on Windows. "
                       "Example: --port 1=/dev/ttyUSB0"),
        QStringLiteral("N=DEVICE"));
    parser.addOption(portOption);
    const QCommandLineOption connectOption(
        QStringLiteral("connect"),
        QStringLiteral("Click port button COMN at start-up, as if the user had."),
        QStringLiteral("N"));
    parser.addOption(connectOption);
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Demo mode: a simulated ignition unit answers on COM1. "
                       "Nothing comes from an aircraft."));
    parser.addOption(demoOption);
    const QCommandLineOption firstFrameOption(
        QStringLiteral("exit-after-first-frame"),
        QStringLiteral("Quit as soon as the main window has drawn itself once "
                       "(for start-up time measurements)."));
    parser.addOption(firstFrameOption);

    if (!parser.parse(arguments))
        fail(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(usage(parser)), stdout);
        std::exit(0);
    }
    if (!parser.positionalArguments().isEmpty())
        fail(parser, QStringLiteral("unexpected argument: ") + parser.positionalArguments().first());

    CommandLine line;
    for (const QString &value : parser.values(portOption)) {
        if (const std::optional<QString> error = applyPortOption(line.ports, value))
            fail(parser, *error);
    }
    if (parser.isSet(connectOption)) {
        bool ok = false;
        line.connectPort = parser.value(connectOption).toInt(&ok);
        if (!ok || line.connectPort < PortMap::firstPort || line.connectPort > PortMap::lastPort)
            fail(parser, QStringLiteral("--connect takes a port number from 1 to 4, not ")
                             + parser.value(connectOption));
    }
    line.demo = parser.isSet(demoOption);
    line.exitAfterFirstFrame = parser.isSet(firstFrameOption);
    return line;
}
