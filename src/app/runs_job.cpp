// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs_job.h"

#include "app/command_line.h"
#include "app/recording_limits.h"
#include "app/temperature_scale_setting.h"
#include "logbook/logbook.h"
#include "logbook/logbook_text.h"

#include <QFileInfo>
#include <cstdio>

namespace {

int refuse(const QString &error)
{
    std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(error));
    return 2;
}

} // namespace

int listRuns(const CommandLine &options)
{
    if (!QFileInfo(options.runsFolder).isDir())
        return refuse(QStringLiteral("--runs: %1 is not a folder").arg(options.runsFolder));
    QString error;
    const std::optional<EngineLimits> limits = recordingLimits(options.limitsFile, error);
    if (!limits)
        return refuse(error);

    const Logbook logbook = readLogbook(options.runsFolder, *limits, defaultLogbookIndexPath());
    const QByteArray text =
        options.runsAsCsv ? logbookCsv(logbook)
                          : logbookText(logbook, startingTemperatureScale(options)).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}
