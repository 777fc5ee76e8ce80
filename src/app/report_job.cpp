// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_job.h"

#include "app/command_line.h"
#include "app/recording_limits.h"
#include "app/temperature_scale_setting.h"
#include "logbook/recording_report.h"
#include "recording/recording_table.h"
#include "viewer/report_sheet.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

int refuse(const QString &error, int status)
{
    std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(error));
    return status;
}

} // namespace

int writeReport(const CommandLine &options, int &argc, char **argv)
{
    QString error;
    const std::optional<EngineLimits> limits = recordingLimits(options.limitsFile, error);
    if (!limits)
        return refuse(error, 2);
    RecordingTable table;
    const RecordingLoad load = loadRecording(options.reportFile, table);
    if (!load.ok())
        return refuse(load.error, 2);

    const RecordingReport report =
        recordingReport(options.reportFile, table, load.lastRowIncomplete, *limits,
                        startingTemperatureScale(options));
    std::fputs(qUtf8Printable(reportText(report)), stdout);
    std::fflush(stdout);
    if (options.reportPdf.isEmpty())
        return 0;

    // The page needs fonts, which come with a GUI application, but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    error = writeReportPdf(report, table, options.reportPdf);
    return error.isEmpty() ? 0 : refuse(error, 1);
}
