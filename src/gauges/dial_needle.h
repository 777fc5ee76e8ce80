// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>

class QPainter;
struct DialGeometry;

// A dial's needle: a tapered blade with a short tail, its shadow and the hub.
class DialNeedle {
public:
    // All the needle and its shadow can touch at `angle`, with a margin.
    static QRect bounds(const DialGeometry &g, double angle);

    // `plain` draws it the straightforward way, for tests to compare with.
    void paint(QPainter &p, const DialGeometry &g, double angle, bool plain);

private:
    void paintShadow(QPainter &p, const DialGeometry &g, double angle, const QPointF (&blade)[5], bool plain);

    QImage shadowImage; // scratch, reused from frame to frame
};
