// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QWidget>

// The console window's look, carried over: navy captions on white, black on
// yellow value boxes, Liberation Sans; the traces take the gauges' bar
// colours where they mean the same (green: the engine running).
namespace ViewerLook {

inline const QColor navy(0, 0, 128);
inline const QColor white(255, 255, 255);
inline const QColor yellow(255, 255, 0);
inline const QColor black(0, 0, 0);
inline const QColor trace(0, 0, 128);
// A second recording's trace: magenta, no colour a limit or shading has, and
// far lighter than the navy, so the two part in grey too.
inline const QColor overlayTrace(200, 40, 200);
inline const QColor engineRun(217, 246, 217); // the bars' green, faint (opaque: quicker to fill)
inline const QColor cursor(255, 0, 0);          // the bars' red
inline const QColor selection(255, 128, 0, 60); // the bars' orange
inline const QColor selectionEdge(255, 128, 0);
inline const QColor stripEdge(176, 180, 196);
inline const QColor grid(226, 229, 238);
inline const QColor scaleText(70, 70, 90);
// Exceedances shaded on their strip, and the limits as faint lines.
inline const QColor cautionShade(255, 176, 0, 70);
inline const QColor alarmShade(220, 0, 0, 60);
inline const QColor cautionLimit(230, 150, 0, 150);
inline const QColor alarmLimit(210, 0, 0, 130);

inline QFont font(double points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Navy on white in the viewer's font, for a window of the viewer's.
inline void dress(QWidget &window)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, white);
    palette.setColor(QPalette::WindowText, navy);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setFont(font(8.25));
}

} // namespace ViewerLook
