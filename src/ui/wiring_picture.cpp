// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wiring_picture.h"

#include "gauges/gauge_drawing.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int pictureWidth = 487;
constexpr int pictureHeight = 484;

const QColor paper(0xf5, 0xf7, 0xfa);
const QColor ink(0x22, 0x26, 0x2c);
const QColor brandNavy(0x14, 0x2a, 0x5c);

// Ignition unit face and its terminal block.
const QRectF unitFace(10, 82, 467, 116);
constexpr qreal terminalPitch = 40;
constexpr qreal firstTerminalX = 215;
constexpr qreal blockTop = 112;
constexpr qreal blockBottom = 184;
constexpr qreal screwY = 140;
constexpr qreal wireEntryY = 168;
constexpr int terminalCount = 4;

// The socket sits half a pitch left of the terminals; lined up, pin 2 would
// sit right under terminal 4 and the blue wire would seem to continue the red.
constexpr qreal pinPitch = 40;
constexpr qreal socketCentreX = 275;
constexpr qreal topRowY = 326;
constexpr qreal bottomRowY = 364;
constexpr qreal holeRadius = 6.5;

qreal terminalX(int terminal)
{
    return firstTerminalX + (terminal - 1) * terminalPitch;
}

QPointF wireEntry(int terminal)
{
    return {terminalX(terminal), wireEntryY};
}

void drawText(QPainter &painter, const QFont &font, const QColor &colour, QPointF baseline,
              const QString &text)
{
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(baseline, text);
}

void drawCentredText(QPainter &painter, const QFont &font, const QColor &colour, QPointF centre,
                     const QString &text)
{
    const QFontMetricsF metrics(font);
    const QPointF baseline(centre.x() - metrics.horizontalAdvance(text) / 2,
                           centre.y() + (metrics.ascent() - metrics.descent()) / 2);
    drawText(painter, font, colour, baseline, text);
}

// Right-angled route with its corners rounded, as a real cable bends.
QPainterPath roundedRoute(const QList<QPointF> &points, qreal radius)
{
    QPainterPath path(points.first());
    for (qsizetype i = 1; i + 1 < points.size(); ++i) {
        const QPointF corner = points[i];
        const QPointF in = points[i - 1] - corner;
        const QPointF out = points[i + 1] - corner;
        const qreal inLength = std::hypot(in.x(), in.y());
        const qreal outLength = std::hypot(out.x(), out.y());
        const qreal r = std::min({radius, inLength / 2, outLength / 2});
        path.lineTo(corner + in * (r / inLength));
        path.quadTo(corner, corner + out * (r / outLength));
    }
    path.lineTo(points.last());
    return path;
}

enum class Crossing { None, PassesOver };

void drawWire(QPainter &painter, const QList<QPointF> &route, QRgb rgb,
              Crossing crossing = Crossing::None)
{
    const QPainterPath path = roundedRoute(route, 10);
    const QColor colour = QColor::fromRgb(rgb);
    painter.setBrush(Qt::NoBrush);
    if (crossing == Crossing::PassesOver) {
        // A gap of background either side shows which wire is on top; kept
        // off the terminal block, where there is nothing to pass over.
        painter.save();
        painter.setClipRect(QRectF(0, blockBottom, pictureWidth, pictureHeight));
        painter.strokePath(path, QPen(paper, 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.restore();
    }
    painter.strokePath(path, QPen(colour.darker(150), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(path, QPen(colour, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void drawUnitFace(QPainter &painter)
{
    QLinearGradient shade(unitFace.topLeft(), unitFace.bottomLeft());
    shade.setColorAt(0, QColor(0xe6, 0xe9, 0xed));
    shade.setColorAt(1, QColor(0xc8, 0xcd, 0xd4));
    painter.setPen(QPen(QColor(0x55, 0x5c, 0x66), 2));
    painter.setBrush(shade);
    painter.drawRoundedRect(unitFace, 8, 8);

    drawText(painter, drawingFont(24, true), brandNavy, {26, 120}, QStringLiteral("TORVANE"));
    drawText(painter, drawingFont(14, true), ink, {27, 143}, QStringLiteral("410 / 420"));
    drawText(painter, drawingFont(12), ink, {27, 164}, QStringLiteral("Electronic Ignition"));
}

void drawScrew(QPainter &painter, QPointF centre)
{
    QRadialGradient metal(centre - QPointF(3, 3), 12);
    metal.setColorAt(0, QColor(0xf4, 0xf4, 0xf4));
    metal.setColorAt(1, QColor(0x8e, 0x94, 0x9b));
    painter.setPen(QPen(QColor(0x4a, 0x4f, 0x55), 1.2));
    painter.setBrush(metal);
    painter.drawEllipse(centre, 10, 10);
    painter.setPen(QPen(QColor(0x4a, 0x4f, 0x55), 2.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-6, 6), centre + QPointF(6, -6));
}

void drawTerminal(QPainter &painter, int terminal)
{
    const qreal x = terminalX(terminal);
    drawCentredText(painter, drawingFont(11, true), Qt::white, {x, blockTop + 9},
                    QString::number(terminal));
    drawScrew(painter, {x, screwY});
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x12, 0x33, 0x19));
    painter.drawRoundedRect(QRectF(x - 9, wireEntryY - 8, 18, 16), 2, 2);
}

void drawTerminalBlock(QPainter &painter)
{
    const qreal left = terminalX(1) - terminalPitch / 2;
    const qreal width = terminalCount * terminalPitch;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2a, 0x2a, 0x2a));
    painter.drawRoundedRect(QRectF(left - 8, blockTop - 6, width + 16, blockBottom - blockTop + 12), 3, 3);

    painter.setPen(QPen(QColor(0x17, 0x4a, 0x22), 1.5));
    painter.setBrush(QColor(0x2f, 0x7d, 0x3c));
    painter.drawRect(QRectF(left, blockTop, width, blockBottom - blockTop));
    for (int t = 1; t < terminalCount; ++t) {
        const qreal x = left + t * terminalPitch;
        painter.drawLine(QPointF(x, blockTop + 18), QPointF(x, blockBottom));
    }
    for (int t = 1; t <= terminalCount; ++t)
        drawTerminal(painter, t);
}

// Staggered callouts so that no leader crosses another.
void drawCallout(QPainter &painter, int terminal, qreal labelY, const QString &label)
{
    const QFont font = drawingFont(12);
    drawCentredText(painter, font, ink,
                    {12 + QFontMetricsF(font).horizontalAdvance(label) / 2, labelY}, label);
    const qreal start = 18 + QFontMetricsF(font).horizontalAdvance(label);
    const qreal x = terminalX(terminal);
    const qreal end = blockTop - 8;
    painter.setPen(QPen(ink, 1.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({{start, labelY}, {x, labelY}, {x, end}}));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPolygon(QPolygonF({{x - 4, end - 7}, {x + 4, end - 7}, {x, end + 1}}));
}

void drawCallouts(QPainter &painter)
{
    drawCallout(painter, 3, 22, QStringLiteral("TX (transmit) Data"));
    drawCallout(painter, 2, 44, QStringLiteral("RX (receive) Data"));
    drawCallout(painter, 1, 66, QStringLiteral("Ground"));
    drawText(painter, drawingFont(11), QColor(0x5a, 0x60, 0x68), {318, 26},
             QStringLiteral("Ignition unit, connector side"));
}

QPolygonF socketOutline(qreal inset)
{
    const qreal top = topRowY - 26 + inset;
    const qreal bottom = bottomRowY + 34 - inset;
    const qreal topHalf = 2 * pinPitch + 34 - inset;
    const qreal bottomHalf = 1.5 * pinPitch + 34 - inset;
    return QPolygonF({{socketCentreX - topHalf, top},
                      {socketCentreX + topHalf, top},
                      {socketCentreX + bottomHalf, bottom},
                      {socketCentreX - bottomHalf, bottom}});
}

// A round-joined stroke of the fill colour rounds the trapezoid's corners.
void drawRoundedPolygon(QPainter &painter, const QPolygonF &shape, const QBrush &fill, qreal rounding)
{
    painter.setPen(QPen(fill, rounding, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPolygon(shape);
}

void drawBackplate(QPainter &painter)
{
    const QRectF plate(socketCentreX - 172, topRowY - 44, 344, bottomRowY - topRowY + 96);
    painter.setPen(QPen(QColor(0x8a, 0x90, 0x98), 1.5));
    painter.setBrush(QColor(0xdd, 0xe1, 0xe6));
    painter.drawRoundedRect(plate, 6, 6);
    const qreal middleY = (topRowY + bottomRowY) / 2;
    for (qreal side : {-1.0, 1.0}) {
        const QPointF centre(socketCentreX + side * 150, middleY);
        QPolygonF hexNut;
        for (int corner = 0; corner < 6; ++corner) {
            const qreal angle = std::numbers::pi / 3 * corner;
            hexNut << centre + QPointF(std::cos(angle), std::sin(angle)) * 11;
        }
        painter.setPen(QPen(QColor(0x5a, 0x60, 0x68), 1.2));
        painter.setBrush(QColor(0xb4, 0xba, 0xc2));
        painter.drawPolygon(hexNut);
        painter.setBrush(QColor(0x3a, 0x3f, 0x46));
        painter.drawEllipse(centre, 4.5, 4.5);
    }
}

void drawSocketShell(QPainter &painter)
{
    QLinearGradient metal(0, topRowY - 26, 0, bottomRowY + 34);
    metal.setColorAt(0, QColor(0xc9, 0xce, 0xd4));
    metal.setColorAt(1, QColor(0x86, 0x8d, 0x96));
    drawRoundedPolygon(painter, socketOutline(-2), QColor(0x5a, 0x60, 0x68), 10);
    drawRoundedPolygon(painter, socketOutline(0), metal, 10);
    drawRoundedPolygon(painter, socketOutline(7), QColor(0x33, 0x3a, 0x44), 8);
}

void drawHole(QPainter &painter, QPointF centre)
{
    painter.setPen(QPen(QColor(0x9a, 0xa2, 0xac), 1.6));
    painter.setBrush(QColor(0x0c, 0x0e, 0x11));
    painter.drawEllipse(centre, holeRadius, holeRadius);
}

// Numbers go under their holes: the wires come in from above.
void drawPinNumber(QPainter &painter, int pin)
{
    const QPointF hole = db9PinCentre(pin);
    drawCentredText(painter, drawingFont(11, true), QColor(0xe8, 0xec, 0xf0), hole + QPointF(0, 16),
                    QString::number(pin));
}

void drawSocket(QPainter &painter)
{
    drawBackplate(painter);
    drawSocketShell(painter);
    for (int pin = 1; pin <= 9; ++pin)
        drawHole(painter, db9PinCentre(pin));
    for (int pin : {1, 2, 3, 5, 6, 9})
        drawPinNumber(painter, pin);
}

void drawPinDot(QPainter &painter, int pin, QRgb rgb)
{
    const QColor colour = QColor::fromRgb(rgb);
    painter.setPen(QPen(colour.darker(170), 1.5));
    painter.setBrush(colour);
    painter.drawEllipse(db9PinCentre(pin), 7.5, 7.5);
}

void drawSupplyWire(QPainter &painter)
{
    const QPointF start = wireEntry(4);
    const qreal y = 214;
    const qreal end = 384;
    drawWire(painter, {start, {start.x(), y}, {end, y}}, WireColour::supply);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(WireColour::supply).darker(130));
    painter.drawPolygon(QPolygonF({{end, y - 8}, {end + 11, y}, {end, y + 8}}));
    const QFont font = drawingFont(12, true);
    const QString label = QStringLiteral("to 12 Volts");
    drawCentredText(painter, font, ink,
                    {end + 17 + QFontMetricsF(font).horizontalAdvance(label) / 2, y}, label);
}

// Each wire drops from its terminal, steps across at its own height and
// drops onto its pin. Blue is drawn last as it is the one that must cross.
void drawSerialWires(QPainter &painter)
{
    const auto route = [](int terminal, qreal stepY, int pin) {
        const QPointF from = wireEntry(terminal);
        const QPointF to = db9PinCentre(pin);
        return QList<QPointF>{from, {from.x(), stepY}, {to.x(), stepY}, to};
    };
    drawWire(painter, route(1, 248, 5), WireColour::ground);
    drawWire(painter, route(3, 266, 3), WireColour::transmit);
    drawWire(painter, route(2, 226, 2), WireColour::receive, Crossing::PassesOver);
    drawPinDot(painter, 5, WireColour::ground);
    drawPinDot(painter, 3, WireColour::transmit);
    drawPinDot(painter, 2, WireColour::receive);
}

void drawSocketTitle(QPainter &painter)
{
    drawCentredText(painter, drawingFont(15, true), ink, {socketCentreX, 440},
                    QStringLiteral("Female DB 9 Serial Connector in PC"));
    drawCentredText(painter, drawingFont(12), QColor(0x5a, 0x60, 0x68), {socketCentreX, 462},
                    QStringLiteral("seen from the front, looking into the socket"));
}

} // namespace

QPointF db9PinCentre(int pin)
{
    if (pin >= 1 && pin <= 5)
        return {socketCentreX + (3 - pin) * pinPitch, topRowY};
    if (pin >= 6 && pin <= 9)
        return {socketCentreX + (7.5 - pin) * pinPitch, bottomRowY};
    return {};
}

QImage drawWiringPicture()
{
    QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
    picture.setDevicePixelRatio(1.0);
    picture.fill(paper);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawUnitFace(painter);
    drawTerminalBlock(painter);
    drawCallouts(painter);
    drawSocket(painter);
    drawSupplyWire(painter);
    drawSerialWires(painter);
    drawSocketTitle(painter);
    return picture;
}
