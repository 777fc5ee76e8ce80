// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gauges/dial_geometry.h"

#include <QString>

#include <optional>

class QPainter;

// What a dial shows apart from its needle.
struct DialFace {
    DialScale scale;
    QString caption;    // inside the dial, below the centre
    QString subCaption; // a smaller line under the caption
    std::optional<double> redLine; // marked from here to the top of the scale
};

// Rim, face, red line, ticks and labels, captions and glass: everything that
// stays put while the needle moves.
void paintDialFace(QPainter &p, const DialGeometry &g, const DialFace &face);
