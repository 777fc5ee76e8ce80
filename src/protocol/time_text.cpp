// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/time_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

QByteArray isoTimestamp(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    const int offset = time.offsetFromUtc();
    const int offsetMinutes = std::abs(offset) / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", date.year(),
                  date.month(), date.day(), clock.hour(), clock.minute(), clock.second(),
                  clock.msec(), offset < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return QByteArray(text);
}

QByteArray secondsText(int64_t count, int decimals, int64_t perSecond)
{
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%0*lld", static_cast<long long>(count / perSecond),
                  decimals, static_cast<long long>(count % perSecond));
    return QByteArray(text);
}

QString utcOffsetText(int seconds)
{
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("UTC%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString durationText(double seconds)
{
    if (seconds < 59.95)
        return QStringLiteral("%1 s").arg(seconds, 0, 'f', 1);
    const long long whole = std::llround(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}
