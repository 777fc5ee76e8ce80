// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

// "2026-12-07T14:03:22.125+01:00": ISO 8601 with milliseconds and the UTC
// offset (never "Z"), in the time's own zone, whatever the locale.
QByteArray isoTimestamp(const QDateTime &time);

// A non-negative duration as seconds with a "." and `decimals` digits,
// truncated: secondsText(12345, 3, 1000) is "12.345".
QByteArray secondsText(int64_t count, int decimals, int64_t perSecond);

// "UTC+01:00" for an offset from UTC in seconds.
QString utcOffsetText(int seconds);
// "12.3 s" under a minute, "1:06:41" from a minute on.
QString durationText(double seconds);
