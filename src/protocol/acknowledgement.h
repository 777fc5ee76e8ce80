// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <optional>

// The unit's "/" line confirming a command: the command letter at position 2
// and, for some letters, a value character at position 3.
struct Acknowledgement {
    enum Letter : char {
        Store = 'W',
        StartDelay = 'D',
        Led = 'L',
        Ppr = 'T',
        Shift = 'C',
        MaxRpm = 'M',
        MaxAdvance = 'N',
        Stream = 'I',
    };
    Letter letter = Store;
    // The character at position 3, when the line has one.
    std::optional<char> value;
    // For Led: the setting named by the value digit.
    int ledSetting = 0;
};

// Nothing for a letter that is not acknowledged (upper case only), or for an
// LED acknowledgement whose value is not a decimal digit.
std::optional<Acknowledgement> decodeAcknowledgement(QByteArrayView line);
