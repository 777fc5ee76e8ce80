// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/focus_frame.h"

#include <QPainter>
#include <QWidget>

void paintFocusFrame(QWidget &control, const QColor &colour)
{
    constexpr int width = 2;
    constexpr int inset = 2;
    QPainter painter(&control);
    painter.setPen(QPen(colour, width, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    const int edge = inset + width / 2;
    painter.drawRect(control.rect().adjusted(edge, edge, -edge - 1, -edge - 1));
}
