// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/strip_chart.h"

#include "viewer/viewed_recording.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// One notch of the wheel shows this share of the span; a key press, twice
// as much.
constexpr double wheelNotchZoom = 0.8;
constexpr double keyZoom = 0.5;
constexpr double keyPanShare = 0.1;
// A Shift+drag shorter than this is a click, not a range.
constexpr double shortestSelection = 3;

} // namespace

StripChart::StripChart(const ViewedRecording &recording, QWidget *parent)
    : QWidget(parent), recording(recording), view(clampedSpan(recording.span(), recording.span()))
{
    setObjectName(QStringLiteral("stripChart"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void StripChart::setVisibleSeconds(double first, double last)
{
    showSpan(clampedSpan({first, last}, recording.span()));
}

void StripChart::showAll()
{
    showSpan(clampedSpan(recording.span(), recording.span()));
}

void StripChart::setCursorSeconds(double seconds)
{
    cursor = seconds;
    update();
    emit cursorMoved(seconds);
}

void StripChart::setFitToData(bool fit)
{
    fitToData = fit;
    update();
}

void StripChart::setExceedances(const EngineLimits &newLimits,
                                std::vector<Exceedance> newExceedances)
{
    limits = newLimits;
    exceedances = std::move(newExceedances);
    update();
}

void StripChart::setOverlay(const OverlaidRecording *newOverlay)
{
    overlay = newOverlay;
    update();
}

void StripChart::setTimeAxis(TimeAxis timeAxis)
{
    axis = timeAxis;
    update();
}

void StripChart::setTemperatureScale(TemperatureScale scale)
{
    temperatureScale = scale;
    update();
}

void StripChart::recordingGrew(TimeSpan before)
{
    const TimeSpan now = recording.span();
    const bool showedStart = view.first <= before.first;
    const bool showedEnd = view.last >= before.last;
    if (showedStart && showedEnd)
        showAll();
    else if (showedEnd)
        showSpan(clampedSpan({now.last - view.length(), now.last}, now));
    else
        update();
}

void StripChart::showSpan(TimeSpan span)
{
    if (span == view)
        return;
    view = span;
    update();
    emit visibleSecondsChanged(view.first, view.last);
}

void StripChart::zoomAround(double seconds, double factor)
{
    showSpan(zoomedSpan(view, seconds, factor, recording.span()));
}

void StripChart::panBy(double seconds)
{
    showSpan(pannedSpan(view, seconds, recording.span()));
}

void StripChart::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        zoomAround(secondsAt(event->position().x()), std::pow(wheelNotchZoom, notches));
    event->accept();
}

void StripChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    drag = event->modifiers() & Qt::ShiftModifier ? Drag::Select : Drag::Pan;
    dragFromX = dragToX = event->position().x();
    dragFromView = view;
}

void StripChart::mouseMoveEvent(QMouseEvent *event)
{
    const double x = event->position().x();
    if (drag == Drag::Pan)
        showSpan(pannedSpan(dragFromView, (dragFromX - x) * view.length() / plotArea().width(),
                            recording.span()));
    dragToX = x;
    setCursorSeconds(std::clamp(secondsAt(x), view.first, view.last));
}

void StripChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const Drag ended = std::exchange(drag, Drag::None);
    if (ended == Drag::Select && std::abs(dragToX - dragFromX) >= shortestSelection) {
        const double from = secondsAt(std::min(dragFromX, dragToX));
        const double to = secondsAt(std::max(dragFromX, dragToX));
        setVisibleSeconds(from, to);
    }
    update();
}

void StripChart::mouseDoubleClickEvent(QMouseEvent *)
{
    showAll();
}

void StripChart::keyPressEvent(QKeyEvent *event)
{
    const double middle = (view.first + view.last) / 2;
    switch (event->key()) {
    case Qt::Key_Home:
        return showAll();
    case Qt::Key_Left:
        return panBy(-keyPanShare * view.length());
    case Qt::Key_Right:
        return panBy(keyPanShare * view.length());
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return zoomAround(middle, keyZoom);
    case Qt::Key_Minus:
        return zoomAround(middle, 1 / keyZoom);
    default:
        QWidget::keyPressEvent(event);
    }
}
