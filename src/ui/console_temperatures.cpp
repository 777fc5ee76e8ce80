// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_window.h"

#include "core/unit_link.h"

#include <QLabel>
#include <QLineEdit>

void ConsoleWindow::setTemperatureScale(TemperatureScale scale)
{
    if (scale == shownScale)
        return;
    shownScale = scale;
    const QString unit = temperatureCaptionUnit(scale);
    temperatureCaption->setText(QStringLiteral("TEMP ") + unit);
    maxTemperatureUnitCaption->setText(unit);
    showTemperatures();
    emit temperatureScaleChanged(scale);
}

// The unit sends both in deg C, the highest as the text of its reply.
void ConsoleWindow::showTemperatures()
{
    const UnitState &unit = link.state();
    temperatureBox->setText(temperatureText(unit.temperatureText, shownScale));
    maxTemperatureBox->setText(temperatureText(unit.maxTemperatureText, shownScale));
}
