// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/logbook_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

QString offsetText(int offsetSeconds)
{
    const int minutes = std::abs(offsetSeconds) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(offsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString counted(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

QString runStartText(const QDateTime &start)
{
    return start.toString(QStringLiteral("yyyy-MM-dd HH:mm ")) + offsetText(start.offsetFromUtc());
}

QString engineTimeText(double seconds)
{
    const long long minutes = std::llround(std::max(0.0, seconds) / 60);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString totalsText(const LogbookTotals &totals)
{
    QString text = QStringLiteral("%1, %2, engine time %3")
                       .arg(counted(totals.recordings, "recording", "recordings"),
                            counted(totals.runs, "run", "runs"),
                            engineTimeText(totals.engineSeconds));
    if (totals.skipped > 0)
        text += QStringLiteral("; %1 skipped").arg(counted(totals.skipped, "file", "files"));
    return text;
}
