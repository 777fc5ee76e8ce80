// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointF>
#include <QRgb>

// Wire colours of the serial cable diagram; a pin's marker dot takes the
// colour of the wire that lands on it.
namespace WireColour {
inline constexpr QRgb ground = qRgb(0xf2, 0x84, 0x0c);   // orange
inline constexpr QRgb receive = qRgb(0x1e, 0x5a, 0xdc);  // blue
inline constexpr QRgb transmit = qRgb(0x18, 0xb4, 0x3c); // green
inline constexpr QRgb supply = qRgb(0xdc, 0x1e, 0x1e);   // red
}

// 487 x 484 diagram of the three-wire RS-232 cable between the ignition
// unit's terminal block and the PC's 9-pin serial connector.
QImage drawWiringPicture();

// Where a pin (1..9) of the female DB 9 sits in the diagram. The socket is
// drawn from its mating face, so pin 1 is at the top right, mirrored from
// the familiar male layout. Returns a null point for other numbers.
QPointF db9PinCentre(int pin);
