// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/memory_serial_port.h"

PortResult MemorySerialPort::selectPort(int16_t port)
{
    commPort = port;
    return PortResult::Done;
}

PortResult MemorySerialPort::setOpen(bool wantOpen)
{
    if (wantOpen == open)
        return PortResult::Done;
    PortResult &next = wantOpen ? nextOpenResult : nextCloseResult;
    if (wantOpen)
        openFailure.clear();
    if (next != PortResult::Done) {
        const PortResult result = std::exchange(next, PortResult::Done);
        if (wantOpen)
            openFailure = QStringLiteral("test failure");
        return result;
    }
    open = wantOpen;
    (wantOpen ? openCount : closeCount)++;
    return PortResult::Done;
}

QString MemorySerialPort::portDescription(int16_t port) const
{
    return QStringLiteral("memory port %1").arg(port);
}

void MemorySerialPort::send(QByteArrayView text)
{
    if (open)
        writes.append(text.toByteArray());
}

void MemorySerialPort::receive(QByteArrayView bytes)
{
    emit bytesReceived(bytes.toByteArray());
}

void MemorySerialPort::vanish()
{
    if (!open)
        return;
    open = false;
    emit errorOccurred(PortFailure::DeviceGone);
    emit closed();
}

void MemorySerialPort::unplug()
{
    present = false;
    vanish();
}

void MemorySerialPort::comeBack(int refusals)
{
    present = true;
    refusalsLeft = refusals;
    if (watching && arrivalsTold)
        emit devicesMayHaveArrived();
}

PortResult MemorySerialPort::reopenAdapter(const QString &wanted)
{
    ++reopenAttempts;
    if (!present || wanted != identity)
        return PortResult::Unavailable;
    if (refusalsLeft > 0) {
        --refusalsLeft;
        return PortResult::InUse;
    }
    return setOpen(true);
}

QByteArray MemorySerialPort::sent() const
{
    QByteArray all;
    for (const QByteArray &w : writes)
        all.append(w);
    return all;
}
