// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "viewer/run_trend_series.h"

#include <QWidget>
#include <optional>

// A figure run after run: each run a dot, evenly spaced in time order and
// joined by lines, those that stand out from the runs before them in red. A
// click on a dot tells which.
class RunTrendStrip : public QWidget {
    Q_OBJECT
public:
    explicit RunTrendStrip(QWidget *parent = nullptr);

    void setSeries(TrendSeries series);
    const TrendSeries &series() const { return shown; }
    // Rings the run at this index of the series (the one selected elsewhere).
    void setSelectedPoint(std::optional<size_t> index);
    std::optional<size_t> selectedPoint() const { return selected; }
    QPointF pointPosition(size_t index) const;

    QSize sizeHint() const override { return {700, 200}; }
    QSize minimumSizeHint() const override { return {320, 140}; }

signals:
    void pointClicked(size_t index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    struct ValueScale {
        double lowest = 0;
        double highest = 1;
        double step = 1;
    };

    QRectF plotArea() const;
    double yOf(double value) const;
    void paintValueAxis(QPainter &painter) const;
    void paintRunAxis(QPainter &painter) const;
    void paintPoints(QPainter &painter) const;
    void paintLegend(QPainter &painter) const;

    TrendSeries shown;
    std::vector<bool> standsOut; // per point
    ValueScale scale;
    std::optional<size_t> selected;
};
