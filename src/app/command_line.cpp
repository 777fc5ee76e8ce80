// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "app/qt_options.h"
#include "torvane_version.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <tuple>

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
    parser.addOption({QStringLiteral("replay"),
                      QStringLiteral("Replay mode: as --demo, but the simulated unit streams a "
                                     "recording made with --record, with its recorded spacing, "
                                     "then holds its last values. Not with --demo."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("record"),
                      QStringLiteral("Record the engine figures as CSV: every telemetry line and "
                                     "propeller angle into PATH, a new file, or, when PATH is a "
                                     "folder, into a new file there for each connection. Ctrl+R "
                                     "starts and stops recording in the window."),
                      QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("trace"),
                      QStringLiteral("Write every byte read from or written to the port, and every "
                                     "open, close and lost connection, into FILE, a new file."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("save-settings"),
                      QStringLiteral("With --connect: read the unit's settings, save them into "
                                     "FILE, and exit (status 1 when the unit is not read out in "
                                     "30 s). No window opens."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("apply-settings"),
                      QStringLiteral("With --connect: read the unit, print how the settings in "
                                     "FILE compare with it, give it the changed ones and ask for "
                                     "each again. Status 2 for a file that does not read cleanly, "
                                     "1 for a refusal or a setting the unit did not take. No "
                                     "window opens."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("store"),
                      QStringLiteral("With --apply-settings: send STORE CONFIG once the unit has "
                                     "taken every change.")});
    parser.addOption({QStringLiteral("view"),
                      QStringLiteral("Open the recording FILE (made with --record) in the viewer, "
                                     "alone: no unit, no port. Ctrl+L opens one from the window."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("exceedances"),
                      QStringLiteral("List every time a figure in the recording FILE (made with "
                                     "--record) went past its limits, one line each, then their "
                                     "count, and exit: status 2 for a recording or limits file "
                                     "that does not read cleanly. No window opens."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("runs"),
                      QStringLiteral("List every engine run in the recordings in FOLDER and below "
                                     "(start, duration, peaks, cranking volts, cautions and "
                                     "alarms), then the totals, and exit: status 2 for a FOLDER "
                                     "that does not exist or a limits file that does not read. "
                                     "Files that are not recordings are listed as skipped. What "
                                     "was read is remembered in "
                                     "~/.cache/torvane-console/logbook-index.json. No window "
                                     "opens."),
                      QStringLiteral("FOLDER")});
    parser.addOption({QStringLiteral("csv"),
                      QStringLiteral("With --runs: the runs as CSV, one row each, for a "
                                     "spreadsheet.")});
    parser.addOption({QStringLiteral("report"),
                      QStringLiteral("Print a report of the recording FILE (made with --record): "
                                     "its time span, firmware revision, each engine run with its "
                                     "peaks and cranking volts, and every exceedance of the limits; "
                                     "then exit: status 2 for a recording or limits file that does "
                                     "not read cleanly. No window opens."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("pdf"),
                      QStringLiteral("With --report: also write the report as one printable page "
                                     "into OUT (overwritten). Needs no display."),
                      QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("limits"),
                      QStringLiteral("Read the limits on the engine figures from FILE instead of "
                                     "~/.config/torvane-console/limits.txt."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("fahrenheit"),
                      QStringLiteral("Show temperatures in degrees Fahrenheit for this run: the "
                                     "window, the viewer, the logbook, --report, --runs and "
                                     "--exceedances. Recordings, settings files and limits stay in "
                                     "degrees Celsius. Without it, the scale last chosen in the "
                                     "window's right-click menu applies.")});
    parser.addOption({QStringLiteral("celsius"),
                      QStringLiteral("Show temperatures in degrees Celsius for this run, whatever "
                                     "was chosen in the window's menu.")});
    parser.addOption({QStringLiteral("no-reconnect"),
                      QStringLiteral("After \"Connection lost\", wait for a click on a port "
                                     "button instead of opening the same adapter again as soon "
                                     "as it is back.")});
    parser.addOption({QStringLiteral("exit-after-first-frame"),
                      QStringLiteral("Quit as soon as the main window (with --view, the "
                                     "viewer) has drawn itself once (for start-up time "
                                     "measurements).")});
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

// Recordings and traces never overwrite a file: the user gets a clear word
// rather than the usage text.
std::optional<CommandLineResult> refuseExisting(const QString &option, const QString &path,
                                                bool folderAllowed)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        return mistake(QStringLiteral("--%1 wants a path").arg(option));
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    if (folderAllowed && info.isDir())
        return std::nullopt;
    return CommandLineResult{std::nullopt, 2,
                             QStringLiteral("torvane-console: --%1: %2 already exists; nothing is "
                                            "overwritten, give a new file name%3\n")
                                 .arg(option, path,
                                      folderAllowed ? QStringLiteral(" or a folder") : QString())};
}

std::optional<QString> readSettingsJob(const QCommandLineParser &parser, CommandLine &line)
{
    const bool save = parser.isSet(QStringLiteral("save-settings"));
    const bool apply = parser.isSet(QStringLiteral("apply-settings"));
    line.storeAfterApply = parser.isSet(QStringLiteral("store"));
    if (line.storeAfterApply && !apply)
        return QStringLiteral("--store goes with --apply-settings");
    if (!save && !apply)
        return std::nullopt;
    if (save && apply)
        return QStringLiteral("--save-settings and --apply-settings cannot go together");
    if (line.connectPort == 0)
        return QStringLiteral("--%1 needs --connect N")
            .arg(QLatin1String(save ? "save-settings" : "apply-settings"));
    line.settingsJob = save ? SettingsJobKind::Save : SettingsJobKind::Apply;
    line.settingsFile = parser.value(QLatin1String(save ? "save-settings" : "apply-settings"));
    if (line.settingsFile.isEmpty())
        return QStringLiteral("a settings file wants a path");
    return std::nullopt;
}

std::optional<QString> readExceedancesJob(const QCommandLineParser &parser, CommandLine &line)
{
    line.limitsFile = parser.value(QStringLiteral("limits"));
    if (parser.isSet(QStringLiteral("limits")) && line.limitsFile.isEmpty())
        return QStringLiteral("--limits wants a file");
    if (!parser.isSet(QStringLiteral("exceedances")))
        return std::nullopt;
    line.exceedancesFile = parser.value(QStringLiteral("exceedances"));
    if (line.exceedancesFile.isEmpty())
        return QStringLiteral("--exceedances wants a recording");
    if (line.demo || !line.replayFile.isEmpty() || line.connectPort != 0
        || line.settingsJob != SettingsJobKind::None || !line.viewFile.isEmpty())
        return QStringLiteral("--exceedances reads a recording alone: no --demo, --replay, "
                              "--connect, --view or settings job with it");
    return std::nullopt;
}

std::optional<QString> readRunsJob(const QCommandLineParser &parser, CommandLine &line)
{
    line.runsAsCsv = parser.isSet(QStringLiteral("csv"));
    if (!parser.isSet(QStringLiteral("runs")))
        return line.runsAsCsv ? std::optional(QStringLiteral("--csv goes with --runs"))
                              : std::nullopt;
    line.runsFolder = parser.value(QStringLiteral("runs"));
    if (line.runsFolder.isEmpty())
        return QStringLiteral("--runs wants a folder");
    if (line.demo || !line.replayFile.isEmpty() || line.connectPort != 0
        || line.settingsJob != SettingsJobKind::None || !line.viewFile.isEmpty()
        || !line.exceedancesFile.isEmpty())
        return QStringLiteral("--runs reads recordings alone: no --demo, --replay, --connect, "
                              "--view, --exceedances or settings job with it");
    return std::nullopt;
}

std::optional<QString> readReportJob(const QCommandLineParser &parser, CommandLine &line)
{
    line.reportPdf = parser.value(QStringLiteral("pdf"));
    if (parser.isSet(QStringLiteral("pdf")) && line.reportPdf.isEmpty())
        return QStringLiteral("--pdf wants a file");
    if (!parser.isSet(QStringLiteral("report"))) {
        if (parser.isSet(QStringLiteral("pdf")))
            return QStringLiteral("--pdf goes with --report");
        return std::nullopt;
    }
    line.reportFile = parser.value(QStringLiteral("report"));
    if (line.reportFile.isEmpty())
        return QStringLiteral("--report wants a recording");
    if (line.demo || !line.replayFile.isEmpty() || line.connectPort != 0
        || line.settingsJob != SettingsJobKind::None || !line.viewFile.isEmpty()
        || !line.exceedancesFile.isEmpty() || !line.runsFolder.isEmpty())
        return QStringLiteral("--report reads a recording alone: no --demo, --replay, "
                              "--connect, --view, --exceedances, --runs or settings job with it");
    return std::nullopt;
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
        return {std::nullopt, 0, QStringLiteral("torvane-console " TORVANE_VERSION "\n" TORVANE_LICENCE_NOTICE "\n")};
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
    line.replayFile = parser.value(QStringLiteral("replay"));
    if (parser.isSet(QStringLiteral("replay")) && line.replayFile.isEmpty())
        return mistake(QStringLiteral("--replay wants a file"));
    if (line.demo && !line.replayFile.isEmpty())
        return mistake(QStringLiteral("--replay and --demo cannot go together"));
    line.exitAfterFirstFrame = parser.isSet(QStringLiteral("exit-after-first-frame"));
    line.listPorts = parser.isSet(QStringLiteral("list-ports"));
    line.reconnect = !parser.isSet(QStringLiteral("no-reconnect"));
    for (const auto &[option, path, folderAllowed] :
         {std::tuple{QStringLiteral("record"), &line.recordPath, true},
          std::tuple{QStringLiteral("trace"), &line.tracePath, false}}) {
        if (!parser.isSet(option))
            continue;
        *path = parser.value(option);
        if (std::optional<CommandLineResult> refused = refuseExisting(option, *path, folderAllowed))
            return *refused;
    }
    line.recordIntoFolder = !line.recordPath.isEmpty() && QFileInfo(line.recordPath).isDir();
    if (std::optional<QString> error = readSettingsJob(parser, line))
        return mistake(*error);
    line.viewFile = parser.value(QStringLiteral("view"));
    if (parser.isSet(QStringLiteral("view"))) {
        if (line.viewFile.isEmpty())
            return mistake(QStringLiteral("--view wants a file"));
        if (line.demo || !line.replayFile.isEmpty() || line.connectPort != 0
            || line.settingsJob != SettingsJobKind::None)
            return mistake(QStringLiteral("--view opens the viewer alone: no --demo, --replay, "
                                          "--connect or settings job with it"));
    }
    if (std::optional<QString> error = readExceedancesJob(parser, line))
        return mistake(*error);
    if (std::optional<QString> error = readRunsJob(parser, line))
        return mistake(*error);
    if (std::optional<QString> error = readReportJob(parser, line))
        return mistake(*error);
    const bool fahrenheit = parser.isSet(QStringLiteral("fahrenheit"));
    if (fahrenheit && parser.isSet(QStringLiteral("celsius")))
        return mistake(QStringLiteral("--fahrenheit and --celsius cannot go together"));
    if (fahrenheit)
        line.temperatureScale = TemperatureScale::Fahrenheit;
    else if (parser.isSet(QStringLiteral("celsius")))
        line.temperatureScale = TemperatureScale::Celsius;
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
