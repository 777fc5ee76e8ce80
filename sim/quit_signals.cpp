#include "sim/quit_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
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
}

QuitSignals::~QuitSignals()
{
    delete notifier;
    if (descriptor >= 0)
        ::close(descriptor);
}

void QuitSignals::readSignal()
{
    signalfd_siginfo info {};
    while (::read(descriptor, &info, sizeof info) == ssize_t(sizeof info))
        emit received(int(info.ssi_signo));
}
