#include "protocol/acknowledgement.h"

#include <cstring>

std::optional<Acknowledgement> decodeAcknowledgement(QByteArrayView rBuff)
{
    static constexpr char letters[] = "WDLTCMNI";
    if (rBuff.size() < 2 || rBuff[1] == '\0' || !std::strchr(letters, rBuff[1]))
        return std::nullopt;

    Acknowledgement ack;
    ack.letter = Acknowledgement::Letter(rBuff[1]);
    if (rBuff.size() >= 3)
        ack.value = rBuff[2];
    if (ack.letter == Acknowledgement::Led) {
        if (!ack.value || *ack.value < '0' || *ack.value > '9')
            return std::nullopt;
        ack.ledSetting = *ack.value - '0';
    }
    return ack;
}
