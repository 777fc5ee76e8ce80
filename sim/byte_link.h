// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

// Where the simulated unit's bytes go and come from: a pseudo-terminal, a
// serial device, or a test's recorder.
class ByteLink : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Takes the bytes; they are lost when nobody listens or the line is full,
    // as they would be on a cable.
    virtual void write(QByteArrayView bytes) = 0;
    // Stops all traffic; the far end sees the device disappear.
    virtual void close() = 0;

signals:
    void received(const QByteArray &bytes);
    void failed(const QString &reason);
};
