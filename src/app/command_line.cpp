#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(QCommandLineParser &parser, const QString &message)
{
    std::fprintf(stderr, "torvane-console: %s\n\n%s", qPrintable(message),
                 qPrintable(parser.helpText()));
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

    if (!parser.parse(arguments))
        fail(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
        fail(parser, QStringLiteral("unexpected argument: ") + parser.positionalArguments().first());

    CommandLine line;
    for (const QString &value : parser.values(portOption)) {
        if (const std::optional<QString> error = applyPortOption(line.ports, value))
            fail(parser, *error);
    }
    return line;
}
