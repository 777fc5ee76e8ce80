// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/recording_table.h"

#include <QWidget>
#include <array>
#include <optional>

class QLabel;

// Beside the strips: each figure at the cursor, and its lowest, highest and
// mean value over the time in view. Every value box is named after its column
// ("cursor_rpm", "lowest_rpm", "highest_rpm", "mean_rpm"; "cursorTime").
class FigureReadout : public QWidget {
    Q_OBJECT
public:
    using Values = std::array<std::optional<double>, figureCount>;
    struct InView {
        Values lowest;
        Values highest;
        Values means;
    };

    explicit FigureReadout(QWidget *parent = nullptr);

    // Empty values leave their boxes blank (no row there, or the field empty).
    void showCursor(const QString &time, const Values &values);
    void showInView(const InView &inView);

private:
    enum Column { AtCursor, Lowest, Highest, Mean, columnCount };

    void fill(Column column, const Values &values, QString (*text)(double));

    QLabel *timeBox = nullptr;
    std::array<std::array<QLabel *, figureCount>, columnCount> boxes{};
};
