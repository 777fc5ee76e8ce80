// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/exceedance_detector.h"
#include "protocol/temperature_scale.h"
#include "recording/recording_table.h"
#include "viewer/time_span.h"
#include "viewer/time_ticks.h"

#include <QWidget>
#include <optional>

class OverlaidRecording;
class ViewedRecording;
struct StripMapping;

// The recording's figures, one strip each, stacked on one time axis. Wheel
// zooms around the pointer, dragging pans, Shift+drag zooms into the range
// dragged, double-click or Home shows everything; the arrow keys pan and
// + and - zoom. A cursor line follows the pointer.
class StripChart : public QWidget {
    Q_OBJECT
public:
    explicit StripChart(const ViewedRecording &recording, QWidget *parent = nullptr);

    // Seconds since the file began, kept inside the data and at least
    // narrowestSpanSeconds across.
    void setVisibleSeconds(double first, double last);
    TimeSpan visibleSeconds() const { return view; }
    void showAll();
    // As if the pointer were at that time.
    void setCursorSeconds(double seconds);
    std::optional<double> cursorSeconds() const { return cursor; }
    // Where a figure's strip lies in the widget.
    QRectF stripArea(Figure figure) const { return stripRect(int(figure)); }

    // Each strip spans its gauge's range, or the visible values.
    void setFitToData(bool fit);
    void setTimeAxis(TimeAxis axis);
    // The temperature strip's scale and caption; its trace is the same.
    void setTemperatureScale(TemperatureScale scale);
    // Shades each exceedance on its strip and draws the limits.
    void setExceedances(const EngineLimits &limits, std::vector<Exceedance> exceedances);
    // A second recording drawn on the same strips in its own colour, under a
    // legend naming both files; nothing removes it. The chart does not own it.
    void setOverlay(const OverlaidRecording *overlay);
    // The recording gained rows: a view that showed its end (`before` was the
    // recording's span until then) moves along with it.
    void recordingGrew(TimeSpan before);

    QSize sizeHint() const override { return {900, 640}; }
    QSize minimumSizeHint() const override { return {360, 420}; }

signals:
    void visibleSecondsChanged(double first, double last);
    void cursorMoved(double seconds);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Pan, Select };
    static constexpr double outerMargin = 8;
    // Measured once: a text's width costs more than a trace's lines.
    struct Margins {
        double left;
        double bottom;     // without a legend
        double legendLine; // the legend's text height
    };
    static Margins plotMargins();

    void showSpan(TimeSpan span);
    void zoomAround(double seconds, double factor);
    void panBy(double seconds);

    // Geometry (strip_chart_painting.cpp).
    QRectF plotArea() const;
    QRectF stripRect(int strip) const;
    double xOf(double seconds) const;
    double secondsAt(double x) const;
    std::pair<double, double> valueRange(int strip) const;
    StripMapping stripMapping(int strip) const;

    // Painting (strip_chart_painting.cpp), back to front.
    void paintRuns(QPainter &painter) const;
    void paintTimeAxis(QPainter &painter) const;
    void paintStrip(QPainter &painter, int strip, const std::vector<size_t> &bounds,
                    const std::vector<size_t> &overlayBounds) const;
    void paintExceedances(QPainter &painter, int strip, const StripMapping &mapping) const;
    void paintLimits(QPainter &painter, int strip, const StripMapping &mapping) const;
    void paintCursor(QPainter &painter) const;
    // The second recording (strip_chart_overlay.cpp).
    double legendHeight() const;
    void paintOverlayTrace(QPainter &painter, int strip, const StripMapping &mapping,
                           const std::vector<size_t> &bounds) const;
    void paintOverlayCursor(QPainter &painter) const;
    void paintLegend(QPainter &painter) const;
    void paintSelection(QPainter &painter) const;

    const ViewedRecording &recording;
    const OverlaidRecording *overlay = nullptr;
    const Margins margins = plotMargins();
    TimeSpan view;
    std::optional<double> cursor;
    bool fitToData = false;
    TimeAxis axis = TimeAxis::Clock;
    TemperatureScale temperatureScale = TemperatureScale::Celsius;
    EngineLimits limits;
    std::vector<Exceedance> exceedances;
    Drag drag = Drag::None;
    double dragFromX = 0;
    double dragToX = 0;
    TimeSpan dragFromView;
};
