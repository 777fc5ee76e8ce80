// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exceedances_job.h"

#include "app/command_line.h"
#include "limits/exceedance_text.h"
#include "limits/limits_file.h"
#include "limits/recording_exceedances.h"
#include "recording/recording_table.h"

#include <cstdio>

namespace {

int refuse(const QString &error)
{
    std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(error));
    return 2;
}

} // namespace

int listExceedances(const CommandLine &options)
{
    // A recording holds no unit settings: no default limit on engine speed
    // or advance, unless the limits file sets one.
    EngineLimits limits = defaultLimits(std::nullopt, std::nullopt);
    const StartingLimits starting = startingLimits(options.limitsFile);
    // A listing from other limits than the user's would mislead: any file
    // that does not read stops it.
    if (!starting.error.isEmpty())
        return refuse(starting.error);
    if (starting.file)
        limits = starting.file->over(limits);
    RecordingTable table;
    const RecordingLoad load = loadRecording(options.exceedancesFile, table);
    if (!load.ok())
        return refuse(load.error);

    const std::vector<Exceedance> found = exceedancesIn(table, limits);
    for (const Exceedance &exceedance : found)
        std::printf("%s\n", qUtf8Printable(exceedanceLine(exceedance)));
    std::printf("%s\n", qUtf8Printable(exceedanceCountText(found.size())));
    return 0;
}
