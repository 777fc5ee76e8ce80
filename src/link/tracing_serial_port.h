// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/serial_port.h"

#include <QIODevice>
#include <chrono>
#include <functional>
#include <memory>

// Another serial port, every operation and signal passed through unchanged,
// with one line in a trace for every chunk read (RX) or written (TX), every
// open, close and failed open, and a lost connection:
//
//   0.000000 START 2026-12-07T14:03:22.125+01:00
//   0.000210 OPEN COM1 /dev/ttyUSB0 - FT232R USB UART
//   0.061532 TX "/*\r"
//   0.482113 RX "u21\r"
//
// The first field is seconds since the trace started. A trace that cannot be
// written stops, with one warning on stderr; the port carries on.
class TracingSerialPort : public SerialPort {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Takes ownership of both; `trace` must be open for writing, and should be
    // unbuffered so each line reaches the system as it is written.
    TracingSerialPort(SerialPort *inner, std::unique_ptr<QIODevice> trace,
                      Clock clock = std::chrono::steady_clock::now, QObject *parent = nullptr);
    ~TracingSerialPort() override;

    int16_t portNumber() const override { return inner->portNumber(); }
    PortResult selectPort(int16_t port) override { return inner->selectPort(port); }
    bool isOpen() const override { return inner->isOpen(); }
    PortResult setOpen(bool open) override;
    void send(QByteArrayView text) override;
    QString portDescription(int16_t port) const override { return inner->portDescription(port); }
    QString lastOpenFailure() const override { return inner->lastOpenFailure(); }
    QString adapterIdentity() const override { return inner->adapterIdentity(); }
    PortResult reopenAdapter(const QString &identity) override;
    void watchForDevices(bool on) override { inner->watchForDevices(on); }
    bool tellsOfArrivals() const override { return inner->tellsOfArrivals(); }

private:
    void traceOpen(PortResult result);
    void traceReceived(const QByteArray &bytes);
    void traceLost();
    void traceLine(const QByteArray &event, const QByteArray &details);
    QByteArray portName() const;

    SerialPort *inner;
    std::unique_ptr<QIODevice> trace;
    Clock clock;
    std::chrono::steady_clock::time_point start;
};
