// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logo_picture.h"

#include "gauges/gauge_drawing.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr int logoWidth = 100;
constexpr int logoHeight = 45;
constexpr int sideMargin = 3;

const QColor brandNavy(0x14, 0x2a, 0x5c);
const QColor sparkRed(0xb0, 0x1c, 0x1c);
const QColor subtitleGrey(0x30, 0x30, 0x30);

// Largest whole pixel size, up to maxPixels, at which text fits the width;
// whole sizes keep the glyphs on the pixel grid at this small a size.
QFont fittedFont(const QString &text, bool bold, int maxPixels, qreal width)
{
    QFont font = drawingFont(maxPixels, bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    for (int pixels = maxPixels; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width)
            break;
    }
    return font;
}

void drawCentredLine(QPainter &painter, const QString &text, const QFont &font, int baseline)
{
    const QFontMetricsF metrics(font);
    const qreal left = (logoWidth - metrics.horizontalAdvance(text)) / 2.0;
    painter.setFont(font);
    painter.drawText(QPointF(qRound(left), baseline), text);
}

} // namespace

QPixmap drawLogo()
{
    QPixmap logo(logoWidth, logoHeight);
    logo.setDevicePixelRatio(1.0);
    logo.fill(Qt::white);

    QPainter painter(&logo);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal usable = logoWidth - 2 * sideMargin;

    const QString brand = QStringLiteral("TORVANE");
    painter.setPen(brandNavy);
    drawCentredLine(painter, brand, fittedFont(brand, true, 18, usable), 19);

    // A thin red rule between the two lines, the only accent colour.
    painter.fillRect(QRect(sideMargin + 4, 24, logoWidth - 2 * (sideMargin + 4), 2), sparkRed);

    const QString subtitle = QStringLiteral("Electronic Ignition");
    painter.setPen(subtitleGrey);
    drawCentredLine(painter, subtitle, fittedFont(subtitle, false, 10, usable), 38);
    return logo;
}
