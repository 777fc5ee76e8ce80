// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/time_ticks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double minute = 60;
constexpr double hour = 3600;
constexpr double day = 86400;

// Between a millisecond and 30 s, clock time and plain seconds alike count in
// 1, 2, 5; 50 s would not divide a minute, so clock time goes 20, 30, 60.
const double clockSteps[] = {
    0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 30,
    minute, 2 * minute, 5 * minute, 10 * minute, 15 * minute, 30 * minute,
    hour, 2 * hour, 3 * hour, 6 * hour, 12 * hour,
};

// Far past a year from a millisecond; a span that fits none (NaN) stops there.
constexpr int mostDecades = 30;

// 1, 2, 5 x 10^n times `unit`, the first that fits.
double decimalStep(double spanSeconds, int most, double unit)
{
    double decade = unit;
    for (int n = 0; n < mostDecades; ++n, decade *= 10)
        for (const double m : {1.0, 2.0, 5.0})
            if (spanSeconds / (m * decade) <= most)
                return m * decade;
    return decade;
}

double stepFor(double spanSeconds, int most, TimeAxis axis)
{
    if (axis == TimeAxis::Seconds)
        return decimalStep(spanSeconds, most, 0.001);
    for (const double step : clockSteps)
        if (spanSeconds / step <= most)
            return step;
    return decimalStep(spanSeconds, most, day);
}

int decimalsFor(double step)
{
    return step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
}

QString fraction(double seconds, int decimals)
{
    if (decimals == 0)
        return {};
    const double part = seconds - std::floor(seconds);
    const long long digits = std::llround(part * std::pow(10, decimals));
    return QStringLiteral(".%1").arg(digits, decimals, 10, QLatin1Char('0'));
}

} // namespace

TimeTicks timeTicks(double spanSeconds, int most, TimeAxis axis)
{
    const double step = stepFor(spanSeconds, std::max(most, 1), axis);
    return {step, decimalsFor(step)};
}

std::vector<double> tickSeconds(double first, double last, double step, double zero)
{
    std::vector<double> ticks;
    if (!(step > 0))
        return ticks;
    // Counted in whole steps so that no rounding error piles up; in a double,
    // as a step too small for the span's magnitude would overflow an integer.
    const double from = std::ceil((first - zero) / step - 1e-9);
    for (int k = 0; k < mostTimeTicks; ++k) {
        const double seconds = zero + (from + k) * step;
        if (!(seconds <= last + step * 1e-9))
            break;
        ticks.push_back(seconds);
    }
    return ticks;
}

double tickZero(const QDateTime &start, TimeAxis axis)
{
    return axis == TimeAxis::Clock ? -start.time().msecsSinceStartOfDay() / 1000.0 : 0.0;
}

QString timeTickLabel(const QDateTime &start, double seconds, const TimeTicks &ticks,
                      TimeAxis axis, bool withDate)
{
    if (axis == TimeAxis::Seconds)
        return QString::number(seconds, 'f', ticks.decimals);
    const QDateTime time = start.addMSecs(std::llround(seconds * 1000));
    const double clockSeconds = time.time().msecsSinceStartOfDay() / 1000.0;
    QString text = time.toString(ticks.step >= minute && std::fmod(ticks.step, minute) == 0
                                        ? QStringLiteral("HH:mm")
                                        : QStringLiteral("HH:mm:ss"))
                   + fraction(clockSeconds, ticks.decimals);
    if (withDate)
        text.prepend(time.toString(QStringLiteral("yyyy-MM-dd ")));
    return text;
}
