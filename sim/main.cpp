// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quit_signals.h"
#include "sim/replay_file.h"
#include "sim/sim_options.h"
#include "sim/unit_simulator.h"
#include "torvane_version.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

constexpr int malformedOptionStatus = 2;

void complain(const QString &text)
{
    std::fprintf(stderr, "torvane-unit-sim: %s\n", qUtf8Printable(text));
}

// An error naming the file, or nothing.
QString loadReplay(SimOptions &options)
{
    if (options.replayFile.isEmpty())
        return {};
    const LoadedRecording loaded = openReplay(options.replayFile);
    options.replay = loaded.recording;
    return loaded.error;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torvane-unit-sim"));
    // Before anything else can start a thread that would inherit the mask.
    QuitSignals quitSignals;

    const ParsedOptions parsed = parseSimOptions(QCoreApplication::arguments());
    if (parsed.helpRequested) {
        std::fputs(qUtf8Printable(simHelpText()), stdout);
        return 0;
    }
    if (parsed.versionRequested) {
        std::puts("torvane-unit-sim " TORVANE_VERSION "\n" TORVANE_LICENCE_NOTICE);
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        complain(parsed.error + QStringLiteral(" (see --help)"));
        return malformedOptionStatus;
    }
    if (!parsed.warning.isEmpty())
        complain(parsed.warning);
    if (!quitSignals.isValid())
        complain(
            QStringLiteral("cannot watch for SIGINT/SIGTERM; a signal will skip the clean-up"));

    SimOptions options = parsed.options;
    if (const QString error = loadReplay(options); !error.isEmpty()) {
        complain(error);
        return malformedOptionStatus;
    }
    UnitSimulator simulator(options);
    const StartResult started = simulator.start();
    if (!started.ok()) {
        complain(started.error);
        return 1;
    }
    std::printf("%s\n", qUtf8Printable(started.devicePath));
    std::fflush(stdout);
    complain(
        QStringLiteral("serving on %1 (seed %2)").arg(started.devicePath).arg(parsed.options.seed));

    QObject::connect(
        &quitSignals, &QuitSignals::received, &app, [](int) { QCoreApplication::quit(); });
    QObject::connect(&simulator, &UnitSimulator::vanished, &app, [] {
        complain(QStringLiteral("the device vanished, as asked"));
        QCoreApplication::quit();
    });
    QObject::connect(&simulator, &UnitSimulator::linkFailed, &app, [](const QString &reason) {
        complain(reason);
        QCoreApplication::exit(1);
    });
    return app.exec();
}
