// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QWidget;

// The frame a control of the console draws inside its edge while it has the
// keyboard focus: the style's own mark is lost on the window's colours.
void paintFocusFrame(QWidget &control, const QColor &colour);
