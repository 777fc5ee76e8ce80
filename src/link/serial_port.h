// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <cstdint>

// What opening, closing or choosing a port came to.
enum class PortResult {
    Done,
    InUse,       // another program (or this one, under another name) holds the device
    Unavailable, // no such device, no permission, or any other failure
};

// Why an open port stopped working.
enum class PortFailure {
    DeviceGone,  // unplugged, or the system took it away
    ReadFailed,  // reads fail or the line hung up
    WriteFailed,
    Other,
};

// The console's serial-port component: one implementation drives a real
// device through QSerialPort, another keeps everything in memory for tests.
// Received bytes arrive by signal; nothing is polled.
//
// Line settings are fixed for the component's lifetime: 9600 baud, no parity,
// 8 data bits, 1 stop bit, no flow control.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual int16_t portNumber() const = 0;
    // Chooses the port that the next open uses.
    virtual PortResult selectPort(int16_t port) = 0;

    virtual bool isOpen() const = 0;
    // Opens (true) or closes (false) the chosen port.
    virtual PortResult setOpen(bool open) = 0;

    // Sends the bytes in order, unchanged. Ignored while the port is closed.
    virtual void send(QByteArrayView text) = 0;

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
    virtual PortResult reopenAdapter(const QString &identity) = 0;

    // While on, devicesMayHaveArrived() tells of serial devices appearing,
    // so that a wait for one costs nothing until then.
    virtual void watchForDevices(bool on) = 0;
    // False where the system does not tell: a waiter then polls, slowly.
    virtual bool tellsOfArrivals() const = 0;

signals:
    // Raised on the GUI thread for every batch of received bytes, in order.
    void bytesReceived(const QByteArray &bytes);
    // The open port failed; closed() follows.
    void errorOccurred(PortFailure failure);
    // The open port closed by itself (after errorOccurred), never when asked
    // to close; it is already closed when this arrives.
    void closed();
    // A device node appeared or changed while watchForDevices is on.
    void devicesMayHaveArrived();
};
