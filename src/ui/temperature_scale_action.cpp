// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/temperature_scale_action.h"

#include "ui/console_window.h"
#include "viewer/temperature_scale_choice.h"

#include <QAction>

QAction *attachTemperatureScaleAction(ConsoleWindow &window, TemperatureScaleChoice &choice)
{
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *action = new QAction(QStringLiteral("Temperatures in °F"), &window);
    action->setObjectName(QStringLiteral("fahrenheitAction"));
    action->setToolTip(QStringLiteral("Show temperatures in degrees Fahrenheit; recordings and "
                                      "files keep degrees Celsius"));
    action->setCheckable(true);
    const auto show = [&window, action](TemperatureScale scale) {
        window.setTemperatureScale(scale);
        action->setChecked(scale == TemperatureScale::Fahrenheit);
    };
    show(choice.scale());
    QObject::connect(&choice, &TemperatureScaleChoice::scaleChanged, &window, show);
    QObject::connect(action, &QAction::toggled, &choice, [&choice](bool fahrenheit) {
        choice.setScale(fahrenheit ? TemperatureScale::Fahrenheit : TemperatureScale::Celsius);
    });
    window.addAction(action);
    return action;
}
