// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QSerialPort;
class QSocketNotifier;

// Keeps a serial port from waking the program for every byte it receives.
//
// Many USB adapters (PL2303, CH340) and pseudo-terminals hand over each
// character as it arrives: a telemetry stream at 9600 baud would wake the
// event loop about 960 times a second, and each wake costs more than the
// bytes it carries. After QSerialPort delivers, its read notifier is turned
// off (the hold); whatever arrives meanwhile is read whenever the program
// wakes anyway (the transmit pump every 60 ms, the gauge animation every
// 10 ms while it moves; every other such wake-up is enough) or, at the
// latest, when `holdTimer` runs out: it is rearmed on wake-ups, so it never
// wakes a program that wakes often enough by itself. The hold ends once the
// line has been quiet for `quietMs`: a streaming unit keeps it going, so
// that neither its bytes nor its lines wake the program, and the first byte
// after a quiet spell wakes it at once.
//
// During a hold the bytes are read from the device here, into `held`:
// reading through QSerialPort would turn its notifier back on. QSerialPort
// has no public switch for that notifier; it is found among the port's
// children. Without it (another platform or Qt build) every byte is read as
// it comes.
class ReadBatching : public QObject {
    Q_OBJECT
public:
    static constexpr int quietMs = 250;
    static constexpr int holdMs = 250; // when nothing else wakes the program
    // Wake-ups closer together than this share one read: every read of the
    // device is a system call, and most find nothing.
    static constexpr int readEveryMs = 15;

    explicit ReadBatching(QSerialPort &serial, QObject *parent = nullptr);

    void portOpened();
    void portClosed();
    // QSerialPort has just delivered received bytes: hold the next ones back.
    void delivered();
    // Bytes read during the hold, newer than any QSerialPort still buffers.
    QByteArray takeHeld();

signals:
    void heldBytesArrived();

private:
    void readWaiting();
    void armBackstop();
    void release();

    QSerialPort &serial;
    QPointer<QSocketNotifier> notifier;
    QTimer holdTimer;
    QByteArray held;
    QElapsedTimer sinceBytes;
    QElapsedTimer sinceRead;
    QElapsedTimer sinceArmed;
    bool holding = false;
};
