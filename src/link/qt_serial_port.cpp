// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/qt_serial_port.h"

#include "link/port_discovery.h"
#include "link/system_ports.h"

#include <QCoreApplication>
#include <QFile>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

QtSerialPort::QtSerialPort(const PortMap &ports, QObject *parent)
    : SerialPort(parent), ports(ports)
{
    serial.setBaudRate(QSerialPort::Baud9600);
    serial.setDataBits(QSerialPort::Data8);
    serial.setParity(QSerialPort::NoParity);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    connect(&serial, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&serial, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred);
    connect(&batching, &ReadBatching::heldBytesArrived, this, &QtSerialPort::deliverReceived);
    connect(&arrivals, &DeviceArrivalWatch::devicesMayHaveArrived, this,
            &SerialPort::devicesMayHaveArrived);
}

QtSerialPort::~QtSerialPort()
{
    // Quietly: no failure reported from a port that is going away.
    serial.disconnect(this);
    closeDevice();
}

PortResult QtSerialPort::selectPort(int16_t port)
{
    commPort = port;
    return port < PortMap::firstPort || port > PortMap::lastPort ? PortResult::Unavailable
                                                                 : PortResult::Done;
}

QString QtSerialPort::portDescription(int16_t port) const
{
    return describePort(portForButton(ports, port, systemPorts()));
}

// Only a port without a fixed device asks the system what is present.
QString QtSerialPort::deviceFor(int16_t port) const
{
    const QString fixed = ports.device(port);
    return fixed.isEmpty() ? portForButton(ports, port, systemPorts()).device : fixed;
}

void QtSerialPort::reportOpenFailure(const QString &name, const QString &reason)
{
    openFailure = reason;
    if (!quietFailures)
        qWarning("%s: cannot open %s: %s", qUtf8Printable(QCoreApplication::applicationName()),
                 qUtf8Printable(name), qUtf8Printable(reason));
}

PortResult QtSerialPort::setOpen(bool open)
{
    if (open == opened)
        return PortResult::Done;
    if (!open) {
        closeDevice();
        return PortResult::Done;
    }
    return openDevice();
}

PortResult QtSerialPort::openDevice()
{
    openFailure.clear();
    if (commPort < PortMap::firstPort || commPort > PortMap::lastPort) {
        device.clear();
        reportOpenFailure(QStringLiteral("port %1").arg(commPort),
                          QStringLiteral("no device for this port number (ports are %1 to %2)")
                              .arg(PortMap::firstPort)
                              .arg(PortMap::lastPort));
        return PortResult::Unavailable;
    }
    const QString name = deviceFor(commPort);
    if (name.isEmpty()) {
        device.clear();
        reportOpenFailure(QStringLiteral("COM%1").arg(commPort),
                          QStringLiteral("no serial port present for it (see --list-ports)"));
        return PortResult::Unavailable;
    }
    return openNamed(name);
}

PortResult QtSerialPort::reopenAdapter(const QString &wanted)
{
    // A name the system does not list (a pseudo-terminal, a by-id link) is
    // back when the name is.
    const std::optional<FoundPort> found = findAdapter(wanted, systemPorts());
    const QString name = found ? found->device : wanted;
    if (!found && (wanted.startsWith(QLatin1String("serial ")) || !QFile::exists(name)))
        return PortResult::Unavailable;
    quietFailures = true;
    const PortResult result = openNamed(name);
    quietFailures = false;
    return result;
}

// Watches where the adapter last open would come back: the system's device
// folders, and the folder of a name outside them (a pseudo-terminal's link).
void QtSerialPort::watchForDevices(bool on)
{
    if (on)
        arrivals.start(device);
    else
        arrivals.stop();
}

PortResult QtSerialPort::openNamed(const QString &name)
{
    openFailure.clear();
    device = name;
    serial.setPortName(device);
    if (serial.open(QIODevice::ReadWrite)) {
        if (!lockDevice()) {
            serial.close();
            reportOpenFailure(device, QStringLiteral("already open in another console"));
            return PortResult::InUse;
        }
        opened = true;
        identity = identityOf(device, systemPorts());
        ++openGeneration;
        batching.portOpened();
        return PortResult::Done;
    }

    const QSerialPort::SerialPortError error = serial.error();
    const QString reason = serial.errorString();
    serial.clearError();

    if (error == QSerialPort::PermissionError) {
#ifdef Q_OS_WIN
        // Windows answers ERROR_ACCESS_DENIED for a port another program holds.
        reportOpenFailure(device, QStringLiteral("in use by another program (%1)").arg(reason));
        return PortResult::InUse;
#else
        // QSerialPort reports three causes as PermissionError: its lock file is
        // held (by another program, or by this process), the device is
        // exclusive (TIOCEXCL: EBUSY), or the user may not open it (EACCES).
        // Only the last one means the device refuses us; ask the system which.
        const QByteArray path = QFile::encodeName(device);
        if (::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) != 0) {
            const int why = errno;
            QString text = QString::fromLocal8Bit(std::strerror(why));
            if (why == EACCES || why == EPERM)
                text += QStringLiteral(" (is the user in the dialout group?)");
            reportOpenFailure(device, text);
            return PortResult::Unavailable;
        }
        reportOpenFailure(device, QStringLiteral("in use by another program (%1)").arg(reason));
        return PortResult::InUse;
#endif
    }

    reportOpenFailure(device, reason);
    return PortResult::Unavailable;
}

void QtSerialPort::closeDevice()
{
    // opened goes false first: errors QSerialPort raises while closing a
    // failed device are not treated as a new failure.
    opened = false;
    batching.portClosed();
    if (serial.isOpen())
        serial.close();   // deletes QSerialPort's notifiers: no more events
    serial.clearError();
}

// QSerialPort's lock files go by the device's name, so a second name for the
// same device (a symlink such as /dev/serial/by-id/...) slips past them. An
// exclusive lock on the open file itself does not; the system drops it when
// the port closes.
bool QtSerialPort::lockDevice()
{
#ifdef Q_OS_WIN
    return true;
#else
    return ::flock(int(serial.handle()), LOCK_EX | LOCK_NB) == 0;
#endif
}

// Bytes read during a hold are newer than any QSerialPort still buffers.
void QtSerialPort::deliverReceived()
{
    if (!opened)
        return;
    QByteArray bytes = serial.bytesAvailable() > 0 ? serial.readAll() : QByteArray();
    bytes += batching.takeHeld();
    if (!bytes.isEmpty())
        emit bytesReceived(bytes);
}

void QtSerialPort::send(QByteArrayView text)
{
    if (!opened || text.isEmpty())
        return;
    // Queued in QSerialPort and written as the device accepts it; a failure
    // arrives through errorOccurred.
    serial.write(text.data(), text.size());
}

void QtSerialPort::onReadyRead()
{
    if (!opened || serial.bytesAvailable() <= 0)
        return;
    deliverReceived();
    batching.delivered();
}

void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // Failed opens are handled by openDevice(); TimeoutError only comes from
    // the waitFor...() calls, which are not used.
    if (!opened || error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;

    // Any other error on an open port means the device failed or vanished:
    // ResourceError, ReadError (a closed pseudo-terminal master or a hung-up
    // USB adapter reads EOF, which QSerialPort reports as ReadError, again and
    // again while the port stays open), WriteError, DeviceNotFoundError,
    // PermissionError, UnknownError. Close now, so that no storm follows, and
    // tell the window once, from the event loop.
    closeDevice();
    const quint64 generation = openGeneration;
    const PortFailure failure = error == QSerialPort::ResourceError
                                        || error == QSerialPort::DeviceNotFoundError
                                    ? PortFailure::DeviceGone
                                : error == QSerialPort::ReadError  ? PortFailure::ReadFailed
                                : error == QSerialPort::WriteError ? PortFailure::WriteFailed
                                                                   : PortFailure::Other;
    QMetaObject::invokeMethod(
        this,
        [this, generation, failure] {
            if (opened || generation != openGeneration)
                return;
            emit errorOccurred(failure);
            emit closed();
        },
        Qt::QueuedConnection);
}
