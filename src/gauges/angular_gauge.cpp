#include "gauges/angular_gauge.h"
#include "gauges/gauge_drawing.h"
#include "gauges/tick_plan.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QResizeEvent>
#include <QTransform>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr int redLineId = 59;
constexpr double arcStart = -135.0; // the 270-degree scale, clockwise from the top
constexpr double arcSweep = 270.0;

const QColor faceCenter(38, 45, 58);
const QColor faceEdge(9, 11, 16);
const QColor majorTickColor(238, 241, 246);
const QColor minorTickColor(150, 160, 175);
const QColor labelColor(240, 243, 248);
const QColor captionColor(196, 206, 222);
const QColor redLineColor(235, 40, 30);
const QColor needleColor(255, 255, 255);
const QColor needleTipColor(255, 190, 40);

// A point at `radius` from the centre, `degrees` clockwise from the top.
QPointF polar(const QPointF &center, double radius, double degrees)
{
    const double r = degrees * M_PI / 180.0;
    return center + QPointF(radius * std::sin(r), -radius * std::cos(r));
}

// Whether `rows` (per row: first and last column) take in all of `rect`.
bool rowsHold(const QList<QPoint> &rows, const QRect &rect)
{
    if (rect.isEmpty() || rect.top() < 0 || rect.bottom() >= rows.size())
        return false;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const QPoint &row = rows[y];
        if (rect.left() < row.x() || rect.right() > row.y())
            return false;
    }
    return true;
}

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
// opaque widget alone, so a needle step no longer repaints the window and
// the bars below the round dial first. It paints what the dial would there.
class AngularGauge::Face : public QWidget {
public:
    explicit Face(AngularGauge *dial) : QWidget(dial), dial(dial)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide(); // until the dial has a size
    }

protected:
    void paintEvent(QPaintEvent *event) override { dial->paintDial(this, *event); }

private:
    AngularGauge *dial;
};

AngularGauge::AngularGauge(QWidget *parent) : QWidget(parent)
{
    // Round instrument: everything outside the circle stays transparent so the
    // widgets below show around it.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    face = new Face(this);
}

void AngularGauge::setNeedleValue(double value)
{
    const double old = needleValue;
    needleValue = value; // always kept exactly, even when it draws the same
    if (old == value || (std::isnan(old) && std::isnan(value)))
        return;
    // Only the area the needle leaves and enters: a sweep repaints a sliver of
    // the dial, not the dial and the bars behind it.
    if (angleFor(old) == angleFor(value))
        return;
    // An update of the dial leaves its opaque face widget as it is.
    const QRegion step = needleStep(angleFor(old), angleFor(value));
    face->update(step);
    if (!face->isVisible() || !rowsHold(faceRows, step.boundingRect()))
        update(step);
}

// Where a needle step changes the dial: a band of a few rows at a time,
// across the columns where either needle differs from the face. That is
// about a fifth of both needles' bounds, and the copy a step makes shrinks
// with it. Both needles' bounds where no kept frames are to be had.
QRegion AngularGauge::needleStep(double from, double to)
{
    constexpr int bandRows = 8;
    const QRect bounds = needleBounds(from).united(needleBounds(to));
    const Geometry g = dialGeometry();
    if (directNeedle || g.faceRadius < 4.0)
        return bounds;
    ensureBackground();
    const QImage image = background.toImage();
    if (background.devicePixelRatio() != 1.0 || image.format() != QImage::Format_ARGB32_Premultiplied)
        return bounds;
    // Per row of bounds, the columns either needle changes; the first frame
    // is read before the second is fetched, which may push it out of the cache.
    QList<QPoint> changed(bounds.height(), QPoint(bounds.right() + 1, bounds.left() - 1));
    for (double angle : {from, to}) {
        const QRect area = needleBounds(angle);
        const NeedleFrame *frame = needleFrame(g, angle, image, area);
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

AngularGauge::NeedleShape AngularGauge::needleShape(const Geometry &g)
{
    return {g.faceRadius - 4.0, g.faceRadius * 0.2, std::max(2.0, g.radius * 0.028),
            std::max(3.0, g.radius * 0.075)};
}

// The needle pointing up before rotation: a tapered blade with a short tail.
void AngularGauge::needleBlade(const NeedleShape &shape, QPointF (&blade)[5])
{
    blade[0] = QPointF(0.0, -shape.tip);
    blade[1] = QPointF(shape.halfWidth, -shape.tip * 0.12);
    blade[2] = QPointF(shape.halfWidth * 0.8, shape.tail);
    blade[3] = QPointF(-shape.halfWidth * 0.8, shape.tail);
    blade[4] = QPointF(-shape.halfWidth, -shape.tip * 0.12);
}

QRect AngularGauge::needleBounds(double angle) const
{
    const Geometry g = dialGeometry();
    const NeedleShape shape = needleShape(g);
    QPointF blade[5];
    needleBlade(shape, blade);
    QTransform turn;
    turn.rotate(angle);
    QRectF bounds(g.center - QPointF(shape.hub, shape.hub), QSizeF(2 * shape.hub, 2 * shape.hub));
    for (const QPointF &corner : blade) {
        const QPointF at = g.center + turn.map(corner);
        bounds |= QRectF(at, at + QPointF(1.5, 2.5)).normalized(); // and its shadow
    }
    return bounds.toAlignedRect().adjusted(-3, -3, 3, 3);
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

void AngularGauge::setDispatchProperty(int dispatchId, int16_t value)
{
    auto it = dispatchProperties.find(dispatchId);
    if (it != dispatchProperties.end() && it.value() == value)
        return;
    dispatchProperties.insert(dispatchId, value);
    if (dispatchId == redLineId)
        invalidateBackground();
}

double AngularGauge::angleFor(double value) const
{
    const double fraction = fractionOf(value, minimum, maximum);
    return fullCircle ? fraction * 360.0 : arcStart + fraction * arcSweep;
}

AngularGauge::Geometry AngularGauge::dialGeometry() const
{
    Geometry g;
    g.center = QPointF(width() / 2.0, height() / 2.0);
    g.radius = std::max(0.0, std::min(width(), height()) / 2.0 - 0.5);
    const double rim = std::max(2.0, g.radius * 0.075);
    g.faceRadius = std::max(0.0, g.radius - rim);
    g.majorLength = std::max(3.0, g.faceRadius * 0.12);
    return g;
}

void AngularGauge::invalidateBackground()
{
    background = QPixmap();
    needleFrames.clear();
    update();
    face->update();
}

void AngularGauge::ensureBackground()
{
    const qreal dpr = devicePixelRatioF();
    if (background.isNull() || background.devicePixelRatio() != dpr || backgroundSize != size())
        renderBackground();
}

void AngularGauge::renderBackground()
{
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    backgroundSize = size();
    needleFrames.clear();
    opaqueRows.clear();
    if (pixels.isEmpty()) {
        background = QPixmap();
        return;
    }
    background = QPixmap(pixels);
    background.setDevicePixelRatio(dpr);
    background.fill(Qt::transparent);

    const Geometry g = dialGeometry();
    if (g.faceRadius < 4.0)
        return;
    const QPointF c = g.center;
    const double R = g.radius;
    const double F = g.faceRadius;

    QPainter p(&background);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Rim: brushed metal lit from the top left, then a thin dark seat.
    QLinearGradient rim(c - QPointF(R, R), c + QPointF(R, R));
    rim.setColorAt(0.0, QColor(250, 251, 253));
    rim.setColorAt(0.45, QColor(184, 191, 202));
    rim.setColorAt(1.0, QColor(104, 112, 126));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, R, R);
    QLinearGradient seat(c - QPointF(F, F), c + QPointF(F, F));
    seat.setColorAt(0.0, QColor(70, 76, 88));
    seat.setColorAt(1.0, QColor(225, 230, 236));
    p.setBrush(seat);
    p.drawEllipse(c, F + 1.5, F + 1.5);

    // Face.
    QRadialGradient face(c, F);
    face.setColorAt(0.0, faceCenter);
    face.setColorAt(1.0, faceEdge);
    p.setBrush(face);
    p.drawEllipse(c, F, F);

    const double low = std::min(minimum, maximum);
    const double high = std::max(minimum, maximum);
    const double sweep = fullCircle ? 360.0 : arcSweep;
    const double tickOuter = F - 2.0;
    const double major = g.majorLength;

    // Red line: a red band from dispatch property 59 to the top of the scale,
    // with a heavy radial mark, when that value lies on the scale.
    if (dispatchProperties.contains(redLineId)) {
        const double red = dispatchProperties.value(redLineId);
        if (red >= low && red <= high && high > low) {
            const double a = angleFor(red);
            const double bandRadius = tickOuter - major * 0.3;
            if (!fullCircle) {
                const double end = arcStart + arcSweep;
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(QColor(redLineColor.red(), redLineColor.green(), redLineColor.blue(), 200),
                              major * 0.45, Qt::SolidLine, Qt::FlatCap));
                const QRectF box(c.x() - bandRadius, c.y() - bandRadius, 2 * bandRadius, 2 * bandRadius);
                p.drawArc(box, int(std::lround((90.0 - a) * 16.0)), int(std::lround(-(end - a) * 16.0)));
            }
            p.setPen(QPen(redLineColor, std::max(3.0, R * 0.032), Qt::SolidLine, Qt::FlatCap));
            p.drawLine(polar(c, tickOuter + 1.0, a), polar(c, tickOuter - major * 1.5, a));
        }
    }

    // Scale: minor and major ticks, labels inside the majors.
    const QFont labelFont = drawingFont(std::clamp(F * 0.105, 7.0, 18.0), true);
    const QFontMetricsF fm(labelFont);
    // As many labels as fit with room between them along the arc.
    const int guessDecimals = high - low < 10.0 ? 1 : 0;
    const double widest = std::max(fm.horizontalAdvance(QString::number(low, 'f', guessDecimals)),
                                   fm.horizontalAdvance(QString::number(high, 'f', guessDecimals)));
    const double labelArc = sweep * M_PI / 180.0 * std::max(1.0, tickOuter - major - fm.height());
    const int fitting = int(labelArc / (widest * 1.5 + 10.0));
    TickPlan plan = planTicks(low, high, std::clamp(fitting, 2, 12));
    if (fullCircle && high - low == 360.0) { // angles: every 30, 45 or 90 degrees
        plan.step = fitting >= 9 ? 30.0 : (fitting >= 6 ? 45.0 : 90.0);
        plan.minorPerMajor = plan.step == 45.0 ? 3 : (plan.step == 30.0 ? 3 : 6);
        plan.decimals = 0;
    }
    if (plan.step > 0.0) {
        int minorPerMajor = plan.minorPerMajor;
        const double majorArc = plan.step / (high - low) * sweep * M_PI / 180.0 * tickOuter;
        if (fullCircle && plan.minorPerMajor == 3 && majorArc / 6.0 >= 5.0)
            minorPerMajor = 6; // 5-degree steps on a 0..360 dial
        while (minorPerMajor > 1 && majorArc / minorPerMajor < 5.0)
            minorPerMajor = minorPerMajor % 2 == 0 ? minorPerMajor / 2 : (minorPerMajor % 3 == 0 ? minorPerMajor / 3 : 1);
        const double minorStep = plan.step / minorPerMajor;
        const long long first = (long long)std::ceil(low / minorStep - 1e-9);
        const long long last = (long long)std::floor(high / minorStep + 1e-9);

        p.setFont(labelFont);
        // Labels sit just inside the major ticks: the text box, not its
        // centre, keeps a fixed gap from the tick ends whatever the angle.
        const double labelInner = tickOuter - major - std::max(3.0, F * 0.035);
        const double digitHalfHeight = fm.capHeight() / 2.0;

        const double startSteps = low / plan.step;
        const bool minLabelled = std::fabs(startSteps - std::round(startSteps)) < 1e-9;
        if (last - first <= 720) {
            for (long long n = first; n <= last; ++n) {
                const double v = n * minorStep;
                const double a = angleFor(v);
                const bool isMajor = n % minorPerMajor == 0;
                const bool half = !isMajor && minorPerMajor % 2 == 0 && n % (minorPerMajor / 2) == 0;
                if (isMajor) {
                    p.setPen(QPen(majorTickColor, std::max(1.5, R * 0.016), Qt::SolidLine, Qt::FlatCap));
                    p.drawLine(polar(c, tickOuter, a), polar(c, tickOuter - major, a));
                    // On a full circle the top of the scale is also its start.
                    const bool wraps = fullCircle && minLabelled && std::fabs(v - high) <= 1e-9 * (high - low);
                    if (wraps)
                        continue;
                    const QString text = tickLabel(v, plan);
                    const double rad = a * M_PI / 180.0;
                    const double inset = fm.horizontalAdvance(text) / 2.0 * std::fabs(std::sin(rad))
                        + digitHalfHeight * std::fabs(std::cos(rad)) + 1.0;
                    const QPointF at = polar(c, labelInner - inset, a);
                    p.setPen(labelColor);
                    p.drawText(QPointF(at.x() - fm.horizontalAdvance(text) / 2.0, at.y() + digitHalfHeight), text);
                } else {
                    const double length = half ? major * 0.65 : major * 0.42;
                    p.setPen(QPen(minorTickColor, std::max(1.0, R * 0.008), Qt::SolidLine, Qt::FlatCap));
                    p.drawLine(polar(c, tickOuter, a), polar(c, tickOuter - length, a));
                }
            }
        }
    }

    // Captions in the lower half of the face.
    if (!captionText.isEmpty()) {
        const QFont captionFont = drawingFont(std::clamp(F * 0.1, 7.0, 18.0), true);
        const QFontMetricsF fm(captionFont);
        p.setFont(captionFont);
        p.setPen(captionColor);
        const QRectF box(c.x() - F * 0.8, c.y() + F * 0.3, F * 1.6, fm.height());
        p.drawText(box, Qt::AlignCenter, captionText);
    }
    if (!subCaptionText.isEmpty()) {
        const QFont subFont = drawingFont(std::clamp(F * 0.08, 6.0, 14.0));
        const QFontMetricsF fm(subFont);
        p.setFont(subFont);
        p.setPen(captionColor.darker(115));
        const QRectF box(c.x() - F * 0.7, c.y() + F * 0.3 + F * 0.13, F * 1.4, fm.height());
        p.drawText(box, Qt::AlignCenter, subCaptionText);
    }

    // Glass: a faint highlight over the upper half.
    QLinearGradient glass(c - QPointF(0, F), c);
    glass.setColorAt(0.0, QColor(255, 255, 255, 26));
    glass.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(c, F, F);
    p.end();
    findOpaqueRows();
}

// Per row of the background, the columns from the centre outwards that are
// wholly opaque; none for a row whose centre is not.
void AngularGauge::findOpaqueRows()
{
    const QImage image = background.toImage();
    opaqueRows.clear();
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const int middle = image.width() / 2;
    opaqueRows.reserve(image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int left = middle;
        int right = middle - 1;
        if (qAlpha(line[middle]) == 255) {
            right = middle;
            while (left > 0 && qAlpha(line[left - 1]) == 255)
                --left;
            while (right + 1 < image.width() && qAlpha(line[right + 1]) == 255)
                ++right;
        }
        opaqueRows.append(QPoint(left, right));
    }
}

// Shadow cast on the face, down and to the right. Filled straight onto the
// widget, a translucent polygon this size has Qt 6.4 split its spans across
// the global thread pool, some forty futex calls a frame. Filled in
// Source mode onto a clear image (no threads for that mode) and then blended,
// every pixel comes out the same: coverage times colour, then source-over.
void AngularGauge::paintShadow(QPainter &p, const Geometry &g, double angle, const QPointF (&blade)[5])
{
    const QColor shadow(0, 0, 0, 120);
    const QPointF origin = g.center + QPointF(1.5, 2.5);
    // Only where the image lands on whole device pixels; otherwise as before.
    if (directNeedle || !wholePixelOffset(p)) {
        p.save();
        p.translate(origin);
        p.rotate(angle);
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawPolygon(blade, 5);
        p.restore();
        return;
    }
    QTransform turn;
    turn.rotate(angle);
    QPolygonF outline;
    for (const QPointF &corner : blade)
        outline << origin + turn.map(corner);
    const QRect area = outline.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (shadowImage.width() < area.width() || shadowImage.height() < area.height())
        shadowImage = QImage(area.size().expandedTo(shadowImage.size()), QImage::Format_ARGB32_Premultiplied);
    shadowImage.fill(Qt::transparent);
    {
        QPainter s(&shadowImage);
        s.setRenderHint(QPainter::Antialiasing);
        s.setCompositionMode(QPainter::CompositionMode_Source);
        s.translate(-area.topLeft());
        s.translate(origin);
        s.rotate(angle);
        s.setPen(Qt::NoPen);
        s.setBrush(shadow);
        s.drawPolygon(blade, 5);
    }
    p.drawImage(area.topLeft(), shadowImage, QRect(QPoint(0, 0), area.size()));
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
    const Geometry g = dialGeometry();
    const double angle = angleFor(needleValue);
    // A needle step repaints a few areas of the face alone: copied whole,
    // they need no background under them.
    if (g.faceRadius >= 4.0 && paintNeedleFrame(p, g, angle, event.region()))
        return;
    if (!background.isNull())
        p.drawPixmap(QPoint(0, 0), background);
    const QRect needle = needleBounds(angle);
    if (g.faceRadius < 4.0 || !event.region().intersects(needle))
        return;
    if (!paintNeedleFrame(p, g, angle, QRegion(needle)))
        paintNeedle(p, g, angle);
}

// The face widget covers the pixels the rim and face leave wholly opaque,
// kept a pixel and a half inside the rim's soft edge at any pixel ratio. Qt
// clips every repaint of the face to its mask, and a few bands clip faster
// than a row each: rows join a band while its edges move by little.
void AngularGauge::placeFace()
{
    constexpr int edgeSlack = 3; // columns a band may give up at either edge
    const Geometry g = dialGeometry();
    faceRows.clear();
    QList<QRect> bands;
    if (g.faceRadius >= 4.0)
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
    face->setGeometry(rect());
    face->setMask(covered);
    face->setVisible(!covered.isEmpty());
}

// Over the opaque face, the needle's pixels depend on its angle alone, not on
// what lies below the dial, and drawing them costs some 700,000 instructions.
// So each angle's frame (face and needle within needleBounds) is drawn once
// and kept as the pixels that differ from the face, one run per row: under
// 10 kB an angle rather than 45. Paints each rectangle of `region` as the
// face with those pixels on it. False where a copy would not give the same
// pixels as drawing straight onto the window: off whole pixels, past the
// opaque face, or onto a device of another pixel format.
bool AngularGauge::paintNeedleFrame(QPainter &p, const Geometry &g, double angle, const QRegion &region)
{
    constexpr int mostAreas = 32; // a needle step's bands; more is a repaint of the whole face
    if (region.isEmpty() || region.rectCount() > mostAreas || directNeedle || background.isNull()
        || background.devicePixelRatio() != 1.0 || !wholePixelOffset(p))
        return false;
    const QPaintDevice *device = p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return false;
    const QImage::Format format = static_cast<const QImage *>(device)->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QImage face = background.toImage();
    if (face.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    for (const QRect &rect : region) {
        if (!rowsHold(opaqueRows, rect))
            return false;
    }
    const QRect area = needleBounds(angle);
    const NeedleFrame *frame = needleFrame(g, angle, face, area);
    if (!frame)
        return false;
    for (const QRect &rect : region)
        copyFrame(p, *frame, area, face, rect);
    return true;
}

// One rectangle of the face, with the kept needle pixels that fall in it.
void AngularGauge::copyFrame(QPainter &p, const NeedleFrame &frame, const QRect &area, const QImage &face,
                             const QRect &rect)
{
    if (frameImage.width() < rect.width() || frameImage.height() < rect.height())
        frameImage = QImage(rect.size().expandedTo(frameImage.size()), QImage::Format_ARGB32_Premultiplied);
    const size_t rowBytes = size_t(rect.width()) * sizeof(QRgb);
    uchar *to = frameImage.bits();
    const uchar *from = face.constBits() + rect.top() * face.bytesPerLine() + rect.left() * sizeof(QRgb);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(to);
        std::memcpy(line, from, rowBytes);
        to += frameImage.bytesPerLine();
        from += face.bytesPerLine();
        if (y < area.top() || y > area.bottom())
            continue;
        const QPoint &run = frame.runs[y - area.top()];
        const int first = std::max(area.left() + run.x(), rect.left());
        const int last = std::min(area.left() + run.y(), rect.right());
        if (first <= last) {
            const QRgb *changed = frame.pixels.constData() + frame.starts[y - area.top()]
                                  + (first - area.left() - run.x());
            std::memcpy(line + (first - rect.left()), changed, size_t(last - first + 1) * sizeof(QRgb));
        }
    }
    // Every pixel is opaque: seen as RGB32, the copy onto the window is a
    // plain copy, not a blend, and gives the same pixels.
    const QImage opaque(frameImage.constBits(), rect.width(), rect.height(), frameImage.bytesPerLine(),
                        QImage::Format_RGB32);
    p.drawImage(rect.topLeft(), opaque);
}

// The kept frame for `angle`, drawn now if it is not kept yet.
const AngularGauge::NeedleFrame *AngularGauge::needleFrame(const Geometry &g, double angle, const QImage &face,
                                                           const QRect &area)
{
    const quint64 key = std::bit_cast<quint64>(angle);
    if (const NeedleFrame *kept = needleFrames.object(key))
        return kept;
    QImage drawn(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(drawn.scanLine(y - area.top()), face.constScanLine(y) + area.left() * sizeof(QRgb),
                    size_t(area.width()) * sizeof(QRgb));
    {
        QPainter f(&drawn);
        f.translate(-area.topLeft());
        paintNeedle(f, g, angle);
    }
    auto *made = new NeedleFrame;
    made->runs.reserve(area.height());
    made->starts.reserve(area.height());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(drawn.constScanLine(y - area.top()));
        const QRgb *under = reinterpret_cast<const QRgb *>(face.constScanLine(y)) + area.left();
        int first = 0;
        int last = area.width() - 1;
        while (first <= last && line[first] == under[first])
            ++first;
        while (last >= first && line[last] == under[last])
            --last;
        made->runs.append(QPoint(first, last));
        made->starts.append(int(made->pixels.size()));
        for (int x = first; x <= last; ++x)
            made->pixels.append(line[x]);
    }
    const qsizetype bytes = made->pixels.size() * sizeof(QRgb) + made->runs.size() * (sizeof(QPoint) + sizeof(int));
    needleFrames.insert(key, made, bytes / 1024 + 1);
    return needleFrames.object(key);
}

void AngularGauge::paintNeedle(QPainter &p, const Geometry &g, double angle)
{
    p.setRenderHint(QPainter::Antialiasing);
    const NeedleShape shape = needleShape(g);
    const double tip = shape.tip;
    const double halfWidth = shape.halfWidth;
    QPointF blade[5];
    needleBlade(shape, blade);
    const QPointF point[] = {
        QPointF(0.0, -tip),
        QPointF(halfWidth * 0.62, -tip * 0.72),
        QPointF(-halfWidth * 0.62, -tip * 0.72),
    };

    paintShadow(p, g, angle, blade);

    p.save();
    p.translate(g.center);
    p.rotate(angle);
    p.setPen(QPen(QColor(40, 44, 52), 0.8));
    p.setBrush(needleColor);
    p.drawPolygon(blade, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(needleTipColor);
    p.drawPolygon(point, 3);
    p.restore();

    // Hub.
    const double hub = shape.hub;
    QRadialGradient cap(g.center - QPointF(hub * 0.35, hub * 0.35), hub * 1.2);
    cap.setColorAt(0.0, QColor(235, 238, 243));
    cap.setColorAt(1.0, QColor(70, 76, 88));
    p.setPen(QPen(QColor(20, 22, 28), 1.0));
    p.setBrush(cap);
    p.drawEllipse(g.center, hub, hub);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(25, 28, 34));
    p.drawEllipse(g.center, hub * 0.3, hub * 0.3);
}

void AngularGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    renderBackground();
    placeFace();
}
