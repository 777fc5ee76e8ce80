// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/value_text.h"

#include <cmath>

QString figureCaption(Figure figure, TemperatureScale scale)
{
    const QString name = QString::fromUtf8(figureInfo(figure).name);
    const QString unit = figureUnit(figure, scale);
    return unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, unit);
}

QString figureText(double value)
{
    if (value == std::round(value))
        return QString::number(value, 'f', 0);
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

QString differenceText(double value)
{
    // Float columns subtracted: 13.3 - 13.2 leaves 0.1000004.
    const double rounded = std::round(value * 100) / 100;
    return rounded > 0 ? QLatin1Char('+') + figureText(rounded) : figureText(rounded + 0.0);
}

QString meanText(double value)
{
    return QString::number(value, 'f', 1);
}

QDateTime clockAt(const QDateTime &start, double seconds)
{
    return start.addMSecs(std::llround(seconds * 1000));
}

QString clockText(const QDateTime &start, double seconds)
{
    return clockAt(start, seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

