// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/memory_serial_port.h"

int MemorySerialPort::selectPort(int16_t port)
{
    commPort = port;
    return noError;
}

int MemorySerialPort::setOpen(bool wantOpen)
{
    if (wantOpen == open)
        return noError;
    int &nextError = wantOpen ? nextOpenError : nextCloseError;
    if (wantOpen)
        openFailure.clear();
    if (nextError != noError) {
        const int error = nextError;
        nextError = noError;
        if (wantOpen)
            openFailure = QStringLiteral("test failure %1").arg(error);
        return error;
    }
    open = wantOpen;
    (wantOpen ? openCount : closeCount)++;
    return noError;
}

QString MemorySerialPort::portDescription(int16_t port) const
{
    return QStringLiteral("memory port %1").arg(port);
}

QByteArray MemorySerialPort::takeReceived()
{
    QByteArray bytes;
    bytes.swap(pending);
    return bytes;
}

void MemorySerialPort::send(QByteArrayView text)
{
    if (open)
        writes.append(text.toByteArray());
}

void MemorySerialPort::receive(QByteArrayView bytes)
{
    pending.append(bytes);
    raiseEvent(receiveEvent);
}

void MemorySerialPort::raiseEvent(int event)
{
    commEvent = event;
    emit eventRaised();
}

void MemorySerialPort::vanish()
{
    if (!open)
        return;
    open = false;
    emit connectionLost();
}

void MemorySerialPort::unplug()
{
    present = false;
    vanish();
}

int MemorySerialPort::reopenAdapter(const QString &wanted)
{
    ++reopenAttempts;
    if (!present || wanted != identity)
        return errorPortUnavailable;
    if (refusalsLeft > 0) {
        --refusalsLeft;
        return errorPortInUse;
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
