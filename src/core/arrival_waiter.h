// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

class SerialPort;

// Waits for a serial device to appear without costing anything meanwhile:
// the port's watch tells when a device node appears, and only then is the
// open tried, at once and again for a while, since udev and ModemManager may
// hold a new node for a few seconds. Where the system does not tell, the open
// is tried slowly on a timer instead.
class ArrivalWaiter : public QObject {
    Q_OBJECT
public:
    // Returns true once the device is open; the wait then ends.
    using Attempt = std::function<bool()>;

    static constexpr int retryMs = 500;
    static constexpr std::chrono::seconds retryFor{10};
    static constexpr int slowPollMs = 2000;

    ArrivalWaiter(SerialPort &port, Attempt attempt, QObject *parent = nullptr);

    void start();
    void stop();

    // Timer ticks and the arrival; public so tests can drive them.
    void deviceMayHaveArrived();
    void retry();

private:
    SerialPort &port;
    Attempt attempt;
    QTimer timer;
    int retriesLeft = 0;
    bool active = false;
};
