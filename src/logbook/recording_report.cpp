// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/recording_report.h"

#include "limits/exceedance_text.h"
#include "limits/recording_exceedances.h"
#include "logbook/recorded_firmware.h"
#include "logbook/text_columns.h"
#include "protocol/time_text.h"
#include "recording/recording_table.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

const QString noValue = QStringLiteral("-");

QString figureValueText(Figure figure, const std::optional<float> &value, TemperatureScale scale)
{
    return value ? QString::number(shownFigureValue(figure, *value, scale), 'f',
                                   figureInfo(figure).decimals)
                 : noValue;
}

// A heading with the figure's unit, unless its caption says it already.
QString figureHeading(const QString &what, Figure figure, TemperatureScale scale)
{
    const QString unit = figureUnit(figure, scale);
    if (unit == QLatin1String(figureInfo(figure).caption))
        return what + u' ' + unit;
    return QStringLiteral("%1 (%2)").arg(what, unit);
}

// A recording over midnight needs the date on each time of day.
QString timeOfDay(const RecordingReport &report, const QDateTime &time)
{
    const bool oneDay = report.start.date() == report.end.date();
    return time.toString(oneDay ? QStringLiteral("HH:mm:ss") : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString runsValue(const RecordingReport &report)
{
    if (report.runs.empty())
        return QStringLiteral("none");
    return QStringLiteral("%1, %2 running")
        .arg(report.runs.size())
        .arg(durationText(report.totals.engineSeconds));
}

QString exceedancesValue(const ReportTotals &totals)
{
    if (totals.cautions + totals.alarms == 0)
        return QStringLiteral("none");
    return QStringLiteral("%1 caution%2, %3 alarm%4")
        .arg(totals.cautions)
        .arg(totals.cautions == 1 ? "" : "s")
        .arg(totals.alarms)
        .arg(totals.alarms == 1 ? "" : "s");
}

ReportTotals totalsOf(const std::vector<LoggedRun> &runs, const std::vector<Exceedance> &found)
{
    ReportTotals totals;
    for (const LoggedRun &run : runs)
        totals.engineSeconds += run.durationSeconds;
    for (const Exceedance &e : found)
        ++(e.level == LimitLevel::Alarm ? totals.alarms : totals.cautions);
    return totals;
}


} // namespace

RecordingReport recordingReport(const QString &path, const RecordingTable &table,
                                bool lastRowCutOff, const EngineLimits &limits,
                                TemperatureScale scale)
{
    RecordingReport report;
    report.fileName = QFileInfo(path).fileName();
    report.firmwareRevision = recordedFirmwareRevision(path);
    report.rows = table.rows();
    report.lastRowCutOff = lastRowCutOff;
    const double last = table.seconds.empty() ? 0 : table.seconds.back();
    report.durationSeconds = table.seconds.empty() ? 0 : last - table.seconds.front();
    report.start = table.start;
    report.end = table.start.addMSecs(std::llround(last * 1000));
    report.runs = loggedRuns(table, limits);
    report.exceedances = exceedancesIn(table, limits);
    report.totals = totalsOf(report.runs, report.exceedances);
    report.temperatureScale = scale;
    return report;
}

QString reportTimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + utcOffsetText(time.offsetFromUtc());
}

QList<ReportDetail> reportDetails(const RecordingReport &report)
{
    QString rows = QLocale::c().toString(qulonglong(report.rows));
    if (report.lastRowCutOff)
        rows += QStringLiteral(" (the last one cut off)");
    return {{QStringLiteral("File"), report.fileName},
            {QStringLiteral("Firmware revision"),
             report.firmwareRevision.value_or(QStringLiteral("not in the recording"))},
            {QStringLiteral("Start"), reportTimeText(report.start)},
            {QStringLiteral("End"), reportTimeText(report.end)},
            {QStringLiteral("Duration"), durationText(report.durationSeconds)},
            {QStringLiteral("Rows"), rows},
            {QStringLiteral("Engine runs"), runsValue(report)},
            {QStringLiteral("Exceedances"), exceedancesValue(report.totals)}};
}

QStringList runTableHeadings(TemperatureScale scale)
{
    return {QStringLiteral("Run"),
            QStringLiteral("Start"),
            QStringLiteral("Duration"),
            figureHeading(QStringLiteral("Peak"), Figure::Rpm, scale),
            figureHeading(QStringLiteral("Peak advance"), Figure::Advance, scale),
            figureHeading(QStringLiteral("Cranking volts"), Figure::Volts, scale),
            figureHeading(QStringLiteral("Peak temperature"), Figure::Temperature, scale),
            QStringLiteral("Cautions"),
            QStringLiteral("Alarms")};
}

QStringList runTableCells(const RecordingReport &report, size_t runIndex)
{
    const LoggedRun &run = report.runs[runIndex];
    const TemperatureScale scale = report.temperatureScale;
    return {QString::number(runIndex + 1),
            timeOfDay(report, run.start),
            durationText(run.durationSeconds),
            figureValueText(Figure::Rpm, run.peakRpm, scale),
            figureValueText(Figure::Advance, run.peakAdvance, scale),
            figureValueText(Figure::Volts, run.crankingVolts, scale),
            figureValueText(Figure::Temperature, run.peakTemperature, scale),
            QString::number(run.cautions),
            QString::number(run.alarms)};
}

QString reportExceedanceLine(const RecordingReport &report, const Exceedance &exceedance)
{
    const QDateTime began = report.start.addMSecs(std::llround(exceedance.startSeconds * 1000));
    return timeOfDay(report, began) + QStringLiteral("  ")
           + exceedanceLine(exceedance, report.temperatureScale);
}

QString reportText(const RecordingReport &report)
{
    QString text = QStringLiteral("Torvane recording report\n\n");
    QList<QStringList> details;
    for (const ReportDetail &detail : reportDetails(report))
        details.append({detail.caption + u':', detail.value});
    text += textColumns(details, {false, false});

    text += QStringLiteral("\nEngine runs\n");
    if (report.runs.empty()) {
        text += QStringLiteral("None\n");
    } else {
        QList<QStringList> rows{runTableHeadings(report.temperatureScale)};
        for (size_t i = 0; i < report.runs.size(); ++i)
            rows.append(runTableCells(report, i));
        text += textColumns(rows, {true, false, true, true, true, true, true, true, true});
    }

    text += QStringLiteral("\nExceedances\n");
    for (const Exceedance &exceedance : report.exceedances)
        text += reportExceedanceLine(report, exceedance) + u'\n';
    if (report.exceedances.empty())
        text += QStringLiteral("None beyond the limits\n");
    return text;
}
