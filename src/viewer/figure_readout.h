// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/temperature_scale.h"
#include "recording/recording_table.h"
#include "viewer/cursor_values.h"

#include <QWidget>
#include <array>
#include <optional>

class QLabel;

// Beside the strips: each figure at the cursor, and its lowest, highest and
// mean value over the time in view. Every value box is named after its column
// ("cursor_rpm", "lowest_rpm", "highest_rpm", "mean_rpm"; "cursorTime"), and
// spoken as its figure and column ("Engine speed at cursor"), its text as its
// description.
// With a second recording laid over the first, also its values at the cursor
// and their difference ("overlay_rpm", "difference_rpm"; "overlayCursorTime").
// Values come as stored; the temperature is shown in the scale set.
class FigureReadout : public QWidget {
    Q_OBJECT
public:
    using Values = FigureValuesAt;
    struct InView {
        Values lowest;
        Values highest;
        Values means;
    };

    explicit FigureReadout(QWidget *parent = nullptr);

    // Takes effect with the next values shown.
    void setTemperatureScale(TemperatureScale scale);

    // Empty values leave their boxes blank (no row there, or the field empty).
    void showCursor(const QString &time, const Values &values);
    void showInView(const InView &inView);
    // Shows or hides the second recording's columns.
    void setOverlayShown(bool shown);
    // `differences` are the second's values minus the first's.
    void showOverlayCursor(const QString &time, const Values &values, const Values &differences);

private:
    enum Column { AtCursor, OverlayAtCursor, Difference, Lowest, Highest, Mean, columnCount };

    void fill(Column column, const Values &values, QString (*text)(double));

    TemperatureScale temperatureScale = TemperatureScale::Celsius;
    std::array<QLabel *, figureCount> figureCaptions{};
    QLabel *timeBox = nullptr;
    QLabel *overlayTimeCaption = nullptr;
    QLabel *overlayTimeBox = nullptr;
    std::array<QLabel *, 2> overlayHeadings{};
    std::array<std::array<QLabel *, figureCount>, columnCount> boxes{};
};
