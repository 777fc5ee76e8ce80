// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/arrival_waiter.h"

#include "link/serial_port.h"

ArrivalWaiter::ArrivalWaiter(SerialPort &port, Attempt attempt, QObject *parent)
    : QObject(parent), port(port), attempt(std::move(attempt))
{
    connect(&timer, &QTimer::timeout, this, &ArrivalWaiter::retry);
    connect(&port, &SerialPort::devicesMayHaveArrived, this, &ArrivalWaiter::deviceMayHaveArrived);
}

void ArrivalWaiter::start()
{
    active = true;
    retriesLeft = 0;
    port.watchForDevices(true);
    if (port.tellsOfArrivals()) {
        timer.stop();
        return;
    }
    timer.start(slowPollMs);
}

void ArrivalWaiter::stop()
{
    if (!active)
        return;
    active = false;
    timer.stop();
    port.watchForDevices(false);
}

void ArrivalWaiter::deviceMayHaveArrived()
{
    if (!active)
        return;
    retriesLeft = int(std::chrono::milliseconds(retryFor).count() / retryMs);
    timer.start(retryMs);
    retry();
}

void ArrivalWaiter::retry()
{
    if (!active)
        return;
    if (attempt()) {
        stop();
        return;
    }
    if (!port.tellsOfArrivals())
        return;
    if (retriesLeft > 0)
        --retriesLeft;
    else
        timer.stop();
}
