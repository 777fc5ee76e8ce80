// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;

// Tells when a serial device may have appeared, so that a program waiting for
// an adapter tries to open it then instead of listing every port on a timer.
//
// On Linux the kernel says so through inotify: /dev (names starting "tty",
// "serial" or "rfcomm"), /dev/serial/by-id and, for a device hint outside
// those, the hint's folder (any name there). A watched folder that does not
// exist yet (by-id appears with the first USB adapter, and goes with the
// last) is waited for through its nearest existing parent. Nothing runs
// while nothing changes: there is no timer.
//
// devicesMayHaveArrived() comes from the event loop, once for all the
// changes read together; the device may still be held by udev or
// ModemManager for a moment after. Elsewhere, or when inotify cannot be had,
// notifies() is false and the caller has to poll.
class DeviceArrivalWatch : public QObject {
    Q_OBJECT
public:
    explicit DeviceArrivalWatch(QObject *parent = nullptr);
    ~DeviceArrivalWatch() override;

    // Starts over when already started.
    void start(const QString &deviceHint = {});
    void stop();
    // Whether the kernel will tell; false before start() and after stop().
    bool notifies() const;

signals:
    void devicesMayHaveArrived();

private:
    struct Watched {
        QString folder;
        bool wanted = false; // else only the way to a wanted folder still missing
    };

    bool watchFolders();
    void readEvents();

    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QStringList wantedFolders;
    QHash<int, Watched> watches;
    bool missingFolders = false;
};
