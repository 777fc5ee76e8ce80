// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/limits_file.h"
#include "protocol/temperature_scale.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;

// "Alarm limits...": the four limits of each engine figure, blank for none.
// Saving writes the limits file; a figure left as its defaults is not
// written, so it keeps following the unit (its Max RPM, say). Temperatures
// are shown and typed in `scale`, and written in deg C.
class LimitsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int limitsPerFigure = 4;

    LimitsDialog(const EngineLimits &applied, const EngineLimits &defaults, const QString &path,
                 TemperatureScale scale = TemperatureScale::Celsius, QWidget *parent = nullptr);

    // The file the editors describe, or the reason it is refused.
    LimitsFileReading edited() const;
    // Checks and writes; true when written, the reason shown when not.
    bool save();
    // What was last saved.
    const LimitsFile &saved() const { return written; }

    QLineEdit *editor(Figure figure, int limit) const;

private:
    void fill(const EngineLimits &limits);
    QString shownText(Figure figure, int limit, const EngineLimits &limits) const;
    QString storedText(Figure figure, int limit) const;

    EngineLimits defaults;
    EngineLimits applied;
    EngineLimits filled; // what the editors were last filled with
    QString path;
    TemperatureScale scale;
    LimitsFile written;
    std::array<std::array<QLineEdit *, limitsPerFigure>, figureCount> editors{};
    QLabel *problem = nullptr;
};
