// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/angular_gauge.h"

#include "gauges/dial_face_painter.h"
#include "gauges/dial_geometry.h"
#include "gauges/dial_needle.h"
#include "gauges/gauge_drawing.h"
#include "gauges/needle_frame_cache.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace {


// Per row of a widget `height` rows high, the columns whose whole pixel lies
// inside the circle; first after last for a row with none.
QList<QPoint> pixelsInside(const QPointF &center, double radius, int height)
{
    QList<QPoint> rows(height, QPoint(0, -1));
    for (int y = 0; y < height; ++y) {
        const double dy = std::max(std::fabs(y - center.y()), std::fabs(y + 1 - center.y()));
        if (dy >= radius)
            continue;
        const double half = std::sqrt(radius * radius - dy * dy);
        rows[y] = QPoint(int(std::ceil(center.x() - half)), int(std::floor(center.x() + half)) - 1);
    }
    return rows;
}

} // namespace

// The opaque middle of the dial as a widget of its own. Qt repaints an
// opaque widget alone, so a needle step does not repaint the window and
// the bars below the round dial first. It paints what the dial would there.
class AngularGauge::FaceWidget : public QWidget {
public:
    explicit FaceWidget(AngularGauge *dial) : QWidget(dial), dial(dial)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // Screen readers meet it inside the dial; the dial says what it shows.
        setAccessibleName(QStringLiteral("Dial face"));
        hide(); // until the dial has a size
    }

protected:
    void paintEvent(QPaintEvent *event) override { dial->paintDial(this, *event); }

private:
    AngularGauge *dial;
};

AngularGauge::AngularGauge(QWidget *parent)
    : QWidget(parent), needle(std::make_unique<DialNeedle>()), needleFrames(std::make_unique<NeedleFrameCache>())
{
    // Round instrument: everything outside the circle stays transparent so the
    // widgets below show around it.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    faceWidget = new FaceWidget(this);
}

AngularGauge::~AngularGauge() = default;

void AngularGauge::setNeedleValue(double value)
{
    const double old = shownValue;
    shownValue = value; // always kept exactly, even when it draws the same
    if (old == value || (std::isnan(old) && std::isnan(value)))
        return;
    // Only the area the needle leaves and enters: a sweep repaints a sliver of
    // the dial, not the dial and the bars behind it.
    if (angleFor(old) == angleFor(value))
        return;
    // An update of the dial leaves its opaque face widget as it is.
    const QRegion step = needleStep(angleFor(old), angleFor(value));
    faceWidget->update(step);
    if (!faceWidget->isVisible() || !rowsHold(faceRows, step.boundingRect()))
        update(step);
}

// Where a needle step changes the dial: a band of a few rows at a time,
// across the columns where either needle differs from the face. That is
// about a fifth of both needles' bounds, and the copy a step makes shrinks
// with it. Both needles' bounds where no kept frames are to be had.
QRegion AngularGauge::needleStep(double from, double to)
{
    constexpr int bandRows = 8;
    const DialGeometry g = dialGeometry(size());
    const QRect bounds = DialNeedle::bounds(g, from).united(DialNeedle::bounds(g, to));
    if (directNeedle || !g.hasFace())
        return bounds;
    ensureBackground();
    const QImage image = background.toImage();
    if (background.devicePixelRatio() != 1.0 || image.format() != QImage::Format_ARGB32_Premultiplied)
        return bounds;
    // Per row of bounds, the columns either needle changes; the first frame
    // is read before the second is fetched, which may push it out of the cache.
    QList<QPoint> changed(bounds.height(), QPoint(bounds.right() + 1, bounds.left() - 1));
    for (double angle : {from, to}) {
        const QRect area = DialNeedle::bounds(g, angle);
        const NeedleFrameCache::Frame *frame = needleFrames->frame(image, area, g, angle, *needle);
        if (!frame)
            return bounds;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QPoint &run = frame->runs[y - area.top()];
            QPoint &row = changed[y - bounds.top()];
            if (run.y() >= run.x())
                row = QPoint(std::min(row.x(), area.left() + run.x()), std::max(row.y(), area.left() + run.y()));
        }
    }
    QList<QRect> bands;
    for (int top = 0; top < changed.size(); top += bandRows) {
        const int bottom = std::min<int>(top + bandRows, changed.size()) - 1;
        QPoint band = changed[top];
        for (int y = top + 1; y <= bottom; ++y)
            band = QPoint(std::min(band.x(), changed[y].x()), std::max(band.y(), changed[y].y()));
        if (band.y() >= band.x())
            bands.append(QRect(band.x(), bounds.top() + top, band.y() - band.x() + 1, bottom - top + 1));
    }
    QRegion step;
    step.setRects(bands.constData(), int(bands.size()));
    return step;
}

void AngularGauge::setScale(double newMinimum, double newMaximum, bool newFullCircle)
{
    if (minimum == newMinimum && maximum == newMaximum && fullCircle == newFullCircle)
        return;
    minimum = newMinimum;
    maximum = newMaximum;
    fullCircle = newFullCircle;
    invalidateBackground();
}

void AngularGauge::setCaptions(const QString &caption, const QString &subCaption)
{
    if (caption == captionText && subCaption == subCaptionText)
        return;
    captionText = caption;
    subCaptionText = subCaption;
    invalidateBackground();
}

void AngularGauge::setRedLine(std::optional<double> from)
{
    if (from == redLineFrom)
        return;
    redLineFrom = from;
    invalidateBackground();
}

double AngularGauge::angleFor(double value) const
{
    return DialScale{minimum, maximum, fullCircle}.angleFor(value);
}

void AngularGauge::invalidateBackground()
{
    background = QPixmap();
    needleFrames->clear();
    update();
    faceWidget->update();
}

void AngularGauge::ensureBackground()
{
    if (!backgroundFits(background, backgroundSize, *this))
        renderBackground();
}

void AngularGauge::renderBackground()
{
    const DialGeometry g = dialGeometry(size());
    backgroundSize = size();
    background = backgroundFor(*this, Qt::transparent);
    if (background.isNull() || !g.hasFace()) {
        needleFrames->setFace(QImage());
        return;
    }
    const DialFace shown{{minimum, maximum, fullCircle}, captionText, subCaptionText, redLineFrom};
    {
        QPainter p(&background);
        paintDialFace(p, g, shown);
    }
    needleFrames->setFace(background.toImage());
}

void AngularGauge::paintEvent(QPaintEvent *event)
{
    paintDial(this, *event);
}

// The dial, or its face widget, over `event`'s region.
void AngularGauge::paintDial(QWidget *target, const QPaintEvent &event)
{
    ensureBackground();
    QPainter p(target);
    const DialGeometry g = dialGeometry(size());
    const double angle = angleFor(shownValue);
    // A needle step repaints a few areas of the face alone: copied whole,
    // they need no background under them.
    if (g.hasFace() && paintNeedleFrame(p, g, angle, event.region()))
        return;
    if (!background.isNull())
        p.drawPixmap(QPoint(0, 0), background);
    const QRect bounds = DialNeedle::bounds(g, angle);
    if (!g.hasFace() || !event.region().intersects(bounds))
        return;
    if (!paintNeedleFrame(p, g, angle, QRegion(bounds)))
        needle->paint(p, g, angle, directNeedle);
}

bool AngularGauge::paintNeedleFrame(QPainter &p, const DialGeometry &g, double angle, const QRegion &region)
{
    return !directNeedle && needleFrames->paint(p, background, region, g, angle, *needle);
}

// The face widget covers the pixels the rim and face leave wholly opaque,
// kept a pixel and a half inside the rim's soft edge at any pixel ratio. Qt
// clips every repaint of the face to its mask, and a few bands clip faster
// than a row each: rows join a band while its edges move by little.
void AngularGauge::placeFaceWidget()
{
    constexpr int edgeSlack = 3; // columns a band may give up at either edge
    const DialGeometry g = dialGeometry(size());
    faceRows.clear();
    QList<QRect> bands;
    if (g.hasFace())
        faceRows = pixelsInside(g.center, g.radius - 1.5, height());
    for (int top = 0; top < faceRows.size();) {
        int bottom = top;
        QPoint band = faceRows[top];
        QPoint widest = band;
        while (bottom + 1 < faceRows.size()) {
            const QPoint next = faceRows[bottom + 1];
            const QPoint joined(std::max(band.x(), next.x()), std::min(band.y(), next.y()));
            const QPoint outer(std::min(widest.x(), next.x()), std::max(widest.y(), next.y()));
            if (joined.x() - outer.x() > edgeSlack || outer.y() - joined.y() > edgeSlack)
                break;
            band = joined;
            widest = outer;
            ++bottom;
        }
        for (int y = top; y <= bottom; ++y)
            faceRows[y] = band;
        if (band.y() >= band.x())
            bands.append(QRect(QPoint(band.x(), top), QPoint(band.y(), bottom)));
        top = bottom + 1;
    }
    QRegion covered;
    covered.setRects(bands.constData(), int(bands.size()));
    faceWidget->setGeometry(rect());
    faceWidget->setMask(covered);
    faceWidget->setVisible(!covered.isEmpty());
}

void AngularGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    renderBackground();
    placeFaceWidget();
}
