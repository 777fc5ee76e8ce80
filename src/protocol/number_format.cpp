// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/number_format.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

std::optional<int16_t> roundToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return int16_t(rounded);
}

QString decimalText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    QString result = QString::fromLatin1(text);
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String("."))
        result.replace(QLatin1Char('.'), point);
    return result;
}

double revisionNumber(QStringView text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(number) ? number : 0.0;
}
