// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The far end of a pseudo-terminal, standing in for the ignition unit. A
// reader thread timestamps every byte the console sends, so timing checks do
// not depend on when the GUI thread gets round to it.
class PtyPeer {
public:
    using Clock = std::chrono::steady_clock;
    struct Arrival {
        char byte;
        Clock::time_point at;
    };

    PtyPeer();
    ~PtyPeer();

    QString devicePath() const { return slavePath; }
    void write(const QByteArray &bytes);
    // Answers for each complete command (text up to and including CR).
    void setResponder(std::function<QByteArray(const QByteArray &command)> responder);

    std::vector<Arrival> arrivals() const;
    QByteArray received() const;
    void closeMaster(); // the device vanishes

private:
    void readLoop();

    int master = -1;
    QString slavePath;
    std::thread reader;
    mutable std::mutex lock;
    std::vector<Arrival> bytes;
    QByteArray pendingCommand;
    std::function<QByteArray(const QByteArray &)> responder;
    bool stopping = false;
};
