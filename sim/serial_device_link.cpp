// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/serial_device_link.h"

std::unique_ptr<SerialDeviceLink> SerialDeviceLink::open(const QString &device, QString *error)
{
    std::unique_ptr<SerialDeviceLink> link(new SerialDeviceLink);
    QSerialPort &port = link->port;
    port.setPortName(device);
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot open %1: %2").arg(device, port.errorString());
        return nullptr;
    }
    SerialDeviceLink *self = link.get();
    connect(&port, &QSerialPort::readyRead, self,
        [self] { emit self->received(self->port.readAll()); });
    connect(&port, &QSerialPort::errorOccurred, self, &SerialDeviceLink::onError);
    return link;
}

void SerialDeviceLink::write(QByteArrayView bytes)
{
    if (port.isOpen() && !bytes.isEmpty())
        port.write(bytes.data(), bytes.size());
}

void SerialDeviceLink::close()
{
    if (port.isOpen())
        port.close();
}

void SerialDeviceLink::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port.isOpen())
        return;
    const QString reason = QStringLiteral("%1: %2").arg(port.portName(), port.errorString());
    port.close();
    emit failed(reason);
}
