// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/repeat_filter.h"

#include <QString>
#include <QtGlobal>
#include <mutex>

namespace {

QtMessageHandler handedOn = nullptr;
std::mutex guard;
QString lastWarning;

void filter(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg) {
        const std::lock_guard lock(guard);
        if (message == lastWarning)
            return;
        lastWarning = message;
    }
    handedOn(type, context, message);
}

} // namespace

void installRepeatFilter()
{
    handedOn = qInstallMessageHandler(filter);
}
