// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/logbook.h"

#include <QDateTime>
#include <QString>

// How the logbook window writes times and totals.

// "2026-12-09 07:31 +01:00": to the minute, in the run's own zone.
QString runStartText(const QDateTime &start);
// "12 h 05 min", rounded to the minute.
QString engineTimeText(double seconds);
// "14 recordings, 31 runs, engine time 12 h 05 min", and the files skipped.
QString totalsText(const LogbookTotals &totals);
