#include "app/command_line.h"

#include "app/qt_options.h"
#include "torvane_version.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

namespace {

void declareOptions(QCommandLineParser &parser, bool listQtOptions)
{
    parser.setApplicationDescription(QStringLiteral(
        "Torvane Data Link: console for Torvane 410/420 electronic ignition units.\n"
        "Connect the unit's three-wire RS-232 cable, then click COM1 to COM4."));
    // Qt's options take one dash: -platform offscreen.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addOption({QStringLiteral("version"),
                      QStringLiteral("Print the program's name and version, then exit.")});
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("Pin port button COMN to DEVICE (N from 1 to 4; repeatable). "
                                     "Unpinned buttons take the serial ports present when clicked, "
                                     "USB adapters first (see --list-ports); on Windows COMn. "
                                     "Example: --port 1=/dev/ttyUSB0"),
                      QStringLiteral("N=DEVICE")});
    parser.addOption({QStringLiteral("list-ports"),
                      QStringLiteral("List the device behind each port button and the other serial "
                                     "ports found, then exit.")});
    parser.addOption({QStringLiteral("connect"),
                      QStringLiteral("Click port button COMN at start-up, as if the user had."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("demo"),
                      QStringLiteral("Demo mode: a simulated ignition unit answers on COM1. "
                                     "Nothing comes from an aircraft.")});
    parser.addOption({QStringLiteral("exit-after-first-frame"),
                      QStringLiteral("Quit as soon as the main window has drawn itself once "
                                     "(for start-up time measurements).")});
    declareQtOptions(parser, listQtOptions);
}

// The parser takes the program's name from the application object, which
// does not exist yet when the options are read.
QString usage(bool listQtOptions)
{
    QCommandLineParser parser;
    declareOptions(parser, listQtOptions);
    const QString text = parser.helpText();
    const qsizetype options = text.indexOf(QLatin1String(" [options]"));
    return options < 0 ? text : QStringLiteral("Usage: torvane-console") + text.mid(options);
}

CommandLineResult mistake(const QString &message)
{
    return {std::nullopt, 2, QStringLiteral("torvane-console: %1\n\n%2").arg(message, usage(false))};
}

} // namespace

CommandLineResult readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    declareOptions(parser, false);
    if (!parser.parse(arguments))
        return mistake(parser.errorText());
    if (parser.isSet(QStringLiteral("help-all")))
        return {std::nullopt, 0, usage(true)};
    if (parser.isSet(QStringLiteral("help")))
        return {std::nullopt, 0, usage(false)};
    if (parser.isSet(QStringLiteral("version")))
        return {std::nullopt, 0, QStringLiteral("torvane-console " TORVANE_VERSION "\n")};
    if (!parser.positionalArguments().isEmpty())
        return mistake(QStringLiteral("unexpected argument: ") + parser.positionalArguments().first());

    CommandLine line;
    for (const QString &value : parser.values(QStringLiteral("port"))) {
        if (const std::optional<QString> error = applyPortOption(line.ports, value))
            return mistake(*error);
    }
    if (parser.isSet(QStringLiteral("connect"))) {
        const QString value = parser.value(QStringLiteral("connect"));
        bool ok = false;
        line.connectPort = value.toInt(&ok);
        if (!ok || line.connectPort < PortMap::firstPort || line.connectPort > PortMap::lastPort)
            return mistake(QStringLiteral("--connect takes a port number from 1 to 4, not ") + value);
    }
    line.demo = parser.isSet(QStringLiteral("demo"));
    line.exitAfterFirstFrame = parser.isSet(QStringLiteral("exit-after-first-frame"));
    line.listPorts = parser.isSet(QStringLiteral("list-ports"));
    return {line, 0, {}};
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLineResult result = readCommandLine(arguments);
    if (result.options)
        return *result.options;
    std::fputs(qPrintable(result.text), result.exitStatus == 0 ? stdout : stderr);
    std::exit(result.exitStatus);
}
