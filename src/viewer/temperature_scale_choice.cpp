// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/temperature_scale_choice.h"

void TemperatureScaleChoice::setScale(TemperatureScale scale)
{
    if (scale == chosen)
        return;
    chosen = scale;
    emit scaleChanged(scale);
}
