// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP arrive as a Qt signal through a signalfd, so
// the event loop can wind down and clean up normally. Construct it before
// any other thread starts: the signals are blocked in the calling thread.
// Linux only; elsewhere it is never valid and the signals act as usual.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    bool isValid() const { return descriptor >= 0; }

signals:
    void received(int signalNumber);

private:
    void readSignal();

    int descriptor = -1;
    QSocketNotifier *notifier = nullptr;
};
