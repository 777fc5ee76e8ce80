// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/temperature_scale.h"

#include <QObject>

// The user's choice of scale for the program's run, owned by whoever starts
// the windows. Every window that shows temperatures follows it, and hands it
// on to the windows it opens, so that one switch changes them all at once.
class TemperatureScaleChoice : public QObject {
    Q_OBJECT
public:
    explicit TemperatureScaleChoice(TemperatureScale scale, QObject *parent = nullptr)
        : QObject(parent), chosen(scale)
    {
    }

    TemperatureScale scale() const { return chosen; }
    void setScale(TemperatureScale scale);

signals:
    void scaleChanged(TemperatureScale scale);

private:
    TemperatureScale chosen;
};
