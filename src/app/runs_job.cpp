// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runs_job.h"

#include "app/command_line.h"
#include "limits/limits_file.h"
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
    // As --exceedances: no unit settings in a recording, so only the
    // defaults that need none, under the user's file.
    EngineLimits limits = defaultLimits(std::nullopt, std::nullopt);
    const StartingLimits starting = startingLimits(options.limitsFile);
    if (!starting.error.isEmpty())
        return refuse(starting.error);
    if (starting.file)
        limits = starting.file->over(limits);

    const Logbook logbook = readLogbook(options.runsFolder, limits, defaultLogbookIndexPath());
    const QByteArray text =
        options.runsAsCsv ? logbookCsv(logbook) : logbookText(logbook).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}
