// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/recorded_values.h"

#include "protocol/decoded_line.h"

namespace {

bool takeReply(FigureValues &values, const ReplyRecord &reply)
{
    switch (reply.letter) {
    case 'p':
        values.set(Figure::Propeller, reply.value);
        return true;
    case 'x':
        values.set(Figure::Rpm, reply.value);
        return false;
    case 'w':
        values.set(Figure::Volts, reply.value);
        return false;
    default:
        return false;
    }
}

} // namespace

bool takeRecordedFigures(FigureValues &values, const DecodedLine &line)
{
    if (line.telemetry) {
        values.update(figuresOf(*line.telemetry));
        return true;
    }
    return line.reply && takeReply(values, *line.reply);
}
