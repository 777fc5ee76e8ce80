// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What a UART at receiverBaud, 8N1, reads of `sent` when it goes out back to
// back at senderBaud from an idle line. Bytes with a bad stop bit are kept,
// as most drivers keep them.
QByteArray receivedAtBaud(QByteArrayView sent, int senderBaud, int receiverBaud);
