// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/acknowledgement.h"

#include <cstring>

std::optional<Acknowledgement> decodeAcknowledgement(QByteArrayView line)
{
    static constexpr char letters[] = "WDLTCMNI";
    if (line.size() < 2 || line[1] == '\0' || !std::strchr(letters, line[1]))
        return std::nullopt;

    Acknowledgement ack;
    ack.letter = Acknowledgement::Letter(line[1]);
    if (line.size() >= 3)
        ack.value = line[2];
    if (ack.letter == Acknowledgement::Led) {
        if (!ack.value || *ack.value < '0' || *ack.value > '9')
            return std::nullopt;
        ack.ledSetting = *ack.value - '0';
    }
    return ack;
}
