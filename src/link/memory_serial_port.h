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
    PortResult selectPort(int16_t port) override;
    bool isOpen() const override { return open; }
    PortResult setOpen(bool wantOpen) override;
    void send(QByteArrayView text) override;
    QString portDescription(int16_t port) const override;
    QString lastOpenFailure() const override { return openFailure; }
    QString adapterIdentity() const override { return identity; }
    PortResult reopenAdapter(const QString &identity) override;
    void watchForDevices(bool on) override { watching = on; }
    bool tellsOfArrivals() const override { return arrivalsTold; }

    // Test controls.
    void receive(QByteArrayView bytes);         // bytes arrive: raises bytesReceived
    void failNextOpen(PortResult result) { nextOpenResult = result; }
    void failNextClose(PortResult result) { nextCloseResult = result; }
    void vanish();                              // the device disappears
    // Unplugged: it vanishes and stays away until it comes back, when
    // `refusals` reopens fail as busy before one succeeds. Coming back is
    // told to a watcher.
    void unplug();
    void comeBack(int refusals = 0);
    QByteArray sent() const;                    // everything written, concatenated

    QList<QByteArray> writes;                   // one entry per write
    QString identity = QStringLiteral("serial MEM0001");
    int openCount = 0;
    int reopenAttempts = 0;
    int closeCount = 0;
    bool watching = false;
    bool arrivalsTold = true;

private:
    int16_t commPort = 1;
    bool open = false;
    PortResult nextOpenResult = PortResult::Done;
    PortResult nextCloseResult = PortResult::Done;
    bool present = true;
    int refusalsLeft = 0;
    QString openFailure;
};
