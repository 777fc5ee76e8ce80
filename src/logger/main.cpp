// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quit_signals.h"
#include "app/recording_options.h"
#include "limits/limits_file.h"
#include "link/qt_serial_port.h"
#include "logger/logger.h"
#include "logger/logger_options.h"
#include "logger/repeat_filter.h"
#include "settings/settings_backups.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torvane-logger"));
    // Before anything else can start a thread that would inherit the mask.
    QuitSignals quitSignals;

    const LoggerCommandLine command = readLoggerCommandLine(QCoreApplication::arguments());
    if (!command.options) {
        std::fputs(qUtf8Printable(command.text), command.exitStatus == 0 ? stdout : stderr);
        return command.exitStatus;
    }
    const LoggerOptions &options = *command.options;
    installRepeatFilter();
    if (!quitSignals.isValid())
        std::fputs("torvane-logger: cannot watch for SIGINT/SIGTERM; a signal will end it "
                   "abruptly\n", stderr);

    // A limits file named on the command line must read; the default one only
    // costs its limits, never the recording.
    StartingLimits limits = startingLimits(options.limitsFile);
    if (limits.mustStop()) {
        std::fprintf(stderr, "torvane-logger: %s\n", qUtf8Printable(limits.error));
        return 2;
    }
    if (!limits.warning().isEmpty())
        std::fprintf(stderr, "torvane-logger: %s\n", qUtf8Printable(limits.warning()));

    PortMap ports;
    if (options.device != QLatin1String("auto"))
        ports.setDevice(1, options.device);
    QString traceError;
    SerialPort *port = tracedPort(new QtSerialPort(ports), options.tracePath, traceError);
    if (!port) {
        std::fprintf(stderr, "torvane-logger: %s\n", qUtf8Printable(traceError));
        return 2;
    }

    Logger logger(port, options.folder, SettingsBackups::defaultFolder());
    logger.setReconnecting(options.reconnect);
    logger.exceedanceWatch().setLimitsFile(std::move(limits.file));
    // Through Qt's messages, so a warning and a status keep their order.
    QObject::connect(&logger, &Logger::said, [](const QString &line) {
        qInfo("torvane-logger: %s", qUtf8Printable(line));
    });
    QObject::connect(&logger, &Logger::finished, &app, &QCoreApplication::exit);
    QObject::connect(&quitSignals, &QuitSignals::received, &app, [] { QCoreApplication::quit(); });
    logger.start();
    return app.exec();
}
