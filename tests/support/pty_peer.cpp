// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pty_peer.h"

#include "support/raw_pty.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

PtyPeer::PtyPeer()
{
    master = openRawPty(&slavePath);
    reader = std::thread([this] { readLoop(); });
}

PtyPeer::~PtyPeer()
{
    {
        std::lock_guard guard(lock);
        stopping = true;
    }
    reader.join();
    if (master >= 0)
        ::close(master);
}

void PtyPeer::write(const QByteArray &data)
{
    std::lock_guard guard(lock);
    if (master >= 0 && ::write(master, data.constData(), size_t(data.size())) < 0)
        qWarning("pty peer: write failed");
}

void PtyPeer::setResponder(std::function<QByteArray(const QByteArray &)> answer)
{
    std::lock_guard guard(lock);
    responder = std::move(answer);
}

std::vector<PtyPeer::Arrival> PtyPeer::arrivals() const
{
    std::lock_guard guard(lock);
    return bytes;
}

QByteArray PtyPeer::received() const
{
    std::lock_guard guard(lock);
    QByteArray all;
    for (const Arrival &a : bytes)
        all.append(a.byte);
    return all;
}

void PtyPeer::closeMaster()
{
    std::lock_guard guard(lock);
    if (master >= 0)
        ::close(master);
    master = -1;
}

void PtyPeer::readLoop()
{
    for (;;) {
        int fd;
        {
            std::lock_guard guard(lock);
            if (stopping)
                return;
            fd = master;
        }
        if (fd < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
            continue;
        char chunk[256];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        const Clock::time_point now = Clock::now();
        if (n <= 0)
            continue;
        std::lock_guard guard(lock);
        for (ssize_t i = 0; i < n; ++i) {
            bytes.push_back({chunk[i], now});
            pendingCommand.append(chunk[i]);
            if (chunk[i] != '\r')
                continue;
            if (responder) {
                const QByteArray answer = responder(pendingCommand);
                if (!answer.isEmpty() && master >= 0
                    && ::write(master, answer.constData(), size_t(answer.size())) < 0)
                    qWarning("pty peer: write failed");
            }
            pendingCommand.clear();
        }
    }
}
