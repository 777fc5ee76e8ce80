// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pseudo_terminal.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int reattachMs = 50;
constexpr int readsPerWakeUp = 16;

QString systemError(const char *what)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    return QStringLiteral("%1: %2").arg(QLatin1String(what), reason);
}

} // namespace

std::unique_ptr<PseudoTerminal> PseudoTerminal::open(const QString &linkPath, QString *error)
{
    std::unique_ptr<PseudoTerminal> terminal(new PseudoTerminal);
    if (!terminal->setUp(linkPath, error))
        return nullptr;
    return terminal;
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::setUp(const QString &linkPath, QString *error)
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        *error = systemError("grantpt/unlockpt");
        return false;
    }
    const char *name = ::ptsname(master);
    if (!name) {
        *error = systemError("ptsname");
        return false;
    }
    slave = QString::fromLocal8Bit(name);

    // Raw, so nothing is echoed back or translated before the console sets
    // the line up itself.
    termios settings {};
    if (::tcgetattr(master, &settings) != 0) {
        *error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&settings);
    if (::tcsetattr(master, TCSANOW, &settings) != 0) {
        *error = systemError("tcsetattr");
        return false;
    }

    // Until a slave has been opened once the master does not report a
    // hang-up; open and close it now so "nobody listening" is visible.
    const int probe = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (probe >= 0)
        ::close(probe);

    if (!linkPath.isEmpty() && !makeLink(linkPath, error))
        return false;

    notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PseudoTerminal::readAvailable);
    reattach.setSingleShot(true);
    reattach.setInterval(reattachMs);
    connect(&reattach, &QTimer::timeout, this, [this] {
        if (notifier)
            notifier->setEnabled(true);
    });
    return true;
}

// A stale link from an earlier run is replaced; anything else at the path
// is left alone.
bool PseudoTerminal::makeLink(const QString &linkPath, QString *error)
{
    const QByteArray path = QFile::encodeName(linkPath);
    struct stat existing {};
    if (::lstat(path.constData(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
            return false;
        }
        ::unlink(path.constData());
    }
    if (::symlink(QFile::encodeName(slave).constData(), path.constData()) != 0) {
        *error = systemError("symlink") + QStringLiteral(" (%1)").arg(linkPath);
        return false;
    }
    link = linkPath;
    return true;
}

// Only our own link: another run may have taken the name over since.
void PseudoTerminal::removeLink()
{
    if (link.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(link);
    char target[4096];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target);
    if (n > 0 && QByteArray(target, qsizetype(n)) == QFile::encodeName(slave))
        ::unlink(path.constData());
    link.clear();
}

bool PseudoTerminal::isPeerAttached() const
{
    if (master < 0)
        return false;
    pollfd state {master, POLLOUT, 0};
    return ::poll(&state, 1, 0) >= 0 && !(state.revents & (POLLHUP | POLLERR | POLLNVAL));
}

void PseudoTerminal::write(QByteArrayView bytes)
{
    if (bytes.isEmpty() || !isPeerAttached())
        return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // full: the rest is lost, as on a line nobody reads
        done += n;
    }
}

void PseudoTerminal::close()
{
    reattach.stop();
    delete notifier;
    notifier = nullptr;
    if (master >= 0)
        ::close(master);
    master = -1;
    removeLink();
}

void PseudoTerminal::readAvailable()
{
    char buffer[1024];
    for (int i = 0; i < readsPerWakeUp; ++i) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, qsizetype(n)));
            if (master < 0)
                return; // a handler closed us
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        if (n == 0 || errno == EIO) {
            notifier->setEnabled(false);
            reattach.start();
            return;
        }
        emit failed(systemError("read"));
        return;
    }
}
