// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logbook_text.h"

#include "logbook/text_columns.h"
#include "recording/csv_row.h"

#include <QDir>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

const QString none = QStringLiteral("-");

QString valueText(const std::optional<float> &value, Figure figure,
                  TemperatureScale scale = TemperatureScale::Celsius)
{
    return value ? QString::number(shownFigureValue(figure, *value, scale), 'f',
                                   figureInfo(figure).decimals)
                 : QString();
}

QString withUnit(const std::optional<float> &value, Figure figure, TemperatureScale scale)
{
    if (!value)
        return none;
    const QString unit = figureUnit(figure, scale);
    const QString number = valueText(value, figure, scale);
    return unit.isEmpty() ? number : number + u' ' + unit;
}

QString relativePath(const Logbook &logbook, const LoggedRecording &recording)
{
    return QDir(logbook.folder).relativeFilePath(recording.path);
}

using Line = QStringList;

Line runLine(const QString &recording, const LoggedRun &run, TemperatureScale scale)
{
    return {recording,
            runStartText(run.start),
            runDurationText(run.durationSeconds),
            withUnit(run.peakRpm, Figure::Rpm, scale),
            withUnit(run.peakAdvance, Figure::Advance, scale),
            withUnit(run.crankingVolts, Figure::Volts, scale),
            withUnit(run.peakTemperature, Figure::Temperature, scale),
            QString::number(run.cautions),
            QString::number(run.alarms)};
}


QString counted(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString totalsText(const LogbookTotals &totals)
{
    QString text = counted(totals.recordings, "recording", "recordings");
    if (totals.skipped > 0)
        text += QStringLiteral(" (%1 skipped)").arg(counted(totals.skipped, "file", "files"));
    return text
           + QStringLiteral(", %1, engine time %2\n")
                 .arg(counted(totals.runs, "run", "runs"), engineTimeText(totals.engineSeconds));
}

QByteArray csvLine(const QStringList &fields)
{
    QByteArray line;
    for (const QString &field : fields)
        line += (line.isEmpty() ? "" : ",") + csvField(field.toUtf8());
    return line + "\r\n";
}

QString csvColumn(const char *prefix, Figure figure)
{
    return QLatin1String(prefix) + QLatin1String(figureInfo(figure).column);
}

} // namespace

QString runStartText(const QDateTime &start)
{
    const int offsetMinutes = start.offsetFromUtc() / 60;
    const int magnitude = std::abs(offsetMinutes);
    return start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
           + QStringLiteral(" %1%2:%3")
                 .arg(QLatin1Char(offsetMinutes < 0 ? '-' : '+'))
                 .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
                 .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString runDurationText(double seconds)
{
    const qint64 whole = std::llround(std::max(0.0, seconds));
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(whole / 60 % 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
    if (whole < 3600)
        return minutesAndSeconds;
    return QStringLiteral("%1:%2").arg(whole / 3600).arg(minutesAndSeconds.rightJustified(5, u'0'));
}

QString engineTimeText(double seconds)
{
    const qint64 minutes = std::llround(std::max(0.0, seconds) / 60);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString logbookText(const Logbook &logbook, TemperatureScale scale)
{
    QList<Line> lines{{QStringLiteral("Recording"), QStringLiteral("Start"),
                       QStringLiteral("Duration"), QStringLiteral("Peak RPM"),
                       QStringLiteral("Peak advance"), QStringLiteral("Cranking volts"),
                       QStringLiteral("Peak temperature"), QStringLiteral("Cautions"),
                       QStringLiteral("Alarms")}};
    QString skipped;
    for (const LoggedRecording &recording : logbook.recordings) {
        const QString path = relativePath(logbook, recording);
        if (!recording.skipped.isEmpty())
            skipped += QStringLiteral("%1: skipped: %2\n").arg(path, recording.skipped);
        for (const LoggedRun &run : recording.runs)
            lines.push_back(runLine(path, run, scale));
    }
    // The recording and the start left-aligned, the numbers right-aligned.
    const QString runs =
        lines.size() > 1
            ? textColumns(lines, {false, false, true, true, true, true, true, true, true})
            : QStringLiteral("No engine runs.\n");
    return runs + skipped + totalsText(logbook.totals());
}

QByteArray logbookCsv(const Logbook &logbook)
{
    QByteArray text = csvLine({QStringLiteral("recording"), QStringLiteral("start"),
                               QStringLiteral("duration_s"), csvColumn("peak_", Figure::Rpm),
                               csvColumn("peak_", Figure::Advance),
                               csvColumn("cranking_", Figure::Volts),
                               csvColumn("peak_", Figure::Temperature), QStringLiteral("cautions"),
                               QStringLiteral("alarms"), QStringLiteral("skipped")});
    for (const LoggedRecording &recording : logbook.recordings) {
        const QString path = relativePath(logbook, recording);
        if (!recording.skipped.isEmpty())
            text += csvLine({path, {}, {}, {}, {}, {}, {}, {}, {}, recording.skipped});
        for (const LoggedRun &run : recording.runs)
            text += csvLine({path, run.start.toString(Qt::ISODate),
                             QString::number(run.durationSeconds, 'f', 1),
                             valueText(run.peakRpm, Figure::Rpm),
                             valueText(run.peakAdvance, Figure::Advance),
                             valueText(run.crankingVolts, Figure::Volts),
                             valueText(run.peakTemperature, Figure::Temperature),
                             QString::number(run.cautions), QString::number(run.alarms), {}});
    }
    return text;
}
