// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/csv_row.h"

#include "protocol/engine_figure.h"
#include "protocol/time_text.h"

#include <QByteArrayList>

namespace {

// Latin-1 has no glyph below space, at DEL, or from 0x80 to 0x9F.
bool printable(unsigned char c)
{
    return (c >= 0x20 && c < 0x7F) || c >= 0xA0;
}

bool needsQuotes(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c == ',' || c == '"' || !printable(static_cast<unsigned char>(c)))
            return true;
    }
    return false;
}

// The temperature's text as received is the decimal digits of its value, so
// every figure writes as a number.
QByteArray number(const FigureValues &values, Figure figure)
{
    return values.has(figure) ? QByteArray::number(values[figure]) : QByteArray();
}

QByteArrayView withoutTerminator(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\r' || line.back() == '\n'))
        line.chop(1);
    return line;
}

} // namespace

QByteArray csvHeader()
{
    QByteArray header = "time,seconds";
    for (const Figure figure : allFigures())
        header += ',' + QByteArray(figureInfo(figure).column);
    return header + ",line\r\n";
}

QByteArray csvField(QByteArrayView bytes)
{
    if (!needsQuotes(bytes))
        return bytes.toByteArray();
    QByteArray quoted = bytes.toByteArray();
    quoted.replace('"', QByteArrayLiteral("\"\""));
    return '"' + quoted + '"';
}

QByteArray csvRow(const QDateTime &time, int64_t elapsedMs, const FigureValues &values,
                  QByteArrayView line)
{
    QByteArrayList fields{isoTimestamp(time), secondsText(elapsedMs, 3, 1000)};
    for (const Figure figure : allFigures())
        fields += number(values, figure);
    fields += csvField(withoutTerminator(line));
    return fields.join(',') + "\r\n";
}
