// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "app/exceedances_job.h"
#include "app/first_frame.h"
#include "app/port_listing.h"
#include "app/recording_options.h"
#include "app/runs_job.h"
#include "app/report_job.h"
#include "app/settings_job.h"
#include "app/temperature_scale_setting.h"
#include "limits/limits_file.h"
#include "record/exceedance_watch.h"
#include "ui/about_action.h"
#include "ui/console_alarms.h"
#include "link/qt_serial_port.h"
#include "link/system_ports.h"
#include "core/unit_link.h"
#include "ui/console_window.h"
#include "settings/settings_keeper.h"
#include "ui/recording_controls.h"
#include "ui/open_recording_action.h"
#include "ui/engine_logbook_action.h"
#include "ui/keyboard_context_menu.h"
#include "ui/settings_actions.h"
#include "ui/temperature_scale_action.h"
#include "viewer/recording_viewer.h"
#include "viewer/strip_chart.h"
#include "viewer/temperature_scale_choice.h"
#include "ui/window_title.h"

#ifdef TORVANE_HAS_DEMO_UNIT
#include "app/demo_unit.h"
#endif

#include <QApplication>
#include <QIcon>
#include <cstdio>

namespace {

// --view: the viewer alone, no unit and no port.
int viewRecording(const CommandLine &options, const std::optional<LimitsFile> &limits)
{
    QString error;
    RecordingViewer *viewer = RecordingViewer::open(options.viewFile, error);
    if (!viewer) {
        std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(error));
        return 2;
    }
    // A recording holds no unit settings: only the limits that need none.
    const EngineLimits defaults = defaultLimits(std::nullopt, std::nullopt);
    viewer->setLimits(limits ? limits->over(defaults) : defaults);
    TemperatureScaleChoice temperatureScale(startingTemperatureScale(options));
    rememberTemperatureScaleChanges(temperatureScale);
    viewer->followTemperatureScale(temperatureScale);
    if (options.exitAfterFirstFrame)
        quitAfterFirstFrame(viewer->stripChart());
    viewer->show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Options first, so --help, --list-ports and mistakes are answered
    // without a display. QApplication still sees every argument.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine options = parseCommandLine(arguments);
    if (options.listPorts) {
        std::fputs(qPrintable(portListing(options.ports, systemPorts())), stdout);
        return 0;
    }
    if (!options.exceedancesFile.isEmpty())
        return listExceedances(options);
    if (!options.runsFolder.isEmpty())
        return listRuns(options);
    if (!options.reportFile.isEmpty())
        return writeReport(options, argc, argv);
    std::optional<SettingsFile> settingsToApply;
    if (options.settingsJob == SettingsJobKind::Apply) {
        SettingsFileReading reading = readSettingsFile(options.settingsFile);
        if (!reading.file) {
            std::fprintf(stderr, "torvane-console: nothing was sent: %s\n",
                         qUtf8Printable(reading.error));
            return 2;
        }
        settingsToApply = std::move(reading.file);
    }
    StartingLimits limits = startingLimits(options.limitsFile);
    if (limits.mustStop()) {
        std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(limits.error));
        return 2;
    }
    if (!limits.warning().isEmpty())
        std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(limits.warning()));
#ifdef TORVANE_HAS_DEMO_UNIT
    // Read before the window opens, and refused like a mistyped option.
    const LoadedRecording replay =
        options.replayFile.isEmpty() ? LoadedRecording{} : openReplay(options.replayFile);
    if (!replay.error.isEmpty()) {
        std::fprintf(stderr, "torvane-console: %s\n", qPrintable(replay.error));
        return 2;
    }
#endif

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvane-console"));
    // The installed desktop entry's id and icon: Wayland matches the window to
    // the menu entry by it, X11 window managers show the icon.
    QApplication::setDesktopFileName(QStringLiteral("org.torvane.DataLink"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.torvane.DataLink")));
    if (!options.viewFile.isEmpty())
        return viewRecording(options, limits.file);

#ifdef TORVANE_HAS_DEMO_UNIT
    DemoUnit demoUnit;
    if (options.demo || replay.recording) {
        const QString error = demoUnit.start(options.ports, replay.recording);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "torvane-console: cannot start the demo unit: %s\n",
                         qPrintable(error));
            return 1;
        }
        std::fprintf(stderr, "torvane-console: %s mode, the simulated unit is on %s (COM1)\n",
                     replay.recording ? "replay" : "demo", qPrintable(demoUnit.devicePath()));
    }
#else
    if (options.demo || !options.replayFile.isEmpty()) {
        std::fputs("torvane-console: this build has no demo unit\n", stderr);
        return 1;
    }
#endif

    // The program ends when the last window closes: the wiring picture may
    // outlive the main window.
    QString traceError;
    SerialPort *port = tracedPort(new QtSerialPort(options.ports), options.tracePath, traceError);
    if (!port) {
        std::fprintf(stderr, "torvane-console: %s\n", qPrintable(traceError));
        return 2;
    }
    UnitLink link(port);
    link.setReconnecting(options.reconnect);
    QObject::connect(&link, &UnitLink::wiringHintChanged, [&link](WiringHint hint) {
        const QString line = wiringChangeLine(hint, link.phase());
        if (!line.isEmpty())
            std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(line));
    });
    SettingsKeeper settingsKeeper(link, SettingsBackups::defaultFolder());
    if (options.settingsJob != SettingsJobKind::None) {
        SettingsJob job(link, settingsKeeper, options, std::move(settingsToApply));
        link.openPort(int16_t(options.connectPort));
        return app.exec();
    }

    ConsoleWindow window(link);
    ExceedanceWatch exceedances(link, std::nullopt);
    exceedances.setLimitsFile(std::move(limits.file));
    ConsoleAlarms alarms(window, exceedances,
                         options.limitsFile.isEmpty() ? defaultLimitsFilePath() : options.limitsFile);
    attachSettingsActions(window, settingsKeeper);
    TemperatureScaleChoice temperatureScale(startingTemperatureScale(options));
    rememberTemperatureScaleChanges(temperatureScale);
    attachTemperatureScaleAction(window, temperatureScale);
    attachOpenRecordingAction(window, defaultRecordingFolder(),
                              [&exceedances] { return exceedances.limits(); }, temperatureScale);
    attachEngineLogbookAction(window, defaultRecordingFolder(),
                              [&exceedances] { return exceedances.limits(); }, temperatureScale);
    if (options.demo)
        setTitleMarker(window, TitleMarker::Demo, true);
    if (!options.replayFile.isEmpty())
        setTitleMarker(window, TitleMarker::Replay, true);
    startRecording(*attachRecorder(window, defaultRecordingFolder()), options);
    attachAboutAction(window);
    attachContextMenuKeys(window);
    if (options.exitAfterFirstFrame)
        quitAfterFirstFrame(&window);
    window.show();

    if (options.connectPort != 0)
        window.clickPort(options.connectPort);
    return app.exec();
}
