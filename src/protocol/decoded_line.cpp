// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/decoded_line.h"

DecodedLine decodeLine(const QByteArray &line)
{
    DecodedLine decoded;
    decoded.text = line;
    decoded.kind = classifyLine(line);
    switch (decoded.kind) {
    case LineKind::Telemetry:
        decoded.telemetry = decodeTelemetry(line);
        break;
    case LineKind::Acknowledgement:
        decoded.acknowledgement = decodeAcknowledgement(line);
        break;
    case LineKind::Reply:
        decoded.reply = decodeReply(line);
        break;
    case LineKind::Ignored:
        break;
    }
    return decoded;
}
