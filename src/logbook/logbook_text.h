// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/logbook.h"
#include "protocol/temperature_scale.h"

#include <QByteArray>
#include <QString>

// A logbook as text: one line per run (the recording's path relative to the
// folder, start, duration, peaks, cranking volts, cautions and alarms), each
// skipped file with its reason, then the totals; temperatures in `scale`.
QString logbookText(const Logbook &logbook, TemperatureScale scale = TemperatureScale::Celsius);
// The same runs as CSV for a spreadsheet: a header line, one row per run and
// per skipped file (its reason in the last column), no totals; numbers with
// "." whatever the locale, CR LF line ends as in the recordings. Data for
// other programs, so always in the recordings' units: its column names say
// which (peak_temp_c).
QByteArray logbookCsv(const Logbook &logbook);

// Local time with its UTC offset: "2026-12-09 07:31:05 +01:00".
QString runStartText(const QDateTime &start);
// "12:05", "1:02:05".
QString runDurationText(double seconds);
// "1 h 23 min", to the nearest minute.
QString engineTimeText(double seconds);
