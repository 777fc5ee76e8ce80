// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tracing_serial_port.h"

#include "link/trace_text.h"
#include "protocol/time_text.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileDevice>
#include <QtGlobal>

TracingSerialPort::TracingSerialPort(SerialPort *inner, std::unique_ptr<QIODevice> trace,
                                     Clock clock, QObject *parent)
    : SerialPort(parent), inner(inner), trace(std::move(trace)), clock(std::move(clock))
{
    inner->setParent(this);
    start = this->clock();
    connect(inner, &SerialPort::bytesReceived, this, &TracingSerialPort::traceReceived);
    connect(inner, &SerialPort::errorOccurred, this, &SerialPort::errorOccurred);
    connect(inner, &SerialPort::closed, this, &TracingSerialPort::traceLost);
    connect(inner, &SerialPort::devicesMayHaveArrived, this, &SerialPort::devicesMayHaveArrived);
    traceLine("START", isoTimestamp(QDateTime::currentDateTime()));
}

TracingSerialPort::~TracingSerialPort()
{
    // The port closes as the window goes; nothing of it is traced from here.
    inner->disconnect(this);
}

PortResult TracingSerialPort::setOpen(bool open)
{
    const bool wasOpen = inner->isOpen();
    const PortResult result = inner->setOpen(open);
    if (open && !wasOpen)
        traceOpen(result);
    else if (!open && wasOpen)
        traceLine("CLOSE", portName());
    return result;
}

// Only the attempt that opens is traced: the others repeat while the adapter
// is away.
PortResult TracingSerialPort::reopenAdapter(const QString &identity)
{
    const PortResult result = inner->reopenAdapter(identity);
    if (result == PortResult::Done)
        traceOpen(result);
    return result;
}

void TracingSerialPort::traceReceived(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        traceLine("RX", cQuoted(bytes));
    emit bytesReceived(bytes);
}

void TracingSerialPort::send(QByteArrayView text)
{
    if (inner->isOpen() && !text.isEmpty())
        traceLine("TX", cQuoted(text));
    inner->send(text);
}

void TracingSerialPort::traceOpen(PortResult result)
{
    QString device = inner->portDescription(inner->portNumber());
    if (device.isEmpty())
        device = QStringLiteral("no serial port");
    if (result == PortResult::Done) {
        traceLine("OPEN", portName() + ' ' + device.simplified().toUtf8());
        return;
    }
    QString reason = inner->lastOpenFailure();
    if (reason.isEmpty())
        reason = result == PortResult::InUse ? QStringLiteral("in use")
                                             : QStringLiteral("unavailable");
    traceLine("OPEN-FAILED", portName() + ' ' + device.simplified().toUtf8() + ": "
                                 + reason.simplified().toUtf8());
}

void TracingSerialPort::traceLost()
{
    traceLine("LOST", portName());
    emit closed();
}

QByteArray TracingSerialPort::portName() const
{
    return "COM" + QByteArray::number(inner->portNumber());
}

void TracingSerialPort::traceLine(const QByteArray &event, const QByteArray &details)
{
    if (!trace)
        return;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(clock() - start).count();
    const QByteArray line = secondsText(elapsed, 6, 1000000) + ' ' + event + ' ' + details + '\n';
    if (trace->write(line) == line.size())
        return;
    const auto *file = qobject_cast<QFileDevice *>(trace.get());
    const QString where = file ? file->fileName() + QStringLiteral(": ") : QString();
    qWarning("%s: trace stopped: %s%s", qUtf8Printable(QCoreApplication::applicationName()),
             qUtf8Printable(where), qUtf8Printable(trace->errorString()));
    trace.reset();
}
