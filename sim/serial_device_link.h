// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/byte_link.h"

#include <QSerialPort>
#include <memory>

// A real serial device at 9600 8N1, for a cable looped to the console.
class SerialDeviceLink : public ByteLink {
    Q_OBJECT

public:
    static std::unique_ptr<SerialDeviceLink> open(const QString &device, QString *error);

    void write(QByteArrayView bytes) override;
    void close() override;

private:
    SerialDeviceLink() = default;
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port;
};
