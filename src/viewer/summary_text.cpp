// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/summary_text.h"

#include "viewer/value_text.h"
#include "viewer/viewed_recording.h"

#include <QFileInfo>
#include <QLocale>

namespace {

// Beyond this many the panel only counts them: a flaky tachometer can make
// thousands of runs.
constexpr size_t runsListed = 100;

QString row(const QString &name, const QString &value)
{
    return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
        .arg(name, value.toHtmlEscaped());
}

QString withUnit(const std::optional<float> &value, Figure figure, TemperatureScale scale)
{
    return value ? QStringLiteral("%1 %2").arg(figureText(shownFigureValue(figure, *value, scale)),
                                               figureUnit(figure, scale))
                 : QStringLiteral("none recorded");
}

QString runRows(const ViewedRecording &recording)
{
    const RecordingSummary &summary = recording.summary();
    const auto &seconds = recording.table().seconds;
    const char *rpm = figureInfo(Figure::Rpm).unit;
    QString rows;
    for (size_t i = 0; i < summary.runs.size() && i < runsListed; ++i) {
        const RunSummary &run = summary.runs[i];
        const QString start = clockAt(recording.table().start, seconds[run.rows.first])
                                  .toString(QStringLiteral("HH:mm:ss"));
        rows += row(QStringLiteral("Run %1").arg(i + 1),
                    QStringLiteral("%1, %2, up to %3 %4")
                        .arg(start, durationText(run.seconds), figureText(run.maximumRpm),
                             QString::fromUtf8(rpm)));
    }
    if (summary.runs.size() > runsListed)
        rows += row(QString(), QStringLiteral("and %1 more").arg(summary.runs.size() - runsListed));
    return rows;
}

} // namespace

QString summaryText(const ViewedRecording &recording, TemperatureScale scale)
{
    const RecordingSummary &summary = recording.summary();
    const TimeSpan span = recording.span();
    const QDateTime &start = recording.table().start;
    const QString dateAndTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    QString volts = withUnit(summary.maximumVolts, Figure::Volts, scale);
    if (summary.minimumVolts)
        volts.prepend(QStringLiteral("%1 to ").arg(figureText(*summary.minimumVolts)));
    QString text = QStringLiteral("<table cellspacing=\"2\">");
    text += row(QStringLiteral("File"), QFileInfo(recording.path()).fileName());
    text += row(QStringLiteral("Start"), clockAt(start, span.first).toString(dateAndTime));
    text += row(QStringLiteral("End"), clockAt(start, span.last).toString(dateAndTime));
    text += row(QStringLiteral("Duration"), durationText(summary.durationSeconds));
    text += row(QStringLiteral("Rows"), QLocale::c().toString(qulonglong(summary.rows)));
    text += row(QStringLiteral("Engine runs"), summary.runs.empty()
                                                   ? QStringLiteral("none")
                                                   : QString::number(summary.runs.size()));
    text += runRows(recording);
    text += row(QStringLiteral("Highest advance"),
                withUnit(summary.maximumAdvance, Figure::Advance, scale));
    text += row(QStringLiteral("Bus volts"), volts);
    text += row(QStringLiteral("Highest temperature"),
                withUnit(summary.maximumTemperature, Figure::Temperature, scale));
    text += QStringLiteral("</table>");
    if (recording.lastRowIncomplete())
        text += QStringLiteral("<p>The last row was incomplete (the recording was cut off)</p>");
    return text;
}
