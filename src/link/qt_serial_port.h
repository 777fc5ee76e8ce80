// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/device_arrival_watch.h"
#include "link/port_map.h"
#include "link/read_batching.h"
#include "link/serial_port.h"

#include <QSerialPort>
#include <QString>

// The serial-port component on a real device, through QSerialPort, at 9600
// baud, 8 data bits, no parity, 1 stop bit, no flow control. Port numbers 1 to
// 4 open their device from a PortMap or, without one there, the port found in
// that position when the open happens (portForButton).
//
// Open failures: InUse when the device is locked or held by another program,
// or already open in this process (through any QtSerialPort, under any of its
// names); Unavailable for everything else. Every failed open writes one line
// to stderr (qWarning) naming the device and the reason.
//
// When an open device fails or vanishes (USB adapter unplugged, pseudo-terminal
// master closed), the first error closes the port at once, so isOpen() is
// false from then on; errorOccurred() and closed() follow once, from the event
// loop (not from inside QSerialPort's notification). They are dropped if the
// port has been opened again by then.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const PortMap &ports, QObject *parent = nullptr);
    ~QtSerialPort() override;

    int16_t portNumber() const override { return commPort; }
    // Stores the number for the next open (also while a port is open).
    // Returns errorPortUnavailable when the number has no device.
    PortResult selectPort(int16_t port) override;
    bool isOpen() const override { return opened; }
    PortResult setOpen(bool open) override;
    void send(QByteArrayView text) override;
    QString portDescription(int16_t port) const override;
    QString lastOpenFailure() const override { return openFailure; }
    QString adapterIdentity() const override { return identity; }
    PortResult reopenAdapter(const QString &identity) override;
    void watchForDevices(bool on) override;
    bool tellsOfArrivals() const override { return arrivals.notifies(); }

    // The device that is open, or that the last open attempt used.
    QString deviceName() const { return device; }

private:
    PortResult openDevice();
    PortResult openNamed(const QString &name);
    QString deviceFor(int16_t port) const;
    void reportOpenFailure(const QString &name, const QString &reason);
    void closeDevice();
    bool lockDevice();
    void deliverReceived();
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);

    PortMap ports;
    QSerialPort serial;
    ReadBatching batching {serial};
    DeviceArrivalWatch arrivals;
    int16_t commPort = 1;
    bool opened = false;
    quint64 openGeneration = 0;   // counts successful opens
    QString device;               // device of the current / last open
    QString identity;             // adapter of the last successful open
    bool quietFailures = false;   // while reopening an adapter that is away
    QString openFailure;
};
