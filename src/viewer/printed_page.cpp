// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/printed_page.h"

#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

PageScale::PageScale(const QPainter &painter, const QRectF &page)
    : device(painter.device()),
      factor(std::min(page.width() / designWidth, page.height() / designHeight))
{
}

QFont PageScale::font(qreal points, bool bold, bool italic) const
{
    QFont f(QStringLiteral("Liberation Sans"));
    // Qt turns point sizes into pixels at the device's own resolution.
    f.setPointSizeF(std::max(0.1, points * factor * 72.0 / device->logicalDpiY()));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void drawPageText(QPainter &painter, const QFont &font, const QColor &colour, const QRectF &box,
                  const QString &text, Qt::Alignment align)
{
    painter.setFont(font);
    painter.setPen(colour);
    const QFontMetricsF metrics(font, painter.device());
    // Column edges are sums of measured widths; their rounding must not cut
    // short a text the column was made to hold.
    const QString fitted =
        metrics.elidedText(text, Qt::ElideRight, box.width() + metrics.height() / 100);
    painter.drawText(box, int(align) | Qt::TextSingleLine, fitted);
}

void drawPageRule(QPainter &painter, const QColor &colour, qreal width, QPointF from, QPointF to)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to);
}

QPageSize localPageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                               : QPageSize::A4);
}
