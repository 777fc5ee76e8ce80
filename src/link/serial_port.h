// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <cstdint>

// The console's serial-port component. The window calls only these
// operations; one implementation drives a real device through QSerialPort,
// another keeps everything in memory for tests.
//
// Line settings are fixed for the component's lifetime: 9600 baud, no parity,
// 8 data bits, 1 stop bit, no flow control.
class SerialPort : public QObject {
    Q_OBJECT
public:
    // Values of lastEvent().
    static constexpr int receiveEvent = 2;

    // Error numbers reported by selectPort() and setOpen().
    static constexpr int noError = 0;
    static constexpr int errorPortInUse = 8005;
    static constexpr int errorPortUnavailable = 8002;

    using QObject::QObject;

    virtual int16_t portNumber() const = 0;
    // Chooses the port that the next open uses. Returns an error number.
    virtual int selectPort(int16_t port) = 0;

    virtual bool isOpen() const = 0;
    // Opens (true) or closes (false) the chosen port. Returns an error number:
    // noError, errorPortInUse when another program holds the device, or
    // errorPortUnavailable for every other failure.
    virtual int setOpen(bool open) = 0;

    // Every byte received and not yet read, in order; reading removes them.
    virtual QByteArray takeReceived() = 0;
    // Sends the bytes in order, unchanged. Ignored while the port is closed.
    virtual void send(QByteArrayView text) = 0;

    // Why the last eventRaised was raised.
    virtual int lastEvent() const = 0;

    // For the user: the device a port number would open now and what the
    // system calls it ("/dev/ttyUSB0 - FT232R USB UART"); empty when the
    // number has no device behind it.
    virtual QString portDescription(int16_t port) const = 0;
    // Why the last open attempt failed, as written to stderr; empty when it
    // succeeded or none was made.
    virtual QString lastOpenFailure() const = 0;

    // The adapter behind the port that is open, or was open last: its USB
    // serial number where it has one ("serial FT4XYZ"), else its device name
    // ("/dev/ttyUSB0"); empty when none was ever open. A replugged adapter
    // can come back under another name, but not another serial number.
    virtual QString adapterIdentity() const = 0;
    // Opens the adapter with that identity, if the system has it now, under
    // the chosen port number. Quiet: it is retried until the adapter is back.
    // Returns noError, errorPortInUse, or errorPortUnavailable (absent or
    // failed).
    virtual int reopenAdapter(const QString &identity) = 0;

signals:
    // Raised on the GUI thread for every batch of received bytes.
    void eventRaised();
    // Raised once when an open device fails or disappears; the port is
    // already closed when this arrives.
    void connectionLost();
};
