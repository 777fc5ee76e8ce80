// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/logger_options.h"

#include "torvane_version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

void declareOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Torvane Data Link logger: records a Torvane 410/420 ignition unit without a window.\n"
        "Connects, reads the unit's settings (kept as a backup), asks for the stream and\n"
        "records the engine figures as CSV, one new file per connection, as the console\n"
        "does. Reconnects by itself and writes every change of status on stderr. Waits\n"
        "for a device that is not there; SIGTERM or SIGINT ends it with status 0."));
    // Not addHelpOption(): there are no Qt options for its --help-all to list.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QStringLiteral("Show this help, then exit.")});
    parser.addOption({QStringLiteral("version"),
                      QStringLiteral("Print the program's name and version, then exit.")});
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("The serial device, e.g. /dev/ttyUSB0 or a /dev/serial/by-id/ "
                                     "link; \"auto\" takes the first serial port present, USB "
                                     "adapters first, as the console's COM1 does."),
                      QStringLiteral("DEVICE")});
    parser.addOption({QStringLiteral("record"),
                      QStringLiteral("The folder the recordings go into (made when missing). A "
                                     "folder it cannot write does not end the logger: it tries "
                                     "again every minute."),
                      QStringLiteral("FOLDER")});
    parser.addOption({QStringLiteral("trace"),
                      QStringLiteral("Write every byte read from or written to the port, and every "
                                     "open, close and lost connection, into FILE, a new file."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("limits"),
                      QStringLiteral("Read the limits on the engine figures from FILE instead of "
                                     "~/.config/torvane-console/limits.txt; a line on stderr "
                                     "says when a figure goes past one and when it is back."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("no-reconnect"),
                      QStringLiteral("End with status 1 when the connection is lost, instead of "
                                     "opening the same adapter again as soon as it is back.")});
}

QString usage()
{
    QCommandLineParser parser;
    declareOptions(parser);
    const QString text = parser.helpText();
    const qsizetype options = text.indexOf(QLatin1String(" [options]"));
    return options < 0 ? text : QStringLiteral("Usage: torvane-logger") + text.mid(options);
}

LoggerCommandLine mistake(const QString &message)
{
    return {std::nullopt, 2, QStringLiteral("torvane-logger: %1\n\n%2").arg(message, usage())};
}

} // namespace

LoggerCommandLine readLoggerCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    declareOptions(parser);
    if (!parser.parse(arguments))
        return mistake(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        return {std::nullopt, 0, usage()};
    if (parser.isSet(QStringLiteral("version")))
        return {std::nullopt, 0, QStringLiteral("torvane-logger " TORVANE_VERSION "\n" TORVANE_LICENCE_NOTICE "\n")};
    if (!parser.positionalArguments().isEmpty())
        return mistake(QStringLiteral("unexpected argument: ") + parser.positionalArguments().first());

    LoggerOptions options;
    options.device = parser.value(QStringLiteral("port"));
    options.folder = parser.value(QStringLiteral("record"));
    options.tracePath = parser.value(QStringLiteral("trace"));
    options.reconnect = !parser.isSet(QStringLiteral("no-reconnect"));
    options.limitsFile = parser.value(QStringLiteral("limits"));
    if (options.device.isEmpty())
        return mistake(QStringLiteral("--port wants a device, or auto"));
    if (options.folder.isEmpty())
        return mistake(QStringLiteral("--record wants a folder"));
    const QFileInfo folder(options.folder);
    if (folder.exists() && !folder.isDir())
        return mistake(QStringLiteral("--record: %1 is not a folder").arg(options.folder));
    if (parser.isSet(QStringLiteral("trace")) && options.tracePath.isEmpty())
        return mistake(QStringLiteral("--trace wants a file"));
    if (parser.isSet(QStringLiteral("limits")) && options.limitsFile.isEmpty())
        return mistake(QStringLiteral("--limits wants a file"));
    return {options, 0, {}};
}
