// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/read_batching.h"

#include <QAbstractEventDispatcher>
#include <QSerialPort>
#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <cerrno>
#include <unistd.h>
#endif

ReadBatching::ReadBatching(QSerialPort &serial, QObject *parent) : QObject(parent), serial(serial)
{
    holdTimer.setSingleShot(true);
    holdTimer.setInterval(holdMs);
    connect(&holdTimer, &QTimer::timeout, this, &ReadBatching::readWaiting);
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (holding && sinceRead.hasExpired(readEveryMs - 1))
                readWaiting();
        });
}

void ReadBatching::portOpened()
{
    notifier = nullptr;
#ifndef Q_OS_WIN
    for (QSocketNotifier *child : serial.findChildren<QSocketNotifier *>()) {
        if (child->type() == QSocketNotifier::Read && child->socket() == serial.handle())
            notifier = child;
    }
#endif
}

void ReadBatching::portClosed()
{
    holding = false;
    holdTimer.stop();
    held.clear();
    notifier = nullptr;
}

void ReadBatching::delivered()
{
    if (!notifier || !serial.isOpen())
        return;
    notifier->setEnabled(false); // QSerialPort turned it on again when read
    holding = true;
    sinceBytes.start();
    sinceRead.start();
    armBackstop();
}

// Rearmed on wake-ups, though not on every one (that costs more than the
// wake-ups it saves): a program awake every few milliseconds never sees it.
void ReadBatching::armBackstop()
{
    if (holdTimer.isActive() && !sinceArmed.hasExpired(holdMs / 2))
        return;
    holdTimer.start();
    sinceArmed.start();
}

QByteArray ReadBatching::takeHeld()
{
    return std::exchange(held, {});
}

// While the hold lasts: reads what the device holds now, without waiting.
void ReadBatching::readWaiting()
{
#ifndef Q_OS_WIN
    if (!serial.isOpen())
        return;
    sinceRead.start();
    char chunk[4096];
    const ssize_t n = ::read(int(serial.handle()), chunk, sizeof chunk);
    if (n > 0) {
        held.append(chunk, n);
        sinceBytes.start();
        armBackstop();
        emit heldBytesArrived();
        return;
    }
    // A failed device goes back to QSerialPort, which reports it as usual.
    // One that hung up reads as empty, like a quiet line.
    const bool failed = n < 0 && errno != EAGAIN && errno != EINTR;
    // Bytes nobody has taken yet would come after newer ones QSerialPort reads.
    const bool quiet = held.isEmpty() && sinceBytes.hasExpired(quietMs - 1);
    if (failed || quiet)
        release();
    else
        armBackstop();
#endif
}

void ReadBatching::release()
{
    holding = false;
    holdTimer.stop();
    if (notifier)
        notifier->setEnabled(true);
}
