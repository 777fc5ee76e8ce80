// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exceedances_job.h"

#include "app/command_line.h"
#include "app/recording_limits.h"
#include "app/temperature_scale_setting.h"
#include "limits/exceedance_text.h"
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
    QString error;
    const std::optional<EngineLimits> limits = recordingLimits(options.limitsFile, error);
    if (!limits)
        return refuse(error);
    RecordingTable table;
    const RecordingLoad load = loadRecording(options.exceedancesFile, table);
    if (!load.ok())
        return refuse(load.error);

    const std::vector<Exceedance> found = exceedancesIn(table, *limits);
    const TemperatureScale scale = startingTemperatureScale(options);
    for (const Exceedance &exceedance : found)
        std::printf("%s\n", qUtf8Printable(exceedanceLine(exceedance, scale)));
    std::printf("%s\n", qUtf8Printable(exceedanceCountText(found.size())));
    return 0;
}
