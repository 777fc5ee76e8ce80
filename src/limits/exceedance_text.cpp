// SPDX-License-Identifier: GPL-3.0-or-later
#include "limits/exceedance_text.h"

#include <QLatin1String>
#include <cmath>

namespace {

QString caption(const Exceedance &e)
{
    return QLatin1String(figureInfo(e.figure).caption);
}

QString direction(const Exceedance &e)
{
    return e.side == LimitSide::High ? QStringLiteral("above") : QStringLiteral("below");
}

// The unit after a value, unless the caption already says it ("RPM").
QString withUnit(Figure figure, const QString &number, TemperatureScale scale)
{
    const QString unit = figureUnit(figure, scale);
    if (unit.isEmpty() || unit == QLatin1String(figureInfo(figure).caption))
        return number;
    return number + u' ' + unit;
}

// A figure's value at the precision the unit reports it.
QString valueText(Figure figure, double value, TemperatureScale scale)
{
    return QString::number(shownFigureValue(figure, value, scale), 'f', figureInfo(figure).decimals);
}

QString peakText(const Exceedance &e, TemperatureScale scale)
{
    return withUnit(e.figure, valueText(e.figure, e.peak, scale), scale);
}

// A limit as the user wrote it: no more digits than it has.
QString limitText(const Exceedance &e, TemperatureScale scale)
{
    return withUnit(e.figure, QString::number(shownFigureValue(e.figure, e.limit, scale), 'g', 10),
                    scale);
}

QString secondsText(double seconds)
{
    return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
}

// Whole seconds for a person glancing at the window: "4 s", "2 min 5 s".
QString wholeDurationText(double seconds)
{
    const long long whole = std::llround(std::floor(std::max(seconds, 0.0)));
    if (whole < 60)
        return QStringLiteral("%1 s").arg(whole);
    return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
}

} // namespace

QString levelMark(LimitLevel level)
{
    return level == LimitLevel::Alarm ? QStringLiteral("ALARM") : QStringLiteral("CAUTION");
}

QString liveExceedanceText(const Exceedance &e, double currentValue, double nowSeconds,
                           TemperatureScale scale)
{
    return QStringLiteral("%1 %2: %3 its %4 limit %5 for %6")
        .arg(caption(e), valueText(e.figure, currentValue, scale), direction(e),
             e.level == LimitLevel::Alarm ? QStringLiteral("alarm") : QStringLiteral("caution"),
             limitText(e, scale), wholeDurationText(nowSeconds - e.startSeconds));
}

QString exceedanceLine(const Exceedance &e, TemperatureScale scale)
{
    const double end = e.endSeconds.value_or(e.startSeconds);
    return QStringLiteral("%1 %2 %3 %4: %5 to %6 (%7), peak %8 at %9")
        .arg(caption(e), levelMark(e.level), direction(e), limitText(e, scale),
             secondsText(e.startSeconds), secondsText(end), secondsText(end - e.startSeconds),
             peakText(e, scale), secondsText(e.peakSeconds));
}

QString exceedanceStartedText(const Exceedance &e, double nowSeconds, TemperatureScale scale)
{
    return QStringLiteral("%1 %2: %3 %4 for %5, peak %6 so far")
        .arg(caption(e), levelMark(e.level), direction(e), limitText(e, scale),
             secondsText(nowSeconds - e.startSeconds), peakText(e, scale));
}

QString exceedanceEndedText(const Exceedance &e, TemperatureScale scale)
{
    return QStringLiteral("%1 %2 over: %3 %4 for %5, peak %6")
        .arg(caption(e), levelMark(e.level), direction(e), limitText(e, scale),
             secondsText(e.endSeconds.value_or(e.startSeconds) - e.startSeconds),
             peakText(e, scale));
}

QString exceedanceCountText(std::size_t count)
{
    return QStringLiteral("%1 exceedance%2").arg(count).arg(count == 1 ? "" : "s");
}
