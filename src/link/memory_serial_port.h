// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/serial_port.h"

#include <QList>

// A serial port that lives in memory: tests feed it received bytes and read
// back every write the console made.
class MemorySerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    int16_t portNumber() const override { return commPort; }
    int selectPort(int16_t port) override;
    bool isOpen() const override { return open; }
    int setOpen(bool wantOpen) override;
    QByteArray takeReceived() override;
    void send(QByteArrayView text) override;
    int lastEvent() const override { return commEvent; }
    QString portDescription(int16_t port) const override;
    QString lastOpenFailure() const override { return openFailure; }
    QString adapterIdentity() const override { return identity; }
    int reopenAdapter(const QString &identity) override;

    // Test controls.
    void receive(QByteArrayView bytes);         // bytes arrive: raises eventRaised
    void raiseEvent(int event);                 // eventRaised for a non-receive event
    void failNextOpen(int error) { nextOpenError = error; }
    void failNextClose(int error) { nextCloseError = error; }
    void vanish();                              // the device disappears
    // Unplugged: it vanishes and stays away until it comes back, when
    // `refusals` reopens fail as busy before one succeeds.
    void unplug();
    void comeBack(int refusals = 0) { present = true; refusalsLeft = refusals; }
    QByteArray sent() const;                    // everything written, concatenated

    QList<QByteArray> writes;                   // one entry per Output call
    QString identity = QStringLiteral("serial MEM0001");
    int openCount = 0;
    int reopenAttempts = 0;
    int closeCount = 0;

private:
    int16_t commPort = 1;
    bool open = false;
    int commEvent = 0;
    int nextOpenError = noError;
    int nextCloseError = noError;
    bool present = true;
    int refusalsLeft = 0;
    QByteArray pending;
    QString openFailure;
};
