// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/gauge_drawing.h"

#include <QWidget>

#include <algorithm>

QFont drawingFont(double pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    font.setBold(bold);
    return font;
}

QPixmap backgroundFor(const QWidget &widget, const QColor &fill)
{
    const qreal dpr = widget.devicePixelRatioF();
    const QSize pixels = (QSizeF(widget.size()) * dpr).toSize();
    if (pixels.isEmpty())
        return {};
    QPixmap background(pixels);
    background.setDevicePixelRatio(dpr);
    background.fill(fill);
    return background;
}

bool backgroundFits(const QPixmap &background, const QSize &madeFor, const QWidget &widget)
{
    const qreal dpr = widget.devicePixelRatioF();
    return !background.isNull() && background.devicePixelRatio() == dpr && madeFor == widget.size();
}
