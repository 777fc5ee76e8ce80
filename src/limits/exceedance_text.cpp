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
QString withUnit(Figure figure, const QString &number)
{
    const FigureInfo &info = figureInfo(figure);
    const QLatin1String unit(info.unit);
    if (unit.isEmpty() || unit == QLatin1String(info.caption))
        return number;
    return number + u' ' + unit;
}

// A figure's value at the precision the unit reports it.
QString valueText(Figure figure, double value)
{
    return QString::number(value, 'f', figureInfo(figure).decimals);
}

// A limit as the user wrote it: no more digits than it has.
QString limitText(const Exceedance &e)
{
    return withUnit(e.figure, QString::number(e.limit, 'g', 10));
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

QString liveExceedanceText(const Exceedance &e, double currentValue, double nowSeconds)
{
    return QStringLiteral("%1 %2: %3 its %4 limit %5 for %6")
        .arg(caption(e), valueText(e.figure, currentValue), direction(e),
             e.level == LimitLevel::Alarm ? QStringLiteral("alarm") : QStringLiteral("caution"),
             limitText(e), wholeDurationText(nowSeconds - e.startSeconds));
}

QString exceedanceLine(const Exceedance &e)
{
    const double end = e.endSeconds.value_or(e.startSeconds);
    return QStringLiteral("%1 %2 %3 %4: %5 to %6 (%7), peak %8 at %9")
        .arg(caption(e), levelMark(e.level), direction(e), limitText(e), secondsText(e.startSeconds),
             secondsText(end), secondsText(end - e.startSeconds),
             withUnit(e.figure, valueText(e.figure, e.peak)), secondsText(e.peakSeconds));
}

QString exceedanceStartedText(const Exceedance &e, double nowSeconds)
{
    return QStringLiteral("%1 %2: %3 %4 for %5, peak %6 so far")
        .arg(caption(e), levelMark(e.level), direction(e), limitText(e),
             secondsText(nowSeconds - e.startSeconds), withUnit(e.figure, valueText(e.figure, e.peak)));
}

QString exceedanceEndedText(const Exceedance &e)
{
    return QStringLiteral("%1 %2 over: %3 %4 for %5, peak %6")
        .arg(caption(e), levelMark(e.level), direction(e), limitText(e),
             secondsText(e.endSeconds.value_or(e.startSeconds) - e.startSeconds),
             withUnit(e.figure, valueText(e.figure, e.peak)));
}

QString exceedanceCountText(std::size_t count)
{
    return QStringLiteral("%1 exceedance%2").arg(count).arg(count == 1 ? "" : "s");
}
