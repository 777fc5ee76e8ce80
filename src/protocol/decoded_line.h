// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/acknowledgement.h"
#include "protocol/line_kind.h"
#include "protocol/replies.h"
#include "protocol/telemetry.h"

#include <QByteArray>
#include <optional>

// One received line, decoded once for everyone who reads it (the link, the
// window's gauges, the recorder). At most one record is set, the one its
// first character selects; none when that record does not decode.
struct DecodedLine {
    QByteArray text; // as received, terminator included
    LineKind kind = LineKind::Ignored;
    std::optional<TelemetryRecord> telemetry;
    std::optional<Acknowledgement> acknowledgement;
    std::optional<ReplyRecord> reply;

    // The line came from a unit talking to us, decoded or not.
    bool recognised() const { return kind != LineKind::Ignored; }
    bool isReply(char letter) const { return reply && reply->letter == letter; }
};

DecodedLine decodeLine(const QByteArray &line);
