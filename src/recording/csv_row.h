// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <cstdint>

// A recording's CSV text (RFC 4180: comma-separated, CR LF line ends). Numbers
// use "." whatever the locale; the received line keeps its bytes (Latin-1).

QByteArray csvHeader();

// The bytes as one field, quoted when they hold a comma, a quote or anything
// not printable.
QByteArray csvField(QByteArrayView bytes);

// One row: the time, the milliseconds since the recording started, the values
// and the line as received (its terminator is left out).
QByteArray csvRow(const QDateTime &time, int64_t elapsedMs, const FigureValues &values,
                  QByteArrayView line);
