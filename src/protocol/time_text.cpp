// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/time_text.h"

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
