// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/setting_texts.h"

#include "protocol/number_format.h"

#include <cstdint>

QString advanceDegreesText(int steps)
{
    return decimalText(steps * 1.4);
}

QString maxRpmText(int units)
{
    return QString::number(int16_t(units * 256));
}

QString ledText(int setting)
{
    switch (setting) {
    case 0: return QStringLiteral("Kill Sw");
    case 1: return QStringLiteral("Mode");
    case 2: return QStringLiteral("Diag");
    case 3: return QStringLiteral("Sensor");
    default: return QString();
    }
}
