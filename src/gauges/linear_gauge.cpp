// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/linear_gauge.h"

#include "gauges/gauge_drawing.h"
#include "gauges/tick_plan.h"
#include "gauges/packed_color.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace {

// Colours of the static look. The panel is dark so that the coloured bars and
// the white scale read well on the window's navy background.
const QColor panelColor(17, 21, 29);
const QColor panelEdgeLight(150, 160, 176);
const QColor panelEdgeDark(6, 8, 12);
const QColor titleColor(226, 231, 240);
const QColor captionColor(245, 247, 250);
const QColor legendColor(255, 214, 120);
const QColor scaleColor(214, 220, 230);
const QColor minorTickColor(130, 140, 156);
const QColor trackColor(36, 42, 54);
const QColor trackEdge(92, 102, 120);

constexpr int margin = 6;

// The geometry shared by the background, the bars and the update regions.
struct Layout {
    int titleHeight;
    double rowTop;
    double rowHeight;
    int trackLeft;
    int trackRight;
    int trackHeight;
    int tickLength;
    int labelPixels;
    int groupOffset; // from the row's top to the track's top
};

Layout layoutFor(const QSize &size, int rows)
{
    Layout l{};
    const int w = size.width();
    const int h = size.height();
    l.titleHeight = std::clamp(h / 14, 12, 26);
    l.rowTop = margin + l.titleHeight;
    l.rowHeight = std::max(1.0, double(h - margin - l.rowTop) / rows);
    const int captionWidth = std::clamp(w / 8, 28, 72);
    const int legendWidth = std::clamp(w / 8, 28, 72);
    l.trackLeft = margin + captionWidth + 6;
    l.trackRight = std::max(l.trackLeft + 1, w - margin - legendWidth - 6);
    l.trackHeight = std::clamp(int(l.rowHeight * 0.33), 4, 24);
    l.tickLength = std::clamp(l.trackHeight / 3, 3, 7);
    l.labelPixels = std::clamp(int(l.rowHeight * 0.18), 7, 11);
    const int group = l.trackHeight + l.tickLength + 2 + l.labelPixels + 2;
    l.groupOffset = std::max(0, int((l.rowHeight - group) / 2.0));
    return l;
}

} // namespace

LinearGauge::LinearGauge(QWidget *parent) : QWidget(parent)
{
    // Every pixel comes from the cached background or a bar: nothing below
    // needs painting first when a single bar changes.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LinearGauge::selectPointer(int16_t index)
{
    if (validIndex(index))
        selected = index;
}

double LinearGauge::selectedValue() const
{
    return bars[selected].value;
}

void LinearGauge::setSelectedValue(double value)
{
    Bar &bar = bars[selected];
    const double old = bar.value;
    bar.value = value; // always kept exactly, even when it draws the same
    repaintBar(selected, old, bar.color);
}

void LinearGauge::repaintBar(int index, double oldValue, uint32_t oldColor)
{
    const Bar &bar = bars[index];
    if (batchDepth > 0)
        return;
    const bool sameValue = oldValue == bar.value || (std::isnan(oldValue) && std::isnan(bar.value));
    if (bar.color != oldColor) {
        update(barRect(index));
        return;
    }
    if (sameValue)
        return;
    const qreal dpr = devicePixelRatioF(); // costly enough to ask once
    if (fillPixels(index, oldValue, dpr) != fillPixels(index, bar.value, dpr))
        update(movedEnd(index, oldValue, dpr));
}

// A moving bar changes only between its old and new end (and the bright
// edge drawn there); the shading runs top to bottom, so the rest is as it was.
QRect LinearGauge::movedEnd(int index, double oldValue, qreal dpr) const
{
    const QRect bar = barRect(index);
    const double oldEnd = fillRect(index, oldValue, dpr).right();
    const double newEnd = fillRect(index, bars[index].value, dpr).right();
    const double left = std::min(oldEnd, newEnd) - 3.0;
    const double right = std::max(oldEnd, newEnd) + 2.0;
    return QRectF(left, bar.top(), right - left, bar.height()).toAlignedRect().intersected(bar);
}

void LinearGauge::beginBatch()
{
    if (batchDepth++ > 0)
        return;
    for (int i = 0; i < pointerCount; ++i) {
        batchStartValue[i] = bars[i].value;
        batchStartColor[i] = bars[i].color;
    }
}

void LinearGauge::endBatch()
{
    if (batchDepth == 0 || --batchDepth > 0)
        return;
    for (int i = 0; i < pointerCount; ++i)
        repaintBar(i, batchStartValue[i], batchStartColor[i]);
}

void LinearGauge::selectPointerToColour(int16_t index)
{
    if (validIndex(index))
        colorNamed = index;
}

void LinearGauge::colourSelectedPointer(uint32_t packedColor)
{
    Bar &bar = bars[colorNamed];
    const uint32_t old = bar.color;
    bar.color = packedColor;
    repaintBar(colorNamed, bar.value, old);
}

double LinearGauge::pointerValueAt(int index) const
{
    return validIndex(index) ? bars[index].value : 0.0;
}

uint32_t LinearGauge::pointerColorAt(int index) const
{
    return validIndex(index) ? bars[index].color : 0;
}

void LinearGauge::setCaption(const QString &caption)
{
    if (caption == captionText)
        return;
    captionText = caption;
    invalidateBackground();
}

void LinearGauge::setPointerCaption(int index, const QString &caption)
{
    if (!validIndex(index) || bars[index].caption == caption)
        return;
    bars[index].caption = caption;
    invalidateBackground();
}

void LinearGauge::setPointerScale(int index, double minimum, double maximum)
{
    if (!validIndex(index))
        return;
    Bar &bar = bars[index];
    if (bar.minimum == minimum && bar.maximum == maximum)
        return;
    bar.minimum = minimum;
    bar.maximum = maximum;
    invalidateBackground();
}

void LinearGauge::setPointerLegend(int index, const QString &legend)
{
    if (!validIndex(index) || bars[index].legend == legend)
        return;
    bars[index].legend = legend;
    invalidateBackground();
}

QString LinearGauge::pointerCaption(int index) const
{
    return validIndex(index) ? bars[index].caption : QString();
}

double LinearGauge::pointerScaleMinimum(int index) const
{
    return validIndex(index) ? bars[index].minimum : 0.0;
}

double LinearGauge::pointerScaleMaximum(int index) const
{
    return validIndex(index) ? bars[index].maximum : 0.0;
}

QString LinearGauge::pointerLegend(int index) const
{
    return validIndex(index) ? bars[index].legend : QString();
}

// Asked for several times a bar on every animation tick: worked out once a size.
QRect LinearGauge::barRect(int index) const
{
    if (!validIndex(index))
        return {};
    if (barRectsSize != size()) {
        const Layout l = layoutFor(size(), pointerCount);
        for (int i = 0; i < pointerCount; ++i) {
            const int top = int(l.rowTop + i * l.rowHeight) + l.groupOffset;
            barRects[i] = QRect(l.trackLeft, top, l.trackRight - l.trackLeft, l.trackHeight);
        }
        barRectsSize = size();
    }
    return barRects[index];
}

QRectF LinearGauge::fillRect(int index, double value, qreal dpr) const
{
    const QRect track = barRect(index).adjusted(1, 1, -1, -1);
    if (track.isEmpty())
        return {};
    const double devicePixels = fillPixels(index, value, dpr);
    return QRectF(track.left(), track.top(), devicePixels / dpr, track.height());
}

int LinearGauge::fillPixels(int index, double value, qreal dpr) const
{
    const QRect track = barRect(index).adjusted(1, 1, -1, -1);
    if (track.isEmpty())
        return 0;
    const Bar &bar = bars[index];
    const double fraction = fractionOf(value, bar.minimum, bar.maximum);
    return int(std::lround(fraction * track.width() * dpr));
}

void LinearGauge::invalidateBackground()
{
    background = QPixmap();
    update();
}

void LinearGauge::ensureBackground()
{
    if (!backgroundFits(background, backgroundSize, *this))
        renderBackground();
}

void LinearGauge::renderBackground()
{
    backgroundSize = size();
    background = backgroundFor(*this, panelColor);
    if (background.isNull())
        return;

    QPainter p(&background);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const int w = width();
    const int h = height();
    const Layout l = layoutFor(size(), pointerCount);

    // Bevelled frame: light on the top and left, dark on the bottom and right.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(panelEdgeLight);
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(panelEdgeDark);
    p.drawLine(1, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 1, w - 1, h - 1);
    p.setPen(QColor(52, 60, 74));
    p.drawRect(QRect(2, 2, w - 5, h - 5));
    p.setRenderHint(QPainter::Antialiasing);

    // Title: a small engraved caption centred at the top.
    if (!captionText.isEmpty()) {
        const QFont titleFont = drawingFont(std::clamp(l.titleHeight - 8, 8, 14), true);
        p.setFont(titleFont);
        const QRect titleRect(margin, margin - 2, w - 2 * margin, l.titleHeight);
        const QFontMetrics fm(titleFont);
        const int textWidth = fm.horizontalAdvance(captionText);
        const int lineY = titleRect.center().y() + 1;
        p.setPen(QPen(QColor(70, 80, 98), 1));
        const int gap = textWidth / 2 + 10;
        const int cx = titleRect.center().x();
        if (cx - gap > l.trackLeft)
            p.drawLine(QPointF(l.trackLeft, lineY), QPointF(cx - gap, lineY));
        if (cx + gap < l.trackRight)
            p.drawLine(QPointF(cx + gap, lineY), QPointF(l.trackRight, lineY));
        p.setPen(titleColor);
        p.drawText(titleRect, Qt::AlignCenter, captionText);
    }

    const QFont captionFont = drawingFont(std::clamp(int(l.rowHeight * 0.23), 8, 14), true);
    const QFont legendFont = drawingFont(std::clamp(int(l.rowHeight * 0.19), 7, 12), true);
    const QFont labelFont = drawingFont(l.labelPixels);
    const QFontMetrics labelMetrics(labelFont);

    for (int i = 0; i < pointerCount; ++i) {
        const Bar &bar = bars[i];
        const QRect track = barRect(i);

        // Faint separator between rows.
        if (i > 0) {
            const int y = int(l.rowTop + i * l.rowHeight);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QColor(34, 40, 52));
            p.drawLine(margin, y, w - margin - 1, y);
            p.setRenderHint(QPainter::Antialiasing);
        }

        // Track: a recessed groove the bar fills from the left.
        p.setPen(QPen(trackEdge, 1));
        p.setBrush(trackColor);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawRect(track.adjusted(0, 0, -1, -1));
        p.setPen(QColor(14, 17, 23));
        p.drawLine(track.left() + 1, track.top() + 1, track.right() - 1, track.top() + 1);
        p.setRenderHint(QPainter::Antialiasing);

        // Caption at the left end, legend at the right end.
        p.setFont(captionFont);
        p.setPen(captionColor);
        const QRect captionRect(margin + 2, track.top() - 8, track.left() - margin - 8, track.height() + 16);
        p.drawText(captionRect, Qt::AlignRight | Qt::AlignVCenter, bar.caption);
        if (!bar.legend.isEmpty()) {
            p.setFont(legendFont);
            p.setPen(legendColor);
            const QRect legendRect(track.right() + 8, track.top() - 8, w - margin - track.right() - 10,
                                   track.height() + 16);
            p.drawText(legendRect, Qt::AlignLeft | Qt::AlignVCenter, bar.legend);
        }

        // Scale below the track: minor and major ticks, labels under the majors.
        const double low = std::min(bar.minimum, bar.maximum);
        const double high = std::max(bar.minimum, bar.maximum);
        const int usable = track.width() - 2;
        const int target = std::clamp(usable / 55, 2, 10);
        const TickPlan plan = planTicks(low, high, target);
        if (plan.step <= 0.0)
            continue;
        const double left = track.left() + 1;
        const int tickTop = track.bottom() + 2;
        auto xFor = [&](double v) { return left + fractionOf(v, bar.minimum, bar.maximum) * usable; };

        int minorPerMajor = plan.minorPerMajor;
        const double majorPixels = plan.step / (high - low) * usable;
        while (minorPerMajor > 1 && majorPixels / minorPerMajor < 5.0)
            minorPerMajor = minorPerMajor % 2 == 0 ? minorPerMajor / 2 : 1;
        const double minorStep = plan.step / minorPerMajor;
        const long long firstMinor = (long long)std::ceil(low / minorStep - 1e-9);
        const long long lastMinor = (long long)std::floor(high / minorStep + 1e-9);
        if (lastMinor - firstMinor > 400)
            continue;

        p.setFont(labelFont);
        for (long long n = firstMinor; n <= lastMinor; ++n) {
            const double v = n * minorStep;
            const double x = std::round(xFor(v)) + 0.5;
            const bool major = n % minorPerMajor == 0;
            if (major) {
                p.setPen(QPen(scaleColor, 1.2));
                p.drawLine(QPointF(x, tickTop), QPointF(x, tickTop + l.tickLength));
                const QString text = tickLabel(v, plan);
                const int tw = labelMetrics.horizontalAdvance(text);
                double tx = x - tw / 2.0;
                tx = std::clamp(tx, double(track.left() - 14), double(track.right() + 14 - tw));
                p.drawText(QPointF(tx, tickTop + l.tickLength + 1 + labelMetrics.ascent()), text);
            } else {
                p.setPen(QPen(minorTickColor, 1.0));
                p.drawLine(QPointF(x, tickTop), QPointF(x, tickTop + l.tickLength * 0.55));
            }
        }
    }
}

void LinearGauge::paintEvent(QPaintEvent *event)
{
    ensureBackground();
    QPainter p(this);
    if (!background.isNull())
        p.drawPixmap(QPoint(0, 0), background);

    const QRect dirty = event->rect();
    const qreal dpr = devicePixelRatioF();
    for (int i = 0; i < pointerCount; ++i) {
        if (!barRect(i).intersects(dirty))
            continue;
        const QRectF fill = fillRect(i, bars[i].value, dpr);
        if (fill.width() <= 0.0)
            continue;
        const Shade &shade = shadeOf(i, fill);
        p.fillRect(fill, shade.brush);
        // A bright edge marks the exact end of the bar.
        const double edge = std::min(fill.width(), 2.0);
        p.fillRect(QRectF(fill.right() - edge, fill.top(), edge, fill.height()), shade.edge);
    }
}

// A bar's shading, top to bottom, kept while its colour and place stay: the
// bars repaint many times a second while the engine runs.
const LinearGauge::Shade &LinearGauge::shadeOf(int index, const QRectF &fill)
{
    Shade &shade = shades[index];
    if (shade.color == bars[index].color && shade.top == fill.top() && shade.bottom == fill.bottom()
        && shade.brush.style() == Qt::LinearGradientPattern)
        return shade;
    const QColor color = PackedColor::toQColor(bars[index].color);
    QLinearGradient gradient(fill.topLeft(), fill.bottomLeft());
    gradient.setColorAt(0.0, color.lighter(150));
    gradient.setColorAt(0.35, color);
    gradient.setColorAt(1.0, color.darker(150));
    shade = {bars[index].color, fill.top(), fill.bottom(), QBrush(gradient), color.lighter(175)};
    return shade;
}

void LinearGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    renderBackground();
}
