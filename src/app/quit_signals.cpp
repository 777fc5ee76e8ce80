// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quit_signals.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
#ifdef Q_OS_LINUX
    sigset_t quitting;
    sigemptyset(&quitting);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&quitting, number);
    if (::pthread_sigmask(SIG_BLOCK, &quitting, nullptr) != 0)
        return;
    descriptor = ::signalfd(-1, &quitting, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor < 0)
        return;
    notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignal);
#endif
}

QuitSignals::~QuitSignals()
{
    delete notifier;
#ifdef Q_OS_LINUX
    if (descriptor >= 0)
        ::close(descriptor);
#endif
}

void QuitSignals::readSignal()
{
#ifdef Q_OS_LINUX
    signalfd_siginfo info {};
    while (::read(descriptor, &info, sizeof info) == ssize_t(sizeof info))
        emit received(int(info.ssi_signo));
#endif
}
